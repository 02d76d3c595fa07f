// screen.cpp - the screen surfaces.
#include "graphics/screen.h"

#include <initializer_list>

#include "core/script.h"

Surface DestSurface, SrcSurface, BgSurface, WorkSurface, GlyphSurface;

void RebuildScreenSurfaces() {
    for (Surface* s : {&DestSurface, &SrcSurface, &BgSurface}) CreateSurface(s, ScreenWidth, ScreenHeight);
    // The glyph renderer draws white text on this black picture.
    CreateSurface(&GlyphSurface, 128, 128);
    CreateSurface(&WorkSurface, ScreenWidth, ScreenHeight);
}
