// rmenu_commands.cpp - the right-click menu and system-action commands (stubs until built).
#include "text/rmenu_commands.h"

#include "core/dispatch.h"

void Cmd_rmode() { Cmd_Unbuilt(); }
void Cmd_rgosub() { Cmd_Unbuilt(); }
void Cmd_rlookback() { Cmd_Unbuilt(); }
void Cmd_roff() { Cmd_Unbuilt(); }
void Cmd_rmenu() { Cmd_Unbuilt(); }
void Cmd_systemcall() { Cmd_Unbuilt(); }
