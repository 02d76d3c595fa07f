// dialog_commands.cpp - the dialog and message-box commands (stubs until built).
#include "text/dialog_commands.h"

#include "core/dispatch.h"

void Cmd_mesbox() { Cmd_Unbuilt(); }
void Cmd_yesnobox() { Cmd_Unbuilt(); }
void Cmd_okcancelbox() { Cmd_Unbuilt(); }
void Cmd_textfield() { Cmd_Unbuilt(); }
void Cmd_inputstr() { Cmd_Unbuilt(); }
void Cmd_input() { Cmd_Unbuilt(); }
void Cmd_inputnum() { Cmd_Unbuilt(); }
