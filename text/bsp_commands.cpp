// bsp_commands.cpp - the bsp button-set commands (stubs until built).
#include "text/bsp_commands.h"

#include "core/dispatch.h"

void Cmd_bsp() { Cmd_Unbuilt(); }
void Cmd_bdef() { Cmd_Unbuilt(); }
void Cmd_bclear() { Cmd_Unbuilt(); }
void Cmd_btime() { Cmd_Unbuilt(); }
void Cmd_btrans() { Cmd_Unbuilt(); }
void Cmd_bdown() { Cmd_Unbuilt(); }
void Cmd_bcursor() { Cmd_Unbuilt(); }
void Cmd_bexec() { Cmd_Unbuilt(); }
