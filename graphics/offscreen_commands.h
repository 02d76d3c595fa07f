// offscreen_commands.h - drawing by hand into the displayed picture
// DestSurface and showing it: drawclear, drawfill, drawbg, drawbg2, drawsp,
// drawsp2, drawsp3, drawtext, draw; taking a copy of what the window shows
// (ofscpy/ofscopy, bgcpy/bgcopy); and blt, a stretch from the button picture
// straight into the window.  Nothing here touches SrcSurface, DirtyRect or
// the sprites' positions and visibility.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

// The button picture that btndef loads (the button wait's); blt's source.
extern Surface ButtonPicture;

// Copies what the window shows into DestSurface (unchanged when nothing of
// the screen's size was shown yet).
void CopyWindowToDest();
// Stretches the source rectangle of `src` to the destination rectangle of
// the window (nearest pixel), as a stretch copy does: a negative width or
// height runs the rectangle leftwards or upwards from its point, and a side
// whose sign differs from the other rectangle's mirrors; a size of 0 draws
// nothing.
void StretchToWindow(const Surface* src, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh);

void Cmd_bgcopy();
void Cmd_bgcpy();
void Cmd_blt();
void Cmd_draw();
void Cmd_drawbg();
void Cmd_drawbg2();
void Cmd_drawclear();
void Cmd_drawfill();
void Cmd_drawsp();
void Cmd_drawsp2();
void Cmd_drawsp3();
void Cmd_drawtext();
void Cmd_ofscopy();
void Cmd_ofscpy();
