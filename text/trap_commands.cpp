// trap_commands.cpp - the trap commands (stubs until built).
#include "text/trap_commands.h"

#include "core/dispatch.h"

void Cmd_trap() { Cmd_Unbuilt(); }
void Cmd_lr_trap() { Cmd_Unbuilt(); }
void Cmd_r_trap() { Cmd_Unbuilt(); }
void Cmd_trap2() { Cmd_Unbuilt(); }
void Cmd_lr_trap2() { Cmd_Unbuilt(); }
void Cmd_timertrap() { Cmd_Unbuilt(); }
void Cmd_lr_trap_value() { Cmd_Unbuilt(); }
