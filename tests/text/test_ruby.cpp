// Ruby beyond its layout arithmetic: the define block's ruby settings kept
// through the reset to *start (frames of whole games), and the ruby's own
// shadow on the screen, pixel for pixel against the rule worked out here
// from the glyph coverage.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/script.h"
#include "core/startup.h"
#include "graphics/screen.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/glyph.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textwindow.h"

namespace {

Frame LastFrame(const std::string& script) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    FramedRun r = RunFramed(dir, RunOptions());
    EXPECT_EQ(r.run.status, 0) << script << "\n" << r.run.err;
    for (const std::string& b : r.run.boxes) ADD_FAILURE() << b << "\n" << script;
    return r.frame;
}

// rubyon, rubyon2 and the ruby size belong to the define block: a game
// that sets them there shows its text as one that sets them after *start
// does, and unlike one without them.
TEST(RubyGames, DefineSettingsSurviveTheResetToStart) {
    const std::string text = "textspeed 0\n(漢/かんじ)字/\n(字/じ)/\n";
    struct Case {
        std::string setting;
    } cases[] = {{"rubyon"}, {"rubyon 10,10"}, {"rubyon2"}, {"rubyon2 8,12"}};
    Frame without = LastFrame("*define\ngame\n*start\n" + text + "end\n");
    for (const Case& c : cases) {
        Frame in_define = LastFrame("*define\n" + c.setting + "\ngame\n*start\n" + text + "end\n");
        Frame in_story = LastFrame("*define\ngame\n*start\n" + c.setting + "\n" + text + "end\n");
        ASSERT_FALSE(in_story.bmp.empty()) << c.setting;
        EXPECT_TRUE(in_define.bmp == in_story.bmp) << c.setting;
        EXPECT_FALSE(in_define.bmp == without.bmp) << c.setting;
    }
    // rubyoff in the define block stays off as well.
    Frame off = LastFrame("*define\nrubyon\nrubyoff\ngame\n*start\n" + text + "end\n");
    EXPECT_TRUE(off.bmp == without.bmp);
}

class RubyShadow : public ::testing::Test {
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
        ResetRuby();
        TextFontWidth = TextFontHeight = 26;
        VerticalText = 0;
    }
    void TearDown() override {
        delete[] GlyphLayer;
        GlyphLayer = nullptr;
        ScreenWidth = saved_w_;
        ScreenHeight = saved_h_;
        RebuildScreenSurfaces();
        RebuildTextColorSurface();
        ShadeDistanceOn = ShadeDistanceX = ShadeDistanceY = 0;
        TextShadow = 1;
        ResetRuby();
    }
    int saved_w_ = 0, saved_h_ = 0;
};

// Ruby "かん" (13 x 13 glyphs) over a base of 52 pixels at (4, 30): step
// 2 x 52 / 5 = 20, offset (20 - 13) / 2 = 3, the row at 30 - 13 = 17.  Each
// pixel: D x (255 - c) + colour x c; with the shadow switch a pixel above
// 64 divides its right neighbour by 4 before that one's own blend; the
// offset shadow never applies.
TEST_F(RubyShadow, RubyCastsItsOwnShadowOnTheScreen) {
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
}

}  // namespace
