// The selection, text-button and right-click commands run in-process on
// script text at ReadPosition: every fatal text that needs no wait, the
// text buttons' strict hit rectangles (a wrapped button answers on both of
// its lines) and the right-click gosub's full stack.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/variables.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/display.h"
#include "text/textbtn.h"
#include "text/textbtn_commands.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/rmenu_commands.h"
#include "ui/select_commands.h"
#include "ui/system_actions.h"

namespace {

class SelectCommands : public ::testing::Test {
protected:
    std::string script;

    void SetUp() override {
        StartHeadlessForTests();
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
    }
    void TearDown() override {
        ForgetScriptText();
        CallStackDepth = 0;
        RightClickMode = RightHideWindow;
        TextButtonCount = 0;
    }
    void At(const std::string& utf8) { UseScriptText(&script, Cp932(utf8)); }
    // The first line of the box a command's fatal error shows.
    template <class F>
    std::string Fatal(F fn) {
        std::string box = FatalBoxOf(fn, true);
        return box.substr(0, box.find("\\n"));
    }
};

std::string List(int n, const char* pair) {
    std::string s;
    for (int i = 0; i < n; i++) s += std::string(i ? "," : "") + pair;
    return s + "\n";
}

TEST_F(SelectCommands, FatalTexts) {
    struct Case {
        const char* name;
        void (*command)();
        std::string operands;
        const char* box;
    } cases[] = {
        {"selnum kind", Cmd_selnum, "$0,\"a\"", "構文エラー: selnumの第一引数は数値変数です。"},
        {"selnum range", Cmd_selnum, "%99999,\"a\"", "エラー: 変数番号が範囲外をさしています。"},
        {"nextcsel kind", Cmd_nextcsel, "$0", "エラー: nextcsel命令の第一パラメータは数字変数です。"},
        {"nextcsel range", Cmd_nextcsel, "%99999", "エラー: 変数番号が範囲外をさしています。"},
        {"getcselstr kind", Cmd_getcselstr, "%0,0", "構文エラー: getcselstrの第一引数は文字変数です。"},
        {"getcselstr range", Cmd_getcselstr, "$99999,0", "エラー: 文字列変数番号が範囲外です。"},
        {"getcselstr index", Cmd_getcselstr, "$0,20", "エラー: cselの番号が範囲外です。"},
        {"getcselstr negative", Cmd_getcselstr, "$0,-1", "エラー: cselの番号が範囲外です。"},
        {"getcselnum kind", Cmd_getcselnum, "$0", "構文エラー: getcselnumの第一引数は数字変数です。"},
        {"getcselnum range", Cmd_getcselnum, "%99999", "エラー: 変数番号が範囲外をさしています。"},
        {"cselgoto index", Cmd_cselgoto, "0", "エラー: cselの番号が範囲外です。"},
        {"cselbtn index", Cmd_cselbtn, "20,1,0,0", "エラー: cselの番号が範囲外です。"},
        {"select too many", Cmd_select, List(51, "\"c\",*l"), "エラー: 選択肢が多すぎます。"},
        {"csel too many", Cmd_csel, List(21, "\"c\",*l"), "エラー: 選択肢が多すぎます。"},
        {"choice too long", Cmd_select, "\"" + std::string(256, 'a') + "\",*l",
         "エラー: 選択肢の文字列が長すぎます。"},
        {"rmenu keyword", Cmd_rmenu, "\"a\",skip,\"b\",jump", "エラー: rmenu命令へのパラメータが間違っています。"},
        {"rmenu too many", Cmd_rmenu, List(51, "\"c\",skip"), "エラー: rmenuの項目が多すぎます。"},
        {"rmenu caption too long", Cmd_rmenu, "\"" + std::string(256, 'a') + "\",skip",
         "エラー: 選択肢の文字列が長すぎます。"},
        {"systemcall keyword", Cmd_systemcall, "jump", "エラー: systemcall命令へのパラメータが間違っています。"},
        {"gettextbtnstr kind", Cmd_gettextbtnstr, "%0,1", "構文エラー: gettextbtnstrの第１引数は文字変数です。"},
        {"gettextbtnstr range", Cmd_gettextbtnstr, "$99999,1", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (const Case& c : cases) {
        At(c.operands + "\n");
        EXPECT_EQ(Fatal(c.command), c.box) << c.name;
    }
}

TEST_F(SelectCommands, RightGosubOnAFullStack) {
    At("\n*rg\n");
    AllocateLabelTable(4);
    ScanLabels();
    strcpy(RightGosubLabel, "rg");
    RightClickMode = RightGosub;
    RightClickOn = 1;
    CallStackDepth = CallStackSize;
    EXPECT_EQ(Fatal([] { RunSystemAction(ActionRightClick); }),
              "スタックエラー: rgosub処理のせいでスタックが溢れました。");
    EXPECT_EQ(SystemMenuActive, 0);  // cleared on the way out
    // With one place left the routine is called and the flag set.
    CallStackDepth = CallStackSize - 1;
    RightGosubTaken = 0;
    RunSystemAction(ActionRightClick);
    EXPECT_EQ(RightGosubTaken, 1);
    EXPECT_EQ(CallStackDepth, CallStackSize);
    RightGosubTaken = 0;
    FreeLabelTable();
}

TEST_F(SelectCommands, TextButtonHitRectangles) {
    TextOriginX = 21;
    TextCharAdvance = 26;
    TextLineAdvance = 28;
    TextColumns = 23;
    TextButtonCount = 2;
    TextButtons[0] = TextButtonEntry{10, 47, 16, 98, ""};
    // Wrapped: begins at x 567 on the row at 16, ends at x 46 on the next.
    TextButtons[1] = TextButtonEntry{11, 567, 16, 46, ""};
    struct Case {
        int x, y, index;
    } cases[] = {
        {48, 17, 0},   {97, 42, 0},   {47, 30, -1},  {98, 30, -1},  {60, 16, -1},  {60, 44, -1},
        {568, 17, 1},  {618, 42, 1},  {619, 30, -1}, {567, 30, -1},                  // first line
        {22, 45, 1},   {45, 70, 1},   {21, 50, -1},  {46, 50, -1},  {30, 44, -1},  {30, 72, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(TextButtonAt(c.x, c.y), c.index) << c.x << "," << c.y;
    // Outside the page's count nothing answers and nothing is drawn.
    EXPECT_FALSE(TextButtonContains(2, 48, 17));
    EXPECT_FALSE(TextButtonContains(-1, 48, 17));
    DrawTextButton(5, 1);
    DrawTextButton(-1, 0);
}

TEST_F(SelectCommands, TextButtonTexts) {
    TextButtonCount = 3;
    TextButtons[0] = TextButtonEntry{10, 0, 0, 10, "a"};
    TextButtons[1] = TextButtonEntry{11, 0, 0, 10, "b"};
    TextButtons[2] = TextButtonEntry{11, 0, 0, 10, "c"};
    struct Case {
        const char* operands;
        const char* text;
    } cases[] = {{"$1,11", "b"}, {"$1,10", "a"}, {"$1,12", ""}};
    for (const Case& c : cases) {
        At(std::string(c.operands) + "\n");
        Cmd_gettextbtnstr();
        EXPECT_STREQ(StringText(StrVariables[1]), c.text) << c.operands;
    }
    At("7\n");
    Cmd_textbtnstart();
    EXPECT_EQ(TextButtonStart, 7);
    TextButtonStart = 1;
}

}  // namespace
