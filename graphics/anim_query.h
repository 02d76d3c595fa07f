// anim_query.h - the animation clock and a sprite's current cell, as the
// debug command testfunc reports them.
#pragma once

int AnimationClockValue();
int SpriteCurrentCell(int sprite);
