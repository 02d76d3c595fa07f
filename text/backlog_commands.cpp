// backlog_commands.cpp - the backlog commands (stubs until built).
#include "text/backlog_commands.h"

#include "core/dispatch.h"

void Cmd_maxkaisoupage() { Cmd_Unbuilt(); }
void Cmd_pagetag() { Cmd_Unbuilt(); }
void Cmd_lookbackon() { Cmd_Unbuilt(); }
void Cmd_lookbackoff() { Cmd_Unbuilt(); }
void Cmd_lookbackflush() { Cmd_Unbuilt(); }
void Cmd_checkpage() { Cmd_Unbuilt(); }
void Cmd_getlog() { Cmd_Unbuilt(); }
void Cmd_gettaglog() { Cmd_Unbuilt(); }
void Cmd_getlogtext() { Cmd_Unbuilt(); }
