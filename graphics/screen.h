// screen.h - the screen surfaces: DestSurface (the picture shown),
// SrcSurface (the picture being composed), BgSurface (the background),
// WorkSurface (scratch), all ScreenWidth x ScreenHeight, and GlyphSurface
// (the 3x glyph bitmap, 128 x 128 at start); rebuilt at every start-up pass.
#pragma once

#include "graphics/surface.h"

extern Surface DestSurface, SrcSurface, BgSurface, WorkSurface, GlyphSurface;

// Releases each screen surface and makes it again, blank (black), at the
// screen size the script set (GlyphSurface at 128 x 128).
void RebuildScreenSurfaces();
