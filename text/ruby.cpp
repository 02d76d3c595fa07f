// ruby.cpp - ruby layout and drawing.  The glyphs go through the same 3x
// cell path as the text, always bold, one cell per ruby character.
#include "text/ruby.h"

#include <cstring>

#include "core/sjis.h"
#include "core/script.h"
#include "text/glyph.h"
#include "text/mainwindow.h"
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

void DrawRubyToScreen(const char* ruby, int32_t len, int32_t x, int32_t y, uint32_t color) {
    RubyPlacement rp;
    if (!PlaceRuby(ruby, len, x, y, RubyBaseExtent, &rp)) return;
    int32_t n = rp.n, rw = rp.rw, rh = rp.rh, g = rp.step, o = rp.offset;
    bool vertical = rp.vertical;
    x = rp.x;
    y = rp.y;
    SelectGlyphFont(RubyFontFace[0] ? RubyFontFace : TextFontFace, rw, rh, vertical, true);
    for (int32_t k = 0; k < n; k++) {
        char cell[3] = {ruby[2 * k], ruby[2 * k + 1], 0};
        int32_t px = vertical ? x : x + o + k * g;
        int32_t py = vertical ? y + o + k * g : y;
        DrawGlyphCell(cell, px, py, rw, rh, color, false, TextShadow != 0);
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
    if (r.right >= r.left && r.bottom >= r.top) PaintWindow(&r);
}
