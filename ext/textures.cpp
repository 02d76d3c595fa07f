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
#include <utility>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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

// Whole rows, in 16-bit arithmetic so that the loops vectorise.  z / 255
// truncated is (z + 1 + (z >> 8)) >> 8 for 0 <= z < 65535.  The blend
// d + (t - d) * a / 255 (toward zero) is the same as
// (d * (255 - a) + t * a) / 255 rounded down when t >= d and up when t < d;
// rounding up adds 254 first.  Every sum stays below 65535.
static inline uint32_t Div255Fast(uint32_t z) { return (z + 1 + (z >> 8)) >> 8; }

struct BlendOp {
    static inline void Apply(uint8_t* d, uint32_t texel, uint32_t alpha) {
        uint32_t a = Div255Fast(alpha * (texel >> 24)), na = 255 - a;
        for (int c = 0; c < 3; c++) {
            uint32_t t = (texel >> (8 * c)) & 255, v = d[c];
            d[c] = (uint8_t)Div255Fast(v * na + t * a + (t < v ? 254 : 0));
        }
    }
};

struct AddOp {
    static inline void Apply(uint8_t* d, uint32_t texel, uint32_t alpha) {
        uint32_t a = Div255Fast(alpha * (texel >> 24));
        for (int c = 0; c < 3; c++) {
            uint32_t v = d[c] + Div255Fast(((texel >> (8 * c)) & 255) * a);
            d[c] = (uint8_t)(v > 255 ? 255 : v);
        }
    }
};

template <class Op>
static void ScalarRow(uint8_t* d, const uint32_t* s, int32_t n, uint32_t alpha) {
    for (int32_t i = 0; i < n; i++) Op::Apply(d + 3 * i, s[i], alpha);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Eight pixels at a time in 256-bit registers: the 24-bit pixels spread to
// 32 bits, the channels widened to 16 bits, the same arithmetic, and back.
__attribute__((target("avx2"))) static inline __m256i Div255x16(__m256i z) {
    __m256i one = _mm256_set1_epi16(1);
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(z, one), _mm256_srli_epi16(z, 8)), 8);
}

template <bool Add>
__attribute__((target("avx2"))) static void WideRow(uint8_t* d, const uint32_t* s, int32_t n,
                                                    uint32_t alpha) {
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i alphas = _mm256_setr_epi8(3, 3, 3, -1, 7, 7, 7, -1, 11, 11, 11, -1, 15, 15, 15, -1,
                                            3, 3, 3, -1, 7, 7, 7, -1, 11, 11, 11, -1, 15, 15, 15, -1);
    const __m256i gather = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                            0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i zero = _mm256_setzero_si256(), full = _mm256_set1_epi16(255),
                  up = _mm256_set1_epi16(254), global = _mm256_set1_epi16((short)alpha);
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint8_t* p = d + 3 * i;
        __m256i tex = _mm256_loadu_si256((const __m256i*)(s + i));
        int32_t tail0, tail1;
        memcpy(&tail0, p + 8, 4);
        memcpy(&tail1, p + 20, 4);
        __m128i lo = _mm_insert_epi32(_mm_loadl_epi64((const __m128i*)p), tail0, 2);
        __m128i hi = _mm_insert_epi32(_mm_loadl_epi64((const __m128i*)(p + 12)), tail1, 2);
        __m256i dst = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1), spread);
        __m256i ta = _mm256_shuffle_epi8(tex, alphas);
        __m256i res[2];
        for (int h = 0; h < 2; h++) {
            __m256i t = h ? _mm256_unpackhi_epi8(tex, zero) : _mm256_unpacklo_epi8(tex, zero);
            __m256i v = h ? _mm256_unpackhi_epi8(dst, zero) : _mm256_unpacklo_epi8(dst, zero);
            __m256i a = h ? _mm256_unpackhi_epi8(ta, zero) : _mm256_unpacklo_epi8(ta, zero);
            a = Div255x16(_mm256_mullo_epi16(a, global));
            if (Add) {
                res[h] = _mm256_add_epi16(v, Div255x16(_mm256_mullo_epi16(t, a)));
            } else {
                __m256i z = _mm256_add_epi16(_mm256_mullo_epi16(v, _mm256_sub_epi16(full, a)),
                                             _mm256_mullo_epi16(t, a));
                z = _mm256_add_epi16(z, _mm256_and_si256(_mm256_cmpgt_epi16(v, t), up));
                res[h] = Div255x16(z);
            }
        }
        __m256i out = _mm256_shuffle_epi8(_mm256_packus_epi16(res[0], res[1]), gather);
        __m128i o0 = _mm256_castsi256_si128(out), o1 = _mm256_extracti128_si256(out, 1);
        _mm_storel_epi64((__m128i*)p, o0);
        int32_t w0 = _mm_extract_epi32(o0, 2), w1 = _mm_extract_epi32(o1, 2);
        memcpy(p + 8, &w0, 4);
        _mm_storel_epi64((__m128i*)(p + 12), o1);
        memcpy(p + 20, &w1, 4);
    }
    if (Add)
        ScalarRow<AddOp>(d + 3 * i, s + i, n - i, alpha);
    else
        ScalarRow<BlendOp>(d + 3 * i, s + i, n - i, alpha);
}

static const bool HaveAvx2 = __builtin_cpu_supports("avx2");
#endif

static void BlendRow(uint8_t* d, const uint32_t* s, int32_t n, uint32_t alpha) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (HaveAvx2) return WideRow<false>(d, s, n, alpha);
#endif
    ScalarRow<BlendOp>(d, s, n, alpha);
}

static void AddRow(uint8_t* d, const uint32_t* s, int32_t n, uint32_t alpha) {
#if defined(__x86_64__) && defined(__GNUC__)
    if (HaveAvx2) return WideRow<true>(d, s, n, alpha);
#endif
    ScalarRow<AddOp>(d, s, n, alpha);
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

template <void Row(uint8_t*, const uint32_t*, int32_t, uint32_t)>
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
    // A texel is used when halfw + u lies in 0..w-1 and sx + halfw + u in
    // the texture: u in ulo..uhi-1, likewise v.
    int64_t halfw = w / 2, halfh = h / 2;
    int64_t ulo = std::max<int64_t>(-halfw, -(int64_t)sx - halfw);
    int64_t uhi = std::min<int64_t>(w - halfw, (int64_t)t->width - sx - halfw);
    int64_t vlo = std::max<int64_t>(-halfh, -(int64_t)sy - halfh);
    int64_t vhi = std::min<int64_t>(h - halfh, (int64_t)t->height - sy - halfh);
    if (ulo >= uhi || vlo >= vhi) return;
    uint64_t ucount = (uint64_t)(uhi - ulo), vcount = (uint64_t)(vhi - vlo);
    // 16.16 to an integer, truncated toward zero.
    auto whole = [](int64_t f) { return (f + ((f >> 63) & 0xFFFF)) >> 16; };
    const uint32_t* base = t->pixels + (int64_t)(sy + halfh) * t->width + (sx + halfw);
    int64_t tw = t->width;
    std::vector<uint32_t> texels((size_t)(x1 - x0));
    for (int64_t y = y0; y < y1; y++) {
        int64_t row = y - top;
        int64_t ur = u0 + row * duy, vr = v0 + row * dvy;
        auto inside = [&](int64_t x) {
            int64_t k = x - left;
            return (uint64_t)(whole(ur + k * dux) - ulo) < ucount &&
                   (uint64_t)(whole(vr + k * dvx) - vlo) < vcount;
        };
        // Along a row u and v move linearly, so the texels used form one
        // run: find its ends, then draw it without tests.
        int64_t first = x0, last = x1 - 1;
        while (first <= last && !inside(first)) first++;
        while (last >= first && !inside(last)) last--;
        if (first > last) continue;
        // The run's texels are gathered first, then blended as one row.
        int64_t U = ur + (first - left) * dux, V = vr + (first - left) * dvx;
        int32_t n = (int32_t)(last - first + 1);
        for (int32_t i = 0; i < n; i++, U += dux, V += dvx) texels[i] = base[whole(V) * tw + whole(U)];
        Row(DibRow(&target->dib, (int32_t)y) + 3 * first, texels.data(), n, a);
    }
}

void BlendTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                         int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                         int32_t alpha) {
    BlitRotated<BlendRow>(target, t, dcx, dcy, sx, sy, w, h, xs, ys, rot, alpha);
}

void AddTextureRotated(Surface* target, const Texture* t, int32_t dcx, int32_t dcy, int32_t sx,
                       int32_t sy, int32_t w, int32_t h, double xs, double ys, double rot,
                       int32_t alpha) {
    BlitRotated<AddRow>(target, t, dcx, dcy, sx, sy, w, h, xs, ys, rot, alpha);
}

// ---- quad blits -----------------------------------------------------------------------

// Forward sampling about two thirds of a pixel apart along both edges and
// across; a sample landing where the previous one of its line did is
// skipped, so an additive quad brightens the pixels it hits twice.
//
// Only samples that can land on the target are visited: lines of t whose
// band cannot reach it are passed over, and each line starts a little
// before it enters the target and stops a little after it leaves, so a
// quad reaching far off the screen costs what its visible part costs.
// Short stretches are stepped through, not jumped, so that a quad reaching
// a little past the edges samples exactly as one on the target does:
// repeated addition and a position computed at once round apart.
enum : int64_t { kQuadJump = 1024 };

// Where a sample must fall to land on the target (Trunc gives 0..W-1 for
// -1 < x < W), widened by half a pixel against rounding.
struct SampleBox {
    double x0, y0, x1, y1;
};

// False when the convex hull of the four points (in order round the
// quadrilateral) lies clear of the box along x, y or the normal of one of
// its sides; a separating axis proves the two apart, so true is only "may
// meet".
static bool HullMayMeetBox(const double pt[8], const SampleBox& b) {
    double axes[6][2] = {{1, 0}, {0, 1}};
    for (int i = 0; i < 4; i++) {
        int j = (i + 1) & 3;
        axes[2 + i][0] = pt[2 * i + 1] - pt[2 * j + 1];
        axes[2 + i][1] = pt[2 * j] - pt[2 * i];
    }
    const double box[8] = {b.x0, b.y0, b.x1, b.y0, b.x1, b.y1, b.x0, b.y1};
    for (const auto& a : axes) {
        double lo = INFINITY, hi = -INFINITY, blo = INFINITY, bhi = -INFINITY;
        for (int i = 0; i < 4; i++) {
            double v = pt[2 * i] * a[0] + pt[2 * i + 1] * a[1];
            double w = box[2 * i] * a[0] + box[2 * i + 1] * a[1];
            lo = std::min(lo, v), hi = std::max(hi, v);
            blo = std::min(blo, w), bhi = std::max(bhi, w);
        }
        if (hi < blo || lo > bhi) return false;
    }
    return true;
}

// The lines of t: line m runs from P0 + m * dP to Q0 + m * dQ.
struct QuadLines {
    double p0x, p0y, q0x, q0y, dpx, dpy, dqx, dqy;
};

// Appends the ranges of line numbers within a..b whose band may meet the
// box, joining neighbours; a range is split until it is short or clear.
static void FindQuadLines(const QuadLines& q, int64_t a, int64_t b, const SampleBox& box,
                          std::vector<std::pair<int64_t, int64_t>>* out) {
    double ma = (double)a, mb = (double)b;
    const double pt[8] = {q.p0x + ma * q.dpx, q.p0y + ma * q.dpy, q.q0x + ma * q.dqx, q.q0y + ma * q.dqy,
                          q.q0x + mb * q.dqx, q.q0y + mb * q.dqy, q.p0x + mb * q.dpx, q.p0y + mb * q.dpy};
    if (!HullMayMeetBox(pt, box)) return;
    if (b - a < 32) {
        if (!out->empty() && out->back().second + 1 >= a)
            out->back().second = b;
        else
            out->push_back({a, b});
        return;
    }
    int64_t mid = a + (b - a) / 2;
    FindQuadLines(q, a, mid, box, out);
    FindQuadLines(q, mid + 1, b, box, out);
}

// The part s0..s1 of 0..1 over which P + (Q - P) s lies in the box; false
// when none does.
static bool ClipSegment(double px, double py, double qx, double qy, const SampleBox& b, double* s0,
                        double* s1) {
    double lo = 0, hi = 1;
    const double d[2] = {qx - px, qy - py}, p[2] = {px, py};
    const double mins[2] = {b.x0, b.y0}, maxs[2] = {b.x1, b.y1};
    for (int k = 0; k < 2; k++) {
        if (d[k] == 0) {
            if (p[k] < mins[k] || p[k] > maxs[k]) return false;
            continue;
        }
        double e = (mins[k] - p[k]) / d[k], f = (maxs[k] - p[k]) / d[k];
        if (e > f) std::swap(e, f);
        lo = std::max(lo, e), hi = std::min(hi, f);
        if (lo > hi) return false;
    }
    *s0 = lo, *s1 = hi;
    return true;
}

template <class Op>
static void BlitQuad(Surface* target, const Texture* t, const int32_t k[8], int32_t sx, int32_t sy,
                     int32_t w, int32_t h, int32_t alpha) {
    if (!target->dib.bits || target->dib.infoHeader.bitCount != 24 || !TextureLoaded(t)) return;
    uint32_t a = (uint32_t)std::clamp(alpha, 0, 255);
    if (a == 0) return;
    int64_t W = target->dib.width, H = target->dib.height;
    const SampleBox box{-1.5, -1.5, W + 0.5, H + 0.5};
    double span = std::max(std::fabs((double)k[5] - k[1]), std::fabs((double)k[7] - k[3]));
    double dt = span > 0 ? 1 / (1.5 * span) : 2;
    double ppx = (k[4] - (double)k[0]) * dt, ppy = (k[5] - (double)k[1]) * dt;
    double pqx = (k[6] - (double)k[2]) * dt, pqy = (k[7] - (double)k[3]) * dt;
    const QuadLines lines{(double)k[0], (double)k[1], (double)k[2], (double)k[3], ppx, ppy, pqx, pqy};
    std::vector<std::pair<int64_t, int64_t>> ranges;
    FindQuadLines(lines, 0, (int64_t)(1 / dt) + 1, box, &ranges);
    double px = k[0], py = k[1], qx = k[2], qy = k[3], tt = 0;
    int64_t tw = t->width, th = t->height;
    size_t r = 0;
    for (int64_t m = 0; tt <= 1; m++, tt += dt, px += ppx, py += ppy, qx += pqx, qy += pqy) {
        while (r < ranges.size() && ranges[r].second < m) r++;
        if (r == ranges.size()) break;
        if (m < ranges[r].first) {  // a line that cannot land
            if (ranges[r].first - m < kQuadJump) continue;
            m = ranges[r].first;
            double fm = (double)m;
            tt = fm * dt;
            px = k[0] + fm * ppx, py = k[1] + fm * ppy, qx = k[2] + fm * pqx, qy = k[3] + fm * pqy;
            if (tt > 1) break;
        }
        double s0, s1;
        if (!ClipSegment(px, py, qx, qy, box, &s0, &s1)) continue;
        int64_t v = Trunc(sy + (h - 1) * tt);
        double across = std::fabs(qx - px);
        double ds = across > 0 ? 1 / (1.5 * across) : 2;
        double stepx = (qx - px) * ds, stepy = (qy - py) * ds;
        // From two samples before the line enters the box to two after it
        // leaves; the first of them lies off the target, so skipping a
        // repeat of the sample before it changes nothing.
        int64_t j0 = std::max<int64_t>(0, (int64_t)(s0 / ds) - 2), j1 = (int64_t)(s1 / ds) + 2;
        if (j0 < kQuadJump) j0 = 0;
        double ss = 0, x = px, y = py;
        if (j0 > 0) {
            double fj = (double)j0;
            ss = fj * ds, x = px + fj * stepx, y = py + fj * stepy;
        }
        int64_t lastx = 0, lasty = 0;
        bool first = true;
        for (int64_t j = j0; ss <= 1 && j <= j1; j++, ss += ds, x += stepx, y += stepy) {
            int64_t ix = Trunc(x), iy = Trunc(y);
            if (!first && ix == lastx && iy == lasty) continue;
            first = false;
            lastx = ix, lasty = iy;
            int64_t u = Trunc(sx + (w - 1) * ss);
            if (ix < 0 || iy < 0 || ix >= W || iy >= H || u < 0 || v < 0 || u >= tw || v >= th)
                continue;
            Op::Apply(DibRow(&target->dib, (int32_t)iy) + 3 * ix, t->pixels[v * tw + u], a);
        }
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
