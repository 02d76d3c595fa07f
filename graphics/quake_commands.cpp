// quake_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/quake_commands.h"

#include "core/dispatch.h"

void Cmd_flushout() { Cmd_Unbuilt(); }
void Cmd_panoramatest() { Cmd_Unbuilt(); }
void Cmd_quake() { Cmd_Unbuilt(); }
void Cmd_quakex() { Cmd_Unbuilt(); }
void Cmd_quakey() { Cmd_Unbuilt(); }
void Cmd_yugami() { Cmd_Unbuilt(); }
