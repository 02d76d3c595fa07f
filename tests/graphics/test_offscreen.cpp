// Off-screen drawing: fills, the background and sprites drawn by hand into
// the displayed picture (cells and alphas kept or restored, nothing else of
// the sprite touched), the window copied back by ofscpy and bgcpy, blt from
// the button picture into the window, and games that show the results.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/offscreen_commands.h"
#include "platform/headless/headless.h"
#include "tests/graphics/screenfx_fixture.h"

namespace {

Bgr Gradient(int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 7}; }

Bgr Shown(int x, int y) {
    const uint8_t* bits;
    int w, h;
    if (!HeadlessLastFrame(&bits, &w, &h) || x >= w || y >= h) return Bgr{1, 2, 3};
    const uint8_t* p = bits + (size_t)((w * 3 + 3) & ~3) * (h - 1 - y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}

class OffscreenTest : public ScreenFxTest {
protected:
    void SetUp() override {
        ScreenFxTest::SetUp();
        ClearDirtyRect();
        // Sprite 5: three 4 x 4 cells, red, green, blue; hidden.
        Make24(&Sprites[5].surface, 12, 4, [](int x, int) {
            return x < 4 ? kRed : x < 8 ? kGreen : kBlue;
        });
        Sprites[5].surface.transMode = TransCopy;
        Sprites[5].surface.cellCount = 3;
        strcpy(Sprites[5].tag.Edit(), "cells");
        Sprites[5].x = 40, Sprites[5].y = 30;
        Sprites[5].visible = 0;
    }
    void TearDown() override {
        DestroySurface(&ButtonPicture);
        ScreenFxTest::TearDown();
    }
    static Bgr Dest(int x, int y) { return PixelAt(DestSurface, x, y); }
    static void PresentBlack() {
        std::vector<uint8_t> black((size_t)DibStride(24, 64) * 48, 0);
        PlatPresent(black.data(), 64, 48);
    }
};

TEST_F(OffscreenTest, Fills) {
    strcpy(DestSurface.tag, "x");
    EXPECT_TRUE(Run(Cmd_drawfill, "266, 0, 1"));  // low 8 bits of each
    EXPECT_EQ(Dest(0, 0), (Bgr{1, 0, 10}));
    EXPECT_EQ(Dest(63, 47), (Bgr{1, 0, 10}));
    EXPECT_EQ(DestSurface.tag[0], 0);
    strcpy(DestSurface.tag, "x");
    EXPECT_TRUE(Run(Cmd_drawclear, ""));
    EXPECT_EQ(Dest(30, 30), kBlack);
    EXPECT_EQ(DestSurface.tag[0], 0);
    EXPECT_EQ(DirtyRect.right, 0);  // nothing is marked
}

TEST_F(OffscreenTest, Background) {
    Make24(&BgSurface, 64, 48, Gradient);
    EXPECT_TRUE(Run(Cmd_drawbg, ""));
    EXPECT_EQ(Dest(17, 9), Gradient(17, 9));
    FillSurfaceRect(&DestSurface, 0, 0, 64, 48, 0);
    BgSurface.transMode = TransAlpha, BgSurface.cellCount = 2, BgSurface.cell = 1;
    BgSurface.alpha = 3;
    EXPECT_TRUE(Run(Cmd_drawbg2, "32, 24, 100, 100, 0"));
    EXPECT_EQ(BgSurface.transMode, TransCopy);
    EXPECT_EQ(BgSurface.cellCount, 1);
    EXPECT_EQ(BgSurface.cell, 0);
    EXPECT_EQ(BgSurface.alpha, 255);
    EXPECT_EQ(Dest(20, 20), Gradient(20, 20));
    // At half size about the centre: the corners stay black.
    FillSurfaceRect(&DestSurface, 0, 0, 64, 48, 0);
    EXPECT_TRUE(Run(Cmd_drawbg2, "32, 24, 50, 50, 0"));
    EXPECT_EQ(Dest(2, 2), kBlack);
    EXPECT_NE(Dest(32, 24), kBlack);
}

TEST_F(OffscreenTest, SpritesCellsAndAlphas) {
    struct Case {
        const char* operands;
        Bgr drawn;
        int32_t cell, alpha;
    } cases[] = {
        {"5, 1, 255, 2, 3", kGreen, 1, 255},
        {"5, 7, 255, 2, 3", kBlue, 2, 255},   // past the end: the last cell, kept
        {"5, -4, 300, 2, 3", kRed, 0, 255},   // negative: cell 0; alpha limited
        {"5, 1, -5, 2, 3", kWhite, 1, 0},     // alpha 0 draws nothing, and stays
    };
    for (const Case& c : cases) {
        Fill24(&DestSurface, 64, 48, kWhite);
        EXPECT_TRUE(Run(Cmd_drawsp, c.operands)) << c.operands;
        EXPECT_EQ(Dest(3, 4), c.drawn) << c.operands;
        EXPECT_EQ(Dest(6, 4), kWhite) << c.operands;
        EXPECT_EQ(Sprites[5].surface.cell, c.cell) << c.operands;
        EXPECT_EQ(Sprites[5].surface.alpha, c.alpha) << c.operands;
    }
    // The sprite itself is untouched.
    EXPECT_EQ(Sprites[5].visible, 0);
    EXPECT_EQ(Sprites[5].x, 40);
    EXPECT_EQ(Sprites[5].y, 30);
    EXPECT_EQ(DirtyRect.right, 0);
    // Numbers outside the table read their operands and draw nothing.
    Fill24(&DestSurface, 64, 48, kWhite);
    EXPECT_TRUE(Run(Cmd_drawsp, "1000, 0, 255, 0, 0"));
    EXPECT_TRUE(Run(Cmd_drawsp2, "-1, 0, 255, 0, 0, 100, 100, 0"));
    EXPECT_TRUE(Run(Cmd_drawsp3, "5000, 0, 255, 0, 0, 1000, 0, 0, 1000"));
    EXPECT_EQ(Dest(0, 0), kWhite);
}

TEST_F(OffscreenTest, ScaledAndMatrixDrawsPutTheAlphaBack) {
    Sprites[5].surface.alpha = 77;
    Fill24(&DestSurface, 64, 48, kWhite);
    EXPECT_TRUE(Run(Cmd_drawsp2, "5, 2, 255, 20, 20, 200, 200, 0"));
    EXPECT_EQ(Dest(20, 20), kBlue);
    EXPECT_EQ(Dest(17, 17), kBlue);  // 8 x 8 about the centre
    EXPECT_EQ(Dest(25, 25), kWhite);
    EXPECT_EQ(Sprites[5].surface.alpha, 77);
    EXPECT_EQ(Sprites[5].surface.cell, 2);
    EXPECT_EQ(Sprites[5].visible, 0);

    EXPECT_TRUE(Run(Cmd_drawsp3, "5, 0, 200, 40, 20, 1000, 0, 0, 1000"));
    EXPECT_EQ(Sprites[5].surface.alpha, 77);
    EXPECT_EQ(Sprites[5].surface.transMode, TransAlpha);  // as the matrix draw leaves it
}

TEST_F(OffscreenTest, WindowCopiedBack) {
    std::vector<uint8_t> shown((size_t)DibStride(24, 64) * 48);
    Surface pic;
    Make24(&pic, 64, 48, Gradient);
    PlatPresent(pic.dib.bits, 64, 48);
    DestroySurface(&pic);
    Fill24(&DestSurface, 64, 48, kRed);
    EXPECT_TRUE(Run(Cmd_ofscpy, ""));
    EXPECT_EQ(Dest(9, 8), Gradient(9, 8));
    Fill24(&DestSurface, 64, 48, kRed);
    EXPECT_TRUE(Run(Cmd_ofscopy, ""));
    EXPECT_EQ(Dest(63, 47), Gradient(63, 47));

    // A rectangle presented later is part of what the window shows.
    Fill24(&DestSurface, 64, 48, kRed);
    PlatPresentRect(DestSurface.dib.bits, 64, 48, 10, 10, 11, 11);
    strcpy(BgSurface.tag, "bg.bmp");
    AssignString(&BgName, "bg.bmp");
    Fill24(&DestSurface, 64, 48, kBlue);
    EXPECT_TRUE(Run(Cmd_bgcpy, ""));
    EXPECT_EQ(Dest(9, 9), Gradient(9, 9));
    EXPECT_EQ(Dest(10, 11), kRed);
    EXPECT_EQ(PixelAt(BgSurface, 11, 10), kRed);
    EXPECT_EQ(PixelAt(BgSurface, 12, 12), Gradient(12, 12));
    EXPECT_EQ(BgSurface.tag[0], 0);
    EXPECT_STREQ(BgName.text, "*bgcpy");
    AssignString(&BgName, "x");
    EXPECT_TRUE(Run(Cmd_bgcopy, ""));
    EXPECT_STREQ(BgName.text, "*bgcpy");
    EXPECT_EQ(DirtyRect.right, 0);
}

TEST_F(OffscreenTest, BltFromTheButtonPicture) {
    int presents = HeadlessWindow().presents;
    EXPECT_TRUE(Run(Cmd_blt, "0, 0, 8, 8, 0, 0"));  // no button picture: nothing
    EXPECT_EQ(HeadlessWindow().presents, presents);

    Make24(&ButtonPicture, 8, 8, [](int x, int y) { return Bgr{(uint8_t)(100 + x), (uint8_t)y, 1}; });
    struct Case {
        const char* operands;
        int x, y;  // a window pixel
        Bgr want;
    } cases[] = {
        {"10, 12, 8, 8, 0, 0", 10, 12, Bgr{100, 0, 1}},    // unscaled
        {"10, 12, 8, 8, 0, 0", 17, 19, Bgr{107, 7, 1}},
        {"10, 12, 8, 8, 0, 0", 18, 12, kBlack},
        {"10, 12, 4, 4, 2, 3", 11, 13, Bgr{103, 4, 1}},   // a part
        {"0, 0, 16, 16, 0, 0, 8, 8", 15, 15, Bgr{107, 7, 1}},  // doubled
        {"0, 0, 16, 16, 0, 0, 8, 8", 2, 4, Bgr{101, 2, 1}},
        {"0, 0, 4, 4, 0, 0 , 8, 8", 1, 1, Bgr{102, 2, 1}},   // halved
        {"60, 44, 8, 8, 0, 0", 63, 47, Bgr{103, 3, 1}},  // clipped to the window
        {"-2, -2, 8, 8, 0, 0", 0, 0, Bgr{102, 2, 1}},
        {"0, 0, 8, 8, 6, 6", 1, 1, Bgr{107, 7, 1}},       // beyond the picture: as it was
        {"0, 0, 8, 8, 6, 6", 2, 2, kBlack},
        // A negative side runs leftwards or upwards from its point; sides
        // of opposite signs mirror, as a stretch copy does.
        {"7, 0, -8, 8, 0, 0", 0, 0, Bgr{107, 0, 1}},
        {"7, 0, -8, 8, 0, 0", 7, 3, Bgr{100, 3, 1}},
        {"7, 0, -8, 8, 0, 0", 8, 0, kBlack},
        {"0, 7, 8, -8, 0, 0", 2, 0, Bgr{102, 7, 1}},     // upside down
        {"0, 0, 8, 8, 7, 0, -8, 8", 0, 0, Bgr{107, 0, 1}},  // the source mirrored
        {"7, 7, -8, -8, 7, 7, -8, -8", 2, 3, Bgr{102, 3, 1}},  // both: not mirrored
        {"3, 0, -16, 8, 0, 0, 8, 8", 0, 0, Bgr{101, 0, 1}},  // clipped at the left
        {"0, 0, 0, 8, 0, 0", 0, 0, kBlack},              // no size: nothing
    };
    for (const Case& c : cases) {
        PresentBlack();
        EXPECT_TRUE(Run(Cmd_blt, c.operands)) << c.operands;
        EXPECT_EQ(Shown(c.x, c.y), c.want) << c.operands;
    }
    EXPECT_EQ(Dest(0, 0), kBlack);  // the displayed picture is not touched
}

TEST_F(OffscreenTest, TextWindowDrawnIntoTheDisplayedPicture) {
    int32_t kept[] = {WindowColor, TextWindowLeft, TextWindowTop, TextWindowRight,
                      TextWindowBottom, TextWindowShown};
    Fill24(&DestSurface, 64, 48, kWhite);
    WindowColor = 0x999999;
    TextWindowLeft = 4, TextWindowTop = 6, TextWindowRight = 20, TextWindowBottom = 30;
    TextWindowComposed = 0;  // drawn whatever the switches say
    EXPECT_TRUE(Run(Cmd_drawtext, ""));
    EXPECT_EQ(Dest(4, 6), (Bgr{153, 153, 153}));
    EXPECT_EQ(Dest(20, 30), (Bgr{153, 153, 153}));
    EXPECT_EQ(Dest(3, 6), kWhite);
    EXPECT_EQ(Dest(21, 31), kWhite);
    EXPECT_EQ(PixelAt(SrcSurface, 5, 7), kBlack);  // the compose buffer is not touched
    WindowColor = kept[0], TextWindowLeft = kept[1], TextWindowTop = kept[2];
    TextWindowRight = kept[3], TextWindowBottom = kept[4], TextWindowShown = kept[5];
}

TEST(OffscreenGames, DrawShowsTheDisplayedPicture) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"red.bmp", SolidBmp(8, 8, kRed)}};
    const std::string head = ";mode320\n*define\ngame\n*start\nbg white,1\n";
    struct Case {
        std::string story;
        int x, y;
        Bgr want;
    } cases[] = {
        {"drawfill 0,0,255\ndraw\n", 100, 100, kBlue},
        {"drawfill 0,0,255\n", 100, 100, kWhite},  // not shown without draw
        // A later print redraws only its dirty rectangle.
        {"drawclear\ndraw\nlsp 1,\":c;red.bmp\",0,0\nprint 1\n", 4, 4, kRed},
        {"drawclear\ndraw\nlsp 1,\":c;red.bmp\",0,0\nprint 1\n", 100, 100, kBlack},
        // ofscpy takes what the window shows back.
        {"drawfill 0,0,255\nofscpy\ndraw\n", 100, 100, kWhite},
        {"drawfill 0,255,0\nbgcpy\nbg \"#102030\",1\nbg white,1\ndrawbg\ndraw\n", 5, 5, kWhite},
        {"lsp 3,\":c;red.bmp\",0,0\nvsp 3,0\ndrawsp 3,0,255,50,60\ndraw\n", 54, 64, kRed},
        {"lsp 3,\":c;red.bmp\",0,0\nvsp 3,0\ndrawsp 3,0,255,50,60\ndraw\nprint 1\n", 54, 64,
         kRed},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayFramed(head + c.story + "end\n", files);
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(c.x, c.y), c.want) << c.story;
    }
    // bgcpy names the background "*bgcpy".
    std::string dir = MakeGameFolder();
    WriteScript(dir, head + "bgcpy\ngetbgname $1\ncsvopen \"name.csv\",\"w\"\ncsvwrite $1\n"
                            "csvclose\nend\n");
    ExpectQuiet(RunGame(dir));
    std::string name;
    ASSERT_TRUE(ReadGameFileBytes(dir, "name.csv", &name));
    EXPECT_NE(name.find("*bgcpy"), std::string::npos) << name;
}

}  // namespace
