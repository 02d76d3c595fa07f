// effect_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/effect_commands.h"

#include "core/dispatch.h"

void Cmd_effect() { Cmd_Unbuilt(); }
void Cmd_effectblank() { Cmd_Unbuilt(); }
void Cmd_effectcut() { Cmd_Unbuilt(); }
void Cmd_effectskip() { Cmd_Unbuilt(); }
void Cmd_geteffectspeed() { Cmd_Unbuilt(); }
void Cmd_seteffectspeed() { Cmd_Unbuilt(); }
