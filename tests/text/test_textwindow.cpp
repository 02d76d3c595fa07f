// The text window's commands played in tiny games and read back from the
// last frame: the tint, the window picture and its rectangle, showing and
// hiding (texton, textoff, texthide, textshow, textmode), erasetextwindow
// against a sprite change, window chips, and the fatal texts; the face and
// colour commands in-process.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/graphics/compose_fixture.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "text/font_commands.h"
#include "text/textwindow_commands.h"
#include "text/glyph.h"
#include "text/textline.h"
#include "text/textwindow.h"

namespace {

// The window: 100,100 .. 200,150 tinted 0x808080, over a white background.
const std::string kWindow = "setwindow 10,10,20,10,24,24,0,2,0,1,1,#808080,100,100,200,150\n";
const std::string kStart = "*define\ngame\n*start\nbg white,1\n";
const Bgr kTinted{128, 128, 128};

FramedRun Play(const std::string& story, const std::vector<std::pair<std::string, std::string>>& files = {}) {
    return PlayFramed(kStart + story + "end\n", files);
}

TEST(TextWindowTest, TintMultipliesTheBackgroundWithinTheRectangle) {
    struct Case {
        const char* colour;
        Bgr inside;
    };
    const Case cases[] = {
        {"#808080", kTinted}, {"#ffffff", kWhite}, {"#000000", kBlack}, {"#ff8000", {0, 128, 255}},
        {"\"#808080\"", kTinted},  // a string operand starting with '#'
    };
    for (const Case& c : cases) {
        FramedRun r = Play("setwindow 10,10,20,10,24,24,0,2,0,1,1," + std::string(c.colour) +
                           ",100,100,200,150\ntexton\n");
        ExpectQuiet(r.run);
        ASSERT_EQ(r.frame.w, 640) << c.colour;
        EXPECT_EQ(r.frame.At(100, 100), c.inside) << c.colour;
        EXPECT_EQ(r.frame.At(200, 150), c.inside) << c.colour;
        EXPECT_EQ(r.frame.At(99, 100), kWhite) << c.colour;
        EXPECT_EQ(r.frame.At(201, 150), kWhite) << c.colour;
        EXPECT_EQ(r.frame.At(150, 151), kWhite) << c.colour;
    }
}

TEST(TextWindowTest, ShowingAndHidingTheWindow) {
    struct Case {
        const char* name;
        std::string story;
        Bgr inside;
    };
    const Case cases[] = {
        {"set up only: not shown", kWindow, kWhite},
        {"texton", kWindow + "texton\n", kTinted},
        {"textoff", kWindow + "texton\ntextoff\n", kWhite},
        {"texthide keeps the tint", kWindow + "texton\ntexthide\n", kTinted},
        {"textshow", kWindow + "texton\ntexthide\ntextshow\n", kTinted},
        {"textmode 0 takes it off", kWindow + "texton\ntextmode 0\n", kWhite},
        {"textmode 0 composes none", kWindow + "texton\ntextmode 0\ntexton\n", kWhite},
        {"a sprite change hides it", kWindow + "texton\nlsp 5,\":c;red.bmp\",0,0\nprint 1\n", kWhite},
        {"erasetextwindow 0 keeps it", kWindow + "texton\nerasetextwindow 0\nlsp 5,\":c;red.bmp\",0,0\nprint 1\n",
         kTinted},
        {"textoff still removes it", kWindow + "texton\nerasetextwindow 0\ntextoff\n", kWhite},
        {"setwindow takes it off", kWindow + "texton\n" + kWindow, kWhite},
        {"textclear redraws it", kWindow + "texton\ntextclear\n", kTinted},
        {"setwindow2 redraws with a new tint", kWindow + "setwindow2 #000000\n", kBlack},
        {"windoweffect before texton", kWindow + "windoweffect 10,100\ntexton\n", kTinted},
    };
    for (const Case& c : cases) {
        FramedRun r = Play(c.story, {{"red.bmp", SolidBmp(4, 4, kRed)}});
        ExpectQuiet(r.run);
        ASSERT_EQ(r.frame.w, 640) << c.name;
        EXPECT_EQ(r.frame.At(150, 120), c.inside) << c.name;
    }
}

TEST(TextWindowTest, WindowPictureSetsTheRectangle) {
    auto grey = SolidBmp(30, 20, {50, 60, 70});
    auto big = SolidBmp(60, 40, {1, 2, 3});
    FramedRun r = Play("setwindow 10,10,20,10,24,24,0,2,0,1,1,\":c;win.bmp\",100,100\ntexton\n",
                       {{"win.bmp", grey}});
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(100, 100), (Bgr{50, 60, 70}));
    EXPECT_EQ(r.frame.At(129, 119), (Bgr{50, 60, 70}));
    EXPECT_EQ(r.frame.At(130, 119), kWhite);
    EXPECT_EQ(r.frame.At(129, 120), kWhite);
    // setwindow2 with a larger picture keeps the rectangle of the first.
    r = Play("setwindow 10,10,20,10,24,24,0,2,0,1,1,\":c;win.bmp\",100,100\ntexton\nsetwindow2 \":c;big.bmp\"\n",
             {{"win.bmp", grey}, {"big.bmp", big}});
    ExpectQuiet(r.run);
    EXPECT_EQ(r.frame.At(129, 119), (Bgr{1, 2, 3}));
    EXPECT_EQ(r.frame.At(140, 110), kWhite);
}

// spreload -1 reads the window picture's file again: here a screenshot of a
// red screen replaced by one of a green screen.
TEST(TextWindowTest, SpreloadReadsTheWindowPictureAgain) {
    const std::string shot = "getscreenshot 30,20\nsavescreenshot \"win.bmp\"\n";
    for (bool reload : {true, false}) {
        FramedRun r = Play("bg \"#ff0000\",1\n" + shot +
                           "setwindow 10,10,20,10,24,24,0,2,0,1,1,\":c;win.bmp\",100,100\ntexton\n"
                           "bg \"#00ff00\",1\n" + shot + (reload ? "spreload -1\n" : "") + "texton\n");
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(110, 110), reload ? kGreen : kRed) << reload;
    }
    // With a tinted window there is nothing to read.
    ExpectQuiet(Play("spreload -1\n").run);
}

// A chip inside the window: textoff's hide recomposes it away, texton's
// recomposition brings it back under the window's tint.
TEST(TextWindowTest, WindowChipsFollowTextoffAndTexton) {
    const std::string define = "*define\nwindowchip 7\nwindowchip 2000\ngame\n*start\nbg white,1\n";
    const std::string chip = kWindow + "texton\nerasetextwindow 0\nlsp 7,\":c;red.bmp\",120,120\nprint 1\n";
    struct Case {
        const char* name;
        std::string story;
        Bgr at;
    };
    const Case cases[] = {
        {"shown", chip, {0, 0, 128}},
        {"textoff hides", chip + "textoff\n", kWhite},
        {"texton shows", chip + "textoff\ntexton\n", {0, 0, 128}},
    };
    for (const Case& c : cases) {
        FramedRun r = PlayFramed(define + c.story + "end\n", {{"red.bmp", SolidBmp(4, 4, kRed)}});
        ExpectQuiet(r.run);
        EXPECT_EQ(r.frame.At(121, 121), c.at) << c.name;
    }
}

TEST(TextWindowTest, FatalTexts) {
    struct Case {
        std::string story;
        const char* box;
    };
    const Case cases[] = {
        {"setwindow 10,10,-1,10,24,24,0,2,0,1,1,#808080,0,0,639,479\n",
         "エラー: setwindowの縦横文字数指定が間違っています。"},
        {"setwindow3 10,10,20,-3,24,24,0,2,0,1,1,#808080,0,0,639,479\n",
         "エラー: setwindowの縦横文字数指定が間違っています。"},
        {"setcolor 256,#ffffff\n", "エラー: setcolorの番号は0-255です"},
        {"setcolor -1,#ffffff\n", "エラー: setcolorの番号は0-255です"},
    };
    for (const Case& c : cases) {
        FramedRun r = Play(c.story);
        EXPECT_EQ(r.run.status, 1) << c.story;
        EXPECT_EQ(FirstBox(r.run), c.box) << c.story;
    }
    FramedRun ok = Play("setcolor 255,#123456\nsetcolor 0,#ffffff\n");
    ExpectQuiet(ok.run);
}

// Commands read in-process from a script text.
class FontCommandTest : public ::testing::Test {
protected:
    void SetUp() override { StartHeadlessForTests(); }
    void TearDown() override { ForgetScriptText(); }
    void Run(void (*cmd)(), const std::string& operands) {
        UseScriptText(&text_, operands);
        cmd();
    }
    std::string text_;
};

TEST_F(FontCommandTest, FaceNamesAreCutToTheirFieldsOnACharacterBoundary) {
    std::string longName = "\"" + std::string(254, 'a') + Cp932("明朝") + "\"";
    Run(Cmd_setfont, longName);
    EXPECT_EQ(strlen(SelectedFont), 254u);  // the half character is dropped
    Run(Cmd_font, "\"" + Cp932("ＭＳ 明朝") + "\"");
    EXPECT_EQ(SelectedFont, Cp932("ＭＳ 明朝"));
    Run(Cmd_defaultfont, "\"" + std::string(400, 'b') + "\"");
    EXPECT_EQ(strlen(DefaultFont), 255u);
}

TEST_F(FontCommandTest, ColoursDistanceShadowMojitypeAndTateyoko) {
    Run(Cmd_textcolor, "  #102030");
    EXPECT_EQ(TextColorRed, 0x10);
    EXPECT_EQ(TextColorGreen, 0x20);
    EXPECT_EQ(TextColorBlue, 0x30);
    Run(Cmd_setcolor, "5,#abcdef");
    EXPECT_EQ(TextColorTable[5], 0xABCDEFu);
    Run(Cmd_shadedistance, "3,-2");
    EXPECT_EQ(ShadeDistanceOn, 1);
    EXPECT_EQ(ShadeDistanceX, 3);
    EXPECT_EQ(ShadeDistanceY, -2);
    ShadeDistanceOn = 0;
    Run(Cmd_mojitype, "2");
    EXPECT_EQ(MojiType, 2);
    MojiType = 0;
    // tateyoko mid-page waits for the next page; at 0,0 it is at once.
    VerticalText = 0;
    TextCursorColumn = 3;
    Run(Cmd_tateyoko, "1");
    EXPECT_EQ(VerticalText, 0);
    EXPECT_EQ(VerticalTextNext, 1);
    TextCursorColumn = 0;
    TextCursorLine = 0;
    Run(Cmd_tateyoko, "1");
    EXPECT_EQ(VerticalText, 1);
    Run(Cmd_tateyoko, "0");
    EXPECT_EQ(VerticalText, 0);
    // dllfont: an empty name changes nothing; a missing library binds null.
    FontPlugin = nullptr;
    Run(Cmd_dllfont, "\"\"");
    EXPECT_EQ(FontPlugin, nullptr);
}

// dllfont binds the "Font" entry of "x.dll" loaded as "x.so" from the game
// folder; a library without it, or none at all, leaves no plug-in.
TEST_F(FontCommandTest, DllfontBindsTheFontEntry) {
    std::string old = PlatGameDir();
    std::string dir = MakeGameFolder();
    std::ifstream in(FONT_TEST_PLUGIN, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    WriteGameFile(dir, "glyphs.so", bytes);
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    FontPlugin = nullptr;
    Run(Cmd_dllfont, "\"nothere.dll\"");
    EXPECT_EQ(FontPlugin, nullptr);
    Run(Cmd_dllfont, "\"glyphs.dll\"");
    ASSERT_NE(FontPlugin, nullptr);
    uint8_t pixels[4 * 6] = {};
    FontPlugin("AB", pixels, 3, 2, 10, 20, 30, "Face");
    EXPECT_EQ(pixels[0], 200);
    EXPECT_EQ(pixels[1], 'A');
    EXPECT_EQ(pixels[2], 'F');
    EXPECT_EQ(pixels[20], 200);
    EXPECT_EQ(pixels[21], 10);
    EXPECT_EQ(pixels[23], 30);
    FontPlugin = nullptr;
    PlatSetGameDir(old.c_str());
}

// windowchip keeps at most the table's room; textoff and texton pass over
// numbers that are no sprite.
TEST_F(FontCommandTest, WindowChipsAreBounded) {
    WindowChipCount = 0;
    for (int i = 0; i < WindowChipLimit + 5; i++) Run(Cmd_windowchip, std::to_string(i % 3 ? 5000 : -7));
    EXPECT_EQ(WindowChipCount, WindowChipLimit);
    WindowChipCount = 0;
}

}  // namespace
