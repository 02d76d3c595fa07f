// textbtn_commands.cpp - the text-button commands (stubs until built).
#include "text/textbtn_commands.h"

#include "core/dispatch.h"

void Cmd_textbtnstart() { Cmd_Unbuilt(); }
void Cmd_textbtnoff() { Cmd_Unbuilt(); }
void Cmd_gettextbtnstr() { Cmd_Unbuilt(); }
void Cmd_erasetextbtn() { Cmd_Unbuilt(); }
