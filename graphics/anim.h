// anim.h - cell animation: the tick every wait loop runs while it pumps
// messages, and the command that sets a sprite's cell.
#pragma once

// Moves on the cells of visible sprites and of the standing pictures whose
// time has passed, runs the Lua animation hook and the layer plug-ins'
// timers, and shows what changed at once.  Wait loops only.
void AdvanceAnimation();
void Cmd_cell();
