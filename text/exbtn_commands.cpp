// exbtn_commands.cpp - the extended-button commands (stubs until built).
#include "text/exbtn_commands.h"

#include "core/dispatch.h"

void Cmd_exbtn() { Cmd_Unbuilt(); }
void Cmd_textexbtn() { Cmd_Unbuilt(); }
void Cmd_cellcheckexbtn() { Cmd_Unbuilt(); }
void Cmd_spstr() { Cmd_Unbuilt(); }
void Cmd_exbtn_d() { Cmd_Unbuilt(); }
