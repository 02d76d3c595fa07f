// effect_commands.h - script commands (not built yet: see effect_commands.cpp).
#pragma once

void Cmd_effect();
void Cmd_effectblank();
void Cmd_effectcut();
void Cmd_effectskip();
void Cmd_geteffectspeed();
void Cmd_seteffectspeed();
