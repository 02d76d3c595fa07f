// glyph.h - the glyph renderer: one text cell rendered at three times its
// size, white on black, filtered down by the 1-2-1 kernel to coverage and
// blended into the text layers and DestSurface; the glyph font of a face,
// size, direction and weight; DrawStringAt, the string drawing of menus,
// selections and text buttons; the font and colour settings; the glyph
// plug-in.
#pragma once
#include <cstdint>
#include <vector>

#include "text/textwindow.h"

// Faces: SelectedFont (font, setfont, the font menu) becomes TextFontFace at
// each new page; DefaultFont ("ＭＳ ゴシック" at program start) becomes both
// when the define block ends.  Declared in ui/window_links.h as well.
extern char SelectedFont[FontFaceSize];
extern char DefaultFont[FontFaceSize];

extern uint32_t TextColorTable[256];  // 0xRRGGBB by number ('&' in text, setcolor)
extern int32_t MojiType;  // 0 3x glyphs, 1 plain, 2 outlined, 3 plug-in (graphics/loader_links.h)
// The glyph plug-in's "Font" entry (dllfont); null until bound.
typedef void (*FontPluginProc)(const char* cell, uint8_t* pixels, int32_t width, int32_t height,
                               int32_t red, int32_t green, int32_t blue, const char* face);
extern FontPluginProc FontPlugin;

// Selects the glyph font made for w x h pixels (the font is 3h high and
// 3w/2 wide): the face (CP932; "" = DefaultFont), vertical (the "@" form of
// the face, turned a quarter: its height runs across the column, which
// ends at the cell's right edge, and a full-width advance of 3w down it;
// full-width glyphs stand upright in the face's vertical forms, half-width
// ones are turned), bold (weight 700).  A width or height below 1 is a
// fatal error.
void SelectGlyphFont(const char* face, int32_t w, int32_t h, bool vertical, bool bold);
// The text routine's font: TextFontFace, TextBold, VerticalText, made for
// TextFontWidth x TextFontHeight (vertical: the two swapped, so that the
// glyphs keep the cell's shape).
void SelectTextGlyphFont();

// Draws one cell (two bytes: one full-width character, or two half-width
// ones, a second byte 0 meaning one) with the selected glyph font at screen
// pixel (x, y), w x h pixels, colour 0xRRGGBB: GlyphLayer := coverage,
// TextColorSurface := colour x coverage, DestSurface blended; then the
// second bold draw and the shadow.  Writes are clipped to the screen.  The
// caller copies the cell to the window.
void DrawGlyphCell(const char* cell, int32_t x, int32_t y, int32_t w, int32_t h,
                   uint32_t color, bool bold, bool shadow);

// Draws text at a text position (row, column >= 0 in cells from the text
// origin; negative = -pixels), updating both; returns the characters drawn
// at cell positions (at most TextColumns; 0 at pixel positions).
int32_t DrawStringAt(int32_t& row, int32_t& column, const char* text, uint32_t color);
// The same at the pixel position (x, y), 0 included.
void DrawStringAtPixel(int32_t x, int32_t y, const char* text, uint32_t color);

// The coverage kernel: reduces a (3w x 3h) 8-bit glyph (stride bytes per
// row, top-down) to w x h coverage bytes.
void ReduceGlyph(const uint8_t* glyph3x, int32_t stride, int32_t w, int32_t h, uint8_t* coverage);
// Blends w x h coverage bytes at (x, y) in colour into the layers and
// target with the shadow rules, clipped to target (the cell algorithm's
// steps 4 and 5).
void BlendGlyphCoverage(const uint8_t* coverage, int32_t x, int32_t y, int32_t w, int32_t h,
                        uint32_t color, bool shadow, Surface* target);

// The coverage (w x h bytes, rows top-down) of a cell drawn with the selected
// glyph font at 3x, the second bold draw with bold, filtered; valid until the
// next glyph call.  For pictures other than the screen (string sprites).
const uint8_t* GlyphCellCoverage(const char* cell, int32_t w, int32_t h, bool bold);
// The 1x coverage of a cell drawn by the selected glyph font's face and
// weight, the font fh high and fw / 2 wide (MojiType 1 and 2): *bw x fh
// bytes, rows top-down, *bw = 2 fw.
void PlainCellCoverage(const char* cell, int32_t fw, int32_t fh, std::vector<uint8_t>* out, int32_t* bw);

// Forgets every cached cell coverage.
void ClearGlyphCache();
