// effect_kernels.cpp - the transitions' pixel loops.  The crossfade and the
// rule wipe have vector loops for 512-, 256- and 128-bit registers, chosen
// at run time, that give ProductTable's bytes exactly; the plain loops use
// Div255Product.  Rows of large areas can be shared out to threads.
#include "graphics/effect_kernels.h"

#include <algorithm>
#include <cstring>
#include <thread>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

// One thread by default: helper threads started per step paid off only on
// an idle machine, and lost badly on a busy one (see bench_effect).
static int EffectThreads = 1;

void SetEffectThreads(int count) { EffectThreads = std::clamp(count, 1, 16); }

// The widest vectors the machine offers, in bits (0: plain loops); the
// Have flags follow it.
static int VectorBits = SetEffectVectorBits(512);
static bool HaveAvx512, HaveAvx2, HaveSsse3, HaveSse2;

int SetEffectVectorBits(int bits) {
#if defined(__SSE2__)
    HaveAvx512 = bits >= 512 && __builtin_cpu_supports("avx512bw");
    HaveAvx2 = bits >= 256 && __builtin_cpu_supports("avx2");
    HaveSsse3 = bits >= 128 && __builtin_cpu_supports("ssse3");
    HaveSse2 = bits >= 128;
    return VectorBits = HaveAvx512 ? 512 : HaveAvx2 ? 256 : HaveSse2 ? 128 : 0;
#else
    (void)bits;
    return VectorBits = 0;
#endif
}

// Below this many pixels a step runs on the calling thread alone; from
// StreamPixels on, whole-frame blends write around the caches.
enum { ParallelPixels = 1 << 18, StreamPixels = 1 << 20 };

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

// One row of a crossfade frame: bytes i (counted from o) with i & 1 ==
// parity (every byte for parity 2) become PT[a][s] + PT[b][d].  The vector
// loops hold the bytes of one parity in 16-bit lanes.  For a level a below
// 255, x * a / 255 truncated (x <= 255) is the high half of x * m with
// m = ceil(a * 65536 / 255): the excess x * (m - a * 65536 / 255) / 65536
// stays below 1/255, the smallest gap between x * a / 255 and the next
// whole number.  Levels 0 and 255 (m = 65536) take the scalar loop.
#if defined(__SSE2__)
// The factor m of level a < 255.
static inline uint16_t LevelFactor(uint32_t a) { return (uint16_t)((a * 65536u + 254u) / 255u); }

#define EFFECT_BLEND_LOOP(V, load, store, set1, srli, slli, and_, andnot, or_, mulhi, add)      \
    {                                                                                           \
        const V ma = set1((short)LevelFactor(a)), mb = set1((short)LevelFactor(b));             \
        const V low = set1(0x00FF);                                                             \
        for (; i + (int32_t)sizeof(V) <= n; i += (int32_t)sizeof(V)) {                          \
            V vs = load((const V*)(s + i)), vd = load((const V*)(d + i));                       \
            V v;                                                                                \
            if (parity == 2) {                                                                  \
                V even = add(mulhi(and_(vs, low), ma), mulhi(and_(vd, low), mb));               \
                V odd = add(mulhi(srli(vs, 8), ma), mulhi(srli(vd, 8), mb));                    \
                v = or_(even, slli(odd, 8));                                                    \
            } else if (parity == 1) {                                                           \
                V vo = load((const V*)(o + i));                                                 \
                V odd = add(mulhi(srli(vs, 8), ma), mulhi(srli(vd, 8), mb));                    \
                v = or_(slli(odd, 8), and_(vo, low));                                           \
            } else {                                                                            \
                V vo = load((const V*)(o + i));                                                 \
                V even = add(mulhi(and_(vs, low), ma), mulhi(and_(vd, low), mb));               \
                v = or_(even, andnot(low, vo));                                                 \
            }                                                                                   \
            store((V*)(o + i), v);                                                              \
        }                                                                                       \
    }

// Whole-frame blends of large areas write past the caches (aligned blocks
// only): the result is not read back before the next frame, and the
// reads of the two pictures keep the cache.
template <bool Stream>
__attribute__((target("avx512bw"))) static inline void StoreBlock(__m512i* p, __m512i v) {
    if (Stream && ((uintptr_t)p & 63) == 0)
        _mm512_stream_si512(p, v);
    else
        _mm512_storeu_si512(p, v);
}

// ~a & b (the compiler's own andnot for 512 bits trips its uninitialised
// value warning).
__attribute__((target("avx512bw"))) static inline __m512i AndNot512(__m512i a, __m512i b) {
    return _mm512_and_si512(_mm512_xor_si512(a, _mm512_set1_epi32(-1)), b);
}

template <bool Stream>
__attribute__((target("avx512bw"))) static int32_t CrossfadeRowAvx512(
    uint8_t* o, const uint8_t* s, const uint8_t* d, int32_t n, uint32_t a, uint32_t b,
    int32_t parity) {
    int32_t i = 0;
    EFFECT_BLEND_LOOP(__m512i, _mm512_loadu_si512, StoreBlock<Stream>, _mm512_set1_epi16,
                      _mm512_srli_epi16, _mm512_slli_epi16, _mm512_and_si512, AndNot512,
                      _mm512_or_si512, _mm512_mulhi_epu16, _mm512_add_epi16)
    return i;
}

template <bool Stream>
__attribute__((target("avx2"))) static inline void StoreBlock(__m256i* p, __m256i v) {
    if (Stream && ((uintptr_t)p & 31) == 0)
        _mm256_stream_si256(p, v);
    else
        _mm256_storeu_si256(p, v);
}

template <bool Stream>
__attribute__((target("avx2"))) static int32_t CrossfadeRowAvx2(
    uint8_t* o, const uint8_t* s, const uint8_t* d, int32_t n, uint32_t a, uint32_t b,
    int32_t parity) {
    int32_t i = 0;
    EFFECT_BLEND_LOOP(__m256i, _mm256_loadu_si256, StoreBlock<Stream>, _mm256_set1_epi16,
                      _mm256_srli_epi16, _mm256_slli_epi16, _mm256_and_si256, _mm256_andnot_si256,
                      _mm256_or_si256, _mm256_mulhi_epu16, _mm256_add_epi16)
    return i;
}

static int32_t CrossfadeRowSse2(uint8_t* o, const uint8_t* s, const uint8_t* d, int32_t n,
                                uint32_t a, uint32_t b, int32_t parity) {
    int32_t i = 0;
    EFFECT_BLEND_LOOP(__m128i, _mm_loadu_si128, _mm_storeu_si128, _mm_set1_epi16, _mm_srli_epi16,
                      _mm_slli_epi16, _mm_and_si128, _mm_andnot_si128, _mm_or_si128,
                      _mm_mulhi_epu16, _mm_add_epi16)
    return i;
}

#endif

static void CrossfadeRow(uint8_t* o, const uint8_t* s, const uint8_t* d, int32_t n, uint32_t a,
                         uint32_t b, int32_t parity, bool stream) {
    int32_t i = 0;
#if defined(__SSE2__)
    if (a < 255 && b < 255 && HaveSse2)
        i = HaveAvx512 ? (stream ? CrossfadeRowAvx512<true>(o, s, d, n, a, b, parity)
                                 : CrossfadeRowAvx512<false>(o, s, d, n, a, b, parity))
            : HaveAvx2 ? (stream ? CrossfadeRowAvx2<true>(o, s, d, n, a, b, parity)
                                 : CrossfadeRowAvx2<false>(o, s, d, n, a, b, parity))
                       : CrossfadeRowSse2(o, s, d, n, a, b, parity);
#endif
    int32_t stride = parity == 2 ? 1 : 2;
    if (parity != 2 && (i & 1) != parity) i++;
    for (; i < n; i += stride) o[i] = (uint8_t)(Div255Product(a, s[i]) + Div255Product(b, d[i]));
}

void CrossfadeStep(Dib* work, const Dib* src, const Dib* old, int32_t left, int32_t top,
                   int32_t w, int32_t h, int32_t level, int32_t parity) {
    if (w < 1 || h < 1) return;
    const uint32_t a = (uint32_t)level, b = 255u - (uint32_t)level;
    const int32_t n = w * 3;
    const bool stream = parity == 2 && (int64_t)w * h >= StreamPixels;
    ForRows(top, h, (int64_t)w * h, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; y++)
            CrossfadeRow(DibRow(work, y) + 3 * left, DibRow(src, y) + 3 * left,
                         DibRow(old, y) + 3 * left, n, a, b, parity == 2 ? 2 : parity & 1, stream);
#if defined(__SSE2__)
        if (stream) _mm_sfence();
#endif
    });
}

// One row of a rule wipe from pixel x on.  The vector loop takes 16 pixels
// (48 bytes) at a time: the blue bytes are compared with the limit, and
// each result is spread over its pixel's three bytes by byte shuffles.
static void RuleWipeRowScalar(uint8_t* d, const uint8_t* s, uint8_t* r, int32_t x, int32_t w,
                              uint8_t limit) {
    for (; x < w; x++) {
        if (r[3 * x] > limit) continue;
        d[3 * x] = s[3 * x];
        d[3 * x + 1] = s[3 * x + 1];
        d[3 * x + 2] = s[3 * x + 2];
        r[3 * x] = 255;
    }
}

#if defined(__SSE2__)
__attribute__((target("ssse3"))) static void RuleWipeRowSsse3(uint8_t* d, const uint8_t* s,
                                                              uint8_t* r, int32_t w, uint8_t limit) {
    const __m128i lim = _mm_set1_epi8((char)limit);
    // Where each byte's blue byte is, in the three vectors shifted as below.
    const __m128i spread0 = _mm_setr_epi8(0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15);
    const __m128i spread1 = _mm_setr_epi8(0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15);
    const __m128i spread2 = _mm_setr_epi8(0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15, 15);
    const __m128i blue0 = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1);
    const __m128i blue1 = _mm_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
    const __m128i blue2 = _mm_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
    int32_t x = 0;
    for (; x + 16 <= w; x += 16) {
        uint8_t* rp = r + 3 * x;
        __m128i r0 = _mm_loadu_si128((const __m128i*)rp);
        __m128i r1 = _mm_loadu_si128((const __m128i*)(rp + 16));
        __m128i r2 = _mm_loadu_si128((const __m128i*)(rp + 32));
        // 0xFF where the byte is at most the limit
        __m128i c0 = _mm_cmpeq_epi8(_mm_min_epu8(r0, lim), r0);
        __m128i c1 = _mm_cmpeq_epi8(_mm_min_epu8(r1, lim), r1);
        __m128i c2 = _mm_cmpeq_epi8(_mm_min_epu8(r2, lim), r2);
        __m128i m0 = _mm_shuffle_epi8(c0, spread0);
        __m128i m1 = _mm_shuffle_epi8(_mm_alignr_epi8(c1, c0, 15), spread1);
        __m128i m2 = _mm_shuffle_epi8(_mm_alignr_epi8(c2, c1, 14), spread2);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), m2)) == 0) continue;
        uint8_t* dp = d + 3 * x;
        const uint8_t* sp = s + 3 * x;
        __m128i m[3] = {m0, m1, m2}, blue[3] = {blue0, blue1, blue2}, rv[3] = {r0, r1, r2};
        for (int k = 0; k < 3; k++) {
            __m128i dv = _mm_loadu_si128((const __m128i*)(dp + 16 * k));
            __m128i sv = _mm_loadu_si128((const __m128i*)(sp + 16 * k));
            _mm_storeu_si128((__m128i*)(dp + 16 * k),
                             _mm_or_si128(_mm_and_si128(m[k], sv), _mm_andnot_si128(m[k], dv)));
            _mm_storeu_si128((__m128i*)(rp + 16 * k), _mm_or_si128(rv[k], _mm_and_si128(m[k], blue[k])));
        }
    }
    RuleWipeRowScalar(d, s, r, x, w, limit);
}

// The same with 64 pixels (192 bytes, three vectors) at a time: the
// compare gives one mask bit a byte; the bits of the blue bytes, spread
// over their pixel's three bytes as one 192-bit mask, select the bytes
// stored from src, and the blue bits alone the rule bytes set to 255.
// Blocks where no pixel switches are only read.
static constexpr uint64_t EveryThirdBit(int first) {
    uint64_t m = 0;
    for (int i = first; i < 64; i += 3) m |= 1ull << i;
    return m;
}

__attribute__((target("avx512bw"))) static void RuleWipeRowAvx512(uint8_t* d, const uint8_t* s,
                                                                  uint8_t* r, int32_t w,
                                                                  uint8_t limit) {
    // Blue bytes sit at the block offsets divisible by 3: 0, 3, ... in the
    // first vector, 66 = 64 + 2, ... in the second, 129 = 128 + 1, ... in
    // the third.
    constexpr uint64_t blue0 = EveryThirdBit(0), blue1 = EveryThirdBit(2),
                       blue2 = EveryThirdBit(1);
    const __m512i lim = _mm512_set1_epi8((char)limit), full = _mm512_set1_epi8((char)0xFF);
    int32_t x = 0;
    for (; x + 64 <= w; x += 64) {
        uint8_t* rp = r + 3 * x;
        uint64_t k0 = _mm512_cmple_epu8_mask(_mm512_loadu_si512(rp), lim) & blue0;
        uint64_t k1 = _mm512_cmple_epu8_mask(_mm512_loadu_si512(rp + 64), lim) & blue1;
        uint64_t k2 = _mm512_cmple_epu8_mask(_mm512_loadu_si512(rp + 128), lim) & blue2;
        if ((k0 | k1 | k2) == 0) continue;
        // A blue bit b marks bits b, b + 1 and b + 2; the top two bits of a
        // vector carry into the next one.
        uint64_t m0 = k0 | k0 << 1 | k0 << 2;
        uint64_t m1 = k1 | k1 << 1 | k1 << 2 | k0 >> 63 | k0 >> 62;
        uint64_t m2 = k2 | k2 << 1 | k2 << 2 | k1 >> 63 | k1 >> 62;
        uint8_t* dp = d + 3 * x;
        const uint8_t* sp = s + 3 * x;
        _mm512_mask_storeu_epi8(dp, m0, _mm512_loadu_si512(sp));
        _mm512_mask_storeu_epi8(dp + 64, m1, _mm512_loadu_si512(sp + 64));
        _mm512_mask_storeu_epi8(dp + 128, m2, _mm512_loadu_si512(sp + 128));
        _mm512_mask_storeu_epi8(rp, k0, full);
        _mm512_mask_storeu_epi8(rp + 64, k1, full);
        _mm512_mask_storeu_epi8(rp + 128, k2, full);
    }
    RuleWipeRowScalar(d, s, r, x, w, limit);
}

#endif

void RuleWipeStep(Dib* dest, const Dib* src, Dib* rule, int32_t left, int32_t top, int32_t w,
                  int32_t h, int32_t threshold) {
    if (w < 1 || h < 1 || threshold < 0) return;
    const uint8_t limit = (uint8_t)std::min(threshold, 255);
    ForRows(top, h, (int64_t)w * h, [=](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; y++) {
            uint8_t* d = DibRow(dest, y) + 3 * left;
            const uint8_t* s = DibRow(src, y) + 3 * left;
            uint8_t* r = DibRow(rule, y) + 3 * left;
#if defined(__SSE2__)
            if (HaveAvx512) {
                RuleWipeRowAvx512(d, s, r, w, limit);
                continue;
            }
            if (HaveSsse3) {
                RuleWipeRowSsse3(d, s, r, w, limit);
                continue;
            }
#endif
            RuleWipeRowScalar(d, s, r, 0, w, limit);
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
