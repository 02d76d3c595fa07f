// anim.cpp - not built yet.
#include "graphics/anim.h"

#include "core/dispatch.h"

void AdvanceAnimation() {}
void Cmd_cell() { Cmd_Unbuilt(); }
