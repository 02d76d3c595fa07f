// The pieces of the text display inside the test program: the line-break
// rule, the ruby layout arithmetic (its vertical step never divides by
// zero), the text buttons a text records, '&' past the colour table, the
// backlog page bound, and the ruby drawn at the top of the screen clipped
// to it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/screen.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "text/backlog.h"
#include "text/clickwait.h"
#include "ui/input_state.h"
#include "text/display.h"
#include "text/glyph.h"
#include "text/kinsoku.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"

namespace {

unsigned short Ch(const char* utf8) {
    std::string s = Cp932(utf8);
    return (unsigned short)((unsigned char)s[0] << 8 | (unsigned char)s[1]);
}

TEST(Kinsoku, CharactersKeptTogether) {
    SetDefaultKinsokuLists();
    KinsokuOff = 0;
    struct Case {
        std::vector<const char*> chars;
        int keep;
    } cases[] = {
        {{"い", "う"}, 0},
        {{"い", "。"}, 1},           // "。" may not begin a line
        {{"「", "い"}, 1},           // "「" may not end a line
        {{"「", "「", "い"}, 2},
        {{"い", "。", "」", "う"}, 2},  // "。" and "」" may not begin a line
        {{"。"}, 0},                 // fewer than two left
        {{}, 0},
    };
    for (const Case& c : cases) {
        std::vector<unsigned short> v;
        for (const char* s : c.chars) v.push_back(Ch(s));
        EXPECT_EQ(KinsokuKeep(v.data(), (int)v.size()), c.keep) << c.chars.size();
    }
    KinsokuOff = 1;
    unsigned short two[] = {Ch("い"), Ch("。")};
    EXPECT_EQ(KinsokuKeep(two, 2), 0);
    KinsokuOff = 0;
}

TEST(Kinsoku, ListsAreBounded) {
    char list[KinsokuListSize] = "";
    std::string full(KinsokuListSize - 2, 'a');
    EXPECT_TRUE(SetKinsokuList(list, full.c_str(), false));
    EXPECT_FALSE(SetKinsokuList(list, "ab", true));
    EXPECT_EQ(strlen(list), full.size());
    // An odd byte at the end is no character and is dropped.
    EXPECT_TRUE(SetKinsokuList(list, "abc", false));
    EXPECT_STREQ(list, "ab");
}

TEST(RubyLayout, ExcessAndSpacing) {
    // One base character of 26 with three ruby characters of 13: 13 more.
    EXPECT_EQ(RubyExcess(1, 3, 13, 13, 26, 26, false), 13);
    EXPECT_EQ(RubyExcess(1, 5, 13, 13, 26, 26, false), 39);
    EXPECT_EQ(RubyExcess(2, 3, 13, 13, 26, 26, false), 0);
    EXPECT_EQ(RubyExcess(1, 3, 13, 13, 26, 26, true), 13);
    struct Case {
        int extent, len, rw, rh;
        bool vertical;
        int step, offset;
    } cases[] = {
        {39, 6, 13, 13, false, 11, 0},   // 2 * 39 / 7 = 11 < 13: no offset
        {52, 2, 13, 13, false, 34, 10},  // one character over two: centred
        {26, 4, 13, 13, true, 13, 0},    // 26 / 2 / 2 = 6, raised to 13
        {104, 4, 13, 13, true, 26, 6},
        {26, 1, 13, 13, true, 13, 0},    // a lone byte: no division by zero
        {26, 0, 13, 13, true, 13, 0},
        {26, 0, 13, 13, false, 52, 19},
    };
    for (const Case& c : cases) {
        int32_t g, o;
        RubySpacing(c.extent, c.len, c.rw, c.rh, c.vertical, &g, &o);
        EXPECT_EQ(g, c.step) << c.extent << " " << c.len;
        EXPECT_EQ(o, c.offset) << c.extent << " " << c.len;
    }
}

// DisplayText in the program on a 640 x 480 screen, instant.
class DisplayParts : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_w_ = ScreenWidth;
        saved_h_ = ScreenHeight;
        saved_v_ = VariableCount;
        ScreenWidth = 640;
        ScreenHeight = 480;
        VariableCount = 16;
        AllocateVariableTables(VariableCount);
        RebuildScreenSurfaces();
        delete[] GlyphLayer;
        GlyphLayer = new uint8_t[ScreenWidth * ScreenHeight]();
        RebuildTextColorSurface();
        SetDefaultKinsokuLists();
        SetDisplayPassDefaults();
        ResetTextWindow();
        ResetTextDisplay();
        ResetRuby();
        ClearBacklog();
        LookbackOn = 1;
        TextSpeed = 0;
        EnglishMode = 0;
        ClearTextPage();
    }
    void TearDown() override {
        delete[] GlyphLayer;
        GlyphLayer = nullptr;
        ScreenWidth = saved_w_;
        ScreenHeight = saved_h_;
        VariableCount = saved_v_;
        ClearCapturedBoxes();
    }
    static void Show(const char* utf8) { DisplayText(Cp932(utf8).c_str()); }
    int saved_w_ = 0, saved_h_ = 0, saved_v_ = 0;
};

TEST_F(DisplayParts, TextButtonsRecorded) {
    TextButtonStart = 1;
    ClearTextPage();
    Show("あ<5いう>え<お>/");
    ASSERT_EQ(TextButtonCount, 2);
    // '<' with digits sets the number; '<' alone takes the next one, also 5.
    EXPECT_EQ(TextButtons[0].number, 5);
    EXPECT_EQ(TextButtons[1].number, 5);
    EXPECT_EQ(TextButtons[0].left, 21 + 26);
    EXPECT_EQ(TextButtons[0].right, 21 + 3 * 26 - 1);
    EXPECT_EQ(TextButtons[0].top, 16);
    EXPECT_EQ(Utf8(TextButtons[0].text), "いう");
    EXPECT_EQ(Utf8(TextButtons[1].text), "お");
    ClearTextPage();
    Show("<い><う>/");
    EXPECT_EQ(TextButtons[0].number, 1);
    EXPECT_EQ(TextButtons[1].number, 2);
    // The table holds 100; more buttons are drawn as plain text.
    ClearTextPage();
    TextButtonCount = 99;
    DisplayText("<ab><cd>/");
    EXPECT_EQ(TextButtonCount, 100);
}

TEST_F(DisplayParts, ColourIndexesPastTheTableLeaveTheColour) {
    TextColorTable[3] = 0x102030;
    Show("&3あ/");
    EXPECT_EQ(TextColorRed, 0x10);
    EXPECT_EQ(TextColorBlue, 0x30);
    Show("&256い&99999う/");
    EXPECT_EQ(TextColorRed, 0x10);
    EXPECT_EQ(TextColorGreen, 0x20);
    Show("#ff8000え/");
    EXPECT_EQ(TextColorRed, 255);
    EXPECT_EQ(TextColorGreen, 0x80);
}

TEST_F(DisplayParts, BacklogPageIsBounded) {
    for (int i = 0; i < 300; i++) {
        TextCursorColumn = TextCursorLine = 0;
        Show("あいうえおかきくけこ/");  // 20 bytes
    }
    EXPECT_EQ(strlen(BacklogPageText()), (size_t)BacklogPageSize);
    CommitBacklogPage();
    EXPECT_EQ(BacklogCommittedCount(), 1);
    EXPECT_STREQ(BacklogPageText(), "");
}

TEST_F(DisplayParts, RubyAtTheTopOfTheScreenIsClipped) {
    // Origin 2: the ruby row would start 11 pixels above the screen.
    TextOriginY = 2;
    RubyOn = 1;
    Show("(漢/かんじ)/");
    EXPECT_EQ(Utf8(BacklogPageText()), "(漢/かんじ)");
    // A ruby longer than its field is cut on a character boundary.
    std::string long_ruby = "(字/";
    for (int i = 0; i < 80; i++) long_ruby += "か";
    long_ruby += ")/";
    TextCursorColumn = TextCursorLine = 0;
    Show(long_ruby.c_str());
    EXPECT_EQ(TextCursorLine, 1);  // wrapped as a group, then widened past the line
}

TEST_F(DisplayParts, UnclosedRubyStopsAtTheEndOfTheText) {
    // No '/' and ')' after the '(': it is passed over and the rest is text.
    Show("あ(いう");
    EXPECT_EQ(LastCharColumn, 2);
    EXPECT_EQ(Utf8(BacklogPageText()), "あいう\n");
    // A '/' but no ')': the same, and the '/' is then a misplaced one.
    TextCursorColumn = TextCursorLine = 0;
    EXPECT_EQ(FatalBoxOf([] { Show("(い/う"); }, true),
              "エラー: 表示文中の、/の次は改行文字でなければなりません。");
}

// The click wait's own endings in the program, without input: auto mode
// (fixed or per character), autoclick, skip mode.
class ClickWaitAlone : public ::testing::Test {
protected:
    static intptr_t Proc(uint32_t message, uintptr_t, intptr_t) {
        LastMessage = message;
        return 0;
    }
    void SetUp() override {
        StartHeadlessForTests();
        PlatSetWindowProc(Proc);
        while (PlatGetMessage(nullptr)) {}
        AutoMode = AutoClickOn = SkipMode = ResetRequested = 0;
        WaitCursorType = 0;
    }
    void TearDown() override {
        AutoMode = AutoClickOn = SkipMode = 0;
        AutoModeWait = 1000;
        DisplayedCharCount = 0;
    }
    static uint64_t Lasts() {
        uint64_t start = HeadlessElapsed();
        ClickWait();
        return HeadlessElapsed() - start;
    }
};

TEST_F(ClickWaitAlone, AutoModeAndAutoclickEndTheWait) {
    AutoMode = 1;
    AutoModeWait = 300;
    uint64_t t = Lasts();
    EXPECT_GE(t, 300u);
    EXPECT_LE(t, 305u);
    // Negative: so many ms per character shown (40 bytes, 20 characters).
    AutoModeWait = -50;
    DisplayedCharCount = 20;
    t = Lasts();
    EXPECT_GE(t, 1000u);
    EXPECT_LE(t, 1005u);
    AutoMode = 0;
    AutoClickOn = 1;
    AutoClickTime = 250;
    t = Lasts();
    EXPECT_GE(t, 250u);
    EXPECT_LE(t, 255u);
    AutoClickOn = 0;
    SkipMode = 1;
    EXPECT_LE(Lasts(), 2u);
}

}  // namespace
