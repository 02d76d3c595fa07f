// draw.cpp - DrawSurface, DrawSurfaceRotated and DrawSurfaceAffine.
//
// The upright draw runs row kernels over plain byte arrays so that the
// compiler keeps them in vector registers; the products are computed as
// (t + 1 + (t >> 8)) >> 8 with t = a * b, which equals ProductTable for every
// pair of bytes.  The rotated and affine draws step through the source in
// 16.16 fixed point and sample one pixel at a time.
#include "graphics/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

typedef uint8_t* __restrict Out;
typedef const uint8_t* __restrict In;

inline uint8_t Mul(uint8_t a, uint8_t b) {
    uint16_t t = (uint16_t)(a * b);
    return (uint8_t)((uint16_t)(t + 1 + (t >> 8)) >> 8);
}
inline uint8_t AddSat(uint8_t a, uint8_t b) {
    unsigned v = (unsigned)a + b;
    return (uint8_t)(v > 255 ? 255 : v);
}
inline uint8_t SubSat(uint8_t a, uint8_t b) { return (uint8_t)(a > b ? a - b : 0); }

int32_t ClampAlpha(int32_t a) {
    if (a < -1) return 0;
    return a > 255 ? 255 : a;
}

// ---- upright row kernels: n pixels, three bytes each ----

// Spreads each mask pixel's blue byte over its three bytes.
inline void SpreadMask(Out e, In m, int32_t n) {
    for (int32_t i = 0; i < n; i++) {
        uint8_t v = m[3 * i];
        e[3 * i] = v;
        e[3 * i + 1] = v;
        e[3 * i + 2] = v;
    }
}

// dst := P[src][255 - m] + P[dst][m]
void RowMask(Out d, In s, In e, int32_t bytes) {
    for (int32_t j = 0; j < bytes; j++) d[j] = (uint8_t)(Mul(s[j], (uint8_t)(255 - e[j])) + Mul(d[j], e[j]));
}
// a := P[255 - m][alpha]; dst := P[src][a] + P[dst][255 - a]
void RowMaskAlpha(Out d, In s, In e, int32_t bytes, uint8_t alpha) {
    for (int32_t j = 0; j < bytes; j++) {
        uint8_t a = Mul((uint8_t)(255 - e[j]), alpha);
        d[j] = (uint8_t)(Mul(s[j], a) + Mul(d[j], (uint8_t)(255 - a)));
    }
}
// String sprites add: dst := min(255, P[dst][m] + src)
void RowStringSprite(Out d, In s, In e, int32_t bytes) {
    for (int32_t j = 0; j < bytes; j++) d[j] = AddSat(Mul(d[j], e[j]), s[j]);
}
// dst := min(255, P[dst][m] + P[alpha][src])
void RowStringSpriteAlpha(Out d, In s, In e, int32_t bytes, uint8_t alpha) {
    for (int32_t j = 0; j < bytes; j++) d[j] = AddSat(Mul(d[j], e[j]), Mul(alpha, s[j]));
}
// dst := P[src][alpha] + P[dst][255 - alpha]
void RowBlend(Out d, In s, int32_t bytes, uint8_t alpha) {
    uint8_t inv = (uint8_t)(255 - alpha);
    for (int32_t j = 0; j < bytes; j++) d[j] = (uint8_t)(Mul(s[j], alpha) + Mul(d[j], inv));
}
// Pixels equal to the key are skipped, the others copied.
void RowKeyed(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2) {
    for (int32_t i = 0; i < n; i++) {
        uint8_t s0 = s[3 * i], s1 = s[3 * i + 1], s2 = s[3 * i + 2];
        bool key = s0 == k0 && s1 == k1 && s2 == k2;
        d[3 * i] = key ? d[3 * i] : s0;
        d[3 * i + 1] = key ? d[3 * i + 1] : s1;
        d[3 * i + 2] = key ? d[3 * i + 2] : s2;
    }
}
// The others: dst := P[dst][255 - alpha] + P[src][alpha]
void RowKeyedAlpha(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2, uint8_t alpha) {
    uint8_t inv = (uint8_t)(255 - alpha);
    for (int32_t i = 0; i < n; i++) {
        uint8_t s0 = s[3 * i], s1 = s[3 * i + 1], s2 = s[3 * i + 2];
        bool key = s0 == k0 && s1 == k1 && s2 == k2;
        uint8_t d0 = d[3 * i], d1 = d[3 * i + 1], d2 = d[3 * i + 2];
        d[3 * i] = key ? d0 : (uint8_t)(Mul(d0, inv) + Mul(s0, alpha));
        d[3 * i + 1] = key ? d1 : (uint8_t)(Mul(d1, inv) + Mul(s1, alpha));
        d[3 * i + 2] = key ? d2 : (uint8_t)(Mul(d2, inv) + Mul(s2, alpha));
    }
}
// An 8-bit row as palette colours.
void RowExpand8(Out e, In s, int32_t n, In palette) {
    for (int32_t i = 0; i < n; i++) memcpy(e + 3 * i, palette + 4 * s[i], 3);
}
// An 8-bit keyed row: indexes equal to the key are skipped.
void RowKeyed8(uint8_t* d, const uint8_t* s, int32_t n, const uint8_t* palette, int32_t key,
               int32_t alpha) {
    for (int32_t i = 0; i < n; i++) {
        if (s[i] == key) continue;
        const uint8_t* c = palette + 4 * s[i];
        if (alpha < 0) {
            memcpy(d + 3 * i, c, 3);
        } else {
            for (int k = 0; k < 3; k++)
                d[3 * i + k] = (uint8_t)(Mul(d[3 * i + k], (uint8_t)(255 - alpha)) + Mul(c[k], (uint8_t)alpha));
        }
    }
}

// Scratch rows for spread masks and expanded palette rows.
thread_local uint8_t* gScratch;
thread_local size_t gScratchSize;
uint8_t* Scratch(size_t bytes) {
    if (bytes > gScratchSize) {
        delete[] gScratch;
        gScratchSize = bytes + 256;
        gScratch = new uint8_t[gScratchSize];
    }
    return gScratch;
}

const double kPi = 3.14159265358979;

// Saturating conversion of a real to a 16.16 or plain integer held in 64 bits.
int64_t TruncToI64(double v) {
    if (!(v == v)) return 0;
    if (v > 4.0e18) return (int64_t)4.0e18;
    if (v < -4.0e18) return -(int64_t)4.0e18;
    return (int64_t)v;
}
// A step in 16.16, truncated as a 32-bit integer would be where it fits.
int64_t FixedStep(double v) {
    double f = v * 65536.0;
    if (f > 1099511627776.0) f = 1099511627776.0;  // 2^40: leaves any picture at once
    if (f < -1099511627776.0) f = -1099511627776.0;
    return TruncToI64(f);
}

struct Sampler {
    const Dib* sd;
    int32_t bpp;
    int32_t cellStart;  // first column of the cell
    int32_t maskOffset; // columns from a colour pixel to its mask pixel
    // Colour of the pixel at (x, y) of the cell, y from the top.
    inline const uint8_t* Color(int32_t x, int32_t y, uint8_t* idx) const {
        const uint8_t* row = DibRow(sd, y);
        if (bpp == 24) return row + 3 * (cellStart + x);
        *idx = row[cellStart + x];
        return PaletteColor(sd, *idx);
    }
    inline uint8_t Mask(int32_t x, int32_t y) const {
        return DibRow(sd, y)[3 * (cellStart + x + maskOffset)];
    }
};

}  // namespace

void DrawSurface(Surface* src, Surface* dst, int32_t x, int32_t y, const DrawClip* clip) {
    Dib* dd = &dst->dib;
    const Dib* sd = &src->dib;
    if (!dd->bits || dd->infoHeader.bitCount != 24 || !sd->bits) return;
    int32_t bpp = sd->infoHeader.bitCount;
    if (bpp != 24 && bpp != 8) return;

    int64_t left = 0, top = 0, right = dd->width - 1, bottom = dd->height - 1;
    if (clip) {
        left = clip->left < 0 ? 0 : clip->left;
        top = clip->top < 0 ? 0 : clip->top;
        if (clip->right < right) right = clip->right;
        if (clip->bottom < bottom) bottom = clip->bottom;
    }

    int32_t count = CellCountOf(src);
    if (src->cell >= count) src->cell = count - 1;
    int32_t cell = src->cell < 0 ? 0 : src->cell;
    int32_t cw = GetCellWidth(src);
    int32_t cellStart = cell * (sd->width / count);

    // The cell's area at (x, y), clipped on all four sides.
    int64_t x0 = x, y0 = y, x1 = (int64_t)x + cw - 1, y1 = (int64_t)y + sd->height - 1;
    int64_t sx = 0, sy = 0;
    if (x0 < left) { sx = left - x0; x0 = left; }
    if (y0 < top) { sy = top - y0; y0 = top; }
    if (x1 > right) x1 = right;
    if (y1 > bottom) y1 = bottom;
    if (x0 > x1 || y0 > y1) return;
    int32_t w = (int32_t)(x1 - x0 + 1), h = (int32_t)(y1 - y0 + 1);
    int32_t srcCol = cellStart + (int32_t)sx;

    int32_t alpha = ClampAlpha(src->alpha);
    int32_t mode = src->transMode;
    const uint8_t* pal = sd->palette;
    // A surface drawn onto itself reads a copy of its pixels.
    Dib copy;
    uint8_t* copyBits = nullptr;
    if (sd == dd) {
        copy = *sd;
        copyBits = new uint8_t[(size_t)sd->imageBytes];
        memcpy(copyBits, sd->bits, (size_t)sd->imageBytes);
        copy.bits = copyBits;
        sd = &copy;
    }
    struct FreeCopy {
        uint8_t* p;
        ~FreeCopy() { delete[] p; }
    } freeCopy{copyBits};

    if (mode == TransAlpha) {
        if (bpp != 24) return;
        uint8_t* e = Scratch(3 * (size_t)w);
        for (int32_t r = 0; r < h; r++) {
            const uint8_t* s = DibRow(sd, (int32_t)sy + r) + 3 * srcCol;
            uint8_t* d = DibRow(dd, (int32_t)y0 + r) + 3 * x0;
            SpreadMask(e, s + 3 * cw, w);
            if (src->isStringSprite) {
                if (alpha < 0) RowStringSprite(d, s, e, 3 * w);
                else RowStringSpriteAlpha(d, s, e, 3 * w, (uint8_t)alpha);
            } else {
                if (alpha < 0) RowMask(d, s, e, 3 * w);
                else RowMaskAlpha(d, s, e, 3 * w, (uint8_t)alpha);
            }
        }
        return;
    }

    if (mode == TransLeftUp || mode == TransRightUp || mode == TransColorKey) {
        const uint8_t* topRow = DibRow(sd, 0);
        int32_t keyCol = mode == TransRightUp ? sd->width - 1 : 0;
        if (bpp == 8) {
            int32_t key = mode == TransColorKey ? src->keyIndex : topRow[keyCol];
            for (int32_t r = 0; r < h; r++)
                RowKeyed8(DibRow(dd, (int32_t)y0 + r) + 3 * x0, DibRow(sd, (int32_t)sy + r) + srcCol,
                          w, pal, key, alpha);
            return;
        }
        uint8_t k0, k1, k2;
        if (mode == TransColorKey) {
            k0 = (uint8_t)src->keyBlue; k1 = (uint8_t)src->keyGreen; k2 = (uint8_t)src->keyRed;
            // A key outside a byte matches no pixel.
            if ((uint32_t)src->keyBlue > 255 || (uint32_t)src->keyGreen > 255 ||
                (uint32_t)src->keyRed > 255) {
                mode = TransCopy;
            }
        } else {
            k0 = topRow[3 * keyCol]; k1 = topRow[3 * keyCol + 1]; k2 = topRow[3 * keyCol + 2];
        }
        if (mode != TransCopy) {
            for (int32_t r = 0; r < h; r++) {
                const uint8_t* s = DibRow(sd, (int32_t)sy + r) + 3 * srcCol;
                uint8_t* d = DibRow(dd, (int32_t)y0 + r) + 3 * x0;
                if (alpha < 0) RowKeyed(d, s, w, k0, k1, k2);
                else RowKeyedAlpha(d, s, w, k0, k1, k2, (uint8_t)alpha);
            }
            return;
        }
    }

    // Copy mode, and any mode other than 0, 1, 2 and 4.
    uint8_t* e = bpp == 8 ? Scratch(3 * (size_t)w + 4) : nullptr;
    for (int32_t r = 0; r < h; r++) {
        const uint8_t* s = bpp == 24 ? DibRow(sd, (int32_t)sy + r) + 3 * srcCol : e;
        if (bpp == 8) RowExpand8(e, DibRow(sd, (int32_t)sy + r) + srcCol, w, pal);
        uint8_t* d = DibRow(dd, (int32_t)y0 + r) + 3 * x0;
        if (alpha < 0) memcpy(d, s, 3 * (size_t)w);
        else RowBlend(d, s, 3 * w, (uint8_t)alpha);
    }
}

// ---- rotated and scaled ----

namespace {

// One destination row of the rotated draw for a mode; the row state (last
// sample and its colour) is carried across rows by the caller.
struct RotState {
    int64_t lastX = -1, lastY = -1;
    bool lastSkip = false;
    uint8_t last[3] = {0, 0, 0};
};

template <int Mode, int Blend, int Bpp>
void RotRow(uint8_t* d, int32_t n, int64_t X, int64_t Y, int64_t stepX, int64_t stepY,
            int64_t limX, int64_t limY, const Sampler& smp, uint8_t alpha, const uint8_t* key,
            int32_t keyIndex, RotState& st) {
    for (int32_t i = 0; i < n; i++, d += 3, X += stepX, Y += stepY) {
        if (X < 0 || X >= limX || Y < 0 || Y >= limY) continue;
        int64_t px = X >> 16, py = Y >> 16;
        if (px == st.lastX && py == st.lastY) {
            if (!st.lastSkip) memcpy(d, st.last, 3);
            continue;
        }
        st.lastX = px;
        st.lastY = py;
        uint8_t idx = 0;
        const uint8_t* s = smp.Color((int32_t)px, (int32_t)py, &idx);
        uint8_t a = alpha;
        if (Mode == TransAlpha) {
            uint8_t m = smp.Mask((int32_t)px, (int32_t)py);
            a = alpha == 255 ? (uint8_t)(255 - m) : Mul((uint8_t)(255 - m), alpha);
        } else if (Mode != TransCopy) {
            bool hit = Bpp == 8 ? idx == keyIndex
                                : (key && s[0] == key[0] && s[1] == key[1] && s[2] == key[2]);
            if (hit) {
                st.lastSkip = true;
                continue;
            }
        }
        st.lastSkip = false;
        for (int k = 0; k < 3; k++) {
            uint8_t v;
            uint8_t sa = Mul(a, s[k]);
            if (Blend == BlendAdd) v = AddSat(d[k], sa);
            else if (Blend == BlendSubtract) v = SubSat(d[k], sa);
            else if (Mode == TransAlpha) v = (uint8_t)(Mul((uint8_t)(255 - a), d[k]) + sa);
            else if (Mode == TransCopy && Bpp == 24)
                v = alpha == 255 ? s[k] : (uint8_t)(Mul((uint8_t)(255 - alpha), d[k]) + sa);
            else v = sa;
            st.last[k] = v;
            d[k] = v;
        }
    }
}

typedef void (*RotRowFn)(uint8_t*, int32_t, int64_t, int64_t, int64_t, int64_t, int64_t, int64_t,
                         const Sampler&, uint8_t, const uint8_t*, int32_t, RotState&);

template <int Mode, int Bpp>
RotRowFn PickBlend(int32_t blend) {
    switch (blend) {
    case BlendNormal: return RotRow<Mode, BlendNormal, Bpp>;
    case BlendAdd: return RotRow<Mode, BlendAdd, Bpp>;
    default: return RotRow<Mode, BlendSubtract, Bpp>;
    }
}

RotRowFn PickRotRow(int32_t mode, int32_t bpp, int32_t blend) {
    if (mode == TransAlpha) return bpp == 24 ? PickBlend<TransAlpha, 24>(blend) : nullptr;
    if (mode == TransCopy) return bpp == 24 ? PickBlend<TransCopy, 24>(blend) : PickBlend<TransCopy, 8>(blend);
    return bpp == 24 ? PickBlend<TransLeftUp, 24>(blend) : PickBlend<TransLeftUp, 8>(blend);
}

}  // namespace

void DrawSurfaceRotated(Surface* src, Surface* dst, int32_t cx, int32_t cy, int32_t scaleX,
                        int32_t scaleY, int32_t degrees, int32_t blend) {
    Dib* dd = &dst->dib;
    const Dib* sd = &src->dib;
    if (!dd->bits || dd->infoHeader.bitCount != 24 || !sd->bits) return;
    int32_t bpp = sd->infoHeader.bitCount;
    if (bpp != 24 && bpp != 8) return;
    int32_t mode = src->transMode;
    if (mode < 0 || mode > 4 || scaleX == 0 || scaleY == 0) return;
    // An unknown blend draws nothing in alpha and copy mode; keyed pictures
    // then subtract.
    if (blend < 0 || blend > 2) {
        if (mode == TransAlpha || mode == TransCopy) return;
        blend = BlendSubtract;
    }
    RotRowFn row = PickRotRow(mode, bpp, blend);
    if (!row) return;

    int32_t count = CellCountOf(src);
    int32_t cell = src->cell < 0 ? 0 : src->cell >= count ? count - 1 : src->cell;
    int32_t cellW = sd->width / count;
    int32_t vw = GetCellWidth(src), h = sd->height;
    if (vw <= 0) return;
    int32_t alpha = ClampAlpha(src->alpha);
    if (alpha < 0) alpha = 255;

    int32_t turn = degrees % 360;
    double phi = -(double)turn * kPi / 180.0;
    double c = std::cos(phi), s = std::sin(phi);
    // Quarter turns are exact, so that -90 and 270 sample the same pixels.
    if (turn % 90 == 0) {
        int q = ((-turn / 90) % 4 + 4) % 4;
        c = q == 0 ? 1 : q == 2 ? -1 : 0;
        s = q == 1 ? 1 : q == 3 ? -1 : 0;
    }
    double kx1 = c * 100.0 / scaleX, kx2 = s * 100.0 / scaleX;
    double ky1 = -s * 100.0 / scaleY, ky2 = c * 100.0 / scaleY;
    int64_t fkx1 = FixedStep(kx1), fkx2 = FixedStep(kx2), fky1 = FixedStep(ky1), fky2 = FixedStep(ky2);

    double ex = (double)((int64_t)vw * scaleX) / 100.0, ey = (double)((int64_t)h * scaleY) / 100.0;
    int64_t R = TruncToI64(0.5 * std::sqrt(ex * ex + ey * ey));
    int64_t left = (int64_t)cx - R < 0 ? 0 : (int64_t)cx - R;
    int64_t top = (int64_t)cy - R < 0 ? 0 : (int64_t)cy - R;
    int64_t right = std::min<int64_t>((int64_t)cx + R, GetCellWidth(dst)) - 1;
    int64_t bottom = std::min<int64_t>((int64_t)cy + R, dd->height) - 1;
    if (right >= dd->width) right = dd->width - 1;
    if (left > right || top > bottom) return;

    double dx = (double)(left - cx), dy = (double)(top - cy);
    int64_t rowX = TruncToI64((kx1 * dx + kx2 * dy + vw / 2) * 65536.0);
    int64_t rowY = TruncToI64((ky1 * dx + ky2 * dy + h / 2) * 65536.0);

    Sampler smp{sd, bpp, cell * cellW, cellW / 2};
    // Keys of modes 0 and 4: the current cell's top-left and top-right pixels.
    uint8_t keyBytes[3] = {0, 0, 0};
    const uint8_t* key = nullptr;  // null: no pixel is the key
    int32_t keyIndex = -1;
    if (mode != TransAlpha && mode != TransCopy) {
        const uint8_t* topRow = DibRow(sd, 0);
        int32_t keyCol = mode == TransRightUp ? cell * cellW + cellW - 1 : cell * cellW;
        if (mode == TransColorKey) {
            keyIndex = src->keyIndex;
            if ((uint32_t)src->keyBlue <= 255 && (uint32_t)src->keyGreen <= 255 &&
                (uint32_t)src->keyRed <= 255) {
                keyBytes[0] = (uint8_t)src->keyBlue;
                keyBytes[1] = (uint8_t)src->keyGreen;
                keyBytes[2] = (uint8_t)src->keyRed;
                key = keyBytes;
            }
        } else if (bpp == 8) {
            keyIndex = topRow[keyCol];
        } else {
            memcpy(keyBytes, topRow + 3 * keyCol, 3);
            key = keyBytes;
        }
    }

    int64_t limX = (int64_t)vw << 16, limY = (int64_t)h << 16;
    int32_t n = (int32_t)(right - left + 1);
    RotState st;
    for (int64_t y = top; y <= bottom; y++, rowX += fkx2, rowY += fky2) {
        uint8_t* d = DibRow(dd, (int32_t)y) + 3 * left;
        row(d, n, rowX, rowY, fkx1, fky1, limX, limY, smp, (uint8_t)alpha, key, keyIndex, st);
    }
}

// ---- affine ----

void DrawSurfaceAffine(Surface* src, Surface* dst, int32_t cx, int32_t cy, int32_t m11,
                       int32_t m12, int32_t m21, int32_t m22) {
    Dib* dd = &dst->dib;
    const Dib* sd = &src->dib;
    if (!dd->bits || dd->infoHeader.bitCount != 24 || !sd->bits) return;
    double a = m11 / 1000.0, b = m12 / 1000.0, c = m21 / 1000.0, d = m22 / 1000.0;
    double det = a * d - b * c;
    if (std::fabs(det) < 0.001) return;
    src->transMode = TransAlpha;
    if (sd->infoHeader.bitCount != 24) return;

    int32_t count = CellCountOf(src);
    int32_t cell = src->cell < 0 ? 0 : src->cell >= count ? count - 1 : src->cell;
    int32_t cw = sd->width / count;
    int32_t vw = GetCellWidth(src), h = sd->height;
    if (vw <= 0) return;
    int32_t alpha = ClampAlpha(src->alpha);
    if (alpha < 0) alpha = 255;

    int64_t colX = FixedStep(d / det), colY = FixedStep(c / det);
    int64_t rowStepX = FixedStep(b / det), rowStepY = FixedStep(a / det);
    int64_t hx = std::llabs((int64_t)vw * m11 / 2000) + std::llabs((int64_t)h * m12 / 2000) + 2;
    int64_t hy = std::llabs((int64_t)vw * m21 / 2000) + std::llabs((int64_t)h * m22 / 2000) + 2;
    int64_t left = (int64_t)cx - hx < 0 ? 0 : (int64_t)cx - hx;
    int64_t top = (int64_t)cy - hy < 0 ? 0 : (int64_t)cy - hy;
    int64_t right = std::min<int64_t>((int64_t)cx + hx, GetCellWidth(dst)) - 1;
    int64_t bottom = std::min<int64_t>((int64_t)cy + hy, dd->height) - 1;
    if (right >= dd->width) right = dd->width - 1;
    if (left > right || top > bottom) return;

    double dx = (double)(left - cx), dy = (double)(top - cy);
    int64_t rowX = TruncToI64(((d / det) * dx + (b / det) * dy + vw / 2) * 65536.0);
    int64_t rowY = TruncToI64(((c / det) * dx + (a / det) * dy + h / 2) * 65536.0);

    Sampler smp{sd, 24, cell * 2 * vw, cw / 2};
    int64_t limX = (int64_t)vw << 16, limY = (int64_t)h << 16;
    RotState st;
    for (int64_t y = top; y <= bottom; y++, rowX += rowStepX, rowY += rowStepY) {
        uint8_t* p = DibRow(dd, (int32_t)y) + 3 * left;
        int64_t X = rowX, Y = rowY;
        for (int64_t x = left; x <= right; x++, p += 3, X += colX, Y += colY) {
            if (X < 0 || X >= limX || Y < 0 || Y >= limY) continue;
            int64_t px = X >> 16, py = Y >> 16;
            if (px == st.lastX && py == st.lastY) {
                memcpy(p, st.last, 3);
                continue;
            }
            st.lastX = px;
            st.lastY = py;
            uint8_t idx;
            const uint8_t* s = smp.Color((int32_t)px, (int32_t)py, &idx);
            uint8_t m = smp.Mask((int32_t)px, (int32_t)py);
            for (int k = 0; k < 3; k++) {
                uint8_t v;
                if (alpha == 255) {
                    v = (uint8_t)(Mul(m, p[k]) + Mul((uint8_t)(255 - m), s[k]));
                } else {
                    uint8_t al = Mul((uint8_t)(255 - m), (uint8_t)alpha);
                    v = (uint8_t)(Mul((uint8_t)(255 - al), p[k]) + Mul(al, s[k]));
                }
                st.last[k] = v;
                p[k] = v;
            }
        }
    }
}
