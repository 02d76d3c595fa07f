// ruby.h - ruby, the small reading glyphs over a group of base characters
// written '(' base '/' ruby ')': the settings, the plain layout arithmetic
// (the base's centring excess, the ruby glyphs' step and offset) that the
// text display, string sprites and the lookback share, and the renderer.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

enum { RubyFaceSize = 256, RubyTextMax = 98 };  // bytes of ruby text drawn at most

extern int32_t RubyOn;          // every text reserves room for ruby (rubyon)
extern int32_t RubyPerLine;     // only texts with a '(' do (rubyon2)
extern int32_t RubyFontWidth, RubyFontHeight;  // -1: half the text font
extern char RubyFontFace[RubyFaceSize];        // "": the text face
extern int32_t RubyBaseExtent;  // pixel extent of the current group's base

// The ruby glyph size for a text font of fw x fh.
void RubyGlyphSize(int32_t fw, int32_t fh, int32_t* rw, int32_t* rh);

// The excess by which a base of w characters is widened when its n ruby
// characters (glyphs rw x rh) are wider, for horizontal text with cells of
// font width fw, or vertical text with cells of height fh: 0 when the ruby
// fits.  The base moves on by half of it before it is drawn.
int32_t RubyExcess(int32_t w, int32_t n, int32_t rw, int32_t rh, int32_t fw, int32_t fh,
                   bool vertical);

// Step between ruby glyphs and the offset of the first one over a base of
// `extent` pixels, for a ruby text of `len` bytes.  Never divides by zero.
void RubySpacing(int32_t extent, int32_t len, int32_t rw, int32_t rh, bool vertical,
                 int32_t* step, int32_t* offset);

// Where a ruby's glyphs go over a base of `extent` pixels that began at pen
// position (x, y): n glyphs of rw x rh, glyph k at (x + offset + k * step, y)
// or, in vertical text, at (x, y + offset + k * step).  Ruby longer than
// RubyTextMax bytes is cut on a character boundary.  false when there is
// nothing to draw.  The caller selects the ruby font (SelectGlyphFont with
// RubyFontFace, or TextFontFace when that is empty).
struct RubyPlacement {
    int32_t n, rw, rh, x, y, step, offset;
    bool vertical;
};
bool PlaceRuby(const char* ruby, int32_t len, int32_t x, int32_t y, int32_t extent, RubyPlacement* p);

// Blends one ruby glyph's coverage (rw x rh bytes, rows top-down) at (x, y)
// of target in the colour 0xRRGGBB: D := D x (255 - c) + colour x c.  With
// shadow, a pixel of coverage above 64 divides each channel of the pixel
// to its right by 4, before that pixel's own blend; fainter pixels cast
// none, and ruby never takes the offset shadow.  With layers GlyphLayer :=
// c and TextColorSurface := colour x c as well.  Clipped to the target
// (and the layers to the screen).
void BlendRubyGlyph(const uint8_t* coverage, int32_t rw, int32_t rh, int32_t x, int32_t y, uint32_t color,
                    bool shadow, Surface* target, bool layers);

// Draws the ruby of a group whose base began at pen position (x, y) in the
// colour 0xRRGGBB: above the base (horizontal text) or to its right
// (VerticalText), into DestSurface and the text layers, clipped to the
// screen, and copies the area to the window.  Ruby longer than RubyTextMax
// bytes is cut on a character boundary.
void DrawRubyToScreen(const char* ruby, int32_t len, int32_t x, int32_t y, uint32_t color);

// The program's first ruby settings: rubyoff's state, sizes -1, face "".
// A reset to *start keeps the define block's ruby settings; the tests and
// fuzzers start from these.
void ResetRuby();
