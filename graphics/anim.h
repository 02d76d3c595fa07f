// anim.h - cell animation: the tick every wait loop runs while it pumps
// messages, and the command that sets a sprite's cell.
#pragma once
#include <cstdint>

// Moves on the cells of visible sprites and of the standing pictures whose
// time has passed, runs the Lua animation hook and the layer plug-ins'
// timers, and shows what changed at once.  Wait loops only.
void AdvanceAnimation();
// Ms until AdvanceAnimation has work (a cell to change, the Lua hook, a
// layer timer); 0 when it has some now, 0x7FFFFFFF when nothing animates.
// Waits block no longer than this between two ticks.
uint32_t AnimationDueIn();
void Cmd_cell();
