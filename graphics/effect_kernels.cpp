// effect_kernels.cpp - the transitions' pixel loops.  Products go through
// Div255Product, which equals ProductTable's entries and lets the compiler
// vectorise the blends; rows of large areas are shared out to threads.
#include "graphics/effect_kernels.h"

#include <algorithm>
#include <cstring>
#include <thread>

static int EffectThreads = [] {
    unsigned n = std::thread::hardware_concurrency();
    return (int)std::clamp(n, 1u, 4u);
}();

void SetEffectThreads(int count) { EffectThreads = std::clamp(count, 1, 16); }

// Below this many pixels a step runs on the calling thread alone.
enum { ParallelPixels = 1 << 18 };

// Runs fn(first, end) over rows top .. top + h - 1, in parts when the step
// touches `pixels` pixels or more.
template <class F>
static void ForRows(int32_t top, int32_t h, int64_t pixels, F fn) {
    int parts = pixels >= ParallelPixels ? std::min(EffectThreads, (int)h) : 1;
    if (parts <= 1) {
        fn(top, top + h);
        return;
    }
    std::thread helpers[16];
    int32_t at = top;
    for (int i = 0; i < parts; i++) {
        int32_t end = top + (int32_t)((int64_t)h * (i + 1) / parts);
        if (i + 1 < parts)
            helpers[i] = std::thread(fn, at, end);
        else
            fn(at, end);
        at = end;
    }
    for (int i = 0; i + 1 < parts; i++) helpers[i].join();
}

void EffectCopyRect(Dib* dst, const Dib* src, int32_t left, int32_t top, int32_t w, int32_t h) {
    if (w < 1 || h < 1) return;
    for (int32_t y = top; y < top + h; y++)
        memcpy(DibRow(dst, y) + 3 * left, DibRow(src, y) + 3 * left, (size_t)w * 3);
}

void EffectCopyColumns(Dib* dst, const Dib* src, int32_t first, int32_t step, int32_t last,
                       int32_t top, int32_t h) {
    if (first > last || step < 1) return;
    for (int32_t y = top; y < top + h; y++) {
        uint8_t* d = DibRow(dst, y);
        const uint8_t* s = DibRow(src, y);
        for (int32_t x = first; x <= last; x += step) memcpy(d + 3 * x, s + 3 * x, 3);
    }
}

void EffectCopyColumnList(Dib* dst, const Dib* src, const int32_t* at, int32_t count,
                          int32_t left, int32_t w, int32_t top, int32_t h) {
    for (int32_t y = top; y < top + h; y++) {
        uint8_t* d = DibRow(dst, y);
        const uint8_t* s = DibRow(src, y);
        for (int32_t i = 0; i < count; i++)
            if (at[i] >= left && at[i] < left + w) memcpy(d + 3 * at[i], s + 3 * at[i], 3);
    }
}

void EffectScroll(Dib* d, int32_t dx, int32_t dy) {
    int32_t w = d->width, h = d->height;
    size_t stride = (size_t)DibStride(24, w);
    if (dx > 0 && dx < w) {
        for (int32_t y = 0; y < h; y++) {
            uint8_t* row = DibRow(d, y);
            memmove(row + 3 * dx, row, (size_t)(w - dx) * 3);
        }
    } else if (dx < 0 && -dx < w) {
        for (int32_t y = 0; y < h; y++) {
            uint8_t* row = DibRow(d, y);
            memmove(row, row - 3 * dx, (size_t)(w + dx) * 3);
        }
    }
    // Rows are stored bottom-up: moving the content down the screen moves it
    // toward the start of the bits.
    if (dy > 0 && dy < h)
        memmove(d->bits, d->bits + stride * dy, stride * (size_t)(h - dy));
    else if (dy < 0 && -dy < h)
        memmove(d->bits + stride * (size_t)-dy, d->bits, stride * (size_t)(h + dy));
}

void CrossfadeStep(Dib* work, const Dib* src, const Dib* old, int32_t left, int32_t top,
                   int32_t w, int32_t h, int32_t level, int32_t parity) {
    if (w < 1 || h < 1) return;
    const uint32_t a = (uint32_t)level, b = 255u - (uint32_t)level;
    const int32_t n = w * 3;
    const uint8_t keep = parity ? 0 : 1;  // the parity of the bytes left alone
    ForRows(top, h, (int64_t)w * h, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; y++) {
            uint8_t* o = DibRow(work, y) + 3 * left;
            const uint8_t* s = DibRow(src, y) + 3 * left;
            const uint8_t* d = DibRow(old, y) + 3 * left;
            for (int32_t i = 0; i < n; i++) {
                uint8_t v = (uint8_t)(Div255Product(a, s[i]) + Div255Product(b, d[i]));
                o[i] = ((uint8_t)(i & 1) == keep) ? o[i] : v;
            }
        }
    });
}

void RuleWipeStep(Dib* dest, const Dib* src, Dib* rule, int32_t left, int32_t top, int32_t w,
                  int32_t h, int32_t threshold) {
    if (w < 1 || h < 1) return;
    ForRows(top, h, (int64_t)w * h, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; y++) {
            uint8_t* d = DibRow(dest, y) + 3 * left;
            const uint8_t* s = DibRow(src, y) + 3 * left;
            uint8_t* r = DibRow(rule, y) + 3 * left;
            for (int32_t x = 0; x < w; x++) {
                if (r[3 * x] > threshold) continue;
                d[3 * x] = s[3 * x];
                d[3 * x + 1] = s[3 * x + 1];
                d[3 * x + 2] = s[3 * x + 2];
                r[3 * x] = 255;
            }
        }
    });
}

void RuleFadeStep(Dib* dest, const Dib* src, const Dib* old, const Dib* rule, uint8_t* done,
                  int32_t left, int32_t top, int32_t w, int32_t h, int32_t level) {
    if (w < 1 || h < 1) return;
    const int32_t doneStride = dest->width;
    ForRows(top, h, (int64_t)w * h, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; y++) {
            uint8_t* d = DibRow(dest, y) + 3 * left;
            const uint8_t* s = DibRow(src, y) + 3 * left;
            const uint8_t* o = DibRow(old, y) + 3 * left;
            const uint8_t* r = DibRow(rule, y) + 3 * left;
            uint8_t* dn = done + (size_t)y * doneStride + left;
            for (int32_t x = 0; x < w; x++) {
                if (dn[x]) continue;
                int32_t k = level - r[3 * x];
                if (k <= 0) continue;
                if (k >= 255) {
                    d[3 * x] = s[3 * x];
                    d[3 * x + 1] = s[3 * x + 1];
                    d[3 * x + 2] = s[3 * x + 2];
                    dn[x] = 1;
                    continue;
                }
                for (int c = 0; c < 3; c++)
                    d[3 * x + c] = ProductTable[k][s[3 * x + c]] + ProductTable[255 - k][o[3 * x + c]];
            }
        }
    });
}

void MosaicFill(Dib* dest, const Dib* from, int32_t size) {
    int32_t w = dest->width, h = dest->height;
    if (size < 1) size = 1;
    size_t stride = (size_t)DibStride(24, w);
    // Memory row 0 is the bottom line: block row k covers memory rows
    // k*size .. k*size+size-1 and samples memory row k*size.
    int32_t blockRows = (h + size - 1) / size;
    ForRows(0, blockRows, (int64_t)w * h, [=](int32_t k0, int32_t k1) {
        for (int32_t k = k0; k < k1; k++) {
            int32_t r0 = k * size, r1 = std::min(h, r0 + size);
            const uint8_t* s = from->bits + stride * r0;
            uint8_t* first = dest->bits + stride * r0;
            for (int32_t x0 = 0; x0 < w; x0 += size) {
                int32_t x1 = std::min(w, x0 + size);
                uint8_t b = s[3 * x0], g = s[3 * x0 + 1], r = s[3 * x0 + 2];
                for (int32_t x = x0; x < x1; x++) {
                    first[3 * x] = b;
                    first[3 * x + 1] = g;
                    first[3 * x + 2] = r;
                }
            }
            for (int32_t row = r0 + 1; row < r1; row++)
                memcpy(dest->bits + stride * row, first, (size_t)w * 3);
        }
    });
}
