// select_commands.cpp - the selection commands (stubs until built).
#include "text/select_commands.h"

#include "core/dispatch.h"

void Cmd_select() { Cmd_Unbuilt(); }
void Cmd_selgosub() { Cmd_Unbuilt(); }
void Cmd_selnum() { Cmd_Unbuilt(); }
void Cmd_csel() { Cmd_Unbuilt(); }
void Cmd_cselgoto() { Cmd_Unbuilt(); }
void Cmd_getcselnum() { Cmd_Unbuilt(); }
void Cmd_getcselstr() { Cmd_Unbuilt(); }
void Cmd_nextcsel() { Cmd_Unbuilt(); }
void Cmd_selectcolor() { Cmd_Unbuilt(); }
void Cmd_menuselectcolor() { Cmd_Unbuilt(); }
void Cmd_cselbtn() { Cmd_Unbuilt(); }
