// The button commands' operand errors, the table limits and the
// extended-button string interpreter run in the program itself: every
// fatal text, the 511 / 512 and 256 / 257 limits, which sprites an item
// marks dirty, and strings that end in the middle of an item.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/script.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/sprite.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/bsp.h"
#include "ui/bsp_commands.h"
#include "ui/button_commands.h"
#include "ui/buttons.h"
#include "ui/exbtn.h"
#include "ui/exbtn_commands.h"

namespace {

class ButtonsInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_v_ = VariableCount;
        VariableCount = 16;
        AllocateVariableTables(VariableCount);
        ClearButtons();
        ResetButtonSwitches();
        ClearButtonDefs();
        for (int n : {3, 4, 10, 11, 12}) Loaded(n, 2);
        ClearDirtyRect();
    }
    void TearDown() override {
        for (int n : {3, 4, 10, 11, 12}) {
            DestroySurface(&Sprites[n].surface);
            Sprites[n] = Sprite();
        }
        ClearButtons();
        ClearButtonDefs();
        ForgetScriptText();
        VariableCount = saved_v_;
        ClearCapturedBoxes();
    }
    // Sprite n: a picture of `cells` 8 x 8 cells at (8n, 0), hidden, cell 0.
    static void Loaded(int n, int cells) {
        Sprite& s = Sprites[n];
        snprintf(s.tag.Edit(), sizeof s.tag, "s%d.bmp", n);
        ASSERT_TRUE(CreateSurface(&s.surface, 8 * cells, 8));
        s.surface.cellCount = cells;
        s.x = 8 * n;
        s.y = 0;
        s.visible = 0;
    }
    // Runs a command on operands given in UTF-8 and returns its fatal box.
    std::string Fatal(void (*cmd)(), const std::string& operands) {
        UseScriptText(&script_, Cp932(operands));
        return FatalBoxOf([&] { cmd(); }, true);
    }
    static bool DirtyEmpty() {
        return !DirtyRect.left && !DirtyRect.top && !DirtyRect.right && !DirtyRect.bottom;
    }
    std::string script_;
    int saved_v_ = 0;
};

TEST_F(ButtonsInProcess, OperandErrors) {
    struct Case {
        void (*cmd)();
        const char* operands;
        const char* box;
    } cases[] = {
        {Cmd_btnwait, "$0", "構文エラー: btnwaitの第一引数は数字変数です。"},
        {Cmd_btnwait2, "1", "構文エラー: btnwait2の第一引数は数字変数です。"},
        {Cmd_textbtnwait, "$0", "構文エラー: textbtnwaitの第一引数は数字変数です。"},
        {Cmd_selectbtnwait, "$0", "構文エラー: selectbtnwaitの第一引数は数字変数です。"},
        {Cmd_getbtntimer, "$0", "構文エラー: getbtntimerの第一引数は数字変数です。"},
        {Cmd_tbtnwait, "$0", "構文エラー: tbtnwaitの第一引数は数字変数です。"},
        {Cmd_isdown, "$0", "構文エラー: isdownの引数は数字変数です。"},
        {Cmd_getbtntimer, "%16", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_spbtn, "1000,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_spbtn2, "-1,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_cellcheckspbtn, "1000,1", "エラー: スプライト番号が範囲外です。"},
        {Cmd_exbtn, "1000,1,\"\"", "エラー: スプライト番号が範囲外です。"},
        {Cmd_cellcheckexbtn, "-5,1,\"\"", "エラー: スプライト番号が範囲外です。"},
        {Cmd_bsp, "1000", "エラー: スプライト番号が範囲外です。"},
        {Cmd_bexec, "1", "構文エラー: bexecの引数は文字変数か数値変数です。"},
        {Cmd_bexec, "$0,?0", "構文エラー: bexecの引数は文字変数か数値変数です。"},
        {Cmd_bexec, "%16", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_bexec, "$0,$16", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (const Case& c : cases) EXPECT_EQ(Fatal(c.cmd, c.operands), c.box) << c.operands;
}

TEST_F(ButtonsInProcess, TableLimits) {
    for (int i = 0; i < ButtonLimit; i++) AddButton(i, 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(Buttons.count, 511);
    // the 512th is stored, then the game ends
    EXPECT_EQ(FatalBoxOf([] { AddButton(999, 0, 0, 1, 1, 0, 0); }, true),
              "エラー: ボタン定義がオーバーフローしました。btndef命令は適切に使われていますか？");
    EXPECT_EQ(Buttons.number[511], 999);
    // nothing is ever written past the 512 slots
    EXPECT_EQ(FatalBoxOf([] { AddSpriteButton(3, 1, "P3"); }, true),
              "エラー: ボタン定義がオーバーフローしました。btndef命令は適切に使われていますか？");
    EXPECT_EQ(Buttons.count, 512);
    // btncancel beyond the count empties the table instead of going negative
    UseScriptText(&script_, "600");
    Cmd_btncancel();
    EXPECT_EQ(Buttons.count, 0);

    for (int i = 0; i < ButtonDefLimit; i++) AddButtonDef(3, "", "", "");
    EXPECT_EQ(FatalBoxOf([] { AddButtonDef(3, "", "", ""); }, true), "エラー: ボタンが多すぎます。");
    EXPECT_EQ(ButtonDefCount, 256);
}

TEST_F(ButtonsInProcess, SpriteButtonsNeedPictures) {
    Loaded(4, 1);  // one cell
    UseScriptText(&script_, "5,1");
    Cmd_spbtn();  // no picture: nothing
    UseScriptText(&script_, "4,2");
    Cmd_cellcheckspbtn();  // one cell: nothing
    UseScriptText(&script_, "3,3");
    Cmd_cellcheckspbtn();
    UseScriptText(&script_, "5,7");
    Cmd_spbtn2();  // appended without the test
    UseScriptText(&script_, "4,7");
    Cmd_spbtn2();  // overwrites number 7 in place
    ASSERT_EQ(Buttons.count, 2);
    EXPECT_EQ(Buttons.number[0], 3);
    EXPECT_EQ(Buttons.spriteLink[0], -4);
    EXPECT_EQ(Buttons.width[0], 8);
    EXPECT_EQ(Buttons.right[0], 24 + 7);
    EXPECT_EQ(Buttons.spriteLink[1], -5);
    EXPECT_EQ(Buttons.left[1], 32);
    UseScriptText(&script_, "10,9,\"P10\"");
    Cmd_exbtn();
    EXPECT_EQ(Buttons.spriteLink[2], -1010);
    EXPECT_EQ(ButtonKindOf(2), ExtendedButton);
    EXPECT_STREQ(StringText(Buttons.exbtn[2]), "P10");
    // delbtn keeps the entry but no point answers for it
    EXPECT_EQ(FindHoveredButton(82, 2, 0), 2);
    UseScriptText(&script_, "9");
    Cmd_delbtn();
    EXPECT_EQ(Buttons.left[2], 999);
    EXPECT_EQ(FindHoveredButton(82, 2, 0), -1);
    EXPECT_EQ(FindHoveredButton(999, 2, 0), -1);
}

TEST_F(ButtonsInProcess, BspDefaultStrings) {
    Loaded(4, 3);
    UseScriptText(&script_, "3");
    Cmd_bsp();
    UseScriptText(&script_, "4");
    Cmd_bsp();
    UseScriptText(&script_, "5");
    Cmd_bsp();  // no picture: nothing
    UseScriptText(&script_, "10,\"C1\",\"C2\",\"C3\"");
    Cmd_bsp();
    ASSERT_EQ(ButtonDefCount, 3);
    EXPECT_STREQ(StringText(ButtonDefs[0].normal), "P3,0");
    EXPECT_STREQ(StringText(ButtonDefs[0].hover), "P3,1");
    EXPECT_STREQ(StringText(ButtonDefs[0].click), "");
    EXPECT_STREQ(StringText(ButtonDefs[1].click), "P4,2");
    EXPECT_STREQ(StringText(ButtonDefs[2].hover), "C2");
    // right and bottom edges are outside; the last definition wins
    EXPECT_EQ(FindButtonDefAt(24, 0), 0);
    EXPECT_EQ(FindButtonDefAt(31, 7), 0);
    EXPECT_EQ(FindButtonDefAt(32, 7), 1);
    EXPECT_EQ(FindButtonDefAt(31, 8), -1);
    EXPECT_EQ(FindButtonDefAt(-1, -1), -1);
    UseScriptText(&script_, "3000,1");
    Cmd_btime();
    EXPECT_EQ(ButtonExecTimeout, 3000);
    EXPECT_EQ(ButtonExecFlags[0], 1);
    Cmd_bclear();
    EXPECT_EQ(ButtonDefCount, 0);
    EXPECT_EQ(ButtonExecTimeout, -1);
    EXPECT_EQ(ButtonExecFlags[0], 0);
}

TEST_F(ButtonsInProcess, ExbtnDirtyMarks) {
    // P on a visible sprite at the same cell marks nothing
    Sprites[3].visible = 1;
    RunExbtnString("P3");
    EXPECT_TRUE(DirtyEmpty());
    RunExbtnString("P3,1");
    EXPECT_EQ(DirtyRect.left, 24);
    EXPECT_EQ(Sprites[3].surface.cell, 1);
    ClearDirtyRect();
    // C on a hidden sprite marks nothing; the range form marks each
    RunExbtnString("C4");
    EXPECT_TRUE(DirtyEmpty());
    RunExbtnString("C10-12P10,1");
    EXPECT_EQ(DirtyRect.left, 80);
    EXPECT_GE(DirtyRect.right, 103);  // through sprite 12
    EXPECT_EQ(Sprites[10].visible, 1);
    EXPECT_EQ(Sprites[11].visible, 0);
    // items that end with the string read no further
    std::string s = "M11";
    RunExbtnString(s.c_str());
    EXPECT_EQ(Sprites[11].x, 0);
    EXPECT_EQ(Sprites[11].visible, 1);
    RunExbtnString("P12,");
    EXPECT_EQ(Sprites[12].visible, 1);
    RunExbtnString("C999999999999999999-999999999999999999C0-999999999999999999");
    for (int n : {3, 4, 10, 11, 12}) EXPECT_EQ(Sprites[n].visible, 0) << n;
}

TEST_F(ButtonsInProcess, ExbtnGrammarErrors) {
    struct Case {
        const char* text;
        const char* box;
    } cases[] = {
        {"X1", "エラー: 拡張ボタン指定が間違っています：X1"},
        {"P1,0;", "エラー: 拡張ボタン指定が間違っています：P1,0;"},
        {"S2(a.wav)", "エラー: 拡張ボタン指定が間違っています：S2(a.wav)"},
        {"S2,a.wav", "エラー: 拡張ボタン指定が間違っています：S2,a.wav"},
        {"S2,(a.wav", "エラー: 拡張ボタン指定が間違っています：S2,(a.wav"},
        {"S2", "エラー: 拡張ボタン指定が間違っています：S2"},
        {"P1234567890123456789", "構文エラー: 数字が長すぎます。:123456789012345678"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FatalBoxOf([&] { RunExbtnString(Cp932(c.text).c_str()); }, true), c.box) << c.text;
    // a file name of more than 255 characters is refused, not copied
    std::string longName = "S1,(" + std::string(300, 'a') + ")";
    EXPECT_EQ(FatalBoxOf([&] { RunExbtnString(longName.c_str()); }, true),
              "エラー: 拡張ボタン指定が間違っています：" + longName);
}

}  // namespace
