// The glyph renderer in-process: the 1-2-1 kernel and the blend on synthetic
// coverage (pixel-exact), both shadow forms and their clipping at the
// picture's edges, glyphs kept in the text layers across a recomposition,
// real glyphs from the fonts (bold, vertical, two half-width letters, the
// cache), the face lookup's fallbacks, and refused font sizes; cells sized
// by the font's cell and turned to its vertical forms against the rules
// worked out here, DrawStringAt's plain vertical glyphs, a menu's two
// shadows, text buttons at pixel 0, and ruby's own shadow.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/script.h"
#include "core/startup.h"
#include "graphics/compose.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/display.h"
#include "text/fonts.h"
#include "text/glyph.h"
#include "text/kinsoku.h"
#include "text/textline.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textbtn.h"
#include "text/textwindow.h"

#include FT_TRUETYPE_TABLES_H

namespace {

typedef std::array<uint8_t, 3> Bgr;

Bgr PixelOf(const Surface& s, int x, int y) {
    const uint8_t* p = DibRow(&s.dib, y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}
void Fill(Surface* s, Bgr c) {
    FillSurfaceRect(s, 0, 0, s->dib.width, s->dib.height, (uint32_t)c[2] | c[1] << 8 | c[0] << 16);
}
uint8_t Pt(int a, int b) { return ProductTable[a][b]; }
uint8_t Blend(int d, int col, int c) {
    int v = Pt(d, 255 - c) + Pt(col, c);
    return (uint8_t)(v > 255 ? 255 : v);
}

class GlyphTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_w_ = ScreenWidth;
        saved_h_ = ScreenHeight;
        ScreenWidth = 64;
        ScreenHeight = 48;
        RebuildScreenSurfaces();
        delete[] GlyphLayer;
        GlyphLayer = new uint8_t[ScreenWidth * ScreenHeight]();
        RebuildTextColorSurface();
        ShadeDistanceOn = ShadeDistanceX = ShadeDistanceY = 0;
        TextShadow = 0;
        VerticalText = 0;
        Fill(&DestSurface, {100, 100, 100});
    }
    void TearDown() override {
        delete[] GlyphLayer;
        GlyphLayer = nullptr;
        ScreenWidth = saved_w_;
        ScreenHeight = saved_h_;
        // The screen's surfaces back at the program's size for later tests.
        RebuildScreenSurfaces();
        RebuildTextColorSurface();
        ShadeDistanceOn = 0;
        ClearCapturedBoxes();
    }
    static uint8_t Layer(int x, int y) { return GlyphLayer[y * ScreenWidth + x]; }
    // The coverage of a cell drawn by DrawGlyphCell on a cleared layer.
    static std::vector<uint8_t> CellCoverage(const char* cell, int w, int h, bool bold) {
        memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
        DrawGlyphCell(cell, 0, 0, w, h, 0xFFFFFF, bold, false);
        std::vector<uint8_t> out;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) out.push_back(Layer(x, y));
        return out;
    }
    static long Sum(const std::vector<uint8_t>& v) {
        long s = 0;
        for (uint8_t c : v) s += c;
        return s;
    }
    int saved_w_ = 0, saved_h_ = 0;
};

TEST_F(GlyphTest, KernelWeighsCornersEdgesAndCentreOneTwoFour) {
    struct Case {
        const char* name;
        std::array<uint8_t, 9> block;  // rows of the 3x3 block
        uint8_t coverage;
    };
    const Case cases[] = {
        {"all lit", {255, 255, 255, 255, 255, 255, 255, 255, 255}, 255},
        {"centre only", {0, 0, 0, 0, 255, 0, 0, 0, 0}, 63},   // 1020 / 16
        {"corners only", {255, 0, 255, 0, 0, 0, 255, 0, 255}, 63},
        {"edge centres", {0, 255, 0, 255, 0, 255, 0, 255, 0}, 127},  // 2040 / 16
        {"one corner", {255, 0, 0, 0, 0, 0, 0, 0, 0}, 15},
        {"left column", {10, 0, 0, 20, 0, 0, 30, 0, 0}, 5},  // (10 + 40 + 30) / 16
        {"dark", {0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        uint8_t out = 0xEE;
        ReduceGlyph(c.block.data(), 3, 1, 1, &out);
        EXPECT_EQ(out, c.coverage) << c.name;
    }
    // A 6 x 3 glyph: two output pixels from their own columns, with a stride.
    uint8_t g[3 * 8] = {};
    for (int y = 0; y < 3; y++) g[y * 8 + 4] = 255;  // the second pixel's middle column
    uint8_t two[2] = {0xEE, 0xEE};
    ReduceGlyph(g, 8, 2, 1, two);
    EXPECT_EQ(two[0], 0);
    EXPECT_EQ(two[1], (255 * 2 + 255 * 4 + 255 * 2) / 16);
}

TEST_F(GlyphTest, BlendWritesLayersAndDestination) {
    const uint8_t cov[4] = {255, 128, 1, 0};
    DestSurface.dib.bits[0] = 0;  // untouched corner far from the cell
    Fill(&DestSurface, {100, 200, 255});
    BlendGlyphCoverage(cov, 10, 5, 4, 1, 0x1E0AC8, false, &DestSurface);  // r 30, g 10, b 200
    const int col[3] = {200, 10, 30};  // blue, green, red
    const int dst[3] = {100, 200, 255};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(Layer(10 + i, 5), cov[i]) << i;
        Bgr k = PixelOf(TextColorSurface, 10 + i, 5), d = PixelOf(DestSurface, 10 + i, 5);
        for (int ch = 0; ch < 3; ch++) {
            EXPECT_EQ(k[ch], Pt(col[ch], cov[i])) << i << "/" << ch;
            EXPECT_EQ(d[ch], cov[i] ? Blend(dst[ch], col[ch], cov[i]) : dst[ch]) << i << "/" << ch;
        }
    }
    // Full coverage is exactly the colour; saturation caps at 255.
    EXPECT_EQ(PixelOf(DestSurface, 10, 5), (Bgr{200, 10, 30}));
    Fill(&DestSurface, {255, 255, 255});
    const uint8_t half = 128;
    BlendGlyphCoverage(&half, 0, 0, 1, 1, 0xFFFFFF, false, &DestSurface);
    EXPECT_EQ(PixelOf(DestSurface, 0, 0), (Bgr{255, 255, 255}));
}

TEST_F(GlyphTest, DefaultShadowDarkensThePixelToTheRightBeforeItsOwnBlend) {
    const uint8_t cov[3] = {255, 255, 0};
    BlendGlyphCoverage(cov, 20, 10, 3, 1, 0xFFFFFF, true, &DestSurface);
    EXPECT_EQ(PixelOf(DestSurface, 20, 10), (Bgr{255, 255, 255}));
    EXPECT_EQ(PixelOf(DestSurface, 21, 10), (Bgr{255, 255, 255}));  // darkened, then its own glyph
    EXPECT_EQ(PixelOf(DestSurface, 22, 10), (Bgr{0, 0, 0}));        // the shadow only
    EXPECT_EQ(PixelOf(DestSurface, 23, 10), (Bgr{100, 100, 100}));
    EXPECT_EQ(PixelOf(DestSurface, 20, 11), (Bgr{100, 100, 100}));  // nothing below
}

TEST_F(GlyphTest, DistanceShadowLiesAtItsOffsetOnly) {
    ShadeDistanceOn = 1;
    ShadeDistanceX = ShadeDistanceY = 2;
    const uint8_t cov = 128;
    BlendGlyphCoverage(&cov, 20, 10, 1, 1, 0xFFFFFF, true, &DestSurface);
    EXPECT_EQ(PixelOf(DestSurface, 22, 12)[0], Pt(100, 127));
    EXPECT_EQ(PixelOf(DestSurface, 21, 10), (Bgr{100, 100, 100}));
    EXPECT_EQ(PixelOf(DestSurface, 20, 10)[0], Blend(100, 255, 128));
}

TEST_F(GlyphTest, ShadowsAndCellsAreClippedToThePicture) {
    std::vector<uint8_t> cov(8 * 8, 255);
    struct Case {
        int x, y, dx, dy, on;
    };
    const Case cases[] = {
        {60, 44, 0, 0, 0},    // cell and one-pixel shadow past the right and bottom
        {-4, -4, 0, 0, 0},    // cell above and left of the picture
        {60, 44, 5, 5, 1},    // distance shadow past the corner
        {0, 0, -3, -3, 1},    // negative offsets before the first pixel
        {-100, 100, 1, 1, 1}, // wholly outside
    };
    for (const Case& c : cases) {
        ShadeDistanceOn = c.on;
        ShadeDistanceX = c.dx;
        ShadeDistanceY = c.dy;
        BlendGlyphCoverage(cov.data(), c.x, c.y, 8, 8, 0xFFFFFF, true, &DestSurface);
        TextShadow = 1;
        BlendTextLayers(&DestSurface, 0, 0, ScreenWidth + 10, ScreenHeight + 10);
        TextShadow = 0;
    }
    EXPECT_EQ(PixelOf(DestSurface, 63, 47), (Bgr{255, 255, 255}));
    EXPECT_EQ(PixelOf(DestSurface, 0, 0), (Bgr{255, 255, 255}));
}

// Rows of every width, whole and cut at either edge of the picture, blended
// over a varied background: each pixel as the blend and shadow rules give.
TEST_F(GlyphTest, WideRowsBlendEveryPixelAsTheRulesGive) {
    const int widths[] = {1, 5, 6, 7, 8, 11, 16, 21, 26, 40};
    const int xs[] = {3, -4, -17, 30, 50};
    uint32_t seed = 12345;
    auto next = [&seed]() { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int w : widths)
        for (int x : xs)
            for (int shadow = 0; shadow < 2; shadow++) {
                std::vector<uint8_t> cov((size_t)w * 2);
                for (uint8_t& c : cov) c = next() % 3 == 0 ? 0 : next() % 3 == 0 ? 255 : (uint8_t)next();
                std::vector<Bgr> before(ScreenWidth);
                for (int y = 0; y < 2; y++)
                    for (int px = 0; px < ScreenWidth; px++) {
                        uint8_t* p = DibRow(&DestSurface.dib, 7 + y) + 3 * px;
                        for (int ch = 0; ch < 3; ch++) p[ch] = (uint8_t)next();
                    }
                std::vector<std::vector<Bgr>> old(2, std::vector<Bgr>(ScreenWidth));
                for (int y = 0; y < 2; y++)
                    for (int px = 0; px < ScreenWidth; px++) old[y][px] = PixelOf(DestSurface, px, 7 + y);
                const int col[3] = {(int)(next() & 255), (int)(next() & 255), (int)(next() & 255)};
                BlendGlyphCoverage(cov.data(), x, 7, w, 2, (uint32_t)(col[2] << 16 | col[1] << 8 | col[0]),
                                   shadow != 0, &DestSurface);
                for (int y = 0; y < 2; y++)
                    for (int px = 0; px < ScreenWidth; px++) {
                        int i = px - x;
                        Bgr want = old[y][px];
                        for (int ch = 0; ch < 3; ch++) {
                            int d = want[ch];
                            if (shadow && i >= 1 && i <= w) d = Pt(d, 255 - cov[(size_t)y * w + i - 1]);
                            if (i >= 0 && i < w) d = Blend(d, col[ch], cov[(size_t)y * w + i]);
                            want[ch] = (uint8_t)d;
                        }
                        ASSERT_EQ(PixelOf(DestSurface, px, 7 + y), want)
                            << "w " << w << " x " << x << " shadow " << shadow << " pixel " << px << "," << y;
                        if (i >= 0 && i < w) {
                            uint8_t c = cov[(size_t)y * w + i];
                            ASSERT_EQ(Layer(px, 7 + y), c);
                            ASSERT_EQ(PixelOf(TextColorSurface, px, 7 + y),
                                      (Bgr{Pt(col[0], c), Pt(col[1], c), Pt(col[2], c)}));
                        }
                    }
            }
}

TEST_F(GlyphTest, LayersRedrawTheGlyphsOverANewBackground) {
    const uint8_t cov[3] = {255, 90, 200};
    BlendGlyphCoverage(cov, 5, 5, 3, 1, 0x336699, false, &DestSurface);
    // Another background: the layers give what drawing there would have.
    Fill(&SrcSurface, {10, 220, 70});
    BlendTextLayers(&SrcSurface, 0, 0, ScreenWidth - 1, ScreenHeight - 1);
    Fill(&WorkSurface, {10, 220, 70});
    BlendGlyphCoverage(cov, 5, 5, 3, 1, 0x336699, false, &WorkSurface);
    for (int x = 4; x < 9; x++) EXPECT_EQ(PixelOf(SrcSurface, x, 5), PixelOf(WorkSurface, x, 5)) << x;
}

// A sprite placed over drawn glyphs and the window recomposed: the glyphs
// are drawn again over the sprite; hidden (texthide) only the tint stays;
// the window taken off and shown again brings them back.
TEST_F(GlyphTest, GlyphsSurviveASpriteChangeAndAHideAndShow) {
    TextWindowLeft = TextWindowTop = 0;
    TextWindowRight = ScreenWidth - 1;
    TextWindowBottom = ScreenHeight - 1;
    WindowColor = 0xFFFFFF;
    TextModeOn = 1;
    TextHidden = LookbackShown = 0;
    TextWindowComposed = TextWindowShown = 1;
    Fill(&BgSurface, {0, 0, 0});
    const uint8_t cov[2] = {255, 100};
    BlendGlyphCoverage(cov, 12, 12, 2, 1, 0x00FF00, false, &DestSurface);
    Sprite& sp = Sprites[3];
    CreateSurface(&sp.surface, 10, 10);
    Fill(&sp.surface, {0, 0, 255});
    sp.surface.transMode = TransCopy;
    strcpy(sp.tag.Edit(), ":c;red.bmp");
    sp.x = sp.y = 8;
    sp.visible = 1;
    ComposeScreen(nullptr);
    EXPECT_EQ(PixelOf(SrcSurface, 12, 12), (Bgr{0, 255, 0}));
    EXPECT_EQ(PixelOf(SrcSurface, 13, 12), (Bgr{0, Blend(0, 255, 100), Blend(255, 0, 100)}));
    EXPECT_EQ(PixelOf(SrcSurface, 14, 12), (Bgr{0, 0, 255}));
    TextHidden = 1;
    ComposeScreen(nullptr);
    EXPECT_EQ(PixelOf(SrcSurface, 12, 12), (Bgr{0, 0, 255}));
    TextHidden = 0;
    // Taken off the screen and put back: the glyphs come back with it.
    EraseWindowAllowed = 1;
    WindowEffect = 1;
    HideTextWindow();
    EXPECT_EQ(TextWindowShown, 0);
    EXPECT_EQ(PixelOf(DestSurface, 12, 12), (Bgr{0, 0, 255}));
    ShowTextWindow();
    EXPECT_EQ(TextWindowShown, 1);
    EXPECT_EQ(PixelOf(DestSurface, 12, 12), (Bgr{0, 255, 0}));
    // With erasing off the window stays.
    EraseWindowAllowed = 0;
    HideTextWindow();
    EXPECT_EQ(TextWindowShown, 1);
    EraseWindowAllowed = 1;
    sp.visible = 0;
    sp.tag.Edit()[0] = 0;
    ReleaseSurface(&sp.surface);
    TextWindowComposed = TextWindowShown = 0;
}

TEST_F(GlyphTest, RealGlyphsBoldVerticalAndHalfWidthPairs) {
    SelectGlyphFont(Cp932("ＭＳ ゴシック").c_str(), 24, 24, false, false);
    std::string a = Cp932("あ");
    std::vector<uint8_t> plain = CellCoverage(a.c_str(), 24, 24, false);
    EXPECT_GT(Sum(plain), 24 * 255);
    EXPECT_EQ(CellCoverage(a.c_str(), 24, 24, false), plain);  // from the cache, the same
    SelectGlyphFont(Cp932("ＭＳ ゴシック").c_str(), 24, 24, false, true);
    EXPECT_GT(Sum(CellCoverage(a.c_str(), 24, 24, true)), Sum(plain));
    // "AB": both halves of the cell drawn.
    SelectGlyphFont("", 24, 24, false, false);
    std::vector<uint8_t> ab = CellCoverage("AB", 24, 24, false);
    long left = 0, right = 0;
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 24; x++) (x < 12 ? left : right) += ab[y * 24 + x];
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
    // The ideographic comma sits low left across, high right down the page.
    std::string comma = Cp932("、");
    auto centre = [](const std::vector<uint8_t>& v, int w) {
        long sx = 0, sy = 0, s = 0;
        for (size_t i = 0; i < v.size(); i++) sx += v[i] * (long)(i % w), sy += v[i] * (long)(i / w), s += v[i];
        return std::array<long, 2>{s ? sx / s : -1, s ? sy / s : -1};
    };
    auto across = centre(CellCoverage(comma.c_str(), 24, 24, false), 24);
    SelectGlyphFont("", 24, 24, true, false);
    auto down = centre(CellCoverage(comma.c_str(), 24, 24, false), 24);
    EXPECT_LT(across[0], 12);
    EXPECT_GT(across[1], 12);
    EXPECT_GT(down[0], 12);
    EXPECT_LT(down[1], 12);
    // A half-width letter turns a quarter: "I" is wide and low down the page.
    std::vector<uint8_t> i1 = CellCoverage("I", 24, 24, false);
    int minX = 24, maxX = -1, minY = 24, maxY = -1;
    for (int y = 0; y < 24; y++)
        for (int x = 0; x < 24; x++)
            if (i1[y * 24 + x] > 100) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_GT(maxX - minX, maxY - minY);
}

TEST_F(GlyphTest, FacesFallBackToTheJapaneseGothicAndMincho) {
    struct Case {
        const char* face;  // UTF-8
        const char* file_part;
    };
    const Case cases[] = {
        {"ＭＳ ゴシック", "gothic"}, {"ＭＳ 明朝", "mincho"},   {"ない明朝体", "mincho"},
        {"NoSuchFace", "gothic"},    {"", "gothic"},           {"@ＭＳ 明朝", "mincho"},
        {"IPAMincho", "mincho"},
    };
    for (const Case& c : cases) {
        std::string file = FaceFile(Cp932(c.face).c_str());
        for (char& ch : file) ch = (char)tolower((unsigned char)ch);
        bool found = file.find(c.file_part) != std::string::npos ||
                     file.find(std::string(c.file_part) == "gothic" ? "ipag" : "ipam") != std::string::npos;
        EXPECT_TRUE(found) << c.face << " -> " << file;
    }
    // A face nobody has still draws.
    SelectGlyphFont(Cp932("存在しない書体").c_str(), 20, 20, false, false);
    EXPECT_GT(Sum(CellCoverage(Cp932("字").c_str(), 20, 20, false)), 0);
}

TEST_F(GlyphTest, FontSizesBelowOneAreRefused) {
    const int sizes[][2] = {{0, 26}, {26, 0}, {-5, 26}, {26, -1}, {100000, 26}};
    for (const auto& s : sizes) {
        EXPECT_EQ(FatalBoxOf([&] { SelectGlyphFont("", s[0], s[1], false, false); }, true),
                  "エラー: 文字の大きさが正しくありません。")
            << s[0] << "x" << s[1];
        EXPECT_EQ(FatalBoxOf([&] { DrawGlyphCell("AB", 0, 0, s[0], s[1], 0, false, false); }, true),
                  "エラー: 文字の大きさが正しくありません。");
    }
}

TEST_F(GlyphTest, DrawStringAtWrapsAtTheColumnsAndCountsAtMostThem) {
    int32_t saved = TextColumns;
    TextColumns = 5;
    TextOriginX = 2;
    TextOriginY = 2;
    TextCharAdvance = TextFontWidth = 8;
    TextLineAdvance = TextFontHeight = 8;
    TextWindowLeft = TextWindowTop = 0;
    TextWindowRight = ScreenWidth - 1;
    TextWindowBottom = ScreenHeight - 1;
    SystemMenuActive = 0;
    MojiType = 0;
    KinsokuOff = 1;
    int32_t row = 0, column = 0;
    std::string eight = Cp932("一二三四五六七八");
    EXPECT_EQ(DrawStringAt(row, column, eight.c_str(), 0xFFFFFF), 5);
    EXPECT_EQ(row, 2);  // broken after five, then ended mid-line
    EXPECT_EQ(column, 0);
    int third = 0;  // the third character of the first line
    for (int y = 2; y < 10; y++)
        for (int x = 2 + 8 * 2; x < 2 + 8 * 3; x++) third += Layer(x, y);
    EXPECT_GT(third, 0);
    // Blanks are skipped without advancing; a lone lead byte at the end stops.
    row = 3, column = 1;
    EXPECT_EQ(DrawStringAt(row, column, " AB \x82", 0xFFFFFF), 1);
    EXPECT_EQ(row, 4);
    // A pixel position never wraps and counts nothing.
    row = -1, column = -3;
    EXPECT_EQ(DrawStringAt(row, column, eight.c_str(), 0xFFFFFF), 0);
    // Plain (1) and outlined (2) text is drawn straight into the picture,
    // not into the text layers.
    for (int type : {1, 2}) {
        MojiType = type;
        Fill(&DestSurface, {100, 100, 100});
        memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
        row = 0, column = 0;
        EXPECT_EQ(DrawStringAt(row, column, Cp932("田").c_str(), 0xFFFFFF), 1) << type;
        long changed = 0, layer = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) {
                changed += PixelOf(DestSurface, x, y) != Bgr{100, 100, 100};
                layer += Layer(x, y);
            }
        EXPECT_GT(changed, 10) << type;
        EXPECT_EQ(layer, 0) << type;
    }
    MojiType = 0;
    KinsokuOff = 0;
    TextColumns = saved;
    TextCharAdvance = TextFontWidth = 26;
    TextLineAdvance = 28;
    TextFontHeight = 26;
}

// The code point of one UTF-8 character.
uint32_t Utf8ToCodepoint(const char* u) {
    const unsigned char* p = (const unsigned char*)u;
    if (p[0] < 0x80) return p[0];
    if (p[0] < 0xE0) return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
    return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
}

// The coverage the glyph rules give, worked out with a face of its own:
// the font h3 high as its Windows ascent plus descent and w3half wide as
// its average character width, glyph g with its pen at (ox, the ascent)
// of a 3w x 3h picture, reduced by the kernel.
std::vector<uint8_t> RuleCoverage(const char* faceName, FT_UInt g, int w3half, int h3, int ox, int w, int h) {
    static FT_Library lib;
    if (!lib) FT_Init_FreeType(&lib);
    FT_Face face = nullptr;
    std::vector<uint8_t> cov((size_t)w * h, 0);
    if (FT_New_Face(lib, FaceFile(faceName), 0, &face)) return cov;
    const TT_OS2* os2 = (const TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    int64_t units = (int64_t)os2->usWinAscent + os2->usWinDescent, upem = face->units_per_EM;
    FT_Set_Char_Size(face, (FT_F26Dot6)(w3half * 64 * upem / os2->xAvgCharWidth),
                     (FT_F26Dot6)(h3 * 64 * upem / units), 72, 72);
    int baseline = (int)(h3 * os2->usWinAscent / units);
    int bw = 3 * w, bh = 3 * h;
    std::vector<uint8_t> big((size_t)bw * bh, 0);
    FT_Load_Glyph(face, g, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_Bitmap& bm = face->glyph->bitmap;
    for (unsigned r = 0; r < bm.rows; r++)
        for (unsigned c = 0; c < bm.width; c++) {
            int x = ox + face->glyph->bitmap_left + (int)c, y = baseline - face->glyph->bitmap_top + (int)r;
            if (x >= 0 && x < bw && y >= 0 && y < bh) big[(size_t)y * bw + x] = bm.buffer[r * bm.pitch + c];
        }
    FT_Done_Face(face);
    ReduceGlyph(big.data(), bw, w, h, cov.data());
    return cov;
}

// Cells as the rules size and place them: across, the font's cell height
// is its Windows ascent plus descent with the baseline at the ascent;
// down the page a full-width character takes the face's vertical form
// and stands upright, the text routine's font made with the sizes swapped
// (the glyph keeps the cell's shape) and DrawStringAt's and ruby's
// without (its font height runs across the column, which ends at the
// cell's right edge).
TEST_F(GlyphTest, CellsFollowTheFontsCellAndItsVerticalForms) {
    const std::string gothic = Cp932("ＭＳ ゴシック");
    FT_Face face = FindFace(gothic.c_str());
    ASSERT_NE(face, nullptr);
    struct Case {
        const char* ch;   // UTF-8
        int w, h;
        int mode;         // 0 across, 1 the text routine down, 2 DrawStringAt down
        int w3half, h3, ox;
    } cases[] = {
        {"日", 24, 24, 0, 36, 72, 0},
        {"日", 16, 30, 0, 24, 90, 0},
        {"ゃ", 24, 24, 1, 36, 72, 0},
        {"ー", 16, 30, 1, 24, 90, 0},
        {"、", 24, 24, 2, 36, 72, 0},
        {"「", 16, 30, 2, 45, 48, 48 - 90},  // 90 across, 48 down
    };
    for (const Case& c : cases) {
        std::string cell = Cp932(c.ch);
        TextFontWidth = c.w, TextFontHeight = c.h;
        TextBold = 0;
        memcpy(TextFontFace, gothic.c_str(), gothic.size() + 1);
        VerticalText = c.mode != 0;
        if (c.mode == 2) SelectGlyphFont(TextFontFace, c.w, c.h, true, false);
        else SelectTextGlyphFont();
        FT_UInt g = FT_Get_Char_Index(face, Utf8ToCodepoint(c.ch));
        if (c.mode) g = VerticalGlyph(face, g, nullptr);
        const uint8_t* got = GlyphCellCoverage(cell.c_str(), c.w, c.h, false);
        std::vector<uint8_t> want = RuleCoverage(gothic.c_str(), g, c.w3half, c.h3, c.ox, c.w, c.h);
        ASSERT_GT(Sum(want), 255) << c.ch;
        int off = 0;
        for (int i = 0; i < c.w * c.h; i++) off += std::abs(got[i] - want[i]) > 2;
        EXPECT_EQ(off, 0) << c.ch << " mode " << c.mode;
    }
    VerticalText = 0;
    TextFontWidth = TextFontHeight = 26;
    TextBold = 1;
}

// Vertical text in DrawStringAt's plain styles: the turned glyph ends at
// x + advance (a cell column's x), the outlined one two pixels further
// for its outline; across it starts at x.
TEST_F(GlyphTest, PlainVerticalGlyphsEndAtTheAdvance) {
    TextOriginX = 10, TextOriginY = 4;
    TextFontWidth = TextFontHeight = 12;
    TextCharAdvance = 14, TextLineAdvance = 14;
    TextWindowLeft = TextWindowTop = 0;
    TextWindowRight = ScreenWidth - 1, TextWindowBottom = ScreenHeight - 1;
    SystemMenuActive = 0;
    struct Case {
        int type, vertical, first, last;  // the columns the glyph may touch
    } cases[] = {
        {1, 1, 24 - 12, 23}, {2, 1, 24 - 12, 25}, {1, 0, 10, 10 + 11}, {2, 0, 10, 10 + 13},
    };
    TextWindowComposed = 0;
    for (const Case& c : cases) {
        MojiType = c.type;
        VerticalText = c.vertical;
        // The cell is recomposed first: the same grey everywhere.
        Fill(&BgSurface, {100, 100, 100});
        Fill(&DestSurface, {100, 100, 100});
        int32_t row = 0, column = 0;
        DrawStringAt(row, column, Cp932("田").c_str(), 0xFFFFFF);
        int lo = 64, hi = -1;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++)
                if (PixelOf(DestSurface, x, y) != Bgr{100, 100, 100}) lo = std::min(lo, x), hi = std::max(hi, x);
        EXPECT_GE(lo, c.first) << c.type << " " << c.vertical;
        EXPECT_LE(hi, c.last) << c.type << " " << c.vertical;
        EXPECT_GE(hi, c.last - 4) << c.type << " " << c.vertical;  // reaching the end
    }
    MojiType = 0;
    VerticalText = 0;
    TextFontWidth = TextFontHeight = TextCharAdvance = 26;
    TextLineAdvance = 28;
}

// A system menu's strings: the offset shadow follows the text window's
// shadow switch and shadedistance, the one-pixel shadow the menu's switch.
TEST_F(GlyphTest, MenuStringsTakeTheirShadowsFromBothSwitches) {
    struct Case {
        int textShadow, menuShadow, distanceOn;
        bool offset, right;
    } cases[] = {
        {1, 0, 1, true, false}, {0, 1, 1, false, true}, {1, 1, 1, true, false},
        {0, 0, 1, false, false}, {1, 0, 0, false, false}, {0, 1, 0, false, true},
    };
    SystemMenuActive = 1;
    MenuTintDone = 1;
    MenuFontWidth = MenuFontHeight = 16;
    MenuCharAdvance = MenuLineAdvance = 16;
    MenuBold = 0;
    MojiType = 0;
    VerticalText = 0;
    std::string cell = Cp932("田");
    for (const Case& c : cases) {
        TextShadow = c.textShadow, MenuShadow = c.menuShadow;
        ShadeDistanceOn = c.distanceOn, ShadeDistanceX = 3, ShadeDistanceY = 2;
        Fill(&DestSurface, {100, 100, 100});
        int32_t row = -10, column = -20;
        DrawStringAt(row, column, cell.c_str(), 0x00FFFF);
        // The picture the rules give, from the cell's coverage.
        SelectGlyphFont(TextFontFace, 16, 16, false, false);
        const uint8_t* cov = GlyphCellCoverage(cell.c_str(), 16, 16, false);
        std::vector<std::vector<Bgr>> want(48, std::vector<Bgr>(64, Bgr{100, 100, 100}));
        const int col[3] = {255, 255, 0};
        for (int j = 0; c.offset && j < 16; j++)
            for (int i = 0; i < 16; i++)
                for (int ch = 0; ch < 3; ch++) {
                    uint8_t& d = want[10 + j + 2][20 + i + 3][ch];
                    d = Pt(d, 255 - cov[j * 16 + i]);
                }
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++) {
                uint8_t cv = cov[j * 16 + i];
                for (int ch = 0; ch < 3; ch++) {
                    uint8_t& d = want[10 + j][20 + i][ch];
                    d = Blend(d, col[ch], cv);
                    if (c.right) want[10 + j][20 + i + 1][ch] = Pt(want[10 + j][20 + i + 1][ch], 255 - cv);
                }
            }
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++)
                ASSERT_EQ(PixelOf(DestSurface, x, y), want[y][x])
                    << c.textShadow << c.menuShadow << c.distanceOn << " at " << x << "," << y;
    }
    SystemMenuActive = 0;
    MenuTintDone = 0;
    ShadeDistanceOn = 0;
    TextShadow = 0;
}

// A text button is redrawn at its own pixel position, 0 included.
TEST_F(GlyphTest, TextButtonsAtTheEdgeAreRedrawnThere) {
    TextFontWidth = TextFontHeight = TextCharAdvance = TextLineAdvance = 12;
    TextWindowLeft = TextWindowTop = 0;
    TextWindowRight = ScreenWidth - 1, TextWindowBottom = ScreenHeight - 1;
    TextOriginX = TextOriginY = 7;  // a cell position would land here
    SystemMenuActive = 0;
    MojiType = 0;
    VerticalText = 0;
    TextBold = 0;
    std::string a = Cp932("あ");
    SelectGlyphFont(TextFontFace, 12, 12, false, false);
    std::vector<uint8_t> cov(GlyphCellCoverage(a.c_str(), 12, 12, false),
                             GlyphCellCoverage(a.c_str(), 12, 12, false) + 144);
    const int spots[][2] = {{0, 0}, {0, 9}, {9, 0}, {3, 20}};
    for (const auto& s : spots) {
        memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
        TextButtonCount = 1;
        TextButtons[0] = TextButtonEntry{1, s[0], s[1], s[0] + 24, {}};
        memcpy(TextButtons[0].text, a.c_str(), a.size() + 1);
        DrawTextButton(0, 0);
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++) {
                int i = x - s[0], j = y - s[1];
                uint8_t want = i >= 0 && i < 12 && j >= 0 && j < 12 ? cov[j * 12 + i] : 0;
                ASSERT_EQ(Layer(x, y), want) << s[0] << "," << s[1] << " at " << x << "," << y;
            }
    }
    TextButtonCount = 0;
    TextBold = 1;
    TextFontWidth = TextFontHeight = TextCharAdvance = 26;
    TextLineAdvance = 28;
}

// Ruby "かん" (13 x 13 glyphs) over a base of 52 pixels at (4, 30): step
// 2 x 52 / 5 = 20, offset (20 - 13) / 2 = 3, the row at 30 - 13 = 17.  Each
// pixel: D x (255 - c) + colour x c; with the shadow switch a pixel above
// 64 divides its right neighbour by 4 before that one's own blend; the
// offset shadow never applies.
TEST_F(GlyphTest, RubyCastsItsOwnShadowOnTheScreen) {
    ResetRuby();
    TextFontWidth = TextFontHeight = 26;
    const std::string ruby = Cp932("かん");
    struct Case {
        int shadow, distance;
        uint32_t color;
    } cases[] = {{0, 0, 0xFFFFFF}, {1, 0, 0xFFFFFF}, {1, 1, 0xFFFFFF}, {1, 1, 0x20C080}, {0, 1, 0x20C080}};
    for (const Case& c : cases) {
        TextShadow = c.shadow;
        ShadeDistanceOn = c.distance;
        ShadeDistanceX = 2, ShadeDistanceY = 3;
        FillSurfaceRect(&DestSurface, 0, 0, 64, 48, 0x807060);
        memset(GlyphLayer, 0, 64 * 48);
        // The expected picture, from the coverage of the same glyphs.
        std::vector<uint8_t> expected(DestSurface.dib.bits, DestSurface.dib.bits + DestSurface.dib.imageBytes);
        SelectGlyphFont(TextFontFace, 13, 13, false, true);
        const uint8_t col[3] = {(uint8_t)c.color, (uint8_t)(c.color >> 8), (uint8_t)(c.color >> 16)};
        int lit = 0;
        for (int k = 0; k < 2; k++) {
            std::vector<uint8_t> cov(GlyphCellCoverage(ruby.c_str() + 2 * k, 13, 13, false),
                                     GlyphCellCoverage(ruby.c_str() + 2 * k, 13, 13, false) + 13 * 13);
            int x0 = 4 + 3 + 20 * k, y0 = 17;
            for (int j = 0; j < 13; j++)
                for (int i = 0; i < 13; i++) {
                    int x = x0 + i, y = y0 + j;
                    uint8_t cv = cov[j * 13 + i];
                    uint8_t* d = expected.data() + (size_t)(47 - y) * DibStride(24, 64) + 3 * x;
                    for (int ch = 0; ch < 3; ch++)
                        d[ch] = (uint8_t)(ProductTable[d[ch]][255 - cv] + ProductTable[col[ch]][cv]);
                    lit += cv > 64;
                    if (c.shadow && cv > 64) d[3] >>= 2, d[4] >>= 2, d[5] >>= 2;
                }
        }
        ASSERT_GT(lit, 20);  // the glyphs are there
        RubyBaseExtent = 52;
        DrawRubyToScreen(ruby.c_str(), 4, 4, 30, c.color);
        EXPECT_EQ(memcmp(expected.data(), DestSurface.dib.bits, expected.size()), 0)
            << c.shadow << " " << c.distance << " " << std::hex << c.color;
        // The layers hold the coverage and the colour times it.
        SelectGlyphFont(TextFontFace, 13, 13, false, true);
        const uint8_t* cov = GlyphCellCoverage(ruby.c_str(), 13, 13, false);
        for (int j = 0; j < 13; j++)
            for (int i = 0; i < 13; i++) {
                ASSERT_EQ(GlyphLayer[(17 + j) * 64 + 7 + i], cov[j * 13 + i]);
                const uint8_t* t = DibRow(&TextColorSurface.dib, 17 + j) + 3 * (7 + i);
                ASSERT_EQ(t[1], ProductTable[col[1]][cov[j * 13 + i]]);
            }
    }
    ShadeDistanceOn = 0;
    TextShadow = 0;
}

}  // namespace
