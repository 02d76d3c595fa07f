// effect_commands.h - the effect commands: the numbered effects (effect), the
// pause after transitions (effectblank), the skip rules (effectcut,
// effectskip) and the speed mode (seteffectspeed, geteffectspeed).
#pragma once

void Cmd_effect();
void Cmd_effectblank();
void Cmd_effectcut();
void Cmd_effectskip();
void Cmd_geteffectspeed();
void Cmd_seteffectspeed();
