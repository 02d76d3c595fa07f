// effect_kernels.h - the pixel work of the transitions on 24-bit pictures of
// one size: line copies for blinds and curtains, the crossfade's half-byte
// blend, the rule wipe and rule fade steps, mosaic fills and whole-picture
// scrolls.  Coordinates are counted from the top; every area is clipped by
// the caller (left, top, w, h inside the pictures).  Full-screen steps can
// be split over a few threads (off by default).
#pragma once
#include <cstdint>

#include "graphics/surface.h"

// x*y/255 truncated for x, y in 0..255 (ProductTable's entries, computed).
inline uint32_t Div255Product(uint32_t x, uint32_t y) {
    uint32_t p = x * y;
    return (p + 1 + (p >> 8)) >> 8;
}

// Copies the w x h area at (left, top) from src to dst.
void EffectCopyRect(Dib* dst, const Dib* src, int32_t left, int32_t top, int32_t w, int32_t h);
// Copies the 1-pixel columns x = first, first + step, ... <= last, rows
// top .. top + h - 1.
void EffectCopyColumns(Dib* dst, const Dib* src, int32_t first, int32_t step, int32_t last,
                       int32_t top, int32_t h);
// Copies the columns at[0 .. count-1] (each inside left .. left + w - 1 or
// skipped), rows top .. top + h - 1.
void EffectCopyColumnList(Dib* dst, const Dib* src, const int32_t* at, int32_t count,
                          int32_t left, int32_t w, int32_t top, int32_t h);
// Scrolls the whole picture by dx columns (right > 0) or dy rows (down > 0);
// what is uncovered keeps its old bytes.
void EffectScroll(Dib* d, int32_t dx, int32_t dy);

// One crossfade frame: the bytes of each row of the area whose offset from
// the area's first byte in that row is odd (parity 1) or even (parity 0)
// become PT[level][src] + PT[255 - level][old] in work; parity 2 blends
// every byte.
void CrossfadeStep(Dib* work, const Dib* src, const Dib* old, int32_t left, int32_t top,
                   int32_t w, int32_t h, int32_t level, int32_t parity);
// One rule-wipe frame: each pixel of the area whose rule value (the blue
// byte of `rule`) is <= threshold takes its colour from src into dest, and
// its rule value becomes 255.
void RuleWipeStep(Dib* dest, const Dib* src, Dib* rule, int32_t left, int32_t top, int32_t w,
                  int32_t h, int32_t threshold);
// One rule-fade frame: for each pixel of the area not marked in done
// (ScreenWidth bytes a row, top-down), d = level - rule value; d >= 255 takes
// src and marks it done, 1..254 blends PT[d][src] + PT[255 - d][old].
void RuleFadeStep(Dib* dest, const Dib* src, const Dib* old, const Dib* rule, uint8_t* done,
                  int32_t left, int32_t top, int32_t w, int32_t h, int32_t level);
// Fills the whole of dest with size x size blocks of from: block columns
// from x = 0 to the right, block rows from the bottom line upward, each of
// the colour of its own bottom-left pixel, cut at the edges.
void MosaicFill(Dib* dest, const Dib* from, int32_t size);

// Threads used for full-screen steps (1 = none); for the benchmarks.
void SetEffectThreads(int count);
// Caps the vector width the steps use at `bits` (512, 256, 128, or 0 for
// plain loops; the machine's own limit holds as well) and returns the
// width now in use; for tests and benchmarks.
int SetEffectVectorBits(int bits);
