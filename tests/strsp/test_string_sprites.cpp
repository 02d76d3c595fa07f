// String sprites: their sizes through getspsize for each command, each ':s'
// tag form and each font setting in one game; in-process, the pixels of the
// cells (the colour images, the mask beside each, the shape the same in every
// cell), the text block's layout (line breaks, a full block, '@' and '#' as
// text), the window settings restored after a command, and the fatal texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "core/script.h"
#include "core/variables.h"
#include "graphics/imagetag.h"
#include "graphics/loader_links.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/glyph.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/string_sprite.h"
#include "text/strsp_commands.h"
#include "text/textline.h"
#include "text/textwindow.h"

namespace {

// getspsize n and the checks of its width, height and cell count.
std::string SizeIs(int n, int w, int h, int cells) {
    std::string v = std::to_string(n);
    return "getspsize " + v + ",%0,%1,%2\nif %0 != " + std::to_string(w) + " fail_" + v + "_width\nif %1 != " +
           std::to_string(h) + " fail_" + v + "_height\nif %2 != " + std::to_string(cells) + " fail_" + v +
           "_cells\n";
}

TEST(StringSpriteGames, SizesOfEachCommandTagAndFont) {
    // A window of 4 x 2 cells of 26 x 26, advances 26 and 28, bold and
    // shadow on.
    std::string script =
        // The developer tools: a picture named by itself, none outside the
        // game folder; the test font of 57 characters.
        "*define\ncreatedummy \"dummy.bmp\"\ncreatedummy \"../outside.bmp\"\nfont2bmp \"x\",10,20\n"
        "game\n*start\nsetwindow 0,0,4,2,26,26,0,2,0,1,1,#999999,0,0,639,479\n"
        // Commands: cw = columns x advance (+ font width - advance when the
        // advance is smaller), + 1 for the plain shadow, + 2.
        "logsp 1,\"あいう\",0,0\n" + SizeIs(1, 107, 58, 1) +
        "logsph 2,\"abc\",5,6,#ff0000,#00ff00,#0000ff\n" + SizeIs(2, 107, 58, 3) +
        "getspmode %3,2\nif %3 != 0 fail_logsph_shown\ngetspmode %3,1\nif %3 != 1 fail_logsp_hidden\n"
        "getsppos 2,%3,%4\nif %3 != 5 fail_x\nif %4 != 6 fail_y\n"
        "logsp2 3,\"x\",0,0,20,20,2,4\n" + SizeIs(3, 91, 50, 1) +
        "logsph2 4,\"x\",0,0,24,24,-4,-6\n" + SizeIs(4, 87, 44, 1) +
        "strsp 5,\"テスト\",10,20,10,2,24,24,2,4,0,1\n" + SizeIs(5, 263, 58, 1) +
        "strsph 6,\"テスト\",0,0,10,2,24,24,2,4,1,0\n" + SizeIs(6, 262, 58, 1) +
        // The window's own settings are back after each.
        "logsp 7,\"あ\",0,0\n" + SizeIs(7, 107, 58, 1) +
        // Twelve colours: eleven cells.
        "strsp 8,\"a\",0,0,2,1,10,10,0,0,0,0,#000001,#000002,#000003,#000004,#000005,#000006,#000007,"
        "#000008,#000009,#00000a,#00000b,#00000c\n" +
        SizeIs(8, 22, 12, 11) +
        // ':s' tags: cw = bytes x pitch / 2 (+ width - pitch when the pitch is
        // smaller), + 1 for the shadow, + 2 both ways in style 2.
        "lsp 10,\":s/20,20,0;#ffffff#ff0000あいう\",0,0\n" + SizeIs(10, 61, 20, 2) +
        "lsp 11,\":s/20,20,0,2;#ffffffab\",0,0\n" + SizeIs(11, 23, 22, 1) +
        "lsp 12,\":s/20,20,-4;#ffffffabcd\",0,0\n" + SizeIs(12, 37, 20, 1) +
        "lsp 13,\":s#ffffffあい\",0,0\n" + SizeIs(13, 53, 26, 1) +
        // Without the sprite font the text font draws in the plain style.
        "mojitype 2\nlsp 14,\":s#ffffffあい\",0,0\n" + SizeIs(14, 53, 26, 1) +
        // The sprite font, with the tag style.
        "spfont \"ＭＳ 明朝\",30,30,2,2,0,0\nlsp 15,\":s#ffffffあい\",0,0\n" + SizeIs(15, 66, 32, 1) +
        "mojitype 0\nlsp 16,\":s#ffffffあい\",0,0\n" + SizeIs(16, 64, 30, 1) +
        "spfont clear\nlsp 17,\":s#ffffffあい\",0,0\n" + SizeIs(17, 53, 26, 1) +
        // spfont with a face only takes the window's sizes and switches.
        "spfont \"x\"\nlsp 18,\":s#ffffffab\",0,0\n" + SizeIs(18, 27, 26, 1) +
        // The distance shadow: its offsets instead of the one pixel.
        "shadedistance 3,-2\n"
        "strsp 19,\"a\",0,0,10,2,24,24,2,4,0,1\n" + SizeIs(19, 265, 60, 1) +
        "lsp 20,\":s/20,20,0;#ffffffab\",0,0\n" + SizeIs(20, 23, 18, 1) +
        "lsp 21,\":s#ffffffab\",0,0\n" + SizeIs(21, 29, 24, 1) +
        "spfont clear\nlsp 22,\":s#ffffffab\",0,0\n" + SizeIs(22, 29, 26, 1) +
        "end\n";
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
    // BITMAPINFOHEADER width and height at bytes 18 and 22.
    auto size = [&](const char* file) {
        std::string bytes;
        if (!ReadGameFileBytes(dir, file, &bytes) || bytes.size() < 26) return std::string("none");
        int32_t w, h;
        memcpy(&w, &bytes[18], 4);
        memcpy(&h, &bytes[22], 4);
        return std::to_string(w) + "x" + std::to_string(h);
    };
    EXPECT_EQ(size("dummy.bmp"), "640x480");
    EXPECT_EQ(size("testfont.bmp"), "570x20");
    EXPECT_EQ(size("../outside.bmp"), "none");
}

// createdummy draws the name as written from (0, 180): 50 pixels a
// single-byte character, 100 a double-byte one, whatever its offset.  Each
// character's slot holds what the same character shows at the start of a
// name of its own (".bmp" lends the dot and the letters after it); the
// slots' edges are left out, where a bold glyph reaches a pixel over.
TEST(StringSpriteGames, DummyPictureShowsTheNameAsWritten) {
    struct Ref {
        const char* ch;
        const char* file;
        int x;
    } refs[] = {{"a", "a", 0},   {"1", "1", 0},      {"背", "背", 0},     {"景", "景", 0},
                {".", ".bmp", 0}, {"b", ".bmp", 50}, {"m", ".bmp", 100}, {"p", ".bmp", 150}};
    const char* names[] = {"ab.bmp", "a背.bmp", "背a.bmp", "1背景.bmp"};
    const int kEdge = 3;
    std::string script = "*define\n";
    for (const Ref& r : refs) script += std::string("createdummy \"") + r.file + "\"\n";
    for (const char* n : names) script += std::string("createdummy \"") + n + "\"\n";
    std::string dir = MakeGameFolder();
    WriteScript(dir, script + "game\n*start\nend\n");
    RunResult run = RunGame(dir);
    EXPECT_EQ(run.status, 0) << run.err;
    auto picture = [&](const std::string& file) {
        Frame f;
        std::string bytes;
        if (ReadGameFileBytes(dir, file, &bytes) && bytes.size() > 54) {
            memcpy(&f.w, &bytes[18], 4);
            memcpy(&f.h, &bytes[22], 4);
            f.bmp = bytes;
        }
        return f;
    };
    for (const char* name : names) {
        SCOPED_TRACE(name);
        Frame got = picture(name);
        ASSERT_EQ(got.w, 640);
        ASSERT_EQ(got.h, 480);
        int x = 0, differ = 0;
        for (size_t i = 0; name[i];) {
            size_t len = (unsigned char)name[i] < 0x80 ? 1 : 3;  // ASCII or a kanji in UTF-8
            std::string ch(name + i, len);
            i += len;
            int w = len == 1 ? 50 : 100;
            const Ref* ref = nullptr;
            for (const Ref& r : refs)
                if (ch == r.ch) ref = &r;
            ASSERT_TRUE(ref) << ch;
            Frame alone = picture(ref->file);
            ASSERT_EQ(alone.w, 640) << ref->file;
            for (int y = 0; y < 480; y++)
                for (int k = kEdge; k < w - kEdge && x + k < 640; k++)
                    differ += got.At(x + k, y) != alone.At(ref->x + k, y);
            x += w;
        }
        for (int y = 0; y < 480; y++)
            for (int k = x + kEdge; k < 640; k++) differ += got.At(k, y) != kWhite;
        EXPECT_EQ(differ, 0);
    }
}

// ---- in-process ----

Bgr PixelOf(const Surface& s, int x, int y) {
    const uint8_t* p = DibRow(&s.dib, y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}

class StringSpriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        ResetTextWindow();
        RebuildScreenSurfaces();
        ShadeDistanceOn = 0;
        TextShadow = 0;
        TextBold = 0;
        VerticalText = 0;
        RubyOn = RubyPerLine = 0;
        MojiType = 0;
        SpriteFontWidth = -1;
        TextFontFace[0] = 0;
    }
    void TearDown() override {
        ForgetScriptText();
        for (int n : {1, 2}) {
            DestroySurface(&Sprites[n].surface);
            Sprites[n] = Sprite();
        }
        ResetTextWindow();
        SpriteFontWidth = -1;
        ClearCapturedBoxes();
    }
    // Runs a command on an operand text (UTF-8).
    void Run(void (*cmd)(), const std::string& operands) {
        UseScriptText(&script_, Cp932(operands));
        cmd();
    }
    // The 3x coverage of a cell as the glyph renderer gives it.
    static std::vector<uint8_t> Coverage(const std::string& utf8, int w, int h, bool bold) {
        std::string cell = Cp932(utf8);
        SelectGlyphFont(TextFontFace, w, h, false, bold);
        const uint8_t* c = GlyphCellCoverage(cell.c_str(), w, h, bold);
        return std::vector<uint8_t>(c, c + w * h);
    }
    // The mask half of cell j, as one byte per pixel.
    static std::vector<uint8_t> MaskOf(const Surface& s, int j) {
        int cw = GetCellWidth(&s);
        std::vector<uint8_t> m;
        for (int y = 0; y < s.dib.height; y++)
            for (int x = 0; x < cw; x++) m.push_back(PixelOf(s, 2 * cw * j + cw + x, y)[0]);
        return m;
    }
    std::string script_;
};

TEST_F(StringSpriteTest, CommandCellsHoldTheColourImagesAndOneMask) {
    Run(Cmd_logsp, "1,\"あ\",10,20,#ff0000,#ffffff");
    const Surface& s = Sprites[1].surface;
    EXPECT_STREQ(Sprites[1].tag, "bklg");
    EXPECT_EQ(Sprites[1].visible, 1);
    EXPECT_EQ(s.transMode, TransAlpha);
    EXPECT_EQ(s.cellCount, 2);
    EXPECT_EQ(s.alpha, 255);
    EXPECT_EQ(s.loopMode, 3);
    EXPECT_EQ(s.cellTime, 0xFFFFFF);
    int cw = GetCellWidth(&s);
    ASSERT_EQ(cw, 23 * 26 + 2);
    ASSERT_EQ(s.dib.width, 4 * cw);
    // The mask: 255 - coverage where the glyph lies (the first cell at 0,0),
    // transparent elsewhere; the same in both cells.
    std::vector<uint8_t> cov = Coverage("あ", 26, 26, false);
    std::vector<uint8_t> mask = MaskOf(s, 0);
    EXPECT_EQ(mask, MaskOf(s, 1));
    long glyphPixels = 0;
    for (int y = 0; y < s.dib.height; y++)
        for (int x = 0; x < cw; x++) {
            uint8_t c = x < 26 && y < 26 ? cov[y * 26 + x] : 0;
            ASSERT_EQ(mask[(size_t)y * cw + x], 255 - c) << x << "," << y;
            glyphPixels += c > 0;
            // Red has channels of 0: glyph pixels take red times the
            // coverage; the rest stay plain red.  White stays white.
            Bgr red = PixelOf(s, x, y), white = PixelOf(s, 2 * cw + x, y);
            ASSERT_EQ(red, (Bgr{0, 0, c ? c : (uint8_t)255})) << x << "," << y;
            ASSERT_EQ(white, (Bgr{255, 255, 255})) << x << "," << y;
        }
    EXPECT_GT(glyphPixels, 50);
    EXPECT_EQ(Sprites[1].x, 10);
    EXPECT_EQ(Sprites[1].y, 20);
}

TEST_F(StringSpriteTest, ShadowMakesTheShadowPixelsOpaqueAndBlack) {
    TextShadow = 1;
    Run(Cmd_logsp, "1,\"あ\",0,0");
    const Surface& s = Sprites[1].surface;
    int cw = GetCellWidth(&s);
    std::vector<uint8_t> cov = Coverage("あ", 26, 26, false);
    std::vector<uint8_t> mask = MaskOf(s, 0);
    for (int y = 0; y < 26; y++)
        for (int x = 1; x < 27; x++) {
            uint8_t own = x < 26 ? cov[y * 26 + x] : 0, left = cov[y * 26 + x - 1];
            ASSERT_EQ(mask[(size_t)y * cw + x], std::min(255 - own, 255 - left)) << x << "," << y;
            // A shadow pixel outside the glyph is black.
            if (left && !own) {
                ASSERT_EQ(PixelOf(s, x, y), (Bgr{0, 0, 0})) << x << "," << y;
            }
        }
}

TEST_F(StringSpriteTest, TextBlockLayout) {
    auto glyphRows = [](const Surface& s) {
        // Rows of the mask with a glyph pixel.
        std::vector<int> rows;
        int cw = GetCellWidth(&s);
        for (int y = 0; y < s.dib.height; y++)
            for (int x = 0; x < cw; x++)
                if (PixelOf(s, cw + x, y)[0] != 255) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    };
    // '\' starts the next line: glyphs in lines 0 and 1 only.
    Run(Cmd_strsp, "1,\"あ\\い\",0,0,4,3,20,20,0,10,0,0");
    std::vector<int> rows = glyphRows(Sprites[1].surface);
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), 20);
    EXPECT_GE(rows.back(), 30);
    EXPECT_LT(rows.back(), 50);
    // A text longer than the block stops at its last row, without an error.
    Run(Cmd_strsp, "1,\"あいうえおかきくけこさしすせそ\",0,0,2,2,20,20,0,0,0,0");
    EXPECT_EQ(GetCellWidth(&Sprites[1].surface), 42);
    EXPECT_EQ(Sprites[1].surface.dib.height, 42);
    // '@' and '#' are characters here.
    Run(Cmd_strsp, "1,\"@#\",0,0,4,1,20,20,0,0,0,0");
    EXPECT_FALSE(glyphRows(Sprites[1].surface).empty());
    // Vertical text starts in the rightmost column; a break and a wrap both
    // move one column to the left.
    auto leftmostGlyphColumn = []() {
        const Surface& sp = Sprites[1].surface;
        int cw = GetCellWidth(&sp);
        for (int x = 0; x < cw; x++)
            for (int y = 0; y < sp.dib.height; y++)
                if (PixelOf(sp, cw + x, y)[0] != 255) return x;
        return -1;
    };
    VerticalText = 1;
    Run(Cmd_strsp, "1,\"あい\",0,0,2,3,20,20,0,0,0,0");
    EXPECT_GE(leftmostGlyphColumn(), 20);
    Run(Cmd_strsp, "1,\"あ\\い\",0,0,2,3,20,20,0,0,0,0");
    EXPECT_LT(leftmostGlyphColumn(), 20);
    Run(Cmd_strsp, "1,\"あいうえ\",0,0,2,3,20,20,0,0,0,0");
    EXPECT_LT(leftmostGlyphColumn(), 20);
    VerticalText = 0;
    // The window's settings are back as they were.
    EXPECT_EQ(TextColumns, 23);
    EXPECT_EQ(TextRows, 16);
    EXPECT_EQ(TextFontWidth, 26);
    EXPECT_EQ(TextCharAdvance, 26);
    EXPECT_EQ(TextLineAdvance, 28);
    EXPECT_EQ(TextShadow, 0);
}

// Unfinished ruby groups, a lead byte at the end, breaks only, a ruby text
// longer than the renderer keeps: drawn without reading past the text (the
// sanitizer build watches) and without an error.
TEST_F(StringSpriteTest, MalformedTextsStayInsideTheirBytes) {
    const char* texts[] = {"(", "(\x82\xa0/", "(/)", "\x82\xa0\x82", "\\\n\\", "((((/))))", ")/(",
                           "(\x82\xa0/\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2"
                           "\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2"
                           "\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2"
                           "\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2"
                           "\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2"
                           "\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2\x82\xa2)"};
    RubyOn = 1;
    for (const char* text : texts) {
        Surface s;
        ASSERT_TRUE(CreateSurface(&s, 60, 60));
        RenderTextToSurface(0xFFFFFF, &s, text, true);
        RenderTextToSurface(0x336699, &s, text, false);
        for (int style : {0, 1, 2, 3}) RenderStringCells(&s, text, -1, 20, 20, 20, true, true, "", style);
        DestroySurface(&s);
    }
    RubyOn = 0;
}

TEST_F(StringSpriteTest, TagCellsFromTheLoader) {
    TextShadow = 1;
    Surface s;
    LoadSurface(&s, Cp932(":s/20,20,0;#ff0000#0000ffあ").c_str());
    ASSERT_TRUE(HasPicture(&s));
    EXPECT_EQ(s.isStringSprite, 1);
    EXPECT_EQ(s.cellCount, 2);
    int cw = GetCellWidth(&s);
    ASSERT_EQ(cw, 21);
    std::vector<uint8_t> cov = Coverage("あ", 20, 20, false);  // text bold off, shadow on
    EXPECT_EQ(MaskOf(s, 0), MaskOf(s, 1));
    // The colour image is the colour times the coverage on black; the mask
    // 255 - coverage, each pixel's right neighbour darkened by the shadow.
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < cw; x++) {
            uint8_t c = x < 20 ? cov[y * 20 + x] : 0, left = x ? cov[y * 20 + x - 1] : 0;
            ASSERT_EQ(PixelOf(s, x, y), (Bgr{0, 0, c})) << x << "," << y;
            ASSERT_EQ(PixelOf(s, 2 * cw + x, y), (Bgr{c, 0, 0})) << x << "," << y;
            ASSERT_EQ(PixelOf(s, cw + x, y)[0], ProductTable[255 - left][255 - c]) << x << "," << y;
        }
    DestroySurface(&s);
}

// A glyph plug-in: coverage 200 at the left half of each cell, 50 at the
// right; red, green and blue as given.
void TestFontPlugin(const char*, uint8_t* pixels, int32_t w, int32_t h, int32_t r, int32_t g, int32_t b,
                    const char*) {
    for (int32_t i = 0; i < w * h; i++) {
        pixels[4 * i] = (uint8_t)(i % w < w / 2 ? 200 : 50);
        pixels[4 * i + 1] = (uint8_t)r;
        pixels[4 * i + 2] = (uint8_t)g;
        pixels[4 * i + 3] = (uint8_t)b;
    }
}

TEST_F(StringSpriteTest, PluginStyleFillsTheColourImageAndItsOwnMask) {
    FontPluginProc saved = FontPlugin;
    FontPlugin = TestFontPlugin;
    Surface s;
    LoadSurface(&s, ":s/4,3,0,3;#102030#405060abcd");
    FontPlugin = saved;
    ASSERT_TRUE(HasPicture(&s));
    int cw = GetCellWidth(&s);
    ASSERT_EQ(cw, 4 * 4 / 2);  // no shadow room: the fixture's shadow is off
    for (int j = 0; j < 2; j++)
        for (int y = 0; y < 3; y++)
            for (int x = 0; x < cw; x++) {
                Bgr want = j ? Bgr{0x60, 0x50, 0x40} : Bgr{0x30, 0x20, 0x10};
                EXPECT_EQ(PixelOf(s, 2 * cw * j + x, y), want) << j << ":" << x << "," << y;
                // Each cell's mask lies in the mask half: 255 - coverage.
                EXPECT_EQ(PixelOf(s, 2 * cw * j + cw + x, y)[0], x % 4 < 2 ? 55 : 205) << x << "," << y;
            }
    DestroySurface(&s);
}

TEST_F(StringSpriteTest, RubyLiesInTheLinePitchAboveTheBase) {
    auto firstGlyphRow = [](const Surface& sp) {
        int cw = GetCellWidth(&sp);
        for (int y = 0; y < sp.dib.height; y++)
            for (int x = 0; x < cw; x++)
                if (PixelOf(sp, cw + x, y)[0] != 255) return y;
        return -1;
    };
    RubyOn = 1;  // ruby 10 x 10 over glyphs of 20 x 20 with a line advance of 30
    Run(Cmd_strsp, "1,\"あ\",0,0,4,1,20,20,0,10,0,0");
    int plain = firstGlyphRow(Sprites[1].surface);
    EXPECT_GE(plain, 10);
    Run(Cmd_strsp, "1,\"(あ/い)\",0,0,4,1,20,20,0,10,0,0");
    int withRuby = firstGlyphRow(Sprites[1].surface);
    EXPECT_GE(withRuby, 0);
    EXPECT_LT(withRuby, 10);
    RubyOn = 0;
}

TEST_F(StringSpriteTest, FatalTexts) {
    ClearCapturedBoxes();
    struct Case {
        void (*cmd)();
        const char* operands;
        const char* box;
    } cases[] = {
        {Cmd_spfont, "cat", "エラー: spfontの引数は、文字列もしくはclearです。"},
        {Cmd_spfont, "Clear2", "エラー: spfontの引数は、文字列もしくはclearです。"},
        {Cmd_logsp, "1000,\"a\",0,0", "エラー: スプライト番号が範囲外です。"},
        {Cmd_logsph, "-1,\"a\",0,0", "エラー: スプライト番号が範囲外です。"},
        {Cmd_logsp2, "1000,\"a\",0,0,1,1,1,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_logsph2, "-5,\"a\",0,0,1,1,1,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_strsp, "1000,\"a\",0,0,1,1,1,1,1,1,1,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_strsph, "2147483647,\"a\",0,0,1,1,1,1,1,1,1,1", "エラー: スプライト番号が範囲外です。"},
    };
    for (const Case& c : cases) {
        UseScriptText(&script_, Cp932(c.operands));
        EXPECT_EQ(FatalBoxOf(c.cmd, true), c.box) << c.operands;
    }
}

}  // namespace
