// ruby.cpp - ruby layout and drawing.  The glyphs go through the same 3x
// cell path as the text, always bold, one cell per ruby character.
#include "text/ruby.h"

#include <cstring>

#include "core/sjis.h"
#include "core/script.h"
#include "core/startup.h"
#include "graphics/screen.h"
#include "text/glyph.h"
#include "ui/mainwindow.h"
#include "text/textwindow.h"

int32_t RubyOn = 0;
int32_t RubyPerLine = 0;
int32_t RubyFontWidth = -1, RubyFontHeight = -1;
char RubyFontFace[RubyFaceSize] = "";
int32_t RubyBaseExtent = 0;

void ResetRuby() {
    RubyOn = RubyPerLine = 0;
    RubyFontWidth = RubyFontHeight = -1;
    RubyFontFace[0] = 0;
    RubyBaseExtent = 0;
}

void RubyGlyphSize(int32_t fw, int32_t fh, int32_t* rw, int32_t* rh) {
    if (RubyFontWidth == -1) {
        *rw = fw / 2;
        *rh = fh / 2;
    } else {
        *rw = RubyFontWidth;
        *rh = RubyFontHeight;
    }
}

int32_t RubyExcess(int32_t w, int32_t n, int32_t rw, int32_t rh, int32_t fw, int32_t fh,
                   bool vertical) {
    int64_t p = vertical ? (int64_t)n * rh : (int64_t)n * rw;
    int64_t base = vertical ? (int64_t)w * fh : (int64_t)w * fw;
    return base < p ? (int32_t)(p - base) : 0;
}

void RubySpacing(int32_t extent, int32_t len, int32_t rw, int32_t rh, bool vertical,
                 int32_t* step, int32_t* offset) {
    int32_t g, o;
    if (!vertical) {
        g = (int32_t)(2 * (int64_t)extent / ((int64_t)len + 1));
        o = g > rw ? (g - rw) / 2 : 0;
    } else {
        // A ruby of fewer than two bytes has no character to space.
        int32_t chars = len / 2;
        g = chars > 0 ? extent / chars / 2 : rh;
        if (g < rh) g = rh;
        o = g > rh ? (g - rh) / 2 : 0;
    }
    *step = g;
    *offset = o;
}

bool PlaceRuby(const char* ruby, int32_t len, int32_t x, int32_t y, int32_t extent, RubyPlacement* p) {
    if (len < 0) return false;
    len = (int32_t)SjisCutLength(ruby, (size_t)len, RubyTextMax);
    p->n = len / 2;
    if (p->n <= 0) return false;
    p->vertical = VerticalText != 0;
    RubyGlyphSize(TextFontWidth, TextFontHeight, &p->rw, &p->rh);
    if (p->rw <= 0 || p->rh <= 0) return false;
    RubySpacing(extent, len, p->rw, p->rh, p->vertical, &p->step, &p->offset);
    p->x = p->vertical ? x + TextFontWidth : x;
    p->y = p->vertical ? y : y - p->rh;
    return true;
}

void BlendRubyGlyph(const uint8_t* coverage, int32_t rw, int32_t rh, int32_t x, int32_t y, uint32_t color,
                    bool shadow, Surface* target, bool layers) {
    if (!HasPicture(target)) return;
    const uint8_t col[3] = {(uint8_t)color, (uint8_t)(color >> 8), (uint8_t)(color >> 16)};
    int32_t tw = target->dib.width, th = target->dib.height;
    layers = layers && GlyphLayer && HasPicture(&TextColorSurface);
    for (int32_t j = 0; j < rh; j++) {
        int32_t py = y + j;
        if (py < 0 || py >= th) continue;
        uint8_t* row = DibRow(&target->dib, py);
        bool layerRow = layers && py < ScreenHeight && py < TextColorSurface.dib.height;
        for (int32_t i = 0; i < rw; i++) {
            int32_t px = x + i;
            uint8_t c = coverage[(size_t)j * rw + i];
            if (px >= 0 && px < tw) {
                uint8_t* d = row + 3 * px;
                for (int k = 0; k < 3; k++)
                    d[k] = (uint8_t)(ProductTable[d[k]][255 - c] + ProductTable[col[k]][c]);
                if (layerRow && px < ScreenWidth && px < TextColorSurface.dib.width) {
                    GlyphLayer[(size_t)py * ScreenWidth + px] = c;
                    uint8_t* t = DibRow(&TextColorSurface.dib, py) + 3 * px;
                    for (int k = 0; k < 3; k++) t[k] = ProductTable[col[k]][c];
                }
            }
            if (shadow && c > 64 && px + 1 >= 0 && px + 1 < tw) {
                uint8_t* r = row + 3 * (px + 1);
                r[0] >>= 2, r[1] >>= 2, r[2] >>= 2;
            }
        }
    }
}

void DrawRubyToScreen(const char* ruby, int32_t len, int32_t x, int32_t y, uint32_t color) {
    RubyPlacement rp;
    if (!PlaceRuby(ruby, len, x, y, RubyBaseExtent, &rp)) return;
    int32_t n = rp.n, rw = rp.rw, rh = rp.rh, g = rp.step, o = rp.offset;
    bool vertical = rp.vertical;
    x = rp.x;
    y = rp.y;
    SelectGlyphFont(RubyFontFace[0] ? RubyFontFace : TextFontFace, rw, rh, vertical, true);
    for (int32_t k = 0; k < n; k++) {
        char cell[2] = {ruby[2 * k], ruby[2 * k + 1]};
        int32_t px = vertical ? x : x + o + k * g;
        int32_t py = vertical ? y + o + k * g : y;
        BlendRubyGlyph(GlyphCellCoverage(cell, rw, rh, false), rw, rh, px, py, color, TextShadow != 0,
                       &DestSurface, true);
    }
    // Back to the text's own font for the cells that follow.
    SelectTextGlyphFont();
    int64_t extent = (int64_t)o + (int64_t)n * g;
    ScreenRect r;
    r.left = x < 0 ? 0 : x;
    r.top = y < 0 ? 0 : y;
    int64_t right = vertical ? (int64_t)x + rw : x + extent;
    int64_t bottom = vertical ? y + extent : (int64_t)y + rh;
    r.right = (int32_t)(right > ScreenWidth - 1 ? ScreenWidth - 1 : right);
    r.bottom = (int32_t)(bottom > ScreenHeight - 1 ? ScreenHeight - 1 : bottom);
    if (r.right >= r.left && r.bottom >= r.top) DrawDestToWindow(&r);
}
