// reset_graphics.cpp - the graphics state of a new game: the screens, the
// background, the sprite tables and their settings, the effect speed.  The
// sprites' pictures are kept (a later load of the same tag reuses them);
// an emptied tag is what frees a sprite.  The screen filters go off and
// every bar and number is freed.
#include "graphics/reset_graphics.h"

#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/filters.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "platform/platform.h"

void ResetGraphicsState() {
    EffectSpeed = 0;
    ResetScreenFilters();
    ClearDirtyRect();
    for (Surface* s : {&DestSurface, &SrcSurface, &BgSurface, &GlyphSurface})
        FillSurfaceRect(s, 0, 0, ScreenWidth, ScreenHeight, 0);
    if (HasPicture(&DestSurface))
        PlatPresent(DestSurface.dib.bits, DestSurface.dib.width, DestSurface.dib.height);

    AssignString(&BgName, "black");
    for (Sprite& s : Sprites) {
        s.x = s.y = 0;
        s.tag.Edit()[0] = 0;
    }
    for (Human& h : Humans) h.name[0] = 0;
    for (Sprite2& s : Sprites2) {
        s.tag.Edit()[0] = 0;
        s.blend = 0;
    }
    HumanOrder[0] = 0;
    AllSpritesHidden = 0;
    Sprite2Hidden = 0;
    HiddenSpriteFirst = 9999;
    HiddenSpriteLast = -9999;
}
