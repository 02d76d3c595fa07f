// draw.cpp - DrawSurface, DrawSurfaceRotated and DrawSurfaceAffine.
//
// The upright draw runs row kernels that the compiler keeps in vector
// registers; the products are computed as ((a * b + 1) * 257) >> 16, which
// equals ProductTable for every pair of bytes.  The rotated and affine draws
// step through the source in 16.16 fixed point, one destination row at a
// time over the columns whose samples fall inside the cell.
#include "graphics/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/platform.h"
#include "save/savepoint.h"

namespace {

typedef uint8_t* __restrict Out;
typedef const uint8_t* __restrict In;

// a * b / 255 truncated = ((a * b + 1) * 257) >> 16 for bytes a and b: a
// low and a high 16-bit multiply in vector registers.
inline uint8_t Mul(uint8_t a, uint8_t b) {
    uint16_t t = (uint16_t)(a * b + 1);
    return (uint8_t)(((uint32_t)t * 257u) >> 16);
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
//
// Two sets: the 128-bit baseline, plain loops the compiler vectorises (its
// mask kernels first spread each mask byte over its pixel and then run over
// plain bytes), and the wide set for 256-bit registers (AVX2, when the
// processor has it), whose mask and colour-key kernels are written in
// vector instructions and walk rows in blocks of 16 pixels.

#define ORVA_INLINE inline __attribute__((always_inline))
#if defined(__x86_64__) || defined(__i386__)
#define ORVA_WIDE __attribute__((target("avx2")))
#define ORVA_HAS_WIDE 1
#else
#define ORVA_WIDE
#define ORVA_HAS_WIDE 0
#endif

// dst := P[src][255 - m] + P[dst][m], the mask spread over each pixel
ORVA_INLINE void MaskBytes(Out d, In s, In e, int32_t bytes) {
    for (int32_t j = 0; j < bytes; j++) d[j] = (uint8_t)(Mul(s[j], (uint8_t)(255 - e[j])) + Mul(d[j], e[j]));
}
// a := P[255 - m][alpha]; dst := P[src][a] + P[dst][255 - a]
ORVA_INLINE void MaskAlphaBytes(Out d, In s, In e, int32_t bytes, uint8_t alpha) {
    for (int32_t j = 0; j < bytes; j++) {
        uint8_t a = Mul((uint8_t)(255 - e[j]), alpha);
        d[j] = (uint8_t)(Mul(s[j], a) + Mul(d[j], (uint8_t)(255 - a)));
    }
}
// String sprites add: dst := min(255, P[dst][m] + src), with alpha
// min(255, P[dst][m] + P[alpha][src]).
ORVA_INLINE void StringPix(Out d, In s, In m, int32_t n, uint8_t alpha) {
    for (int32_t i = 0; i < n; i++) {
        uint8_t mv = m[3 * i];
        d[3 * i] = AddSat(Mul(d[3 * i], mv), Mul(alpha, s[3 * i]));
        d[3 * i + 1] = AddSat(Mul(d[3 * i + 1], mv), Mul(alpha, s[3 * i + 1]));
        d[3 * i + 2] = AddSat(Mul(d[3 * i + 2], mv), Mul(alpha, s[3 * i + 2]));
    }
}
ORVA_INLINE void StringBytes(Out d, In s, In e, int32_t bytes, uint8_t alpha) {
    for (int32_t j = 0; j < bytes; j++) d[j] = AddSat(Mul(d[j], e[j]), Mul(alpha, s[j]));
}
// dst := P[src][alpha] + P[dst][255 - alpha]
ORVA_INLINE void BlendBytes(Out d, In s, int32_t bytes, uint8_t alpha) {
    uint8_t inv = (uint8_t)(255 - alpha);
    for (int32_t j = 0; j < bytes; j++) d[j] = (uint8_t)(Mul(s[j], alpha) + Mul(d[j], inv));
}
// Spreads each mask pixel's blue byte over its three bytes.
ORVA_INLINE void SpreadMask(Out e, In m, int32_t n) {
    for (int32_t i = 0; i < n; i++) {
        uint8_t v = m[3 * i];
        e[3 * i] = v;
        e[3 * i + 1] = v;
        e[3 * i + 2] = v;
    }
}

// Mask rows are walked in blocks of 16 pixels: a run of blocks whose mask
// bytes are all 0 is opaque, one whose bytes are all 255 is transparent, and
// the rest are blended as one run.  A block is classed by all three bytes of
// its mask pixels (only blue counts), so a mask that is not grey is simply
// blended.
enum { MaskBlock = 16 };
enum MaskClass { MaskMixed, MaskOpaque, MaskClear };

ORVA_INLINE int ClassifyBlock(In m) {
    uint8_t lo = 255, hi = 0;
    for (int j = 0; j < 3 * MaskBlock; j++) {
        lo &= m[j];
        hi |= m[j];
    }
    return hi == 0 ? MaskOpaque : lo == 255 ? MaskClear : MaskMixed;
}

// Body::Opaque(d, s, n) and Body::Mixed(d, s, m, n) on runs of n pixels; a
// clear run is left alone.
template <class Body>
ORVA_INLINE void MaskRuns(Out d, In s, In m, int32_t n, const Body& body) {
    int32_t full = n / MaskBlock * MaskBlock;
    int32_t i = 0;
    while (i < full) {
        int c = ClassifyBlock(m + 3 * i);
        int32_t j = i + MaskBlock;
        while (j < full && ClassifyBlock(m + 3 * j) == c) j += MaskBlock;
        if (j == full && c == MaskMixed) j = n;  // the tail joins a mixed run
        if (c == MaskOpaque) body.Opaque(d + 3 * i, s + 3 * i, j - i);
        else if (c == MaskMixed) body.Mixed(d + 3 * i, s + 3 * i, m + 3 * i, j - i);
        i = j;
    }
    if (i < n) body.Mixed(d + 3 * i, s + 3 * i, m + 3 * i, n - i);
}

// The baseline blends over a spread copy of the mask.
struct SpreadMaskBody {
    uint8_t* e;
    ORVA_INLINE void Opaque(Out d, In s, int32_t n) const { memcpy(d, s, 3 * (size_t)n); }
    ORVA_INLINE void Mixed(Out d, In s, In m, int32_t n) const {
        SpreadMask(e, m, n);
        MaskBytes(d, s, e, 3 * n);
    }
};
struct SpreadMaskAlphaBody {
    uint8_t* e;
    uint8_t alpha;
    ORVA_INLINE void Opaque(Out d, In s, int32_t n) const { BlendBytes(d, s, 3 * n, alpha); }
    ORVA_INLINE void Mixed(Out d, In s, In m, int32_t n) const {
        SpreadMask(e, m, n);
        MaskAlphaBytes(d, s, e, 3 * n, alpha);
    }
};

// The kernels as DrawSurface calls them; `e` is scratch for 3n bytes.
struct RowKernels {
    void (*mask)(Out d, In s, In m, int32_t n, uint8_t* e);
    void (*maskAlpha)(Out d, In s, In m, int32_t n, uint8_t* e, uint8_t alpha);
    void (*string)(Out d, In s, In m, int32_t n, uint8_t* e, uint8_t alpha);
    void (*blend)(Out d, In s, int32_t bytes, uint8_t alpha);
    void (*keyed)(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2);
    void (*keyedAlpha)(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2, uint8_t alpha);
};

void BaseMask(Out d, In s, In m, int32_t n, uint8_t* e) { MaskRuns(d, s, m, n, SpreadMaskBody{e}); }
void BaseMaskAlpha(Out d, In s, In m, int32_t n, uint8_t* e, uint8_t a) {
    MaskRuns(d, s, m, n, SpreadMaskAlphaBody{e, a});
}
void BaseString(Out d, In s, In m, int32_t n, uint8_t* e, uint8_t a) {
    SpreadMask(e, m, n);
    StringBytes(d, s, e, 3 * n, a);
}
void BaseBlend(Out d, In s, int32_t bytes, uint8_t a) { BlendBytes(d, s, bytes, a); }
// Without wide registers the keyed copy goes a pixel at a time, runs of key
// pixels being the common case.
void BaseKeyed(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2) {
    for (int32_t i = 0; i < n; i++) {
        const uint8_t* p = s + 3 * i;
        if (p[0] == k0 && p[1] == k1 && p[2] == k2) continue;
        d[3 * i] = p[0];
        d[3 * i + 1] = p[1];
        d[3 * i + 2] = p[2];
    }
}
void BaseKeyedAlpha(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2, uint8_t a) {
    uint8_t inv = (uint8_t)(255 - a);
    for (int32_t i = 0; i < n; i++) {
        const uint8_t* p = s + 3 * i;
        if (p[0] == k0 && p[1] == k1 && p[2] == k2) continue;
        for (int k = 0; k < 3; k++) d[3 * i + k] = (uint8_t)(Mul(d[3 * i + k], inv) + Mul(p[k], a));
    }
}

#if ORVA_HAS_WIDE
// ---- the wide kernels: 16 pixels (48 bytes) a block ----
//
// A block is handled as two 32-byte vectors over bytes 0..31 and 16..47,
// both computed from the bytes as they were and stored in that order, so
// that the 16 bytes they share come out the same.  The tail of a row (under
// 16 pixels) runs through the same block code in zero-padded copies.

enum { WideBlock = 16, WideBytes = 3 * WideBlock };

// Lane-wise shuffles spreading each pixel's blue mask byte over the pixel:
// bytes 0..15 read from m + 0, 16..31 from m + 15, 32..47 from m + 30.
alignas(32) const uint8_t kSpreadLo[32] = {0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15,
                                           0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15};
alignas(32) const uint8_t kSpreadHi[32] = {0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15,
                                           0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12, 15, 15, 15};
// Bit j of a 32-bit word to byte j: which byte of the word, which bit of it.
alignas(32) const uint8_t kBitByte[32] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1,
                                          2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3};
// Byte j of a block holds byte j % 3 of its pixel.
alignas(32) const uint8_t kKeyByte[WideBytes] = {0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0,
                                                 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1,
                                                 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0, 1, 2};
const uint64_t kPixelBits = 0x249249249249ull;  // bit 3p for the 16 pixels of a block

ORVA_WIDE ORVA_INLINE __m256i Load32(const uint8_t* p) { return _mm256_loadu_si256((const __m256i*)p); }
ORVA_WIDE ORVA_INLINE void Store32(uint8_t* p, __m256i v) { _mm256_storeu_si256((__m256i*)p, v); }
ORVA_WIDE ORVA_INLINE __m128i Load16(const uint8_t* p) { return _mm_loadu_si128((const __m128i*)p); }
ORVA_WIDE ORVA_INLINE __m256i Load2x16(const uint8_t* lo, const uint8_t* hi) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(lo)), Load16(hi), 1);
}

// a * b / 255 truncated on 16-bit lanes holding bytes.
ORVA_WIDE ORVA_INLINE __m256i Mul16(__m256i a, __m256i b) {
    __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, b), _mm256_set1_epi16(1));
    return _mm256_mulhi_epu16(t, _mm256_set1_epi16(257));
}
// P[s][ws] + P[d][wd] byte by byte; the weights are 16-bit lanes for the low
// and the high eight bytes of each 128-bit lane.
ORVA_WIDE ORVA_INLINE __m256i Weigh(__m256i s, __m256i d, __m256i wsLo, __m256i wdLo, __m256i wsHi,
                                    __m256i wdHi) {
    __m256i z = _mm256_setzero_si256();
    __m256i lo = _mm256_add_epi16(Mul16(_mm256_unpacklo_epi8(s, z), wsLo), Mul16(_mm256_unpacklo_epi8(d, z), wdLo));
    __m256i hi = _mm256_add_epi16(Mul16(_mm256_unpackhi_epi8(s, z), wsHi), Mul16(_mm256_unpackhi_epi8(d, z), wdHi));
    return _mm256_packus_epi16(lo, hi);
}
// The mask blend of 32 bytes with the spread mask bytes e: without alpha
// P[s][255 - m] + P[d][m]; with it a := P[255 - m][alpha], P[s][a] + P[d][255 - a].
template <bool Alpha>
ORVA_WIDE ORVA_INLINE __m256i MaskBlend(__m256i s, __m256i d, __m256i e, __m256i alpha) {
    __m256i z = _mm256_setzero_si256(), c255 = _mm256_set1_epi16(255);
    __m256i mLo = _mm256_unpacklo_epi8(e, z), mHi = _mm256_unpackhi_epi8(e, z);
    __m256i wsLo = _mm256_sub_epi16(c255, mLo), wsHi = _mm256_sub_epi16(c255, mHi);
    if (!Alpha) return Weigh(s, d, wsLo, mLo, wsHi, mHi);
    wsLo = Mul16(wsLo, alpha);
    wsHi = Mul16(wsHi, alpha);
    return Weigh(s, d, wsLo, _mm256_sub_epi16(c255, wsLo), wsHi, _mm256_sub_epi16(c255, wsHi));
}

// A block whose mask bytes are all 0 is opaque, all 255 clear; only blue
// counts, so a mask that is not grey is simply blended.
template <bool Alpha>
ORVA_WIDE ORVA_INLINE void WideMaskBlock(Out d, In s, In m, __m256i alpha) {
    __m256i m0 = Load32(m);
    __m128i m1 = Load16(m + 32);
    __m128i lo = _mm256_castsi256_si128(m0), hi = _mm256_extracti128_si256(m0, 1);
    __m128i any = _mm_or_si128(_mm_or_si128(lo, hi), m1);
    __m128i all = _mm_and_si128(_mm_and_si128(lo, hi), m1);
    if (_mm_test_all_ones(all)) return;
    if (!Alpha && _mm_testz_si128(any, any)) {
        Store32(d, Load32(s));
        _mm_storeu_si128((__m128i*)(d + 32), Load16(s + 32));
        return;
    }
    __m256i e0 = _mm256_shuffle_epi8(Load2x16(m, m + 15), Load32(kSpreadLo));
    __m256i e1 = _mm256_shuffle_epi8(Load2x16(m + 15, m + 30), Load32(kSpreadHi));
    __m256i r0 = MaskBlend<Alpha>(Load32(s), Load32(d), e0, alpha);
    __m256i r1 = MaskBlend<Alpha>(Load32(s + 16), Load32(d + 16), e1, alpha);
    Store32(d, r0);
    Store32(d + 16, r1);
}

template <bool Alpha>
ORVA_WIDE ORVA_INLINE void WideMaskRow(Out d, In s, In m, int32_t n, uint8_t a) {
    __m256i alpha = _mm256_set1_epi16(a);
    int32_t i = 0;
    for (; i + WideBlock <= n; i += WideBlock) WideMaskBlock<Alpha>(d + 3 * i, s + 3 * i, m + 3 * i, alpha);
    if (i == n) return;
    size_t bytes = 3 * (size_t)(n - i);
    alignas(32) uint8_t bd[WideBytes] = {}, bs[WideBytes] = {}, bm[WideBytes] = {};
    memcpy(bd, d + 3 * i, bytes);
    memcpy(bs, s + 3 * i, bytes);
    memcpy(bm, m + 3 * i, bytes);
    WideMaskBlock<Alpha>(bd, bs, bm, alpha);
    memcpy(d + 3 * i, bd, bytes);
}

// 0xFF in byte j where bit j of `bits` is set.
ORVA_WIDE ORVA_INLINE __m256i BitsToBytes(uint32_t bits) {
    __m256i sel = _mm256_set1_epi64x((long long)0x8040201008040201ull);
    __m256i v = _mm256_shuffle_epi8(_mm256_set1_epi32((int)bits), Load32(kBitByte));
    return _mm256_cmpeq_epi8(_mm256_and_si256(v, sel), sel);
}

// Key pixels keep the destination; the others take P[d][255 - alpha] +
// P[s][alpha] (Alpha) or the source.  `key0` and `key1` hold the key
// repeated from byte 0 and from byte 16 of a block.
template <bool Alpha>
ORVA_WIDE ORVA_INLINE void WideKeyedBlock(Out d, In s, __m256i key0, __m256i key1, __m256i alpha,
                                      __m256i inv) {
    __m256i s0 = Load32(s), s1 = Load32(s + 16);
    uint64_t eq = (uint32_t)_mm256_movemask_epi8(_mm256_cmpeq_epi8(s0, key0)) |
                  (uint64_t)(uint32_t)_mm256_movemask_epi8(_mm256_cmpeq_epi8(s1, key1)) << 16;
    uint64_t keys = eq & eq >> 1 & eq >> 2 & kPixelBits;
    if (keys == kPixelBits) return;
    if (Alpha) {
        __m256i d0 = Load32(d), d1 = Load32(d + 16);
        s0 = Weigh(s0, d0, alpha, inv, alpha, inv);
        s1 = Weigh(s1, d1, alpha, inv, alpha, inv);
        if (keys) {
            uint64_t keep = keys | keys << 1 | keys << 2;
            s0 = _mm256_blendv_epi8(s0, d0, BitsToBytes((uint32_t)keep));
            s1 = _mm256_blendv_epi8(s1, d1, BitsToBytes((uint32_t)(keep >> 16)));
        }
    } else if (keys) {
        uint64_t keep = keys | keys << 1 | keys << 2;
        __m256i d0 = Load32(d), d1 = Load32(d + 16);
        s0 = _mm256_blendv_epi8(s0, d0, BitsToBytes((uint32_t)keep));
        s1 = _mm256_blendv_epi8(s1, d1, BitsToBytes((uint32_t)(keep >> 16)));
    }
    Store32(d, s0);
    Store32(d + 16, s1);
}

template <bool Alpha>
ORVA_WIDE ORVA_INLINE void WideKeyedRow(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2,
                                        uint8_t a) {
    __m256i key = _mm256_set1_epi32((int)(k0 | (uint32_t)k1 << 8 | (uint32_t)k2 << 16));
    __m256i key0 = _mm256_shuffle_epi8(key, Load32(kKeyByte)), key1 = _mm256_shuffle_epi8(key, Load32(kKeyByte + 16));
    __m256i alpha = _mm256_set1_epi16(a), inv = _mm256_set1_epi16((short)(255 - a));
    int32_t i = 0;
    for (; i + WideBlock <= n; i += WideBlock) WideKeyedBlock<Alpha>(d + 3 * i, s + 3 * i, key0, key1, alpha, inv);
    if (i == n) return;
    // The padding is key, so that it stays as it is.
    size_t bytes = 3 * (size_t)(n - i);
    alignas(32) uint8_t bd[WideBytes] = {}, bs[WideBytes];
    Store32(bs, key0);
    Store32(bs + 16, key1);
    memcpy(bd, d + 3 * i, bytes);
    memcpy(bs, s + 3 * i, bytes);
    WideKeyedBlock<Alpha>(bd, bs, key0, key1, alpha, inv);
    memcpy(d + 3 * i, bd, bytes);
}

ORVA_WIDE void WideMask(Out d, In s, In m, int32_t n, uint8_t*) { WideMaskRow<false>(d, s, m, n, 255); }
ORVA_WIDE void WideMaskAlpha(Out d, In s, In m, int32_t n, uint8_t*, uint8_t a) {
    WideMaskRow<true>(d, s, m, n, a);
}
ORVA_WIDE void WideString(Out d, In s, In m, int32_t n, uint8_t*, uint8_t a) { StringPix(d, s, m, n, a); }
ORVA_WIDE void WideBlend(Out d, In s, int32_t bytes, uint8_t a) { BlendBytes(d, s, bytes, a); }
ORVA_WIDE void WideKeyed(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2) {
    WideKeyedRow<false>(d, s, n, k0, k1, k2, 0);
}
ORVA_WIDE void WideKeyedAlpha(Out d, In s, int32_t n, uint8_t k0, uint8_t k1, uint8_t k2, uint8_t a) {
    WideKeyedRow<true>(d, s, n, k0, k1, k2, a);
}
#endif

bool HasWideKernels() {
#if ORVA_HAS_WIDE
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

RowKernels PickKernels(bool wide) {
#if ORVA_HAS_WIDE
    if (wide) return {WideMask, WideMaskAlpha, WideString, WideBlend, WideKeyed, WideKeyedAlpha};
#endif
    (void)wide;
    return {BaseMask, BaseMaskAlpha, BaseString, BaseBlend, BaseKeyed, BaseKeyedAlpha};
}
RowKernels Kernels = PickKernels(HasWideKernels());

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

bool SelectDrawKernels(bool wide) {
    bool ok = !wide || HasWideKernels();
    Kernels = PickKernels(wide && ok);
    return ok;
}

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
    if (src->cell >= count) {
        // A sprite's cell is held in the savepoint image: a composition
        // (which builds no deferred image) that changes it builds it first.
        KeepSavepoint();
        src->cell = count - 1;
    }
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

    // Alpha 255 gives the pixels of no alpha (P[x][255] = x, P[x][0] = 0),
    // by the rows without the products.
    int32_t alpha = ClampAlpha(src->alpha);
    if (alpha == 255) alpha = -1;
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

    // Rows are stored bottom-up: the next row down lies a stride lower.  The
    // offsets step rather than the pointers, which never leave the buffers.
    ptrdiff_t sStep = -(ptrdiff_t)DibStride(bpp, sd->width), dStep = -(ptrdiff_t)DibStride(24, dd->width);
    ptrdiff_t sOff = GetRowOffset(sd, (int32_t)sy), dOff = GetRowOffset(dd, (int32_t)y0) + 3 * x0;

    if (mode == TransAlpha) {
        if (bpp != 24) return;
        uint8_t* e = Scratch(3 * (size_t)w);
        sOff += 3 * srcCol;
        for (int32_t r = 0; r < h; r++, sOff += sStep, dOff += dStep) {
            const uint8_t* s = sd->bits + sOff;
            uint8_t* d = dd->bits + dOff;
            // Without alpha a string sprite adds its colour whole: P[255][src].
            if (src->isStringSprite) Kernels.string(d, s, s + 3 * cw, w, e, alpha < 0 ? 255 : (uint8_t)alpha);
            else if (alpha < 0) Kernels.mask(d, s, s + 3 * cw, w, e);
            else Kernels.maskAlpha(d, s, s + 3 * cw, w, e, (uint8_t)alpha);
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
            sOff += 3 * srcCol;
            for (int32_t r = 0; r < h; r++, sOff += sStep, dOff += dStep) {
                const uint8_t* s = sd->bits + sOff;
                uint8_t* d = dd->bits + dOff;
                if (alpha < 0) Kernels.keyed(d, s, w, k0, k1, k2);
                else Kernels.keyedAlpha(d, s, w, k0, k1, k2, (uint8_t)alpha);
            }
            return;
        }
    }

    // Copy mode, and any mode other than 0, 1, 2 and 4.
    uint8_t* e = bpp == 8 ? Scratch(3 * (size_t)w + 4) : nullptr;
    sOff += bpp == 24 ? 3 * srcCol : srcCol;
    for (int32_t r = 0; r < h; r++, sOff += sStep, dOff += dStep) {
        const uint8_t* s = bpp == 24 ? sd->bits + sOff : e;
        uint8_t* d = dd->bits + dOff;
        if (bpp == 8) RowExpand8(e, sd->bits + sOff, w, pal);
        if (alpha < 0) memcpy(d, s, 3 * (size_t)w);
        else Kernels.blend(d, s, 3 * w, (uint8_t)alpha);
    }
}

// ---- rotated and scaled ----

namespace {

// The last source pixel sampled and the colour written for it; the memory
// lasts across rows.
struct RotState {
    int64_t lastX = -1, lastY = -1;
    bool lastSkip = false;
    uint8_t last[3] = {0, 0, 0};
};

int64_t CeilDiv(int64_t p, int64_t q) { return (p + q - 1) / q; }

// Narrows [*lo, *hi] to the i with 0 <= v + i * dv < lim; false when none.
bool NarrowSpan(int64_t v, int64_t dv, int64_t lim, int64_t* lo, int64_t* hi) {
    if (dv == 0) return v >= 0 && v < lim && *lo <= *hi;
    if (dv > 0) {
        if (lim - 1 - v < 0) return false;
        if (v < 0) *lo = std::max(*lo, CeilDiv(-v, dv));
        *hi = std::min(*hi, (lim - 1 - v) / dv);
    } else {
        int64_t e = -dv;
        if (v < 0) return false;
        *hi = std::min(*hi, v / e);
        if (v > lim - 1) *lo = std::max(*lo, CeilDiv(v - (lim - 1), e));
    }
    return *lo <= *hi;
}

// The colour one source pixel s (palette index idx, mask m in alpha mode)
// gives over the destination pixel d; false when it is keyed out.
template <int Mode, int Blend, int Bpp>
ORVA_INLINE bool RotPixel(uint8_t* out, const uint8_t* d, const uint8_t* s, uint8_t idx, uint8_t m,
                          uint8_t alpha, const uint8_t* key, int32_t keyIndex) {
    uint8_t a = alpha;
    if (Mode == TransAlpha) {
        a = alpha == 255 ? (uint8_t)(255 - m) : Mul((uint8_t)(255 - m), alpha);
    } else if (Mode != TransCopy) {
        bool hit = Bpp == 8 ? idx == keyIndex : (key && s[0] == key[0] && s[1] == key[1] && s[2] == key[2]);
        if (hit) return false;
    }
    for (int k = 0; k < 3; k++) {
        uint8_t sa = Mul(a, s[k]);
        if (Blend == BlendAdd) out[k] = AddSat(d[k], sa);
        else if (Blend == BlendSubtract) out[k] = SubSat(d[k], sa);
        else if (Mode == TransAlpha) out[k] = (uint8_t)(Mul((uint8_t)(255 - a), d[k]) + sa);
        else if (Mode == TransCopy && Bpp == 24)
            out[k] = alpha == 255 ? s[k] : (uint8_t)(Mul((uint8_t)(255 - alpha), d[k]) + sa);
        else out[k] = sa;
    }
    return true;
}

// One destination row of the rotated draw: n pixels from d, the source
// position starting at (X, Y) and moving by (stepX, stepY) per pixel.  Pure
// blends depend on the source alone, so a repeated sample needs no memory.
template <int Mode, int Blend, int Bpp, bool Pure>
void RotRow(uint8_t* d, int32_t n, int64_t X, int64_t Y, int64_t stepX, int64_t stepY,
            int64_t limX, int64_t limY, const Sampler& smp, uint8_t alpha, const uint8_t* key,
            int32_t keyIndex, RotState& st) {
    int64_t lo = 0, hi = n - 1;
    if (!NarrowSpan(X, stepX, limX, &lo, &hi) || !NarrowSpan(Y, stepY, limY, &lo, &hi)) return;
    X += lo * stepX;
    Y += lo * stepY;
    d += 3 * lo;
    for (int64_t i = lo; i <= hi; i++, d += 3, X += stepX, Y += stepY) {
        int64_t px = X >> 16, py = Y >> 16;
        if (!Pure) {
            if (px == st.lastX && py == st.lastY) {
                if (!st.lastSkip) memcpy(d, st.last, 3);
                continue;
            }
            st.lastX = px;
            st.lastY = py;
        }
        uint8_t idx = 0;
        const uint8_t* s = smp.Color((int32_t)px, (int32_t)py, &idx);
        if (Pure && Mode == TransCopy && Bpp == 24) {
            if (alpha == 255) {
                memcpy(d, s, 3);
                continue;
            }
        }
        uint8_t m = Mode == TransAlpha ? smp.Mask((int32_t)px, (int32_t)py) : 0;
        uint8_t v[3];
        bool drawn = RotPixel<Mode, Blend, Bpp>(v, d, s, idx, m, alpha, key, keyIndex);
        if (!Pure) {
            st.lastSkip = !drawn;
            if (drawn) memcpy(st.last, v, 3);
        }
        if (drawn) memcpy(d, v, 3);
    }
}

// Unturned at 100 % every destination pixel samples a source pixel of its
// own, in order: one row of n pixels from the source row s (palette
// indexes for 8 bits) and its mask row m (alpha mode), the same arithmetic
// as RotRow.
template <int Mode, int Blend, int Bpp>
void PlainRotRow(uint8_t* d, const uint8_t* s, const uint8_t* m, int32_t n, const Dib* sd,
                 uint8_t alpha, const uint8_t* key, int32_t keyIndex) {
    for (int32_t i = 0; i < n; i++, d += 3) {
        uint8_t idx = Bpp == 8 ? s[i] : 0;
        const uint8_t* c = Bpp == 8 ? PaletteColor(sd, idx) : s + 3 * i;
        uint8_t v[3];
        if (RotPixel<Mode, Blend, Bpp>(v, d, c, idx, Mode == TransAlpha ? m[3 * i] : 0, alpha, key, keyIndex))
            memcpy(d, v, 3);
    }
}

typedef void (*PlainRotRowFn)(uint8_t*, const uint8_t*, const uint8_t*, int32_t, const Dib*, uint8_t,
                              const uint8_t*, int32_t);

template <int Mode, int Bpp>
PlainRotRowFn PickPlainBlend(int32_t blend) {
    switch (blend) {
    case BlendNormal: return PlainRotRow<Mode, BlendNormal, Bpp>;
    case BlendAdd: return PlainRotRow<Mode, BlendAdd, Bpp>;
    default: return PlainRotRow<Mode, BlendSubtract, Bpp>;
    }
}

PlainRotRowFn PickPlainRotRow(int32_t mode, int32_t bpp, int32_t blend) {
    if (mode == TransAlpha) return bpp == 24 ? PickPlainBlend<TransAlpha, 24>(blend) : nullptr;
    if (mode == TransCopy) return bpp == 24 ? PickPlainBlend<TransCopy, 24>(blend) : PickPlainBlend<TransCopy, 8>(blend);
    return bpp == 24 ? PickPlainBlend<TransLeftUp, 24>(blend) : PickPlainBlend<TransLeftUp, 8>(blend);
}

typedef void (*RotRowFn)(uint8_t*, int32_t, int64_t, int64_t, int64_t, int64_t, int64_t, int64_t,
                         const Sampler&, uint8_t, const uint8_t*, int32_t, RotState&);

template <int Mode, int Bpp>
RotRowFn PickBlend(int32_t blend, bool pure) {
    switch (blend) {
    case BlendNormal: return pure ? RotRow<Mode, BlendNormal, Bpp, true> : RotRow<Mode, BlendNormal, Bpp, false>;
    case BlendAdd: return RotRow<Mode, BlendAdd, Bpp, false>;
    default: return RotRow<Mode, BlendSubtract, Bpp, false>;
    }
}

// Normal blends of keyed pictures, 8-bit copies and opaque 24-bit copies
// depend on the source alone.
RotRowFn PickRotRow(int32_t mode, int32_t bpp, int32_t blend, int32_t alpha) {
    if (mode == TransAlpha) return bpp == 24 ? PickBlend<TransAlpha, 24>(blend, false) : nullptr;
    if (mode == TransCopy)
        return bpp == 24 ? PickBlend<TransCopy, 24>(blend, alpha == 255) : PickBlend<TransCopy, 8>(blend, true);
    return bpp == 24 ? PickBlend<TransLeftUp, 24>(blend, true) : PickBlend<TransLeftUp, 8>(blend, true);
}

// DrawSurface gives the pixels of an unturned draw at 100 %: a normal blend
// of a 24-bit picture in alpha or copy mode, or an opaque one (alpha 255)
// of a keyed or 8-bit copy picture whose keys are the whole picture's
// corners; not a string sprite (drawn otherwise upright), not a cell past
// the last (which DrawSurface stores back), not a picture drawn onto
// itself (which DrawSurface reads from a copy).
bool UprightDrawMatches(const Surface* src, const Dib* dd, int32_t mode, int32_t bpp, int32_t blend,
                        int32_t alpha, int32_t cell, int32_t count, int32_t cellW) {
    const Dib* sd = &src->dib;
    if (blend != BlendNormal || src->isStringSprite || sd == dd || src->cell >= count) return false;
    if (mode == TransAlpha) return bpp == 24;
    if (alpha != 255) return mode == TransCopy && bpp == 24;
    if (mode == TransLeftUp) return cell == 0;
    if (mode == TransRightUp) return (int64_t)(cell + 1) * cellW == sd->width;
    return true;
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
    int32_t alpha = ClampAlpha(src->alpha);
    if (alpha < 0) alpha = 255;
    RotRowFn row = PickRotRow(mode, bpp, blend, alpha);
    if (!row) return;
    // The debugger's two lines of each rotated draw: the start and the kind.
    static const char* const kOps[] = {"op=LEFTUP\n", nullptr, "op=SELECT\n", "op=COPY\n", "op=RIGHTUP\n"};
    static const char* const kAlphaOps[] = {"op=alpha add=0\n", "op=alpha add=1\n", "op=alpha add=2\n"};
    PlatDebugOutput("start!\n");
    PlatDebugOutput(mode == TransAlpha ? kAlphaOps[blend] : kOps[mode]);

    int32_t count = CellCountOf(src);
    int32_t cell = src->cell < 0 ? 0 : src->cell >= count ? count - 1 : src->cell;
    int32_t cellW = sd->width / count;
    int32_t vw = GetCellWidth(src), h = sd->height;
    if (vw <= 0) return;

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

    // Unturned at 100 %: the cell lands pixel for pixel with its top-left
    // corner at (cx - vw / 2, cy - h / 2), cut to the square above.
    if (turn == 0 && scaleX == 100 && scaleY == 100) {
        int64_t x0 = (int64_t)cx - vw / 2, y0 = (int64_t)cy - h / 2;
        int64_t l = std::max(left, x0), r = std::min(right, x0 + vw - 1);
        int64_t t = std::max(top, y0), b = std::min(bottom, y0 + h - 1);
        if (l > r || t > b) return;
        if (UprightDrawMatches(src, dd, mode, bpp, blend, alpha, cell, count, cellW)) {
            DrawClip clip{(int32_t)l, (int32_t)t, (int32_t)r, (int32_t)b};
            DrawSurface(src, dst, (int32_t)x0, (int32_t)y0, &clip);
            return;
        }
        PlainRotRowFn plain = PickPlainRotRow(mode, bpp, blend);
        int32_t first = cell * cellW + (int32_t)(l - x0);
        for (int64_t y = t; y <= b; y++) {
            const uint8_t* row = DibRow(sd, (int32_t)(y - y0));
            const uint8_t* mask = mode == TransAlpha ? row + 3 * (first + cellW / 2) : nullptr;
            plain(DibRow(dd, (int32_t)y) + 3 * l, row + (bpp == 24 ? 3 * first : first), mask,
                  (int32_t)(r - l + 1), sd, (uint8_t)alpha, key, keyIndex);
        }
        return;
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
        int64_t lo = 0, hi = right - left;
        if (!NarrowSpan(rowX, colX, limX, &lo, &hi) || !NarrowSpan(rowY, colY, limY, &lo, &hi)) continue;
        uint8_t* p = DibRow(dd, (int32_t)y) + 3 * (left + lo);
        int64_t X = rowX + lo * colX, Y = rowY + lo * colY;
        for (int64_t i = lo; i <= hi; i++, p += 3, X += colX, Y += colY) {
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
