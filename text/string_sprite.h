// string_sprite.h - string sprites: sprite pictures made from text, one cell
// per colour, each cell a colour image with its alpha mask beside it (mask
// 255 - coverage), drawn through the glyph renderer; the sprite font
// (spfont); the two developer tools that draw text into bitmap files.  The
// picture loader calls MakeStringSprite and MakeStringSpriteDefaultFont
// (graphics/loader_links.h) for ":s" tags.
#pragma once
#include <cstdint>

#include "graphics/surface.h"
#include "text/textwindow.h"

enum {
    StringSpriteColorLimit = 11,        // colours (cells) of one string sprite
    CommandSpriteCellTime = 0xFFFFFF,   // cell time of the commands' sprites
};

// The sprite font; SpriteFontWidth -1 = not set.
extern int32_t SpriteFontWidth, SpriteFontHeight, SpriteCharAdvance, SpriteLineAdvance;
extern int32_t SpriteBold, SpriteShadow;
extern char SpriteFontFace[FontFaceSize];

// One line of cells into target from x = 0, each cell w x h at `advance`,
// in style 1 (plain), 2 (outlined), 3 (glyph plug-in) or any other (3x
// glyphs); colour 0xRRGGBB on the target as it is, or -1 for the mask pass,
// which fills the target white and draws black.
void RenderStringCells(Surface* target, const char* text, int32_t color, int32_t w, int32_t h,
                       int32_t advance, bool bold, bool shadow, const char* face, int32_t style);

// A text block laid out with the text window's rules (wrap, kinsoku, ruby,
// '\' and newline breaks) into s: the colour image in `color`, or the mask.
void RenderTextToSurface(uint32_t color, Surface* s, const char* text, bool mask);

// Sprite n's picture from the text and the text window's settings of the
// moment, reading the optional colour list (", colour" ...) at ReadPosition.
void RenderStringSprite(const char* text, int n);

// font2bmp: "testfont.bmp" showing 57 characters of the face.
void RenderFontTest(const char* face, int32_t width, int32_t height);
// createdummy: a 640 x 480 white picture with its own file name on it,
// written under that name inside the game folder.
void WriteDummyPicture(const char* file);

