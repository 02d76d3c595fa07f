// string_sprite.cpp - the string-sprite renderers.  Every rendering works in
// two scratch pictures of one cell, the mask (white, the glyphs black) and
// the colour image, and copies them side by side into the sprite, cell j's
// colour image at 2 cw j and its mask at 2 cw j + cw.
#include "text/string_sprite.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/readers.h"
#include "core/sjis.h"
#include "graphics/loader_links.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "text/glyph.h"
#include "text/kinsoku.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwin_messages.h"

int32_t SpriteFontWidth = -1, SpriteFontHeight = 0, SpriteCharAdvance = 0, SpriteLineAdvance = 0;
int32_t SpriteBold = 0, SpriteShadow = 0;
char SpriteFontFace[FontFaceSize];
int32_t MojiType;

namespace {

struct Bgr {
    uint8_t c[3];  // blue, green, red
};
Bgr BgrOf(uint32_t rgb) { return Bgr{{(uint8_t)rgb, (uint8_t)(rgb >> 8), (uint8_t)(rgb >> 16)}}; }

bool Inside(const Surface* s, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < s->dib.width && y < s->dib.height;
}
uint8_t* Pixel(Surface* s, int32_t x, int32_t y) { return DibRow(&s->dib, y) + 3 * x; }

void Fill(Surface* s, uint32_t rgb) {
    uint32_t ref = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    FillSurfaceRect(s, 0, 0, s->dib.width, s->dib.height, ref);
}

void Darken(Surface* s, int32_t x, int32_t y, uint8_t c) {
    if (!c || !Inside(s, x, y)) return;
    uint8_t* p = Pixel(s, x, y);
    for (int k = 0; k < 3; k++) p[k] = ProductTable[p[k]][255 - c];
}

// A picture of w x h (the old one released), or false when the size cannot be made.
bool MakePicture(Surface* s, int64_t w, int64_t h) {
    if (w < 1 || h < 1 || w > MaxPictureSide || h > MaxPictureSide) {
        ReleaseSurface(s);
        return false;
    }
    return CreateSurface(s, (int32_t)w, (int32_t)h);
}

// The blend of the glyph path: d := min(255, D (255 - c) + colour c) over a
// coverage of w x h bytes (stride bytes a row) at (x, y), clipped.  The
// shadow: with the distance shadow a first pass darkens the offset pixels;
// else each pixel's right neighbour is darkened right after the pixel.
void BlendCoverage(Surface* t, const uint8_t* cov, int32_t stride, int32_t w, int32_t h, int32_t x,
                   int32_t y, Bgr col, bool shadow) {
    bool distance = shadow && ShadeDistanceOn;
    if (distance)
        for (int32_t j = 0; j < h; j++)
            for (int32_t i = 0; i < w; i++)
                Darken(t, x + i + ShadeDistanceX, y + j + ShadeDistanceY, cov[(size_t)j * stride + i]);
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            uint8_t c = cov[(size_t)j * stride + i];
            if (c && Inside(t, x + i, y + j)) {
                uint8_t* p = Pixel(t, x + i, y + j);
                for (int k = 0; k < 3; k++) {
                    int v = ProductTable[p[k]][255 - c] + ProductTable[col.c[k]][c];
                    p[k] = (uint8_t)(v > 255 ? 255 : v);
                }
            }
            if (shadow && !distance) Darken(t, x + i + 1, y + j, c);
        }
}

// Style 3: the glyph plug-in's four-byte pixels (coverage, red, green, blue).
void PluginCell(Surface* t, const char* cell, int32_t x, int32_t w, int32_t h, bool maskPass, uint32_t color,
                const char* face) {
    if (!FontPlugin) return;
    std::vector<uint8_t> buf((size_t)w * h * 4, 0);
    char text[3] = {cell[0], cell[1], 0};
    FontPlugin(text, buf.data(), w, h, maskPass ? 0 : (int32_t)((color >> 16) & 0xFF),
               maskPass ? 0 : (int32_t)((color >> 8) & 0xFF), maskPass ? 0 : (int32_t)(color & 0xFF), face);
    // The mask goes into the mask pass's own picture, one cell wide like the
    // colour image, never beside it.
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            if (!Inside(t, x + i, j)) continue;
            const uint8_t* q = &buf[((size_t)j * w + i) * 4];
            uint8_t* p = Pixel(t, x + i, j);
            if (maskPass) {
                p[0] = p[1] = p[2] = (uint8_t)(255 - q[0]);
            } else {
                p[0] = q[3];
                p[1] = q[2];
                p[2] = q[1];
            }
        }
}

// ---- the text block ------------------------------------------------------

// The two-byte characters ahead of p for the line-break rule (the display's
// look-ahead): a ruby base's characters count as ones that may not end a
// line, so a group stays on one line; ruby text is passed over.
int CollectAhead(const unsigned char* p, unsigned short* out, int max) {
    int n = 0;
    bool inBase = false, inRuby = false;
    for (int pos = 0; *p && pos < 128 && n < max; pos++) {
        unsigned char b = *p;
        if (!EnglishMode && (b == '(' || b == '/' || b == ')')) {
            inBase = b == '(';
            inRuby = b == '/';
            p++;
            continue;
        }
        if (IsSjisLead(b) && p[1]) {
            if (!inRuby)
                out[n++] = inBase ? (unsigned short)((unsigned char)KinsokuEnd[0] << 8 | (unsigned char)KinsokuEnd[1])
                                  : (unsigned short)(b << 8 | p[1]);
            p += 2;
            continue;
        }
        p++;
    }
    return n;
}

// Ruby over a base that began at (x, y) of `extent` pixels, into s.
void DrawRubyToSurface(Surface* s, int32_t x, int32_t y, const char* ruby, int32_t len, int32_t extent,
                       Bgr col) {
    RubyPlacement rp;
    if (!PlaceRuby(ruby, len, x, y, extent, &rp)) return;
    int32_t n = rp.n, rw = rp.rw, rh = rp.rh, g = rp.step, o = rp.offset;
    bool vertical = rp.vertical;
    x = rp.x;
    y = rp.y;
    SelectGlyphFont(RubyFontFace[0] ? RubyFontFace : TextFontFace, rw, rh, vertical, true);
    for (int32_t k = 0; k < n; k++) {
        char cell[2] = {ruby[2 * k], ruby[2 * k + 1]};
        int32_t px = vertical ? x : x + o + k * g, py = vertical ? y + o + k * g : y;
        BlendRubyGlyph(GlyphCellCoverage(cell, rw, rh, false), rw, rh, px, py,
                       (uint32_t)col.c[2] << 16 | col.c[1] << 8 | col.c[0], TextShadow != 0, s, false);
    }
    SelectTextGlyphFont();
}

// One cell of the text block at (x, y).
void BlockCell(Surface* s, const char* cell, int32_t x, int32_t y, Bgr col, bool mask) {
    int32_t w = TextFontWidth, h = TextFontHeight;
    const uint8_t* cov = GlyphCellCoverage(cell, w, h, TextBold != 0);
    bool distance = ShadeDistanceOn && TextShadow;
    int32_t dx = distance ? ShadeDistanceX : 1, dy = distance ? ShadeDistanceY : 0;
    if (mask) {
        for (int32_t j = 0; j < h; j++)
            for (int32_t i = 0; i < w; i++) {
                uint8_t v = (uint8_t)(255 - cov[(size_t)j * w + i]);
                int32_t spots = TextShadow ? 2 : 1;
                for (int32_t k = 0; k < spots; k++) {
                    int32_t px = x + i + (k ? dx : 0), py = y + j + (k ? dy : 0);
                    if (!Inside(s, px, py)) continue;
                    uint8_t* p = Pixel(s, px, py);
                    for (int ch = 0; ch < 3; ch++) p[ch] = std::min(p[ch], v);
                }
            }
        return;
    }
    if (TextShadow)
        for (int32_t j = 0; j < h; j++)
            for (int32_t i = 0; i < w; i++)
                if (cov[(size_t)j * w + i] && Inside(s, x + i + dx, y + j + dy)) {
                    uint8_t* p = Pixel(s, x + i + dx, y + j + dy);
                    p[0] = p[1] = p[2] = 0;
                }
    // Pixels the shadow blackened (or a colour with a channel of 0) take the
    // colour times the coverage; the rest keep the plain colour.
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            uint8_t c = cov[(size_t)j * w + i];
            if (!c || !Inside(s, x + i, y + j)) continue;
            uint8_t* p = Pixel(s, x + i, y + j);
            if (p[0] && p[1] && p[2]) continue;
            for (int ch = 0; ch < 3; ch++) p[ch] = ProductTable[col.c[ch]][c];
        }
}

}  // namespace

void RenderTextToSurface(uint32_t color, Surface* s, const char* text, bool mask) {
    if (!HasPicture(s)) return;
    Fill(s, mask ? 0xFFFFFF : color);
    Bgr col = mask ? Bgr{{0, 0, 0}} : BgrOf(color);
    if (TextFontWidth < 1 || TextFontHeight < 1) return;
    bool vertical = VerticalText != 0;
    bool ruby = !EnglishMode && (RubyOn || (RubyPerLine && strchr(text, '(')));
    int32_t rw, rh;
    RubyGlyphSize(TextFontWidth, TextFontHeight, &rw, &rh);
    int32_t adv = TextCharAdvance, lineAdv = TextLineAdvance;
    int32_t x, y;
    if (!vertical) {
        x = 0;
        y = RubyOn ? lineAdv - TextFontHeight : 0;
        if (ruby && RubyPerLine) y += rh;
    } else {
        x = (TextColumns - 1) * adv + (ruby ? TextFontWidth - adv : 0);
        y = 0;
    }
    int32_t wrapStep = lineAdv + (ruby && RubyPerLine ? rh : 0);
    SelectTextGlyphFont();
    bool justWrapped = false;
    // The block is full: past the last row, or (vertical) left of the first column.
    auto full = [&]() { return vertical ? x < 0 : y >= lineAdv * TextRows; };
    // A ruby group: its pen position, the base's excess, the ruby text.
    const unsigned char* p = (const unsigned char*)text;
    const unsigned char* rubyText = nullptr;
    int32_t rubyLen = 0, groupX = 0, groupY = 0, excess = 0, baseChars = 0;
    while (*p && !full()) {
        unsigned char b = *p;
        if (b == '\n' || b == '\\') {
            p++;
            if (justWrapped) {
                justWrapped = false;
                continue;
            }
            if (vertical) {
                x -= adv;
                y = 0;
            } else {
                y += lineAdv;
                x = 0;
            }
            continue;
        }
        if (!EnglishMode && b == '(') {
            const char* slash = strchr((const char*)p + 1, '/');
            const char* close = slash ? strchr(slash + 1, ')') : nullptr;
            if (close) {
                baseChars = (int32_t)(slash - (const char*)p - 1) / 2;
                int32_t n = (int32_t)(close - slash - 1) / 2;
                excess = 0;
                if (!vertical) {
                    int64_t wide = (int64_t)n * rw;
                    bool wider = (int64_t)baseChars * adv < wide;
                    int64_t need = wider ? (int64_t)x + adv + wide : (int64_t)adv * (baseChars + 1) + x;
                    if (need >= (int64_t)adv * TextColumns) {
                        y += rh + lineAdv;
                        x = 0;
                    }
                    if (wider) excess = (int32_t)(wide - (int64_t)baseChars * TextFontWidth);
                } else if ((int64_t)baseChars * TextFontHeight < (int64_t)n * rh) {
                    excess = (int32_t)((int64_t)n * rh - (int64_t)baseChars * TextFontHeight);
                }
                groupX = x;
                groupY = y;
                if (vertical) y += excess / 2; else x += excess / 2;
                rubyText = (const unsigned char*)slash + 1;
                rubyLen = (int32_t)(close - slash - 1);
                p++;
                continue;
            }
        }
        if (!EnglishMode && b == '/' && rubyText) {
            p = rubyText + rubyLen;  // the ruby text is drawn at its ')'
            continue;
        }
        if (!EnglishMode && b == ')' && rubyText) {
            if (vertical) y += excess / 2; else x += excess / 2;
            int32_t extent = baseChars * adv + excess;
            DrawRubyToSurface(s, groupX, groupY, (const char*)rubyText, rubyLen, extent, col);
            rubyText = nullptr;
            p++;
            continue;
        }
        if (!p[1]) break;  // a lone byte ends the text
        char cell[2] = {(char)p[0], (char)p[1]};
        p += 2;
        BlockCell(s, cell, x, y, col, mask);
        justWrapped = false;
        if (vertical) y += lineAdv; else x += adv;
        unsigned short ahead[64];
        int n = CollectAhead(p, ahead, 64);
        int k = KinsokuOff == 1 ? 0 : KinsokuKeep(ahead, n);
        if (!vertical && (int64_t)x + (int64_t)adv * k > (int64_t)adv * (TextColumns - 1)) {
            y += wrapStep;
            x = 0;
            justWrapped = true;
        } else if (vertical && (int64_t)y + (int64_t)lineAdv * k > (int64_t)lineAdv * (TextRows - 1)) {
            // A vertical wrap moves one column to the left, like a newline.
            x -= adv;
            y = 0;
            justWrapped = true;
        }
    }
}

void RenderStringCells(Surface* t, const char* text, int32_t color, int32_t w, int32_t h, int32_t advance,
                       bool bold, bool shadow, const char* face, int32_t style) {
    if (!HasPicture(t)) return;
    bool maskPass = color == -1;
    if (maskPass) Fill(t, 0xFFFFFF);
    Bgr col = maskPass ? Bgr{{0, 0, 0}} : BgrOf((uint32_t)color);
    if (w < 1 || h < 1) return;
    if (style != 3) SelectGlyphFont(face, w, h, false, bold);
    std::vector<uint8_t> plain;
    const unsigned char* p = (const unsigned char*)text;
    for (int64_t x = 0; *p && x < t->dib.width; x += advance) {
        while (*p == ' ' || *p == '\t') p++;
        if (!p[0] || !p[1]) break;  // the end, or a lone byte
        char cell[2] = {(char)p[0], (char)p[1]};
        p += 2;
        if (x < -(int64_t)MaxPictureSide) continue;
        int32_t cx = (int32_t)x;
        if (style == 1 || style == 2) {
            int32_t bw;
            PlainCellCoverage(cell, w, h, &plain, &bw);
            if (style == 2) {
                static const int ox[4] = {1, 0, 2, 1}, oy[4] = {0, 1, 1, 2};
                for (int k = 0; k < 4; k++)
                    BlendCoverage(t, plain.data(), bw, bw, h, cx + ox[k], oy[k], Bgr{{0, 0, 0}}, false);
                BlendCoverage(t, plain.data(), bw, bw, h, cx + 1, 1, col, false);
            } else {
                BlendCoverage(t, plain.data(), bw, bw, h, cx, 0, col, false);
            }
        } else if (style == 3) {
            PluginCell(t, cell, cx, w, h, maskPass, (uint32_t)color, face);
        } else {
            const uint8_t* cov = GlyphCellCoverage(cell, w, h, bold);
            BlendCoverage(t, cov, w, w, h, cx, 0, col, shadow);
        }
    }
}

void RenderStringSprite(const char* text, int n) {
    int32_t colors[StringSpriteColorLimit];
    int count = 0;
    // Colours past the limit are read and dropped: the table has eleven.
    while (SkipBlanks() == ',') {
        ExpectComma();
        uint32_t c = ReadColor();
        if (count < StringSpriteColorLimit) colors[count++] = (int32_t)c;
    }
    if (!count) colors[count++] = 0xFFFFFF;

    int64_t cw = (int64_t)TextColumns * TextCharAdvance, ch = (int64_t)TextRows * TextLineAdvance;
    if (TextCharAdvance < TextFontWidth) cw += TextFontWidth - TextCharAdvance;
    if (TextLineAdvance < TextFontHeight) ch += TextFontHeight - TextLineAdvance;
    if (ShadeDistanceOn && TextShadow) {
        cw += ShadeDistanceX < 0 ? -(int64_t)ShadeDistanceX : ShadeDistanceX;
        ch += ShadeDistanceY < 0 ? -(int64_t)ShadeDistanceY : ShadeDistanceY;
    } else if (TextShadow) {
        cw += 1;
    }
    ch += 2;
    cw += 2;

    Surface* s = &Sprites[n].surface;
    ResetSurface(s);
    Surface mask, image;
    if (cw <= MaxPictureSide / (2 * count) && MakePicture(&mask, cw, ch) && MakePicture(&image, cw, ch) &&
        MakePicture(s, 2 * cw * count, ch)) {
        RenderTextToSurface(0, &mask, text, true);
        for (int j = 0; j < count; j++) {
            RenderTextToSurface((uint32_t)colors[j], &image, text, false);
            BltToSurface(s, (int32_t)(2 * cw * j), 0, (int32_t)cw, (int32_t)ch, &image, 0, 0);
            BltToSurface(s, (int32_t)(2 * cw * j + cw), 0, (int32_t)cw, (int32_t)ch, &mask, 0, 0);
        }
    }
    DestroySurface(&mask);
    DestroySurface(&image);
    s->transMode = TransAlpha;
    s->cell = 0;
    s->cellCount = count;
    s->alpha = 255;
    s->loopMode = 3;
    s->cellTime = CommandSpriteCellTime;
    s->animClock = PlatTicks();
}

namespace {

// The cells of a ':s' tag: cw x ch each, one per colour (ended by -1).
void MakeCells(Surface* s, const int32_t* colours, const char* text, int64_t cw, int64_t ch, int32_t w,
               int32_t h, int32_t advance, bool bold, bool shadow, const char* face, int32_t style) {
    int count = 0;
    while (count < StringSpriteColorLimit && colours[count] != -1) count++;
    if (count == 0) return;
    Surface mask, image, picture;
    if (cw <= MaxPictureSide / (2 * count) && MakePicture(&mask, cw, ch) && MakePicture(&image, cw, ch) &&
        MakePicture(&picture, 2 * cw * count, ch)) {
        RenderStringCells(&mask, text, -1, w, h, advance, bold, shadow, face, style);
        for (int j = 0; j < count; j++) {
            Fill(&image, 0);
            RenderStringCells(&image, text, colours[j] & 0xFFFFFF, w, h, advance, bold, shadow, face, style);
            BltToSurface(&picture, (int32_t)(2 * cw * j), 0, (int32_t)cw, (int32_t)ch, &image, 0, 0);
            BltToSurface(&picture, (int32_t)(2 * cw * j + cw), 0, (int32_t)cw, (int32_t)ch, &mask, 0, 0);
        }
        // The loader has set the sprite's fields and tag: only the bits change.
        MoveDib(&s->dib, &picture.dib);
    } else {
        FreeDib(&s->dib);
    }
    DestroySurface(&mask);
    DestroySurface(&image);
    DestroySurface(&picture);
}

int64_t CellWidthOf(const char* text, int32_t w, int32_t advance) {
    int64_t cw = (int64_t)strlen(text) * advance / 2;
    if (advance < w) cw += (int64_t)w - advance;
    return cw;
}

}  // namespace

void MakeStringSprite(Surface* s, const int32_t* colours, const char* text, int32_t w, int32_t h,
                      int32_t advance, int32_t style) {
    int64_t cw = CellWidthOf(text, w, advance), ch = h;
    if (ShadeDistanceOn && TextShadow) {
        cw += ShadeDistanceX;
        ch += ShadeDistanceY;
    } else if (TextShadow) {
        cw += 1;
    }
    if (style == 2) {
        cw += 2;
        ch += 2;
    }
    bool spriteFont = SpriteFontWidth != -1;
    MakeCells(s, colours, text, cw, ch, w, h, advance, (spriteFont ? SpriteBold : TextBold) != 0,
              (spriteFont ? SpriteShadow : TextShadow) != 0, spriteFont ? SpriteFontFace : TextFontFace, style);
}

void MakeStringSpriteDefaultFont(Surface* s, const int32_t* colours, const char* text, int32_t style) {
    int32_t w, h, advance;
    bool bold, shadow;
    const char* face;
    int64_t cw, ch;
    if (SpriteFontWidth != -1) {
        w = SpriteFontWidth, h = SpriteFontHeight, advance = SpriteCharAdvance;
        bold = SpriteBold != 0, shadow = SpriteShadow != 0, face = SpriteFontFace;
        cw = CellWidthOf(text, w, advance), ch = h;
        if (ShadeDistanceOn && shadow) {
            cw += ShadeDistanceX;
            ch += ShadeDistanceY;
        } else if (shadow) {
            cw += 1;
        }
    } else {
        // The text window's font, always in the plain style.
        w = TextFontWidth, h = TextFontHeight, advance = TextCharAdvance;
        bold = TextBold != 0, shadow = TextShadow != 0, face = TextFontFace;
        style = 1;
        cw = CellWidthOf(text, w, advance), ch = h;
        if (ShadeDistanceOn && shadow) {
            cw += std::max(ShadeDistanceX, 0);
            ch += std::max(ShadeDistanceY, 0);
        } else if (shadow) {
            cw += 1;
        }
    }
    if (style == 2) {
        cw += 2;
        ch += 2;
    }
    MakeCells(s, colours, text, cw, ch, w, h, advance, bold, shadow, face, style);
}

// ---- the developer tools -------------------------------------------------

namespace {

// Draws text at (x, y) of s in the plain 1x style, a font fw / 2 wide and
// fh high, as written: character by character, a double-byte one fw wide
// and a single-byte one fw / 2.  A lead byte without its trail ends it.
void DrawPlainText(Surface* s, const char* text, int32_t x, int32_t y, int32_t fw, int32_t fh, uint32_t color) {
    std::vector<uint8_t> cov;
    for (const unsigned char* p = (const unsigned char*)text; *p;) {
        bool wide = IsSjisLead(p[0]);
        if (wide && !p[1]) break;
        char cell[2] = {(char)p[0], wide ? (char)p[1] : (char)0};
        int32_t bw;
        PlainCellCoverage(cell, fw, fh, &cov, &bw);
        BlendCoverage(s, cov.data(), bw, bw, fh, x, y, BgrOf(color), false);
        x += wide ? fw : fw / 2;
        p += wide ? 2 : 1;
    }
}

}  // namespace

void RenderFontTest(const char* face, int32_t width, int32_t height) {
    static const char Characters[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ'.?!+-=*/<>[]^\\%&$\":";
    enum { Count = sizeof Characters - 1 };
    static_assert(Count == 57, "57 characters");
    Surface pic;
    if (width >= 1 && height >= 1 && (int64_t)width * Count <= MaxPictureSide &&
        MakePicture(&pic, (int64_t)width * Count, height)) {
        SelectGlyphFont(face, 2 * width, height, false, false);
        std::vector<uint8_t> cov;
        for (int i = 0; i < Count; i++) {
            char cell[2] = {Characters[i], 0};
            int32_t bw;
            PlainCellCoverage(cell, 2 * width, height, &cov, &bw);
            BlendCoverage(&pic, cov.data(), bw, bw, height, i * width, 0, BgrOf(0xFFFFFF), false);
        }
        SaveSurfaceBmp(&pic, "testfont.bmp");
    }
    DestroySurface(&pic);
}

// Written only inside the game folder, as every file a script names.
void WriteDummyPicture(const char* file) {
    if (!file[0] || !PlatWriteAllowed(file)) return;
    Surface pic;
    if (MakePicture(&pic, 640, 480)) {
        Fill(&pic, 0xFFFFFF);
        SelectGlyphFont(FaceGothic, 100, 100, false, true);
        DrawPlainText(&pic, file, 0, 180, 100, 100, 0);
        SaveSurfaceBmp(&pic, file);
    }
    DestroySurface(&pic);
}
