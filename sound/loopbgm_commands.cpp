// loopbgm_commands.cpp - not built yet: each command ends the game naming itself.
#include "sound/loopbgm_commands.h"

#include "core/dispatch.h"

void Cmd_loopbgm() { Cmd_Unbuilt(); }
void Cmd_loopbgmstop() { Cmd_Unbuilt(); }
