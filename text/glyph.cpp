// glyph.cpp - the glyph renderer.  A cell is rendered with FreeType at three
// times its size into an 8-bit white-on-black buffer (the second bold draw
// one 3x pixel to the right), reduced by the 1-2-1 kernel to one coverage
// byte per screen pixel, and blended: GlyphLayer := c, TextColorSurface :=
// colour x c, DestSurface := D x (255 - c) + colour x c.  The coverage of
// each cell is cached by face, sizes, style and bytes, so a repeated page
// costs only the blend.
#include "text/glyph.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/error.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/startup.h"
#include "graphics/compose.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "text/fonts.h"
#include "ui/define_end.h"
#include FT_OUTLINE_H
#include "text/kinsoku.h"
#include "text/textline.h"
#include "text/textwin_messages.h"
#include "ui/mainwindow.h"

char SelectedFont[FontFaceSize];
char DefaultFont[FontFaceSize] = "\x82l\x82r \x83S\x83V\x83" "b\x83N";  // ＭＳ ゴシック
uint32_t TextColorTable[256];
FontPluginProc FontPlugin;

// The pixel loops vectorise at -O3 only (the build's default is -O2).
#if defined(__GNUC__) && !defined(__clang__)
#define PIXEL_LOOPS __attribute__((optimize("O3")))
#else
#define PIXEL_LOOPS
#endif

// Cells larger than this are refused like sizes below 1.
enum { MaxCellSide = MaxPictureSide / 3 };

struct GlyphFont {
    FT_Face face = nullptr;
    int32_t w = 0, h = 0;  // the cell the font was made for
    bool vertical = false, bold = false;
};
static GlyphFont Font;

void SelectGlyphFont(const char* face, int32_t w, int32_t h, bool vertical, bool bold) {
    if (w < 1 || h < 1 || w > MaxCellSide || h > MaxCellSide) ScriptError(CapTextError, MsgFontSize);
    Font.face = FindFace(face);
    Font.w = w;
    Font.h = h;
    Font.vertical = vertical;
    Font.bold = bold;
}

void SelectTextGlyphFont() {
    if (VerticalText)  // the font made TextFontWidth high: glyphs keep the cell's shape
        SelectGlyphFont(TextFontFace, TextFontHeight, TextFontWidth, true, TextBold != 0);
    else
        SelectGlyphFont(TextFontFace, TextFontWidth, TextFontHeight, false, TextBold != 0);
}

// ---- rendering at 3x ------------------------------------------------------

// The Unicode characters of a cell: one full-width character, or one or two
// single-byte ones.
static int DecodeCell(const char* cell, uint32_t* out) {
    unsigned char b0 = (unsigned char)cell[0], b1 = (unsigned char)cell[1];
    std::string bytes;
    if (IsSjisLead(b0) && b1) bytes.assign(cell, 2);
    else if (b0) bytes.assign(cell, b1 ? 2 : 1);
    std::string u = Cp932ToUtf8(bytes);
    int n = 0;
    for (size_t i = 0; i < u.size() && n < 2;) {
        unsigned char c = (unsigned char)u[i];
        int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < len && i + k < u.size(); k++) cp = (cp << 6) | ((unsigned char)u[i + k] & 0x3F);
        out[n++] = cp;
        i += len;
    }
    return n;
}

// Faces without 'vert' substitutions: the vertical presentation forms of
// punctuation and brackets, used when the face has them.
static const uint32_t VerticalForms[][2] = {
    {0x3001, 0xFE11}, {0x3002, 0xFE12}, {0xFF0C, 0xFE10}, {0xFF1A, 0xFE13}, {0xFF1B, 0xFE14},
    {0xFF01, 0xFE15}, {0xFF1F, 0xFE16}, {0x3016, 0xFE17}, {0x3017, 0xFE18}, {0x2026, 0xFE19},
    {0x2025, 0xFE30}, {0x2014, 0xFE31}, {0x2013, 0xFE32}, {0xFF3F, 0xFE33}, {0xFF08, 0xFE35},
    {0xFF09, 0xFE36}, {0xFF5B, 0xFE37}, {0xFF5D, 0xFE38}, {0x3014, 0xFE39}, {0x3015, 0xFE3A},
    {0x3010, 0xFE3B}, {0x3011, 0xFE3C}, {0x300A, 0xFE3D}, {0x300B, 0xFE3E}, {0x3008, 0xFE3F},
    {0x3009, 0xFE40}, {0x300C, 0xFE41}, {0x300D, 0xFE42}, {0x300E, 0xFE43}, {0x300F, 0xFE44},
    {0xFF3B, 0xFE47}, {0xFF3D, 0xFE48},
};
// Characters turned a quarter clockwise in vertical text (when no vertical
// form was found): lines, dashes, waves, brackets, arrows of reading.
static bool TurnsInVertical(uint32_t cp) {
    switch (cp) {
    case 0x30FC: case 0xFF0D: case 0xFF5E: case 0x301C: case 0x2014: case 0x2015: case 0x2013:
    case 0x2026: case 0x2025: case 0xFF1D: case 0xFF08: case 0xFF09: case 0x3010: case 0x3011:
    case 0x300C: case 0x300D: case 0x300E: case 0x300F: case 0x3008: case 0x3009: case 0x300A:
    case 0x300B: case 0x3014: case 0x3015: case 0xFF3B: case 0xFF3D: case 0xFF5B: case 0xFF5D:
    case 0xFF1A: case 0xFF1B: case 0x2192: case 0x2190:
        return true;
    }
    return false;
}
// Small kana and the marks that sit in the upper right of a vertical cell.
static int VerticalShift(uint32_t cp) {
    switch (cp) {
    case 0x3001: case 0x3002: case 0xFF0C: case 0xFF0E: return 2;  // comma, full stop: a big shift
    case 0x3041: case 0x3043: case 0x3045: case 0x3047: case 0x3049: case 0x3063: case 0x3083:
    case 0x3085: case 0x3087: case 0x308E: case 0x30A1: case 0x30A3: case 0x30A5: case 0x30A7:
    case 0x30A9: case 0x30C3: case 0x30E3: case 0x30E5: case 0x30E7: case 0x30EE: case 0x30F5:
    case 0x30F6: return 1;
    }
    return 0;
}

// Sets the face's size for a font h3 high (its cell: the Windows ascent
// plus descent) and w3half wide (its average character width: a
// half-width character); returns the baseline's distance from the top,
// the ascent.
static int SetFontSize(FT_Face face, int32_t w3half, int32_t h3) {
    FaceCell cell = CellOfFace(face);
    int64_t units = (int64_t)cell.ascent + cell.descent;
    int64_t ppemY = (int64_t)h3 * 64 * cell.unitsPerEm / units;
    int64_t ppemX = (int64_t)w3half * 64 * cell.unitsPerEm / cell.averageWidth;
    if (ppemX < 64) ppemX = 64;
    if (ppemY < 64) ppemY = 64;
    // Setting a size runs the face's size program: only when it changes.
    static FT_Face lastFace;
    static int64_t lastX, lastY;
    if (face != lastFace || ppemX != lastX || ppemY != lastY) {
        FT_Set_Char_Size(face, (FT_F26Dot6)ppemX, (FT_F26Dot6)ppemY, 72, 72);
        lastFace = face;
        lastX = ppemX;
        lastY = ppemY;
    }
    return (int)((int64_t)h3 * cell.ascent / units);
}

// Draws glyph `index` with its pen at (penX, baseline) into buf (bw x bh),
// keeping the larger of the old and new value; returns the advance.  Alone
// (buf still all black, no other glyph to come) an outline is rendered
// straight into buf, moved by whole pixels and clipped by the rasteriser:
// the same coverage without the slot's bitmap and its copy.
PIXEL_LOOPS static int DrawGlyph(FT_Face face, FT_UInt index, bool embolden, int penX, int baseline, int dx,
                                 int dy, uint8_t* buf, int bw, int bh, bool alone = false) {
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) return 0;
    FT_GlyphSlot slot = face->glyph;
    if (embolden && slot->format == FT_GLYPH_FORMAT_OUTLINE)
        FT_Outline_EmboldenXY(&slot->outline, (FT_Pos)(face->size->metrics.y_ppem * 64 / 24), 0);
    int advance = (int)((slot->advance.x + 32) >> 6);
    // Overlapping contours get the renderer's own oversampling: not here.
    if (alone && slot->format == FT_GLYPH_FORMAT_OUTLINE && !(slot->outline.flags & FT_OUTLINE_OVERLAP) &&
        FontLibrary()) {
        FT_Bitmap target{};
        target.rows = (unsigned)bh;
        target.width = (unsigned)bw;
        target.pitch = bw;
        target.buffer = buf;
        target.pixel_mode = FT_PIXEL_MODE_GRAY;
        target.num_grays = 256;
        // Row y of buf covers outline heights bh - 1 - y .. bh - y.
        FT_Outline_Translate(&slot->outline, (FT_Pos)(penX + dx) * 64, (FT_Pos)(bh - baseline - dy) * 64);
        FT_Outline_Get_Bitmap(FontLibrary(), &slot->outline, &target);
        return advance;
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return advance;
    const FT_Bitmap& bm = slot->bitmap;
    int ox = penX + slot->bitmap_left + dx, oy = baseline - slot->bitmap_top + dy;
    int c0 = std::max(0, -ox), c1 = std::min((int)bm.width, bw - ox);
    for (unsigned r = 0; r < bm.rows && c1 > c0; r++) {
        int y = oy + (int)r;
        if (y < 0 || y >= bh) continue;
        const uint8_t* src = bm.buffer + (ptrdiff_t)r * bm.pitch;
        uint8_t* dst = buf + (size_t)y * bw + ox;
        for (int c = c0; c < c1; c++) dst[c] = std::max(dst[c], src[c]);
    }
    return advance;
}

// Lays the characters out from the left edge of a bw x bh buffer, with a
// font h3 high and w3half wide.
static void DrawRun(FT_Face face, const uint32_t* cps, int n, int32_t w3half, int32_t h3, bool embolden,
                    uint8_t* buf, int bw, int bh) {
    int baseline = SetFontSize(face, w3half, h3);
    int pen = 0;
    for (int i = 0; i < n; i++)
        pen += DrawGlyph(face, FT_Get_Char_Index(face, cps[i]), embolden, pen, baseline, 0, 0, buf, bw, bh, n == 1);
}

// A vertical cell into out (colW x advH, zeroed): the font's height runs
// across the column (colW) and its width along it (advH, a full-width
// advance), as a font turned a quarter clockwise lays it out.  Full-width
// characters stand upright, in the face's vertical form where its 'vert'
// substitutions give one (faces without them: the presentation forms, or
// a turn or a shift by the fixed tables); half-width ones are turned.
static void RenderVerticalCell(FT_Face face, const uint32_t* cps, int n, bool fullWidth, int colW, int advH,
                               bool embolden, uint8_t* out) {
    uint32_t cp = cps[0];
    bool turn = !fullWidth;
    if (fullWidth) {
        bool hasForms = false;
        FT_UInt index = FT_Get_Char_Index(face, cp);
        FT_UInt form = VerticalGlyph(face, index, &hasForms);
        if (!hasForms) {
            for (const auto& f : VerticalForms)
                if (f[0] == cp && (form = FT_Get_Char_Index(face, f[1])) != 0) break;
            if (form == 0) form = index;
            turn = form == index && TurnsInVertical(cp);
        }
        if (!turn) {
            int shift = !hasForms && form == index ? VerticalShift(cp) : 0;
            int baseline = SetFontSize(face, colW / 2, advH);
            int dx = shift == 2 ? colW * 3 / 5 : shift == 1 ? colW / 8 : 0;
            int dy = shift == 2 ? -advH * 3 / 5 : shift == 1 ? -advH / 8 : 0;
            DrawGlyph(face, form, embolden, 0, baseline, dx, dy, out, colW, advH, true);
            return;
        }
    }
    // Laid out along the column in an advH x colW buffer, then turned a
    // quarter clockwise: its top row becomes the column's right edge.
    std::vector<uint8_t> side((size_t)advH * colW, 0);
    DrawRun(face, cps, n, advH / 2, colW, embolden, side.data(), advH, colW);
    for (int sy = 0; sy < colW; sy++)
        for (int sx = 0; sx < advH; sx++) out[(size_t)sx * colW + (colW - 1 - sy)] = side[(size_t)sy * advH + sx];
}

// Renders the cell at 3x into buf (3w x 3h, zeroed), white on black.  A
// vertical cell's column ends at the buffer's right edge and reaches as
// far left as the font is high.
static void RenderCell3x(const char* cell, int32_t w, int32_t h, uint8_t* buf) {
    FT_Face face = Font.face;
    if (!face) return;
    uint32_t cps[2];
    int n = DecodeCell(cell, cps);
    if (!n) return;
    bool embolden = Font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    int bw = 3 * w, bh = 3 * h;
    if (!Font.vertical) {
        DrawRun(face, cps, n, 3 * Font.w / 2, 3 * Font.h, embolden, buf, bw, bh);
        return;
    }
    bool fullWidth = IsSjisLead((unsigned char)cell[0]) && cell[1];
    int colW = 3 * Font.h, advH = 3 * Font.w;
    if (colW == bw && advH == bh) {
        RenderVerticalCell(face, cps, n, fullWidth, colW, advH, embolden, buf);
        return;
    }
    std::vector<uint8_t> column((size_t)colW * advH, 0);
    RenderVerticalCell(face, cps, n, fullWidth, colW, advH, embolden, column.data());
    int x0 = bw - colW;
    for (int y = 0; y < advH && y < bh; y++)
        for (int x = std::max(0, -x0); x < colW; x++) buf[(size_t)y * bw + x0 + x] = column[(size_t)y * colW + x];
}

PIXEL_LOOPS void ReduceGlyph(const uint8_t* g, int32_t stride, int32_t w, int32_t h, uint8_t* coverage) {
    // The kernel is 1-2-1 down times 1-2-1 across: the column sums first
    // (at most 1020), then the sum across at every third column.
    uint16_t v[3 * MaxCellSide + 2], s[3 * MaxCellSide];
    int32_t n = 3 * w;
    v[n] = v[n + 1] = 0;
    for (int32_t j = 0; j < h; j++) {
        const uint8_t* r0 = g + (size_t)(3 * j) * stride;
        const uint8_t* r1 = r0 + stride;
        const uint8_t* r2 = r1 + stride;
        for (int32_t x = 0; x < n; x++) v[x] = (uint16_t)(r0[x] + 2 * r1[x] + r2[x]);
        for (int32_t x = 0; x < n; x++) s[x] = (uint16_t)(v[x] + 2 * v[x + 1] + v[x + 2]);
        uint8_t* out = coverage + (size_t)j * w;
        for (int32_t i = 0; i < w; i++) out[i] = (uint8_t)(s[3 * i] >> 4);
    }
}

// ---- the cache ------------------------------------------------------------

struct CellKey {
    FT_Face face;
    int32_t w, h, fw, fh;
    uint32_t flags;  // vertical, bold weight, second draw
    uint16_t bytes;
    bool operator==(const CellKey& o) const {
        return face == o.face && w == o.w && h == o.h && fw == o.fw && fh == o.fh && flags == o.flags &&
               bytes == o.bytes;
    }
};
struct CellKeyHash {
    size_t operator()(const CellKey& k) const {
        uint64_t v = (uint64_t)(uintptr_t)k.face * 0x9E3779B97F4A7C15ull;
        v ^= ((uint64_t)k.w << 48) ^ ((uint64_t)k.h << 36) ^ ((uint64_t)k.fw << 24) ^ ((uint64_t)k.fh << 12);
        v ^= ((uint64_t)k.flags << 20) ^ k.bytes;
        return (size_t)(v ^ (v >> 29));
    }
};
enum : size_t { CacheBytesLimit = 32u << 20 };
static std::unordered_map<CellKey, size_t, CellKeyHash> CellIndex;  // offset into CellPool
static std::vector<uint8_t> CellPool;
static std::vector<uint8_t> Scratch3x;

void ClearGlyphCache() {
    CellIndex.clear();
    CellPool.clear();
}

// The blend's plane of a cell's coverage: each pixel's coverage thrice
// (blue, green, red), 3w x h bytes.
static void MakeBlendPlane(const uint8_t* cov, int32_t w, int32_t h, uint8_t* c3) {
    for (size_t t = 0; t < (size_t)w * h; t++) c3[3 * t] = c3[3 * t + 1] = c3[3 * t + 2] = cov[t];
}

// The second bold draw, one pixel further right: each glyph pixel takes the
// larger of itself and its left neighbour.  Rows are worked from the right,
// so the neighbour is still the first draw's.
PIXEL_LOOPS static void SecondDraw(uint8_t* g, size_t bw, size_t bh) {
    for (size_t y = 0; y < bh; y++) {
        uint8_t* row = g + y * bw;
        size_t x = bw;
#if defined(__SSE2__)
        for (; x >= 17; x -= 16) {
            __m128i a = _mm_loadu_si128((const __m128i*)(row + x - 16));
            __m128i b = _mm_loadu_si128((const __m128i*)(row + x - 17));
            _mm_storeu_si128((__m128i*)(row + x - 16), _mm_max_epu8(a, b));
        }
#endif
        for (; x > 1; x--) row[x - 1] = std::max(row[x - 1], row[x - 2]);
    }
}

// The coverage of a cell, w x h bytes, from the cache or rendered now, with
// its blend plane behind it.
PIXEL_LOOPS static const uint8_t* CellCoverage(const char* cell, int32_t w, int32_t h, bool bold) {
    CellKey key{Font.face, w, h, Font.w, Font.h,
                (Font.vertical ? 1u : 0u) | (Font.bold ? 2u : 0u) | (bold ? 4u : 0u),
                (uint16_t)((unsigned char)cell[0] << 8 | (unsigned char)cell[1])};
    auto it = CellIndex.find(key);
    if (it != CellIndex.end()) return CellPool.data() + it->second;
    size_t size = (size_t)w * h;
    if (CellPool.size() + 4 * size > CacheBytesLimit) ClearGlyphCache();
    size_t bw = 3 * (size_t)w, bh = 3 * (size_t)h;
    Scratch3x.assign(bw * bh, 0);
    RenderCell3x(cell, w, h, Scratch3x.data());
    if (bold) SecondDraw(Scratch3x.data(), bw, bh);
    size_t at = CellPool.size();
    CellPool.resize(at + 4 * size);
    ReduceGlyph(Scratch3x.data(), (int32_t)bw, w, h, CellPool.data() + at);
    MakeBlendPlane(CellPool.data() + at, w, h, CellPool.data() + at + size);
    CellIndex.emplace(key, at);
    return CellPool.data() + at;
}

// ---- blending -------------------------------------------------------------

// a / 255 truncated, for a up to 255 * 255: ProductTable's value of a product.
static inline unsigned Div255(unsigned a) { return (a + 1 + (a >> 8)) >> 8; }

static inline void Darken(uint8_t* d, uint8_t c) {
    d[0] = ProductTable[d[0]][255 - c];
    d[1] = ProductTable[d[1]][255 - c];
    d[2] = ProductTable[d[2]][255 - c];
}

// One row of the blend, n bytes (blue, green, red per pixel): k := colour x c,
// d := d x (255 - c) + k, clamped; with Right, d is first darkened by the
// coverage three bytes back (prev before the row's first pixel).
template <bool Right>
static inline void BlendBytes(const uint8_t* cr, const uint8_t* col3, uint8_t* d, uint8_t* k, int32_t from,
                              int32_t to, unsigned prev) {
    for (int32_t b = from; b < to; b++) {
        unsigned c = cr[b], kv = Div255(col3[b] * c);
        unsigned dv = d[b];
        if (Right) dv = Div255(dv * (255u - (b < 3 ? prev : cr[b - 3])));
        unsigned v = Div255(dv * (255 - c)) + kv;
        k[b] = (uint8_t)kv;
        d[b] = (uint8_t)(v > 255 ? 255 : v);
    }
}

#if defined(__SSE2__)
// Div255 on eight 16-bit lanes (each at most 255 * 255).
static inline __m128i Div255x8(__m128i a) {
    a = _mm_add_epi16(a, _mm_add_epi16(_mm_set1_epi16(1), _mm_srli_epi16(a, 8)));
    return _mm_srli_epi16(a, 8);
}
// Sixteen bytes of the blend; pc holds the coverage three bytes back.
template <bool Right>
static inline void Blend16(__m128i c, __m128i pc, __m128i col, __m128i dv, __m128i* dOut, __m128i* kOut) {
    const __m128i zero = _mm_setzero_si128(), ff = _mm_set1_epi16(255);
    __m128i cl = _mm_unpacklo_epi8(c, zero), ch = _mm_unpackhi_epi8(c, zero);
    __m128i kl = Div255x8(_mm_mullo_epi16(_mm_unpacklo_epi8(col, zero), cl));
    __m128i kh = Div255x8(_mm_mullo_epi16(_mm_unpackhi_epi8(col, zero), ch));
    __m128i dl = _mm_unpacklo_epi8(dv, zero), dh = _mm_unpackhi_epi8(dv, zero);
    if (Right) {
        dl = Div255x8(_mm_mullo_epi16(dl, _mm_sub_epi16(ff, _mm_unpacklo_epi8(pc, zero))));
        dh = Div255x8(_mm_mullo_epi16(dh, _mm_sub_epi16(ff, _mm_unpackhi_epi8(pc, zero))));
    }
    dl = _mm_add_epi16(Div255x8(_mm_mullo_epi16(dl, _mm_sub_epi16(ff, cl))), kl);
    dh = _mm_add_epi16(Div255x8(_mm_mullo_epi16(dh, _mm_sub_epi16(ff, ch))), kh);
    *dOut = _mm_packus_epi16(dl, dh);  // the clamp at 255
    *kOut = _mm_packus_epi16(kl, kh);
}
#endif

template <bool Right>
static inline void BlendRow(const uint8_t* cr, const uint8_t* col3, uint8_t* d, uint8_t* k, int32_t n,
                            unsigned prev) {
#if defined(__SSE2__)
    if (n >= 19) {
        // The last sixteen bytes are worked from the row's original pixels
        // first and stored last, so that they may overlap the others.
        int32_t last = n - 16;
        __m128i lastD, lastK;
        Blend16<Right>(_mm_loadu_si128((const __m128i*)(cr + last)),
                       _mm_loadu_si128((const __m128i*)(cr + last - 3)),
                       _mm_loadu_si128((const __m128i*)(col3 + last)),
                       _mm_loadu_si128((const __m128i*)(d + last)), &lastD, &lastK);
        for (int32_t b = 0; b < last; b += 16) {
            __m128i c = _mm_loadu_si128((const __m128i*)(cr + b));
            __m128i pc = b ? _mm_loadu_si128((const __m128i*)(cr + b - 3))
                           : _mm_or_si128(_mm_slli_si128(c, 3), _mm_cvtsi32_si128((int)(prev * 0x010101u)));
            __m128i dv, kv;
            Blend16<Right>(c, pc, _mm_loadu_si128((const __m128i*)(col3 + b)),
                           _mm_loadu_si128((const __m128i*)(d + b)), &dv, &kv);
            _mm_storeu_si128((__m128i*)(d + b), dv);
            _mm_storeu_si128((__m128i*)(k + b), kv);
        }
        _mm_storeu_si128((__m128i*)(d + last), lastD);
        _mm_storeu_si128((__m128i*)(k + last), lastK);
        return;
    }
#endif
    BlendBytes<Right>(cr, col3, d, k, 0, n, prev);
}

// Steps 4 and 5 of a cell from its coverage and blend plane: the offset
// shadow first (distance), or the one-pixel shadow (right) with the blend.
PIXEL_LOOPS static void BlendCell(const uint8_t* coverage, const uint8_t* c3, int32_t x, int32_t y,
                      int32_t w, int32_t h, uint32_t color, bool distance, bool right, Surface* target) {
    if (!HasPicture(target)) return;
    int32_t tw = target->dib.width, th = target->dib.height;
    // Layers and target are clipped alike: to the screen and to the target.
    int32_t cw = std::min(tw, ScreenWidth), ch = std::min(th, ScreenHeight);
    bool layers = GlyphLayer && HasPicture(&TextColorSurface) && TextColorSurface.dib.width >= cw &&
                  TextColorSurface.dib.height >= ch;
    if (distance)
        for (int32_t j = 0; j < h; j++) {
            int32_t sy = y + j + ShadeDistanceY;
            if (sy < 0 || sy >= th) continue;
            uint8_t* row = DibRow(&target->dib, sy);
            for (int32_t i = 0; i < w; i++) {
                int32_t sx = x + i + ShadeDistanceX;
                uint8_t c = coverage[(size_t)j * w + i];
                if (c && sx >= 0 && sx < tw) Darken(row + 3 * sx, c);
            }
        }
    // Columns of the cell on the picture, worked out once.
    int32_t i0 = std::max(0, -x), i1 = std::min(w, cw - x);
    if (i1 <= i0) return;
    int32_t n = 3 * (i1 - i0);
    // Rows are worked byte by byte (blue, green, red) with no branch and no
    // table, so that the loop vectorises.
    static uint8_t col3[3 * MaxCellSide], scratchK[3 * MaxCellSide];
    for (int32_t t = 0; t < n; t += 3) {
        col3[t] = (uint8_t)(color & 0xFF);
        col3[t + 1] = (uint8_t)(color >> 8);
        col3[t + 2] = (uint8_t)(color >> 16);
    }
    for (int32_t j = 0; j < h; j++) {
        int32_t py = y + j;
        if (py < 0 || py >= ch) continue;
        const uint8_t* cov = coverage + (size_t)j * w;
        const uint8_t* cr = c3 + 3 * ((size_t)j * w + i0);
        uint8_t* d = DibRow(&target->dib, py) + 3 * (x + i0);
        // The colour times the coverage goes to TextColorSurface (when the
        // layers are there) and onto the darkened pixel.
        uint8_t* k = nullptr;
        if (layers) {
            memcpy(GlyphLayer + (size_t)py * ScreenWidth + x + i0, cov + i0, (size_t)(i1 - i0));
            k = DibRow(&TextColorSurface.dib, py) + 3 * (x + i0);
        } else {
            k = scratchK;
        }
        // The first pixel is darkened by the column left of it (when the
        // cell has one); every other by the coverage three bytes back.
        unsigned prev = right && i0 > 0 ? cov[i0 - 1] : 0u;
        if (right) BlendRow<true>(cr, col3, d, k, n, prev);
        else BlendRow<false>(cr, col3, d, k, n, prev);
        // The shadow of the last column, just right of the cell.
        if (right && i1 == w && x + w < tw) Darken(d + n, cov[w - 1]);
    }
}

void BlendGlyphCoverage(const uint8_t* coverage, int32_t x, int32_t y, int32_t w, int32_t h,
                        uint32_t color, bool shadow, Surface* target) {
    if (w < 1 || h < 1 || w > MaxCellSide || h > MaxCellSide) return;
    std::vector<uint8_t> plane(3 * (size_t)w * h);
    MakeBlendPlane(coverage, w, h, plane.data());
    bool distance = shadow && ShadeDistanceOn;
    BlendCell(coverage, plane.data(), x, y, w, h, color, distance, shadow && !distance, target);
}

const uint8_t* GlyphCellCoverage(const char* cell, int32_t w, int32_t h, bool bold) {
    if (w < 1 || h < 1 || w > MaxCellSide || h > MaxCellSide) ScriptError(CapTextError, MsgFontSize);
    return CellCoverage(cell, w, h, bold);
}

static void DrawCell(const char* cell, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t color, bool bold,
                     bool distance, bool right) {
    if (w < 1 || h < 1 || w > MaxCellSide || h > MaxCellSide) ScriptError(CapTextError, MsgFontSize);
    const uint8_t* coverage = CellCoverage(cell, w, h, bold);
    size_t size = (size_t)w * h;
    BlendCell(coverage, coverage + size, x, y, w, h, color, distance, right, &DestSurface);
}

void DrawGlyphCell(const char* cell, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t color, bool bold,
                   bool shadow) {
    bool distance = shadow && ShadeDistanceOn;
    DrawCell(cell, x, y, w, h, color, bold, distance, shadow && !distance);
}

// ---- DrawStringAt ---------------------------------------------------------

void PlainCellCoverage(const char* cell, int32_t fw, int32_t fh, std::vector<uint8_t>* out, int32_t* bw) {
    *bw = 2 * std::max(fw, 1);
    int bh = std::max(fh, 1);
    out->assign((size_t)*bw * bh, 0);
    FT_Face face = Font.face;
    if (!face) return;
    uint32_t cps[2];
    int n = DecodeCell(cell, cps);
    int baseline = SetFontSize(face, fw / 2, fh);
    int pen = 0;
    bool embolden = Font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    for (int i = 0; i < n; i++)
        pen += DrawGlyph(face, FT_Get_Char_Index(face, cps[i]), embolden, pen, baseline, 0, 0, out->data(), *bw, bh);
}

// The 1x coverage of a vertical cell: the font fh high across the column
// and fw / 2 wide along it, *bw = fh by *bh = fw bytes.
static void PlainVerticalCoverage(const char* cell, int32_t fw, int32_t fh, std::vector<uint8_t>* out,
                                  int32_t* bw, int32_t* bh) {
    *bw = std::max(fh, 1);
    *bh = std::max(fw, 1);
    out->assign((size_t)*bw * *bh, 0);
    FT_Face face = Font.face;
    uint32_t cps[2];
    int n = DecodeCell(cell, cps);
    if (!face || !n) return;
    bool embolden = Font.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    bool fullWidth = IsSjisLead((unsigned char)cell[0]) && cell[1];
    RenderVerticalCell(face, cps, n, fullWidth, *bw, *bh, embolden, out->data());
}

// Plain text at 1x in the colour straight into DestSurface (MojiType 1 and
// 2): the font's own anti-aliased coverage blended over the pixels, from
// (x, y) on; a vertical cell ends at x instead, its column reaching left.
static void DrawPlainCell(const char* cell, int32_t x, int32_t y, int32_t fw, int32_t fh, uint32_t color,
                          bool vertical) {
    if (!Font.face) return;
    std::vector<uint8_t> buf;
    int32_t bw, bh;
    if (vertical) {
        PlainVerticalCoverage(cell, fw, fh, &buf, &bw, &bh);
        x -= bw;
    } else {
        PlainCellCoverage(cell, fw, fh, &buf, &bw);
        bh = std::max(fh, 1);
    }
    uint8_t col[3] = {(uint8_t)(color & 0xFF), (uint8_t)(color >> 8), (uint8_t)(color >> 16)};
    Surface* t = &DestSurface;
    if (!HasPicture(t)) return;
    for (int j = 0; j < bh; j++) {
        int py = y + j;
        if (py < 0 || py >= t->dib.height) continue;
        uint8_t* row = DibRow(&t->dib, py);
        for (int i = 0; i < bw; i++) {
            int px = x + i;
            uint8_t c = buf[(size_t)j * bw + i];
            if (!c || px < 0 || px >= t->dib.width) continue;
            for (int k = 0; k < 3; k++) row[3 * px + k] = (uint8_t)(ProductTable[row[3 * px + k]][255 - c] + ProductTable[col[k]][c]);
        }
    }
}

static void ShowRect(int32_t l, int32_t t, int32_t r, int32_t b) {
    ScreenRect rect{l, t, r, b};
    DrawDestToWindow(&rect);
}

// Tints the compose buffer for a system menu once and shows it.
static void TintForMenu() {
    MenuTintDone = 1;
    int32_t composed = TextWindowComposed;
    TextWindowComposed = 0;
    ComposeScreen(nullptr);
    TextWindowComposed = composed;
    if (HasPicture(&SrcSurface))
        TintSurfaceRect(&SrcSurface, 0, 0, SrcSurface.dib.width - 1, SrcSurface.dib.height - 1,
                        MenuWindowColor);
    BltToSurface(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, &SrcSurface, 0, 0);
    PaintWindow(nullptr);
}

// DrawStringAt with the kind of each position given: a pixel row or column
// holds minus the pixel.
static int32_t DrawString(int32_t& row, int32_t& column, bool pixelRow, bool pixelColumn, const char* text,
                          uint32_t color) {
    bool menu = SystemMenuActive != 0;
    int32_t fw = menu ? MenuFontWidth : TextFontWidth, fh = menu ? MenuFontHeight : TextFontHeight;
    int32_t adv = menu ? MenuCharAdvance : TextCharAdvance;
    int32_t lineAdv = menu ? MenuLineAdvance : TextLineAdvance;
    bool bold = (menu ? MenuBold : TextBold) != 0, shadow = (menu ? MenuShadow : TextShadow) != 0;
    if (menu && !MenuTintDone) TintForMenu();
    int32_t x = pixelColumn ? -column : column * TextCharAdvance + TextOriginX;
    int32_t y = pixelRow ? -row : row * TextLineAdvance + TextOriginY;
    ScreenRect clip{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    if (!menu) {
        clip = {std::max(TextWindowLeft, 0), std::max(TextWindowTop, 0),
                std::min(TextWindowRight, ScreenWidth - 1), std::min(TextWindowBottom, ScreenHeight - 1)};
    }
    int type = MojiType == 1 || MojiType == 2 ? MojiType : 0;
    if (type == 0) SelectGlyphFont(TextFontFace, fw, fh, VerticalText != 0, bold);
    else {
        if (fw < 1 || fh < 1) ScriptError(CapTextError, MsgFontSize);
        Font.face = FindFace(TextFontFace);
        Font.bold = bold;
    }
    int32_t drawn = 0;
    const unsigned char* p = (const unsigned char*)text;
    while (true) {
        if (*p == ' ' || *p == '\t') { p++; continue; }
        if (!*p || (IsSjisLead(*p) && !p[1])) {
            if (column != 0) {  // a pixel column too, as the original does
                column = 0;
                row++;
            }
            break;
        }
        // Always two bytes a cell: "AB" is one cell of two half-width letters.
        char cell[2] = {(char)p[0], (char)p[1]};
        p += p[1] ? 2 : 1;
        int32_t grow = type == 2 ? 2 : 0;
        bool outside = x > clip.right || y > clip.bottom || x + adv + grow < clip.left ||
                       y + lineAdv + grow < clip.top;
        if (!outside) {
            if (!menu) {
                ScreenRect r{x, y, x + adv + grow, y + lineAdv + grow};
                ComposeScreen(&r);
                BltToSurface(&DestSurface, x, y, adv + grow + 1, lineAdv + grow + 1, &SrcSurface, x, y);
            }
            if (type == 0) {
                // The offset shadow follows the text window's shadow switch
                // also in a menu, the one-pixel shadow the menu's.
                bool distance = ShadeDistanceOn && TextShadow;
                DrawCell(cell, x, y, fw, fh, color, bold, distance, shadow && !distance);
                int32_t ex = ShadeDistanceOn && TextShadow ? ShadeDistanceX : 0;
                int32_t ey = ShadeDistanceOn && TextShadow ? ShadeDistanceY : 0;
                ShowRect(x, y, x + fw + ex, y + fh + ey);
            } else {
                bool vertical = VerticalText != 0;
                int32_t tx = vertical ? x + adv : x;
                if (type == 2) {
                    static const int ox[4] = {1, 0, 2, 1}, oy[4] = {0, 1, 1, 2};
                    for (int k = 0; k < 4; k++) DrawPlainCell(cell, tx + ox[k], y + oy[k], fw, fh, 0, vertical);
                    DrawPlainCell(cell, tx + 1, y + 1, fw, fh, color, vertical);
                } else {
                    DrawPlainCell(cell, tx, y, fw, fh, color, vertical);
                }
                ShowRect(x, y, x + adv + grow, y + lineAdv + grow);
            }
        }
        if (pixelColumn) {
            if (VerticalText) y += lineAdv; else x += adv;
            continue;
        }
        if (VerticalText) y += lineAdv; else x += adv;
        column++;
        if (drawn < TextColumns) drawn++;
        if (menu) continue;
        // Line breaking: the two-byte characters ahead, at most 128 bytes.
        unsigned short ahead[64];
        int n = 0;
        for (const unsigned char* q = p; *q && q - p < 128 && n < 64;) {
            if (IsSjisLead(*q) && q[1]) { ahead[n++] = (unsigned short)(q[0] << 8 | q[1]); q += 2; }
            else break;
        }
        int keep = KinsokuOff == 1 ? 0 : KinsokuKeep(ahead, n);
        if (column + keep >= TextColumns) {
            x = TextOriginX;
            column = 0;
            row++;
            y += TextLineAdvance;
        }
    }
    return drawn;
}

int32_t DrawStringAt(int32_t& row, int32_t& column, const char* text, uint32_t color) {
    return DrawString(row, column, row < 0, column < 0, text, color);
}

void DrawStringAtPixel(int32_t x, int32_t y, const char* text, uint32_t color) {
    int32_t row = -y, column = -x;
    DrawString(row, column, true, true, text, color);
}

// ---- settings -------------------------------------------------------------

void TakeDefaultFont() {
    memcpy(SelectedFont, DefaultFont, FontFaceSize);
    memcpy(TextFontFace, DefaultFont, FontFaceSize);
}
