// wait_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/wait_commands.h"

#include "core/dispatch.h"

void Cmd_delay() { Cmd_Unbuilt(); }
void Cmd_wait() { Cmd_Unbuilt(); }
void Cmd_spwait() { Cmd_Unbuilt(); }
void Cmd_resettimer() { Cmd_Unbuilt(); }
void Cmd_waittimer() { Cmd_Unbuilt(); }
void Cmd_gettimer() { Cmd_Unbuilt(); }
