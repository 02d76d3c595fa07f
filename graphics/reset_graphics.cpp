// reset_graphics.cpp - the graphics state of a new game.  Holds the screens
// so far; the rest of the list in reset_graphics.h joins as the sprites and
// overlays are built.
#include "graphics/reset_graphics.h"

#include "core/script.h"
#include "graphics/screen.h"
#include "graphics/surface.h"
#include "platform/platform.h"

void ResetGraphicsState() {
    for (Surface* s : {&DestSurface, &SrcSurface, &BgSurface, &GlyphSurface})
        FillSurfaceRect(s, 0, 0, ScreenWidth, ScreenHeight, 0);
    if (HasPicture(&DestSurface))
        PlatPresent(DestSurface.dib.bits, DestSurface.dib.width, DestSurface.dib.height);
}
