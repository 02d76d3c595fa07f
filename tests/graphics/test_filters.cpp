// Screen filters and overlays: the filter order (negative before or after
// the tint), their place among the layers in both window-back modes, bar
// widths, the number overlay's box and kernel, the commands' dirty marking
// and operand forms, their fatal text, a game showing all of them, and the
// number's digits against text digits of the same size.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/filter_commands.h"
#include "tests/graphics/screenfx_fixture.h"

namespace {

TEST_F(ScreenFxTest, FilterOrder) {
    struct Case {
        int32_t nega;
        bool tint;
        Bgr in, out;
    } cases[] = {
        {0, false, kWhite, kWhite},
        {1, false, kWhite, kBlack},
        {1, false, Bgr{10, 20, 30}, Bgr{245, 235, 225}},
        {0, true, kWhite, Bgr{0, 128, 255}},  // tint #ff8000 on white
        {0, true, Bgr{30, 60, 90}, Bgr{0, Pt(60, 128), Pt(60, 255)}},
        {1, true, kWhite, kBlack},                 // inverted, then tinted
        {2, true, kWhite, Bgr{255, 127, 0}},       // tinted, then inverted
        {3, false, Bgr{10, 20, 30}, Bgr{10, 20, 30}},  // other values: off
        {-1, false, Bgr{10, 20, 30}, Bgr{10, 20, 30}},
    };
    for (const Case& c : cases) {
        Fill24(&BgSurface, 64, 48, c.in);
        NegaMode = c.nega;
        Monocro = MonocroTint{c.tint ? 1 : 0, 255, 128, 0};
        ComposeScreen(nullptr);
        EXPECT_EQ(At(10, 10), c.out) << c.nega << " " << c.tint;
    }
}

TEST_F(ScreenFxTest, FiltersOnlyOverTheRedrawnArea) {
    ComposeScreen(nullptr);
    NegaMode = 1;
    ScreenRect r{4, 4, 9, 9};
    ComposeScreen(&r);
    EXPECT_EQ(At(4, 4), kBlack);
    EXPECT_EQ(At(10, 10), kBlack);  // the area reaches one further
    EXPECT_EQ(At(11, 11), kWhite);
    EXPECT_EQ(At(3, 3), kWhite);
}

TEST_F(ScreenFxTest, FiltersAmongTheLayers) {
    // Back sprite 600 red, front sprite 10 green, rotated sprite blue, a bar
    // of blue-ish colour; the negative filter on.
    Place(600, 0, 0, 8, 8, kRed);
    Place(10, 20, 0, 8, 8, kGreen);
    PlaceRotated(0, 40, 4, kBlue);
    BarSlots[0] = BarSlot{4, 0, 40, 4, 4, 4, 0x123456};
    NegaMode = 1;
    struct Case {
        int32_t windowBack;
        Bgr back, front, rotated;
    } cases[] = {
        {0, Inverted(kRed), Inverted(kGreen), Inverted(kBlue)},
        {1, Inverted(kRed), kGreen, kBlue},
    };
    for (const Case& c : cases) {
        WindowBackOn = c.windowBack;
        ComposeScreen(nullptr);
        EXPECT_EQ(At(2, 2), c.back) << c.windowBack;
        EXPECT_EQ(At(22, 2), c.front) << c.windowBack;
        EXPECT_EQ(At(40, 4), c.rotated) << c.windowBack;
        EXPECT_EQ(At(1, 41), (Bgr{0x56, 0x34, 0x12})) << c.windowBack;  // bars after filters
        EXPECT_EQ(At(30, 30), kBlack) << c.windowBack;
    }
}

TEST_F(ScreenFxTest, BarWidths) {
    struct Case {
        int32_t value, width, maximum, filled;
    } cases[] = {
        {5, 10, 10, 5},  {0, 10, 10, 0},     {-3, 10, 10, 0}, {15, 10, 10, 15},
        {1, 3, 2, 1},    {7, 10, 0, 0},      {-7, 10, -10, 7},
        {60000000, 40, 60000000, 40},  // the product passes 32 bits
    };
    for (const Case& c : cases) {
        ResetScreenFilters();
        BarSlots[7] = BarSlot{c.value, 2, 10, c.width, 3, c.maximum, 0x0000FF};
        ComposeScreen(nullptr);
        for (int x = 0; x < 62; x++) {
            Bgr want = x >= 2 && x < 2 + c.filled ? kBlue : kWhite;
            ASSERT_EQ(At(x, 10), want) << c.value << "/" << c.maximum << " at " << x;
            ASSERT_EQ(At(x, 12), want) << c.value << "/" << c.maximum << " at " << x;
        }
        EXPECT_EQ(At(3, 9), kWhite);
        EXPECT_EQ(At(3, 13), kWhite);  // bottom edge exclusive
    }
}

TEST_F(ScreenFxTest, BarsAndNumbersOutsideTheScreenAreClipped) {
    BarSlots[0] = BarSlot{100, 60, 45, 100, 100, 100, 0xFF0000};
    BarSlots[1] = BarSlot{100, -50, -50, 60, 52, 100, 0xFF0000};
    PrnumSlots[0] = PrnumSlot{888, 50, 20, 20, 20, 0x00FF00};
    PrnumSlots[1] = PrnumSlot{888, -30, 30, 20, 20, 0x00FF00};
    ComposeScreen(nullptr);
    EXPECT_EQ(At(63, 47), kRed);
    EXPECT_EQ(At(9, 1), kRed);
    EXPECT_EQ(At(10, 2), kWhite);
}

TEST_F(ScreenFxTest, OverlaysOnlyWhereTheirBoxMeetsTheArea) {
    BarSlots[0] = BarSlot{10, 40, 40, 10, 4, 10, 0xFF0000};
    ScreenRect far{0, 0, 5, 5};
    ComposeScreen(&far);
    ComposeScreen(nullptr);
    FillSurfaceRect(&SrcSurface, 0, 0, 64, 48, 0x808080);
    ComposeScreen(&far);
    EXPECT_EQ(At(41, 41), kGrey);  // not redrawn: the box is outside the area
    ScreenRect near{0, 0, 40, 40};  // the corner touches the box
    ComposeScreen(&near);
    EXPECT_EQ(At(40, 40), kRed);
    EXPECT_EQ(At(45, 41), kRed);  // the whole bar, also outside the area
}

TEST_F(ScreenFxTest, OverlaysLeftOutWhileTheSystemMenuHasTheWindowOff) {
    BarSlots[0] = BarSlot{10, 0, 0, 10, 4, 10, 0xFF0000};
    for (int brin = 0; brin < 2; brin++)
        for (int erase = 0; erase < 2; erase++) {
            BrinMode = brin, WindowEraseActive = erase;
            ComposeScreen(nullptr);
            EXPECT_EQ(At(1, 1), brin && erase ? kWhite : kRed) << brin << erase;
        }
}

TEST_F(ScreenFxTest, NumberDrawsInsideItsBoxOnly) {
    PrnumSlots[3] = PrnumSlot{123, 4, 6, 10, 16, 0xFF0000};
    ComposeScreen(nullptr);
    int coloured = 0;
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) {
            bool inBox = x >= 4 && x < 34 && y >= 6 && y < 22;
            Bgr p = At(x, y);
            if (!inBox) {
                ASSERT_EQ(p, kWhite) << x << "," << y;
            } else if (p != kWhite) {
                coloured++;
                ASSERT_EQ(p[2], 255) << x << "," << y;  // white blended towards red
                ASSERT_EQ(p[0], p[1]);
            }
        }
    EXPECT_GT(coloured, 20);  // the digits show
    // Value 0 shows two blanks and a digit: only the third cell is drawn.
    PrnumSlots[3].value = 0;
    ComposeScreen(nullptr);
    for (int y = 6; y < 22; y++)
        for (int x = 4; x < 24; x++) ASSERT_EQ(At(x, y), kWhite) << x << "," << y;
}

TEST(NumberKernel, ReducesThreeByThreeBlocks) {
    struct Case {
        std::vector<uint8_t> block;
        uint8_t out;
    } cases[] = {
        {{0, 0, 0, 0, 255, 0, 0, 0, 0}, 63},          // centre: 4/16
        {{255, 0, 0, 0, 0, 0, 0, 0, 0}, 15},          // corner: 1/16
        {{0, 255, 0, 0, 0, 0, 0, 0, 0}, 31},          // edge middle: 2/16
        {std::vector<uint8_t>(9, 255), 255},
        {std::vector<uint8_t>(9, 0), 0},
    };
    for (const Case& c : cases) {
        uint8_t out = 1;
        ReduceThirds(c.block.data(), 1, 1, &out);
        EXPECT_EQ(out, c.out);
    }
    // Two cells side by side read their own columns.
    std::vector<uint8_t> big(18, 0);
    big[1] = 255;       // the first cell's top middle (rows are 6 bytes)
    big[6 + 4] = 255;   // the second cell's centre
    uint8_t out[2];
    ReduceThirds(big.data(), 2, 1, out);
    EXPECT_EQ(out[0], 31);
    EXPECT_EQ(out[1], 63);
}

TEST_F(ScreenFxTest, CommandsMarkOldAndNewBoxes) {
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_bar, "1, 5, 10, 20, 30, 4, 100, #ff0000"));
    EXPECT_EQ(BarSlots[1].color, 0xFF0000);
    EXPECT_EQ(BarSlots[1].maximum, 100);
    EXPECT_EQ(DirtyRect.left, 10);
    EXPECT_EQ(DirtyRect.top, 20);
    EXPECT_EQ(DirtyRect.right, 40);
    EXPECT_EQ(DirtyRect.bottom, 24);
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_bar, "1,100,2,3,2,2,100,#00ff00"));
    EXPECT_EQ(DirtyRect.left, 2);
    EXPECT_EQ(DirtyRect.top, 3);
    EXPECT_EQ(DirtyRect.right, 40);  // the old box too
    EXPECT_EQ(DirtyRect.bottom, 24);

    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_prnum, "2, 999, 1, 2, 5, 6, #0000ff"));
    EXPECT_EQ(DirtyRect.right, 16);  // three cells
    EXPECT_EQ(DirtyRect.bottom, 8);
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_prnum, "2, 1, 30, 30, 1, 1, #0000ff"));
    EXPECT_EQ(DirtyRect.left, 1);
    EXPECT_EQ(DirtyRect.bottom, 31);
    EXPECT_EQ(PrnumSlots[2].value, 1);

    // Numbers outside 0..99 read their operands and change nothing.
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_bar, "100,5,10,20,30,4,100,#ff0000"));
    EXPECT_TRUE(Run(Cmd_prnum, "-1,5,10,20,30,4,#ff0000"));
    EXPECT_EQ(DirtyRect.right, 0);

    // The clears mark nothing; what was drawn stays until recomposed.
    ComposeScreen(nullptr);
    EXPECT_EQ(At(2, 3), kGreen);
    EXPECT_TRUE(Run(Cmd_barclear, ""));
    EXPECT_TRUE(Run(Cmd_prnumclear, ""));
    EXPECT_EQ(BarSlots[1].x, -1);
    EXPECT_EQ(PrnumSlots[2].x, -1);
    EXPECT_EQ(DirtyRect.right, 0);
    EXPECT_EQ(At(2, 3), kGreen);
    ComposeScreen(nullptr);
    EXPECT_EQ(At(2, 3), kWhite);
}

TEST_F(ScreenFxTest, NegaAndMonocroOperands) {
    ClearDirtyRect();
    EXPECT_TRUE(Run(Cmd_nega, "1+1"));
    EXPECT_EQ(NegaMode, 2);
    EXPECT_EQ(DirtyRect.right, 63);
    EXPECT_EQ(DirtyRect.bottom, 47);
    struct Case {
        const char* operand;
        int32_t on, red, green, blue;
    } cases[] = {
        {"#102030", 1, 0x10, 0x20, 0x30},
        {"off", 0, 0x10, 0x20, 0x30},
        {"\"#405060\"", 1, 0x40, 0x50, 0x60},
        {"Off", 0, 0x40, 0x50, 0x60},
        {"OFF", 0, 0x40, 0x50, 0x60},
    };
    for (const Case& c : cases) {
        ClearDirtyRect();
        EXPECT_TRUE(Run(Cmd_monocro, c.operand)) << c.operand;
        EXPECT_EQ(Monocro.on, c.on) << c.operand;
        EXPECT_EQ(Monocro.red, c.red) << c.operand;
        EXPECT_EQ(Monocro.green, c.green) << c.operand;
        EXPECT_EQ(Monocro.blue, c.blue) << c.operand;
        EXPECT_EQ(DirtyRect.right, 63) << c.operand;
    }
    EXPECT_EQ(FatalBoxOf([&] { Run(Cmd_monocro, "on"); }, true),
              "構文エラー: monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。");
}

TEST_F(ScreenFxTest, ResetFreesEverything) {
    NegaMode = 1;
    Monocro.on = 1;
    BarSlots[99].x = 3;
    PrnumSlots[0].x = 3;
    ResetGraphicsState();
    EXPECT_EQ(NegaMode, 0);
    EXPECT_EQ(Monocro.on, 0);
    EXPECT_EQ(BarSlots[99].x, -1);
    EXPECT_EQ(PrnumSlots[0].x, -1);
}

TEST(FilterGames, FiltersAndBarsInAFrame) {
    FramedRun r = PlayFramed(
        ";mode320\n*define\ngame\n*start\n"
        "bg white,1\nmonocro #ff8000\nbar 0,1,0,0,10,10,1,#0000ff\nprint 1\n"
        "end\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(20, 20), (Bgr{0, 128, 255}));
    EXPECT_EQ(r.frame.At(5, 5), kBlue);
    EXPECT_EQ(r.frame.At(10, 5), (Bgr{0, 128, 255}));

    // nega 1 under the tint: black; then the word off removes the tint.
    r = PlayFramed(
        ";mode320\n*define\ngame\n*start\n"
        "bg white,1\nmonocro \"#ff8000\"\nnega 1\nprint 1\nmonocro off\nnega 0\n"
        "bg \"#102030\",1\nend\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(20, 20), (Bgr{0x30, 0x20, 0x10}));

    r = PlayFramed(";mode320\n*define\ngame\n*start\nmonocro on\nend\n");
    EXPECT_EQ(r.run.status, 1);
    EXPECT_EQ(FirstBox(r.run),
              "構文エラー: monocro命令の次は#rrggbbで色指定、もしくは、offでモノクロ指定を解除、です。");
}

// A number's digits take the text's cell: the font's Windows ascent plus
// descent is the cell height, the baseline at the ascent.  "88" as text
// and as a number of the same size cover the same rows of their cells (a
// row counts where some pixel has an eighth of full coverage: the text's
// smoothed edge can leave less on the row below).
TEST(FilterGames, NumberDigitsCoverTheRowsOfTextDigits) {
    for (int size : {12, 16, 26, 32}) {
        SCOPED_TRACE(size);
        std::string s = std::to_string(size), half = std::to_string(size / 2);
        FramedRun r = PlayFramed("*define\ngame\n*start\nbg black,1\n"
                                 "setwindow 100,100,10,2," + s + "," + s + ",0,0,0,0,0,#000000,90,90,300,150\n"
                                 "prnum 0,88,400,100," + half + "," + s + ",#ffffff\nprint 1\n88\nend\n");
        ExpectQuiet(r.run);
        ASSERT_EQ(r.frame.w, 640);
        auto rows = [&](int left) {
            std::vector<int> covered;
            for (int y = 100; y < 100 + size; y++)
                for (int x = left; x < left + size; x++)
                    if (r.frame.At(x, y)[2] >= 32) {
                        covered.push_back(y - 100);
                        break;
                    }
            return covered;
        };
        std::vector<int> text = rows(100);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(rows(400 + size / 2), text);  // " 88": the digits from the second cell
    }
}

}  // namespace
