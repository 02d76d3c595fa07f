// Screen composition: the order of the layers around HumanZ, HumanOrder and
// the window-back mode, the background forms and bgalia, print and repaint,
// and the dirty rectangle (only it is redrawn) - in tiny games read back
// through their last frame, and in-process where the tables are set by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/script.h"
#include "ext/layers.h"
#include "graphics/background_commands.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/reset_graphics.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/sprite_commands.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/graphics/gfx_fixture.h"
#include "text/textwindow.h"

namespace {

const std::vector<std::pair<std::string, std::string>> kPictures = {
    {"red.bmp", SolidBmp(8, 8, kRed)},
    {"green.bmp", SolidBmp(8, 6, kGreen)},
    {"blue.bmp", SolidBmp(4, 4, kBlue)},
    {"grey.bmp", SolidBmp(4, 4, kGrey)},
    {"small.bmp", Bmp24(160, 120, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 9}; })},
    {"full.bmp", Bmp24(320, 240, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 7}; })},
};

FramedRun Play(const std::string& define, const std::string& story) {
    return PlayFramed(";mode320\n*define\n" + define + "game\n*start\n" + story + "end\n",
                      kPictures);
}

TEST(ComposeGames, LayerOrder) {
    // Left standing picture green at 76..83 x 234..239; back sprite 600 red
    // under it, front sprite 10 blue over it, a rotated grey square on top.
    const std::string scene =
        "bg white,1\nld l,\":c;green.bmp\",1\n"
        "lsp 600,\":c;red.bmp\",70,230\nlsp 10,\":c;blue.bmp\",82,236\n"
        "lsp2 0,\":c;grey.bmp\",90,237,100,100,0\nprint 1\n";
    FramedRun r = Play("", scene);
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(71, 231), kRed);
    EXPECT_EQ(r.frame.At(77, 236), kGreen);  // the picture over the back sprite
    EXPECT_EQ(r.frame.At(82, 236), kBlue);   // the front sprite over the picture
    EXPECT_EQ(r.frame.At(90, 237), kGrey);
    EXPECT_EQ(r.frame.At(69, 231), kWhite);

    // humanz 5: sprite 10 goes behind the standing picture.
    r = Play("humanz 5\n", scene);
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(82, 236), kGreen);
    EXPECT_EQ(r.frame.At(84, 236), kBlue);

    // allsphide hides the standing pictures too, unless noteraseman.
    r = Play("", scene + "allsphide\nprint 1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(77, 236), kWhite);
    EXPECT_EQ(r.frame.At(90, 237), kGrey);  // rotated sprites stay
    r = Play("noteraseman\n", scene + "allsphide\nprint 1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(77, 236), kGreen);
    EXPECT_EQ(r.frame.At(71, 231), kWhite);

    // sphide over a range, spresume, allsp2hide.
    r = Play("", scene + "sphide 500,700\nallsp2hide\nprint 1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(71, 231), kWhite);
    EXPECT_EQ(r.frame.At(82, 236), kBlue);
    EXPECT_EQ(r.frame.At(90, 237), kWhite);
    r = Play("", scene + "sphide 500,700\nprint 1\nspresume\nprint 1\n");
    EXPECT_EQ(r.frame.At(71, 231), kRed);
}

TEST(ComposeGames, HumanOrder) {
    // All three at x 100: left red 96..103 x 232..239, centre green
    // 96..103 x 234..239, right blue 98..101 x 236..239.
    const std::string scene =
        "bg white,1\nhumanpos 100,100,100\n"
        "ld l,\":c;red.bmp\",0\nld c,\":c;green.bmp\",0\nld r,\":c;blue.bmp\",0\n";
    struct Case {
        const char* order;
        Bgr at_100_238, at_97_238, at_97_233;
    } cases[] = {
        {"", kBlue, kGreen, kRed},            // left, centre, right
        {"humanorder \"RL\",1\n", kBlue, kRed, kRed},       // no centre; R on top
        {"humanorder \"lcr\",1\n", kRed, kRed, kRed},       // l on top
        {"humanorder \"cx\",1\n", kGreen, kGreen, kWhite},  // x draws nothing
        // a shorter order after a longer one: no stale letters
        {"humanorder \"lcr\",1\nhumanorder \"r\",1\n", kBlue, kWhite, kWhite},
        {"humanorder \"\",1\n", kBlue, kGreen, kRed},
    };
    for (const Case& c : cases) {
        FramedRun r = Play("", scene + c.order + "print 1\n");
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(100, 238), c.at_100_238) << c.order;
        EXPECT_EQ(r.frame.At(97, 238), c.at_97_238) << c.order;
        EXPECT_EQ(r.frame.At(97, 233), c.at_97_233) << c.order;
    }
}

TEST(ComposeGames, BackgroundForms) {
    struct Case {
        const char* story;
        const char* name;  // getbgname
        Bgr at_0_0;
    } cases[] = {
        {"bg black,1\n", "black", kBlack},
        {"bg WHITE,1\n", "white", kWhite},
        {"bg \"Black\",1\n", "#000000", kBlack},
        {"bg \"white\",1\n", "#FFFFFF", kWhite},
        {"bg #112233,1\n", "#112233", Bgr{0x33, 0x22, 0x11}},
        {"bg \"#a0b0c0\",1\n", "#a0b0c0", Bgr{0xc0, 0xb0, 0xa0}},
        {"mov $5,\"white\"\nbg $5,1\n", "#FFFFFF", kWhite},
        {"bg \"full.bmp\",1\n", "full.bmp", Bgr{0, 0, 7}},
        {"bg \"small.bmp\",1\n", "small.bmp", kBlack},
    };
    for (const Case& c : cases) {
        FramedRun r = Play("", std::string(c.story) + "getbgname $0\nif $0 != \"" + c.name +
                                   "\" fail_name\n");
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(0, 0), c.at_0_0) << c.story;
    }
    // A smaller picture is centred on black: 160 x 120 at (80, 60).
    FramedRun r = Play("", "bg \"small.bmp\",1\n");
    EXPECT_EQ(r.frame.At(79, 60), kBlack);
    EXPECT_EQ(r.frame.At(80, 59), kBlack);
    EXPECT_EQ(r.frame.At(80, 60), (Bgr{0, 0, 9}));
    EXPECT_EQ(r.frame.At(239, 179), (Bgr{159, 119, 9}));
    EXPECT_EQ(r.frame.At(240, 179), kBlack);
    // bg clears the standing pictures.
    r = Play("", "bg white,1\nld l,\":c;red.bmp\",1\nbg white,1\n");
    EXPECT_EQ(r.frame.At(80, 235), kWhite);
}

TEST(ComposeGames, BgAlia) {
    // The background's top-left 50 x 40 shown at (10, 20), the rest black.
    FramedRun r = Play("bgalia 10,20,50,40\n", "bg \"full.bmp\",1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(10, 20), (Bgr{0, 0, 7}));
    EXPECT_EQ(r.frame.At(59, 59), (Bgr{49, 39, 7}));
    EXPECT_EQ(r.frame.At(9, 20), kBlack);
    EXPECT_EQ(r.frame.At(60, 20), kBlack);
    EXPECT_EQ(r.frame.At(10, 60), kBlack);
    EXPECT_EQ(r.frame.At(300, 200), kBlack);
    // A colour fills the surface made at the bgalia size.
    r = Play("bgalia 10,20,50,40\n", "bg white,1\n");
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(59, 59), kWhite);
    EXPECT_EQ(r.frame.At(60, 59), kBlack);
    // Sizes that leave nothing to copy draw black and nothing else.
    for (const char* alia : {"bgalia 10,20,-5,-5\n", "bgalia 400,300,50,40\n", "bgalia 0,0,0,0\n"}) {
        r = Play(alia, "bg white,1\n");
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(10, 20), kBlack) << alia;
    }
}

TEST(ComposeGames, PrintAndRepaint) {
    // print 0 shows nothing; the in-place form and repaint show at once.
    FramedRun r = Play("", "bg white,1\nlsp 1,\":c;red.bmp\",0,0\nprint 0\n");
    EXPECT_EQ(r.frame.At(0, 0), kWhite);
    // (print 99 runs a plug-in: tests/plugins.)
    for (const char* show : {"print 1\n", "print 10,500\n", "repaint\n"}) {
        r = Play("", std::string("bg white,1\nlsp 1,\":c;red.bmp\",0,0\n") + show);
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(0, 0), kRed) << show;
    }
}

TEST(ComposeGames, ErrorTexts) {
    struct Case {
        const char* story;
        const char* box;
    } cases[] = {
        {"getbgname 1", "構文エラー: getbgnameの第一引数は文字変数です。"},
        {"getbgname %1", "構文エラー: getbgnameの第一引数は文字変数です。"},
        {"getbgname $99999", "エラー: 文字列変数番号が範囲外です。"},
        {"print 7", "エラー: 未定義のエフェクトを使いました"},
        {"print 300", "エラー: 未定義のエフェクトを使いました"},
        {"print -4", "エラー: 未定義のエフェクトを使いました"},
        {"print -1,100", "エラー: 未定義のエフェクトを使いました"},
        {"print 15,100", "エラー: エフェクトの三番目の画像指定がありません。"},
        {"print 18,100,\"\"", "エラー: エフェクトの三番目の画像指定がありません。"},
        {"print 50,100", "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。"},
        {"bg white,7", "エラー: 未定義のエフェクトを使いました"},
        {"ld l,\"red.bmp\",9", "エラー: 未定義のエフェクトを使いました"},
    };
    for (const Case& c : cases) {
        FramedRun r = Play("", std::string(c.story) + "\n");
        EXPECT_EQ(FirstBox(r.run), c.box) << c.story;
    }
}

// In-process: the tables set by hand on a 64 x 48 screen.
class ComposeTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        ScreenWidth = 64, ScreenHeight = 48;
        RebuildScreenSurfaces();
        ResetGraphicsState();
        HumanZ = 499;
        NotEraseHumans = 0;
        BgAlia = BgAliaSetting();
        EffectOperandActive = 0;
        WindowBackOn = BrinMode = WindowEraseActive = 0;
        FillSurfaceRect(&BgSurface, 0, 0, 64, 48, 0xFFFFFF);
    }
    void TearDown() override {
        for (Sprite& s : Sprites) ReleaseSurface(&s.surface);
        for (Sprite2& s : Sprites2) ReleaseSurface(&s.surface);
        for (Human& h : Humans) ReleaseSurface(&h.surface);
        for (LayerSlot& l : LayerSlots) l = LayerSlot();
        ScreenWidth = 640, ScreenHeight = 480;
        RebuildScreenSurfaces();
    }
    static void Place(int n, int x, int y, int w, int h, Bgr c) {
        Sprite& s = Sprites[n];
        Fill24(&s.surface, w, h, c);
        s.surface.transMode = TransCopy;
        strcpy(s.tag.Edit(), "pic");
        s.x = x, s.y = y, s.visible = 1;
    }
    static void PlaceHuman(int i, int x, int y, int w, int h, Bgr c) {
        Human& m = Humans[i];
        Fill24(&m.surface, w, h, c);
        m.surface.transMode = TransCopy;
        strcpy(m.name, "pic");
        m.x = x, m.y = y;
    }
    static Bgr At(int x, int y) { return PixelAt(SrcSurface, x, y); }
};

TEST_F(ComposeTest, OnlyTheDirtyRectangleIsRedrawn) {
    Place(1, 0, 0, 8, 8, kRed);
    Place(2, 30, 30, 8, 8, kGreen);
    ComposeScreen(nullptr);
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(30, 30), kGreen);
    // Sprite 2 moves without marking; sprite 1 changes colour and is marked.
    Sprites[2].x = 40, Sprites[2].y = 10;
    Fill24(&Sprites[1].surface, 8, 8, kBlue);
    ClearDirtyRect();
    MarkSpriteDirty(1);
    EXPECT_EQ(DirtyRect.right, 9);
    EXPECT_EQ(DirtyRect.bottom, 9);
    ComposeScreen(&DirtyRect);
    EXPECT_EQ(At(7, 7), kBlue);
    EXPECT_EQ(At(30, 30), kGreen);  // stale: outside the rectangle
    EXPECT_EQ(At(40, 10), kWhite);  // not drawn yet
    // The rectangle's right and bottom are redrawn one further.
    EXPECT_EQ(At(10, 10), kWhite);
}

TEST_F(ComposeTest, EmptyRectangleRedrawsTwoByTwoAtTheOrigin) {
    FillSurfaceRect(&SrcSurface, 0, 0, 64, 48, 0x808080);
    ClearDirtyRect();
    ComposeScreen(&DirtyRect);
    EXPECT_EQ(At(0, 0), kWhite);
    EXPECT_EQ(At(1, 1), kWhite);
    EXPECT_EQ(At(2, 0), kGrey);
    EXPECT_EQ(At(0, 2), kGrey);
}

TEST_F(ComposeTest, BackgroundCoverTest) {
    struct Case {
        const char* name;
        int x, y, w, h, alpha, mode;
        bool human;
        Bgr expected;  // under a sprite hidden by allsphide: grey = background skipped
    } cases[] = {
        {"alpha 255 covers", 0, 0, 64, 48, 255, TransCopy, false, kGrey},
        {"alpha -1 does not", 0, 0, 64, 48, -1, TransCopy, false, kWhite},
        {"beyond the edges covers", -5, -5, 80, 60, 255, TransCopy, false, kGrey},
        {"short of the right edge", 1, 0, 62, 48, 255, TransCopy, false, kWhite},
        {"not copy mode", 0, 0, 64, 48, 255, TransLeftUp, false, kWhite},
        {"a standing picture covers", 0, 0, 64, 48, -1, TransCopy, true, kGrey},
    };
    for (const Case& c : cases) {
        SetUp();
        if (c.human) {
            PlaceHuman(1, c.x, c.y, c.w, c.h, kRed);
        } else {
            Place(3, c.x, c.y, c.w, c.h, kRed);
            Sprites[3].surface.transMode = c.mode;
            Sprites[3].surface.alpha = c.alpha;
        }
        AllSpritesHidden = 1;  // the test ignores hiding; nothing else is drawn
        FillSurfaceRect(&SrcSurface, 0, 0, 64, 48, 0x808080);
        ComposeScreen(nullptr);
        EXPECT_EQ(At(32, 24), c.expected) << c.name;
        TearDown();
    }
}

TEST_F(ComposeTest, HumanZBoundaries) {
    PlaceHuman(0, 0, 0, 8, 8, kGreen);
    Place(0, 4, 4, 8, 8, kRed);
    Place(999, 4, 4, 2, 2, kBlue);
    HumanZ = -1;  // every sprite behind the standing pictures
    ComposeScreen(nullptr);
    EXPECT_EQ(At(5, 5), kGreen);
    EXPECT_EQ(At(9, 9), kRed);
    HumanZ = 0;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(5, 5), kRed);
    HumanZ = 999;  // every sprite in front, 999 under 0
    ComposeScreen(nullptr);
    EXPECT_EQ(At(5, 5), kRed);
    Sprites[0].visible = 0;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(5, 5), kBlue);
}

TEST_F(ComposeTest, WindowBackPutsRotatedSpritesUnderTheFrontSprites) {
    Place(0, 0, 0, 8, 8, kRed);
    Fill24(&Sprites2[0].surface, 4, 4, kBlue);
    Sprites2[0].surface.transMode = TransCopy;
    strcpy(Sprites2[0].tag.Edit(), "pic");
    Sprites2[0].cx = 4, Sprites2[0].cy = 4, Sprites2[0].xscale = Sprites2[0].yscale = 100;
    Sprites2[0].visible = 1;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(4, 4), kBlue);
    WindowBackOn = 1;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(4, 4), kRed);
}

TEST_F(ComposeTest, SystemMenuSpritesSkippedWhileTheWindowIsErased) {
    Place(9, 0, 0, 4, 4, kRed);
    Place(10, 4, 0, 4, 4, kRed);
    BrinMode = WindowEraseActive = 1;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(1, 1), kWhite);
    EXPECT_EQ(At(5, 1), kRed);
    BrinMode = 0;
    ComposeScreen(nullptr);
    EXPECT_EQ(At(1, 1), kRed);
}

int32_t g_layerArea[4];
int g_layerCalls;
void LayerDraw(uint8_t*, int32_t* area) {
    memcpy(g_layerArea, area, sizeof g_layerArea);
    g_layerCalls++;
}

TEST_F(ComposeTest, LayerSprites) {
    LayerSlots[3].Draw = LayerDraw;
    std::string text;
    UseScriptText(&text, "5,\"*3\"\n");
    ClearDirtyRect();
    Cmd_lsp();  // no position is read; the whole screen is marked
    EXPECT_EQ(ScriptBuffer[ReadPosition], '\n');
    EXPECT_EQ(DirtyRect.left, 0);
    EXPECT_EQ(DirtyRect.right, 63);
    EXPECT_EQ(DirtyRect.bottom, 47);
    ForgetScriptText();
    g_layerCalls = 0;
    ScreenRect r{2, 3, 10, 12};
    ComposeScreen(&r);
    ASSERT_EQ(g_layerCalls, 1);
    EXPECT_EQ(g_layerArea[0], 2);
    EXPECT_EQ(g_layerArea[1], 3);
    EXPECT_EQ(g_layerArea[2], 11);
    EXPECT_EQ(g_layerArea[3], 13);
    // Inclusive and held to the screen at its edges and for the whole screen.
    ScreenRect edge{60, 40, 63, 47};
    const ScreenRect* rects[] = {&edge, nullptr};
    for (const ScreenRect* rect : rects) {
        ComposeScreen(rect);
        EXPECT_EQ(g_layerArea[0], rect ? 60 : 0);
        EXPECT_EQ(g_layerArea[1], rect ? 40 : 0);
        EXPECT_EQ(g_layerArea[2], 63);
        EXPECT_EQ(g_layerArea[3], 47);
    }
    // Suppressed while an effect operand runs; unknown slots draw nothing.
    LayerSlots[3].suppressed = 1;
    EffectOperandActive = 1;
    g_layerCalls = 1;
    ComposeScreen(&r);
    EXPECT_EQ(g_layerCalls, 1);
    strcpy(Sprites[5].tag.Edit(), "*77");
    EffectOperandActive = 0;
    ComposeScreen(&r);
    EXPECT_EQ(g_layerCalls, 1);
}

TEST(DirtyMarking, RectanglesOfTheTables) {
    ScreenWidth = 640, ScreenHeight = 480;
    // 100 x 100 at 200 %: half side trunc(sqrt(200^2 + 200^2) + 1) / 2 = 141.
    Sprite2& s = Sprites2[7];
    ASSERT_TRUE(CreateSurface(&s.surface, 100, 100));
    s.cx = 300, s.cy = 200, s.xscale = s.yscale = 200;
    ClearDirtyRect();
    MarkSprite2Dirty(7);
    EXPECT_EQ(DirtyRect.left, 159);
    EXPECT_EQ(DirtyRect.right, 441);
    EXPECT_EQ(DirtyRect.top, 59);
    EXPECT_EQ(DirtyRect.bottom, 341);
    ReleaseSurface(&s.surface);
    // Growing, then clamping to the screen.
    ClearDirtyRect();
    AddDirtyRect(10, 20, 30, 40);
    AddDirtyRect(-5, 15, 35, 900);
    EXPECT_EQ(DirtyRect.left, 0);
    EXPECT_EQ(DirtyRect.right, 20);
    EXPECT_EQ(DirtyRect.top, 30);
    EXPECT_EQ(DirtyRect.bottom, 479);
    ClearDirtyRect();
}

}  // namespace
