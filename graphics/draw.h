// draw.h - drawing the current cell of a picture onto a 24-bit surface:
// upright (DrawSurface), scaled and rotated about a centre with a normal,
// additive or subtractive blend (DrawSurfaceRotated), and through a 2 x 2
// matrix (DrawSurfaceAffine).  All three honour the source's TransMode, its
// mask halves and its alpha, and multiply only as ProductTable does
// (a * b / 255, truncated), so results are exact to the byte.
//
// Sources are 24-bit or 8-bit palettised (other depths draw nothing); an
// alpha outside -1..255 is clamped first; the rotated and affine draws take
// -1 as 255.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

struct DrawClip {
    int32_t left, top, right, bottom;  // inclusive
};

enum DrawBlend : int32_t { BlendNormal = 0, BlendAdd = 1, BlendSubtract = 2 };

// Draws the current cell with its top-left corner at (x, y), clipped to the
// rectangle (none: the whole destination) and to the destination.  A cell
// index at or past the cell count becomes the last cell, stored back.
void DrawSurface(Surface* src, Surface* dst, int32_t x, int32_t y, const DrawClip* clip);
// Scales (per cent) and rotates (degrees) the current cell with its centre at
// (cx, cy).  A scale of 0 draws nothing.
void DrawSurfaceRotated(Surface* src, Surface* dst, int32_t cx, int32_t cy, int32_t scaleX,
                        int32_t scaleY, int32_t degrees, int32_t blend);
// Maps the current cell through the matrix (m11 m12; m21 m22) in thousandths,
// centred at (cx, cy).  The source is drawn as an alpha-mode picture and its
// TransMode is set to alpha for good.
void DrawSurfaceAffine(Surface* src, Surface* dst, int32_t cx, int32_t cy, int32_t m11,
                       int32_t m12, int32_t m21, int32_t m22);

// Row kernels: the wide ones (256-bit registers) are chosen at start when
// the processor has them.  Tests choose either set; false when the wide set
// was asked for and the processor lacks it (the baseline is used then).
bool SelectDrawKernels(bool wide);

// a * b / 255 truncated for 0 <= a, b <= 255: ProductTable[a][b] without the
// lookup, so that row loops can run in vector registers.
inline uint32_t MulDiv255(uint32_t a, uint32_t b) { return ((a * b + 1) * 257) >> 16; }
