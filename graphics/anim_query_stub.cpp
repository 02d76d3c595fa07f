// anim_query_stub.cpp - zeros until sprites and cell animation are built (then
// this file goes).
#include "graphics/anim_query.h"

int AnimationClockValue() { return 0; }
int SpriteCurrentCell(int) { return 0; }
