// reset_graphics.h - the graphics state of a new game, restored by every
// reset to *start (core/reset.cpp).
#pragma once

// Restores:
//  - the screens: the tags of DestSurface, SrcSurface, BgSurface and
//    GlyphSurface cleared and each filled black over the screen size;
//    DestSurface shown; DirtyRect empty;
//  - pictures: the background "black"; all 1000 sprites at 0,0 with the tag
//    ""; the three standing pictures ""; HumanOrder ""; the 256 rotated
//    sprites' tags "" and blend mode 0; HiddenSpriteFirst 9999,
//    HiddenSpriteLast -9999; AllSpritesHidden, Sprite2Hidden 0 (the
//    surfaces themselves are kept);
//  - overlays: the 100 bar and 100 prnum slots -1; Monocro, NegaMode off;
//  - EffectSpeed 0.
void ResetGraphicsState();
