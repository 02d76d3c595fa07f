// offscreen_commands.cpp - drawclear, drawfill, drawbg, drawbg2, drawsp,
// drawsp2, drawsp3, drawtext, draw, ofscpy/ofscopy, bgcpy/bgcopy, blt.
// Sprite numbers outside 0..999 read their operands and draw nothing.
#include "graphics/offscreen_commands.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/readers.h"
#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/draw.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "text/textwindow.h"
#include "ui/mainwindow.h"

// Reads `count` integer operands separated by commas.
static void ReadInts(int32_t* out, int count) {
    for (int i = 0; i < count; i++) {
        if (i) ExpectComma();
        out[i] = ReadIntExpr();
    }
}

void Cmd_drawclear() { FillSurfaceRect(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, 0); }

void Cmd_drawfill() {
    int32_t v[3];
    ReadInts(v, 3);
    uint32_t colorref = (uint32_t)(v[0] & 0xFF) | (uint32_t)(v[1] & 0xFF) << 8 |
                        (uint32_t)(v[2] & 0xFF) << 16;
    FillSurfaceRect(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, colorref);
}

void Cmd_drawbg() { BltToSurface(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, &BgSurface, 0, 0); }

void Cmd_drawbg2() {
    int32_t v[5];  // centre x, centre y, x scale, y scale, rotation
    ReadInts(v, 5);
    BgSurface.transMode = TransCopy;
    BgSurface.cellCount = 1;
    BgSurface.cell = 0;
    BgSurface.alpha = 255;
    DrawSurfaceRotated(&BgSurface, &DestSurface, v[0], v[1], v[2], v[3], v[4], BlendNormal);
}

// Reads the sprite, cell and alpha operands; stores the cell (limited to
// the cell count) and the alpha (0..255) into the sprite's picture.  The
// old alpha is kept in *oldAlpha.  Null for a number outside the table.
static Surface* ReadSpriteCellAlpha(int32_t* oldAlpha) {
    int32_t v[3];
    ReadInts(v, 3);
    if (v[0] < 0 || v[0] >= SpriteCount) return nullptr;
    Surface* s = &Sprites[v[0]].surface;
    int32_t cells = CellCountOf(s);
    s->cell = v[1] < 0 ? 0 : v[1] >= cells ? cells - 1 : v[1];
    *oldAlpha = s->alpha;
    s->alpha = v[2] < 0 ? 0 : v[2] > 255 ? 255 : v[2];
    return s;
}

void Cmd_drawsp() {
    int32_t old, pos[2];
    Surface* s = ReadSpriteCellAlpha(&old);
    ExpectComma();
    ReadInts(pos, 2);
    if (s) DrawSurface(s, &DestSurface, pos[0], pos[1], nullptr);  // the alpha stays
}

void Cmd_drawsp2() {
    int32_t old, v[5];  // centre x, centre y, x scale, y scale, rotation
    Surface* s = ReadSpriteCellAlpha(&old);
    ExpectComma();
    ReadInts(v, 5);
    if (!s) return;
    DrawSurfaceRotated(s, &DestSurface, v[0], v[1], v[2], v[3], v[4], BlendNormal);
    s->alpha = old;
}

void Cmd_drawsp3() {
    int32_t old, v[6];  // x, y, a, b, c, d
    Surface* s = ReadSpriteCellAlpha(&old);
    ExpectComma();
    ReadInts(v, 6);
    if (!s) return;
    // The affine draw leaves the picture in alpha mode, as it always has.
    DrawSurfaceAffine(s, &DestSurface, v[0], v[1], v[2], v[3], v[4], v[5]);
    s->alpha = old;
}

void Cmd_drawtext() { DrawTextWindowLayer(); }

void Cmd_draw() {
    // Invalidate without erasing, then paint at once.
    InvalidateMainWindow(nullptr);
    PlatRemoveAll(WM_PAINT);
    PlatSendMessage(WM_PAINT, 0, 0);
}

void CopyWindowToDest() {
    const Dib& d = DestSurface.dib;
    if (!HasPicture(&DestSurface) || d.infoHeader.bitCount != 24) return;
    PlatReadWindow(d.bits, d.width, d.height);
}

void Cmd_ofscpy() { CopyWindowToDest(); }
void Cmd_ofscopy() { CopyWindowToDest(); }

void Cmd_bgcpy() {
    CopyWindowToDest();
    BltToSurface(&BgSurface, 0, 0, ScreenWidth, ScreenHeight, &DestSurface, 0, 0);
    BgSurface.tag[0] = 0;
    AssignString(&BgName, "*bgcpy");
}
void Cmd_bgcopy() { Cmd_bgcpy(); }

// One axis of a stretch copy: a rectangle from `at` spanning `size` pixels,
// leftwards (upwards) when `size` is negative, so that pixel i counted from
// `at` is at + i or at - i.  Opposite signs of the two sides mirror.
struct StretchAxis {
    int64_t at, size;
    int64_t Pixel(int64_t i) const { return size < 0 ? at - i : at + i; }
    int64_t Span() const { return size < 0 ? -size : size; }
    // The first and last index whose pixel lies in 0..limit - 1.
    bool Range(int64_t limit, int64_t* first, int64_t* last) const {
        int64_t lo = size < 0 ? at - (Span() - 1) : at, hi = lo + Span() - 1;
        if (lo < 0) lo = 0;
        if (hi > limit - 1) hi = limit - 1;
        if (lo > hi) return false;
        *first = size < 0 ? at - hi : lo - at;
        *last = size < 0 ? at - lo : hi - at;
        return true;
    }
};

void StretchToWindow(const Surface* src, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                     int32_t sx, int32_t sy, int32_t sw, int32_t sh) {
    if (!HasPicture(src) || src->dib.infoHeader.bitCount != 24) return;
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return;
    int32_t w = ScreenWidth, h = ScreenHeight;
    size_t stride = (size_t)DibStride(24, w);
    std::vector<uint8_t> frame(stride * h, 0);
    if (!PlatReadWindow(frame.data(), w, h) && HasPicture(&DestSurface) &&
        DestSurface.dib.width == w && DestSurface.dib.height == h &&
        DestSurface.dib.infoHeader.bitCount == 24)
        memcpy(frame.data(), DestSurface.dib.bits, stride * h);
    const Dib& s = src->dib;
    StretchAxis ox{dx, dw}, oy{dy, dh}, ix{sx, sw}, iy{sy, sh};
    int64_t i0, i1, j0, j1;
    if (!ox.Range(w, &i0, &i1) || !oy.Range(h, &j0, &j1)) return;
    for (int64_t j = j0; j <= j1; j++) {
        int64_t ty = iy.Pixel(j * iy.Span() / oy.Span());
        if (ty < 0 || ty >= s.height) continue;
        const uint8_t* in = DibRow(&s, (int32_t)ty);
        uint8_t* out = frame.data() + stride * (size_t)(h - 1 - oy.Pixel(j));
        for (int64_t i = i0; i <= i1; i++) {
            int64_t tx = ix.Pixel(i * ix.Span() / ox.Span());
            if (tx >= 0 && tx < s.width) memcpy(out + 3 * ox.Pixel(i), in + 3 * tx, 3);
        }
    }
    PlatPresent(frame.data(), w, h);
}

void Cmd_blt() {
    int32_t v[8];
    ReadInts(v, 6);
    // Without them the source has the destination's size, taken as it is
    // drawn: a negative destination side then mirrors the source.
    auto magnitude = [](int32_t n) { return n >= 0 ? n : n == INT32_MIN ? INT32_MAX : -n; };
    v[6] = magnitude(v[2]), v[7] = magnitude(v[3]);
    if (SkipBlanks() == ',') {
        ExpectComma();
        ReadInts(v + 6, 2);
    }
    StretchToWindow(&ButtonPicture, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
}
