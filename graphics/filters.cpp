// filters.cpp - the negative filter, the monochrome tint, the bars and the
// numbers, drawn into SrcSurface by the compositor after the sprites.
#include "graphics/filters.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "graphics/number_font.h"
#include "graphics/screen.h"

int32_t NegaMode;
MonocroTint Monocro;
BarSlot BarSlots[BarSlotCount];
PrnumSlot PrnumSlots[PrnumSlotCount];

void ResetScreenFilters() {
    NegaMode = 0;
    Monocro.on = 0;
    for (BarSlot& b : BarSlots) b.x = -1;
    for (PrnumSlot& p : PrnumSlots) p.x = -1;
}

// The part of the 24-bit SrcSurface in left..right-1, top..bottom-1;
// false when nothing of it is there.
static bool ClipToSource(int64_t* left, int64_t* top, int64_t* right, int64_t* bottom) {
    const Dib& d = SrcSurface.dib;
    if (!HasPicture(&SrcSurface) || d.infoHeader.bitCount != 24) return false;
    if (*left < 0) *left = 0;
    if (*top < 0) *top = 0;
    if (*right > d.width) *right = d.width;
    if (*bottom > d.height) *bottom = d.height;
    return *left < *right && *top < *bottom;
}

static void Invert(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    for (int64_t y = top; y < bottom; y++) {
        uint8_t* p = DibRow(&SrcSurface.dib, (int32_t)y) + 3 * left;
        for (int64_t i = 0, n = 3 * (right - left); i < n; i++) p[i] = (uint8_t)(255 - p[i]);
    }
}

static void Tint(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    uint8_t b = (uint8_t)Monocro.blue, g = (uint8_t)Monocro.green, r = (uint8_t)Monocro.red;
    for (int64_t y = top; y < bottom; y++) {
        uint8_t* p = DibRow(&SrcSurface.dib, (int32_t)y) + 3 * left;
        for (int64_t x = left; x < right; x++, p += 3) {
            int grey = (p[0] + p[1] + p[2]) / 3;
            p[0] = ProductTable[grey][b];
            p[1] = ProductTable[grey][g];
            p[2] = ProductTable[grey][r];
        }
    }
}

void ApplyScreenFilters(int32_t left, int32_t top, int32_t w, int32_t h) {
    int64_t l = left, t = top, r = (int64_t)left + w, b = (int64_t)top + h;
    if (NegaMode != 1 && NegaMode != 2 && !Monocro.on) return;
    if (!ClipToSource(&l, &t, &r, &b)) return;
    if (NegaMode == 1) Invert(l, t, r, b);
    if (Monocro.on) Tint(l, t, r, b);
    if (NegaMode == 2) Invert(l, t, r, b);
}

// Does the box x..x+w, y..y+h (inclusive) meet the rectangle?
static bool Meets(const ScreenRect* rc, int64_t x, int64_t y, int64_t w, int64_t h) {
    return x + w >= rc->left && y + h >= rc->top && rc->right >= x && rc->bottom >= y;
}

void DrawBarSlots(const ScreenRect* rect) {
    for (const BarSlot& s : BarSlots) {
        if (s.x == -1 || !Meets(rect, s.x, s.y, s.width, s.height)) continue;
        if (s.maximum == 0) continue;  // no fill width to give
        int64_t filled = (int64_t)s.value * s.width / s.maximum;
        if (filled <= 0) continue;
        int64_t l = s.x, t = s.y, r = (int64_t)s.x + filled, b = (int64_t)s.y + s.height;
        if (!ClipToSource(&l, &t, &r, &b)) continue;
        uint8_t c[3] = {(uint8_t)s.color, (uint8_t)(s.color >> 8), (uint8_t)(s.color >> 16)};
        for (int64_t y = t; y < b; y++) {
            uint8_t* p = DibRow(&SrcSurface.dib, (int32_t)y) + 3 * l;
            for (int64_t x = l; x < r; x++, p += 3) p[0] = c[0], p[1] = c[1], p[2] = c[2];
        }
    }
}

void ReduceThirds(const uint8_t* big, int32_t w, int32_t h, uint8_t* out) {
    size_t bw = 3 * (size_t)w;
    for (int32_t i = 0; i < h; i++)
        for (int32_t j = 0; j < w; j++) {
            const uint8_t* a = big + 3 * (size_t)i * bw + 3 * (size_t)j;
            const uint8_t* m = a + bw;
            const uint8_t* z = m + bw;
            unsigned sum = a[0] + 2 * a[1] + a[2] + 2 * m[0] + 4 * m[1] + 2 * m[2] + z[0] +
                           2 * z[1] + z[2];
            out[(size_t)i * w + j] = (uint8_t)(sum >> 4);
        }
}

// One number: "%3d" drawn at three times the box's size, reduced, and blended
// in its colour over the box (clipped to the picture).
static void DrawPrnum(const PrnumSlot& s) {
    int32_t cw = s.cellWidth, ch = s.cellHeight;
    if (cw <= 0 || ch <= 0 || (int64_t)cw * ch > 4096 * 4096 / 9) return;
    int32_t w = 3 * cw, h = ch;  // the box
    std::vector<uint8_t> big((size_t)9 * w * h, 0), cover((size_t)w * h);
    char text[16];
    snprintf(text, sizeof text, "%3d", s.value);
    // Only the first three character cells fit in the box.
    if (!DrawNumberText(text, 3 * cw, 3 * ch, big.data(), 3 * w, 3 * h)) return;
    ReduceThirds(big.data(), w, h, cover.data());
    int64_t l = s.x, t = s.y, r = (int64_t)s.x + w, b = (int64_t)s.y + h;
    if (!ClipToSource(&l, &t, &r, &b)) return;
    uint8_t c[3] = {(uint8_t)s.color, (uint8_t)(s.color >> 8), (uint8_t)(s.color >> 16)};
    for (int64_t y = t; y < b; y++) {
        uint8_t* p = DibRow(&SrcSurface.dib, (int32_t)y) + 3 * l;
        const uint8_t* cov = cover.data() + (size_t)(y - s.y) * w + (l - s.x);
        for (int64_t x = l; x < r; x++, p += 3, cov++) {
            uint8_t k = *cov;
            for (int i = 0; i < 3; i++) {
                int v = ProductTable[p[i]][255 - k] + ProductTable[c[i]][k];
                p[i] = (uint8_t)(v > 255 ? 255 : v);
            }
        }
    }
}

void DrawPrnumSlots(const ScreenRect* rect) {
    for (const PrnumSlot& s : PrnumSlots)
        if (s.x != -1 && Meets(rect, s.x, s.y, 3 * (int64_t)s.cellWidth, s.cellHeight))
            DrawPrnum(s);
}
