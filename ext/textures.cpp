// textures.cpp - TextureSlots, their pictures and the texture blits.
//
// The blits address the 24-bit target rows and the 32-bit texels directly
// in integer arithmetic; only the set-up of the rotated and quad blits uses
// floating point.  Every pixel written lies inside the target and every
// texel read inside the texture.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("O3")
#endif
#include "ext/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "graphics/draw.h"
#include "graphics/screen.h"

Texture TextureSlots[TextureSlotCount];
TextureFunction TextureFunctions[TextureFunctionLimit];
int32_t TextureFunctionCount;
int32_t TextureOffMode;
int32_t RendererMode;
int32_t SceneOpen;

bool CreateTexturePicture(Texture* t, int32_t width, int32_t height) {
    FreeTexture(t);
    if (width < 1 || height < 1 || width > MaxPictureSide || height > MaxPictureSide) return false;
    t->pixels = (uint32_t*)calloc((size_t)width * (size_t)height, 4);
    if (!t->pixels) return false;
    t->width = width;
    t->height = height;
    return true;
}

void FreeTexture(Texture* t) {
    free(t->pixels);
    t->pixels = nullptr;
}

Surface* TextureTarget() { return TextureOffMode ? &SrcSurface : &DestSurface; }

// ---- pixel arithmetic --------------------------------------------------------

// x / 255 truncated toward zero for |x| <= 65025.
static inline int32_t Div255(int32_t x) {
    int32_t m = x >> 31;          // 0 or -1
    int32_t ax = (x ^ m) - m;     // |x|
    int32_t q = ((ax + 1) * 257) >> 16;
    return (q ^ m) - m;
}

struct BlendOp {
    static inline void Apply(uint8_t* d, uint32_t texel, uint32_t alpha) {
        int32_t a = (int32_t)MulDiv255(alpha, texel >> 24);
        for (int c = 0; c < 3; c++) {
            int32_t t = (int32_t)((texel >> (8 * c)) & 255);
            d[c] = (uint8_t)(d[c] + Div255((t - d[c]) * a));
        }
    }
};

struct AddOp {
    static inline void Apply(uint8_t* d, uint32_t texel, uint32_t alpha) {
        uint32_t a = MulDiv255(alpha, texel >> 24);
        for (int c = 0; c < 3; c++) {
            uint32_t v = d[c] + MulDiv255((texel >> (8 * c)) & 255, a);
            d[c] = (uint8_t)(v > 255 ? 255 : v);
        }
    }
};

// Whole rows: the loops keep to plain arrays so that they vectorise.
static void BlendRow(uint8_t* __restrict d, const uint32_t* __restrict s, int32_t n,
                     uint32_t alpha) {
    for (int32_t i = 0; i < n; i++) {
        uint32_t texel = s[i];
        int32_t a = (int32_t)((alpha * (texel >> 24) + 1) * 257 >> 16);
        for (int c = 0; c < 3; c++) {
            int32_t t = (int32_t)((texel >> (8 * c)) & 255);
            int32_t x = (t - d[3 * i + c]) * a;
            int32_t m = x >> 31;
            int32_t q = ((((x ^ m) - m) + 1) * 257) >> 16;
            d[3 * i + c] = (uint8_t)(d[3 * i + c] + ((q ^ m) - m));
        }
    }
}

static void AddRow(uint8_t* __restrict d, const uint32_t* __restrict s, int32_t n, uint32_t alpha) {
    for (int32_t i = 0; i < n; i++) {
        uint32_t texel = s[i];
        uint32_t a = (alpha * (texel >> 24) + 1) * 257 >> 16;
        for (int c = 0; c < 3; c++) {
            uint32_t t = (texel >> (8 * c)) & 255;
            uint32_t v = d[3 * i + c] + ((t * a + 1) * 257 >> 16);
            d[3 * i + c] = (uint8_t)(v > 255 ? 255 : v);
        }
    }
}

// ---- upright blits ----------------------------------------------------------------

struct Region {
    int32_t dx, dy, w, h, sx, sy;
};

// Clips the region to the target and the texture; false when nothing is left.
static bool ClipRegion(const Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w,
                       int32_t h, int32_t sx, int32_t sy, Region* out) {
    if (!target->dib.bits || target->dib.infoHeader.bitCount != 24 || !TextureLoaded(t))
        return false;
    int64_t W = target->dib.width, H = target->dib.height;
    int64_t x = dx, y = dy, cw = w, ch = h, u = sx, v = sy;
    if (x >= W || y >= H || u >= t->width || v >= t->height) return false;
    if (x < 0) { cw += x; u -= x; x = 0; }
    if (y < 0) { ch += y; v -= y; y = 0; }
    if (u < 0) { cw += u; x -= u; u = 0; }
    if (v < 0) { ch += v; y -= v; v = 0; }
    cw = std::min({cw, W - x, (int64_t)t->width - u});
    ch = std::min({ch, H - y, (int64_t)t->height - v});
    if (cw <= 0 || ch <= 0) return false;
    *out = Region{(int32_t)x, (int32_t)y, (int32_t)cw, (int32_t)ch, (int32_t)u, (int32_t)v};
    return true;
}

template <void Row(uint8_t*, const uint32_t*, int32_t, uint32_t)>
static void BlitUpright(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w,
                        int32_t h, int32_t sx, int32_t sy, int32_t alpha) {
    Region r;
    if (!ClipRegion(target, t, dx, dy, w, h, sx, sy, &r)) return;
    uint32_t a = (uint32_t)std::clamp(alpha, 0, 255);
    if (a == 0) return;
    for (int32_t j = 0; j < r.h; j++)
        Row(DibRow(&target->dib, r.dy + j) + 3 * r.dx,
            t->pixels + (size_t)(r.sy + j) * t->width + r.sx, r.w, a);
}

void BlendTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w, int32_t h,
                  int32_t sx, int32_t sy, int32_t alpha) {
    BlitUpright<BlendRow>(target, t, dx, dy, w, h, sx, sy, alpha);
}

void AddTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w, int32_t h,
                int32_t sx, int32_t sy, int32_t alpha) {
    BlitUpright<AddRow>(target, t, dx, dy, w, h, sx, sy, alpha);
}

void CopyTexture(Surface* target, const Texture* t, int32_t dx, int32_t dy, int32_t w, int32_t h,
                 int32_t sx, int32_t sy) {
    Region r;
    if (!ClipRegion(target, t, dx, dy, w, h, sx, sy, &r)) return;
    for (int32_t j = 0; j < r.h; j++) {
        uint8_t* d = DibRow(&target->dib, r.dy + j) + 3 * r.dx;
        const uint32_t* s = t->pixels + (size_t)(r.sy + j) * t->width + r.sx;
        for (int32_t i = 0; i < r.w; i++) {
            d[3 * i] = (uint8_t)s[i];
            d[3 * i + 1] = (uint8_t)(s[i] >> 8);
            d[3 * i + 2] = (uint8_t)(s[i] >> 16);
        }
    }
}

// ---- rotated blits ----------------------------------------------------------------

static int64_t Trunc(double v) {
    if (!(v > -9.0e18 && v < 9.0e18)) return v > 0 ? INT64_MAX / 4 : -(INT64_MAX / 4);
    return (int64_t)v;
}

template <class Op>
static void BlitRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                        int32_t alpha) {
    if (xs == 0 || ys == 0 || !(std::isfinite(xs) && std::isfinite(ys) && std::isfinite(rot)))
        return;
    if (!target->dib.bits || target->dib.infoHeader.bitCount != 24 || !TextureLoaded(t)) return;
    uint32_t a = (uint32_t)std::clamp(alpha, 0, 255);
    if (a == 0 || w <= 0 || h <= 0) return;
    double theta = rot * 3.1415926536 / 180, c = cos(theta), s = sin(theta);
    double hw = w / 2.0, hh = h / 2.0;
    int64_t minx = INT64_MAX, maxx = INT64_MIN, miny = INT64_MAX, maxy = INT64_MIN;
    for (int k = 0; k < 4; k++) {
        double cx = (k & 1) ? hw : -hw, cy = (k & 2) ? hh : -hh;
        int64_t x = Trunc(cx * xs * c + cy * ys * s), y = Trunc(cx * xs * s - cy * ys * c);
        minx = std::min(minx, x), maxx = std::max(maxx, x);
        miny = std::min(miny, y), maxy = std::max(maxy, y);
    }
    double ex = (double)(maxx - minx), ey = (double)(maxy - miny);
    // Held far beyond any meaningful picture, so that the 64-bit stepping
    // below cannot overflow.
    int64_t n = std::min<int64_t>(Trunc(sqrt(ex * ex + ey * ey) + 2), (int64_t)1 << 26);
    int64_t left = dcx - n / 2, top = dcy - n / 2;
    // The square's pixels on the target.
    int64_t x0 = std::max<int64_t>(left, 0), x1 = std::min<int64_t>(left + n, target->dib.width);
    int64_t y0 = std::max<int64_t>(top, 0), y1 = std::min<int64_t>(top + n, target->dib.height);
    if (x0 >= x1 || y0 >= y1) return;

    double p = 0.5 - (double)(n / 2);
    auto fixed = [](double v, int64_t limit) { return std::clamp(Trunc(v * 65536), -limit, limit); };
    const int64_t kStep = (int64_t)1 << 32, kStart = (int64_t)1 << 58;
    int64_t u0 = fixed(p * c / xs - p * s / ys, kStart), v0 = fixed(p * s / xs + p * c / ys, kStart);
    int64_t dux = fixed(c / xs, kStep), dvx = fixed(s / xs, kStep);
    int64_t duy = fixed(-s / ys, kStep), dvy = fixed(c / ys, kStep);
    int32_t halfw = w / 2, halfh = h / 2;
    int64_t tw = t->width, th = t->height;
    for (int64_t y = y0; y < y1; y++) {
        int64_t row = y - top, col = x0 - left;
        int64_t U = u0 + row * duy + col * dux;
        int64_t V = v0 + row * dvy + col * dvx;
        uint8_t* d = DibRow(&target->dib, (int32_t)y);
        int64_t lastU = INT64_MIN, lastV = INT64_MIN;
        uint32_t texel = 0;
        bool inside = false;
        for (int64_t x = x0; x < x1; x++, U += dux, V += dvx) {
            int64_t u = U / 65536, v = V / 65536;
            if (u != lastU || v != lastV) {
                lastU = u, lastV = v;
                int64_t ru = halfw + u, rv = halfh + v;
                int64_t tx = sx + ru, ty = sy + rv;
                inside = ru >= 0 && ru < w && rv >= 0 && rv < h && tx >= 0 && tx < tw && ty >= 0 &&
                         ty < th;
                if (inside) texel = t->pixels[ty * tw + tx];
            }
            if (inside) Op::Apply(d + 3 * x, texel, a);
        }
    }
}

void BlendTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                         int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                         int32_t alpha) {
    BlitRotated<BlendOp>(target, t, dcx, dcy, sx, sy, w, h, xs, ys, rot, alpha);
}

void AddTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                       int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                       int32_t alpha) {
    BlitRotated<AddOp>(target, t, dcx, dcy, sx, sy, w, h, xs, ys, rot, alpha);
}

// ---- quad blits -----------------------------------------------------------------------

// Forward sampling about two thirds of a pixel apart along both edges and
// across; a sample landing where the previous one of its line did is
// skipped, so an additive quad brightens the pixels it hits twice.
template <class Op>
static void BlitQuad(Surface* target, const Texture* t, const int32_t k[8], int32_t sx, int32_t sy,
                     int32_t w, int32_t h, int32_t alpha) {
    if (!target->dib.bits || target->dib.infoHeader.bitCount != 24 || !TextureLoaded(t)) return;
    uint32_t a = (uint32_t)std::clamp(alpha, 0, 255);
    if (a == 0) return;
    int64_t W = target->dib.width, H = target->dib.height;
    // A quad wholly off the target draws nothing: skip its sampling.
    int32_t bx0 = std::min({k[0], k[2], k[4], k[6]}), bx1 = std::max({k[0], k[2], k[4], k[6]});
    int32_t by0 = std::min({k[1], k[3], k[5], k[7]}), by1 = std::max({k[1], k[3], k[5], k[7]});
    if (bx1 < 0 || by1 < 0 || bx0 >= W || by0 >= H) return;
    double span = std::max(std::fabs((double)k[5] - k[1]), std::fabs((double)k[7] - k[3]));
    double dt = span > 0 ? 1 / (1.5 * span) : 2;
    double px = k[0], py = k[1], qx = k[2], qy = k[3];
    double ppx = (k[4] - (double)k[0]) * dt, ppy = (k[5] - (double)k[1]) * dt;
    double pqx = (k[6] - (double)k[2]) * dt, pqy = (k[7] - (double)k[3]) * dt;
    int64_t tw = t->width, th = t->height;
    for (double tt = 0; tt <= 1; tt += dt) {
        int64_t v = Trunc(sy + (h - 1) * tt);
        double across = std::fabs(qx - px);
        double ds = across > 0 ? 1 / (1.5 * across) : 2;
        double x = px, y = py, stepx = (qx - px) * ds, stepy = (qy - py) * ds;
        int64_t lastx = 0, lasty = 0;
        bool first = true;
        for (double ss = 0; ss <= 1; ss += ds, x += stepx, y += stepy) {
            int64_t ix = Trunc(x), iy = Trunc(y);
            if (!first && ix == lastx && iy == lasty) continue;
            first = false;
            lastx = ix, lasty = iy;
            int64_t u = Trunc(sx + (w - 1) * ss);
            if (ix < 0 || iy < 0 || ix >= W || iy >= H || u < 0 || v < 0 || u >= tw || v >= th)
                continue;
            Op::Apply(DibRow(&target->dib, (int32_t)iy) + 3 * ix, t->pixels[v * tw + u], a);
        }
        px += ppx, py += ppy, qx += pqx, qy += pqy;
    }
}

void BlendTextureQuad(Surface* target, const Texture* t, const int32_t corners[8], int32_t sx,
                      int32_t sy, int32_t w, int32_t h, int32_t alpha) {
    BlitQuad<BlendOp>(target, t, corners, sx, sy, w, h, alpha);
}

void AddTextureQuad(Surface* target, const Texture* t, const int32_t corners[8], int32_t sx,
                    int32_t sy, int32_t w, int32_t h, int32_t alpha) {
    BlitQuad<AddOp>(target, t, corners, sx, sy, w, h, alpha);
}
