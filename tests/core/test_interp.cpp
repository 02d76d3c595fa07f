// The interpreter loop: statements, labels and comments, the end of the
// text, text lines and their expansion, text tags, traps, the read-log, step
// execution and the debug trace.
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/debug.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "save/namelog.h"
#include "save/readlog.h"
#include "save/savepoint.h"
#include "tests/core/script_fixture.h"
#include "text/textline.h"
#include "ui/input_state.h"
#include "ui/traps.h"

namespace {

class Loop : public ScriptTest {
protected:
    // Loads a script, scans it and runs the story from *start.
    void LoadAndScan(const std::string& cp932) {
        SetScript(cp932);
        ScanLabels();
    }
    // From *start with an empty stack; not through ResetToStart, which would
    // clear the traps and skip mode these tests arm.
    int RunStory() {
        return ExitCodeOf([] {
            JumpToLabel("start");
            CallStackDepth = 0;
            RunInterpreter(0);
        });
    }
};

TEST_F(Loop, DefineRunEndsAtGame) {
    LoadAndScan("*define\n  : ~ ; game is only a comment here\n*passed\ngame\nrest\n*start\n");
    RunInterpreter(1);
    EXPECT_EQ(DefineEnded, 1);
    EXPECT_EQ(Rest(), "\nrest\n*start\n");
    EXPECT_TRUE(FindInNameLog(&LabelLog, "passed"));  // label lines passed are logged
}

TEST_F(Loop, EndOfTheScript) {
    LoadAndScan("*define\ngame\n*start\n\n");
    EXPECT_EQ(FatalOf([] { RunInterpreter(1); ResetToStart(); RunInterpreter(0); }),
              "スクリプトエラー: ファイルの終端に達しました。");
}

TEST_F(Loop, EndOfALuaOnlyGame) {
    LoadAndScan("*define\ngame\n*start\n");
    LuaOnlyMode = 1;
    int code = ExitCodeOf([] { RunInterpreter(1); ResetToStart(); RunInterpreter(0); });
    LuaOnlyMode = 0;
    EXPECT_EQ(code, -1);
    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(LastBoxText(), "LuaのOVCOM_main関数が終了してしまいました。");
    EXPECT_EQ(Utf8(HeadlessBoxes()[0].caption), "エラー");
    EXPECT_TRUE(HeadlessBoxes()[0].owned);
}

TEST_F(Loop, TextInTheDefineBlock) {
    LoadAndScan("*define\n" + Cp932("こんにちは") + "\ngame\n");
    EXPECT_EQ(FatalOf([] { RunInterpreter(1); }),
              "定義ブロックエラー: *defineブロックには、表示文はおけません。");
}

TEST_F(Loop, CommandGroupsInTheLoop) {
    LoadAndScan("*define\nlsp 1\n");
    EXPECT_EQ(FatalOf([] { RunInterpreter(1); }), "構文エラー: 不正な命令\"lsp\"です。");
    LoadAndScan("*define\ngame\n*start\ndim ?0[3]\n");
    RunInterpreter(1);
    EXPECT_EQ(FatalOf([] { ResetToStart(); RunInterpreter(0); }), "構文エラー: 不正な命令\"dim\"です。");
}

TEST_F(Loop, RestartAndQuitEndTheStoryRun) {
    LoadAndScan("*define\ngame\n*start\ngetversion %1:definereset:getversion %2\n");
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(IntVariables[1], 296);
    EXPECT_EQ(IntVariables[2], 0);  // nothing after definereset runs
    RestartRequested = 0;
    QuitRequested = 1;
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(IntVariables[1], 296);
}

TEST_F(Loop, WindowMenuResetIsServicedBeforeTheNextStatement) {
    LoadAndScan("*define\ngame\n*start\ngetversion %1\ndefinereset\n");
    ResetToStart();
    ReadPosition = ScriptLength - 12;  // at definereset
    ResetRequested = 1;
    IntVariables[1] = 5;
    EXPECT_EQ(ExitCodeOf([] { RunInterpreter(0); }), -1000);
    EXPECT_EQ(ResetRequested, 0);
    EXPECT_EQ(IntVariables[1], 296);  // back at *start, then on to definereset
}

struct LineCase {
    const char* text;      // UTF-8 script text
    const char* expanded;  // UTF-8
    const char* rest;
};

TEST_F(Loop, TextLineExpansion) {
    IntVariables[0] = -25;
    IntVariables[1] = 1234;
    IntVariables[2] = -2147483647 - 1;
    AssignString(&StrVariables[3], Cp932("猫").c_str());
    AssignString(&StrVariables[4], "cat");
    const LineCase cases[] = {
        {"%0\nnext", "－２５", "\nnext"},
        {"値は%1です", "値は１２３４です", ""},
        {"%2", "－２１４７４８３６４８", ""},
        {"x%0 y", "x－２５y", ""},  // the term takes its blanks
        {"!w%0 and !s%1", "!w%0 and !s%1", ""},  // in-text controls keep their variable
        {"$3と$4", "猫とcat", ""},
        {"$3+$4!", "猫cat!", ""},
        {"{%0=$3}%0", "{%0=$3}－２５", ""},
        {"abc@def\\", "abc@def\\", ""},  // waits are the display's without textgosub
        {"全角 and half", "全角 and half", ""},
    };
    for (const LineCase& c : cases) {
        SetScriptUtf8(c.text);
        std::string out;
        ExpandTextLine(&out);
        EXPECT_EQ(Utf8(out), c.expanded) << c.text;
        EXPECT_EQ(RestUtf8(), c.rest) << c.text;
    }
}

TEST_F(Loop, TextLineModes) {
    std::string out;
    TextGosubOn = 1;
    SetScript("abc@def\n");
    ExpandTextLine(&out);
    EXPECT_EQ(out, "abc@");
    EXPECT_EQ(Rest(), "def\n");
    SetScript("{a@b}c\\d\n");  // braces are copied as they are
    ExpandTextLine(&out);
    EXPECT_EQ(out, "{a@b}c\\");
    TextGosubOn = 0;
    LinePageOn = 1;
    SetScript("line\n");
    ExpandTextLine(&out);
    EXPECT_EQ(out, "line\\");
    LinePageOn = 0;
    LinePage2On = 1;
    TextRows = 16;
    ClickstrLines = 2;
    TextCursorLine = 13;
    SetScript("line\n");
    ExpandTextLine(&out);
    EXPECT_EQ(out, "line@");
    TextCursorLine = 14;
    SetScript("line\n");
    ExpandTextLine(&out);
    EXPECT_EQ(out, "line\\");
    LinePage2On = 0;
    // pagetag: the newline is dropped, the line padded to whole rows.
    PageTagMode = 1;
    TextColumns = 4;
    SetScriptUtf8("あいう\nえおかきく\n\\x");
    ExpandTextLine(&out);
    EXPECT_EQ(Utf8(out), "あいう　えおかきく　　　\\");
    EXPECT_EQ(Rest(), "x");
}

TEST_F(Loop, LongTextLinesAreKeptWhole) {
    std::string line;
    for (int i = 0; i < 3000; i++) line += "あ%0";
    IntVariables[0] = 7;
    SetScriptUtf8(line + "\n");
    std::string out;
    ExpandTextLine(&out);
    EXPECT_EQ(out.size(), 3000u * 4);
}

TEST_F(Loop, EnglishLines) {
    std::string out;
    SetScript(">Hello@more\n");
    ReadEnglishLine(&out);
    EXPECT_EQ(out, "Hello @");
    EXPECT_EQ(Rest(), "more\n");
    SetScript(">Hi\nnext");
    ReadEnglishLine(&out);
    EXPECT_EQ(out, "Hi");
    EXPECT_EQ(Rest(), "\nnext");
}

TEST_F(Loop, TextTagCallsThePretextRoutine) {
    const std::string head = "*define\ngame\n*start\n";
    LoadAndScan(head + "[name/3]text\n*tagsub\ndefinereset\n");
    TagModeOn = 1;
    strcpy(PreTextGosubLabel, "tagsub");
    EXPECT_EQ(RunStory(), -1000);
    ASSERT_EQ(CallStackDepth, 1);
    EXPECT_EQ(CallStack[0], (int)head.size());  // the tag's '['
    EXPECT_EQ(SaveOn, 0);
    EXPECT_EQ(TagHandled, 1);
    // The doubled form pushes the second '['.
    LoadAndScan(head + "[[name]]text\n*tagsub\ndefinereset\n");
    RestartRequested = 0;
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(CallStack[0], (int)head.size() + 1);
}

TEST_F(Loop, UntaggedLineInTagModeStillCallsTheRoutine) {
    const std::string head = "*define\ngame\n*start\n";
    LoadAndScan(head + Cp932("文") + "\ndefinereset\n*tagsub\ndefinereset\n");
    TagModeOn = 1;
    strcpy(PreTextGosubLabel, "tagsub");
    EXPECT_EQ(RunStory(), -1000);
    ASSERT_EQ(CallStackDepth, 1);
    EXPECT_EQ(CallStack[0], (int)head.size());
    EXPECT_EQ(TagHandled, 1);
    // Back at the line (as return would do), the text is shown this time.
    RestartRequested = 0;
    ReadPosition = CallStack[0];
    CallStackDepth = 0;
    EXPECT_EQ(ExitCodeOf([] { RunInterpreter(0); }), -1000);
    EXPECT_EQ(TagHandled, 0);
    EXPECT_EQ(CallStackDepth, 0);
}

TEST_F(Loop, TagCallsCheckTheStack) {
    LoadAndScan("*define\ngame\n*start\n[t]x\n*tagsub\n");
    TagModeOn = 1;
    strcpy(PreTextGosubLabel, "tagsub");
    EXPECT_EQ(FatalOf([] {
                  ResetToStart();
                  CallStackDepth = CallStackSize;
                  RunInterpreter(0);
              }),
              "スタックエラー: タグ処理のせいでスタックが溢れました。");
}

TEST_F(Loop, FullWidthTagsAreRewritten) {
    const std::string head = "*define\ngame\n*start\n";
    LoadAndScan(head + Cp932("【名前】text") + "\n*tagsub\ndefinereset\n");
    TagModeOn = 1;
    ZenkakkoOn = 1;
    strcpy(PreTextGosubLabel, "tagsub");
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(std::string(ScriptBuffer + head.size(), 8 + 4), "[[" + Cp932("名前") + "]]text");
    EXPECT_EQ(CallStack[0], (int)head.size() + 1);
}

TEST_F(Loop, FullWidthTagCloseIsFoundOnCharacterBoundaries) {
    // "メ" is 0x83 0x81 and "z" is 0x7A: their bytes must not pass for "】".
    const std::string head = "*define\ngame\n*start\n";
    LoadAndScan(head + Cp932("【メz】x") + "\n*tagsub\ndefinereset\n");
    TagModeOn = 1;
    ZenkakkoOn = 1;
    strcpy(PreTextGosubLabel, "tagsub");
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(std::string(ScriptBuffer + head.size(), 8), "[[" + Cp932("メz") + "]]x");
}

class Traps_ : public Loop {
protected:
    // "xx" is no command: reaching it is an error, so a run that ends
    // quietly went to the trap label.
    void SetUpTrapScript() { LoadAndScan("*define\ngame\n*start\nxx\n*trapped\ndefinereset\n"); }
    bool Fired() {
        RestartRequested = 0;
        ClearCapturedBoxes();
        int code = RunStory();
        return code == -1000;
    }
};

TEST_F(Traps_, TimerTrapCountsElapsedTimeUnsigned) {
    SetUpTrapScript();
    auto arm = [](uint32_t start, uint32_t duration) {
        Traps.timer_armed = 1;
        strcpy(Traps.timer_label, "trapped");
        Traps.timer_state = 0;
        Traps.timer_start = start;
        Traps.timer_duration = duration;
    };
    arm(5000, 1000);
    HeadlessSetTicks(5000);  // the millisecond it was armed
    EXPECT_FALSE(Fired());
    HeadlessSetTicks(5999);
    EXPECT_FALSE(Fired());
    HeadlessSetTicks(6000);
    EXPECT_TRUE(Fired());
    EXPECT_STREQ(Traps.timer_label, "");  // fired once
    arm(0xFFFFFF00u, 0x200);  // across the clock's wrap
    HeadlessSetTicks(0x50);
    EXPECT_FALSE(Fired());
    HeadlessSetTicks(0x100);
    EXPECT_TRUE(Fired());
    arm(100, 0);
    Traps.timer_state = 1;  // stopped: marks the hit only
    HeadlessSetTicks(100);
    EXPECT_FALSE(Fired());
    EXPECT_EQ(Traps.timer_state, 2);
}

TEST_F(Traps_, ClickTrap) {
    SetUpTrapScript();
    strcpy(Traps.label, "trapped");
    Clicked = 1;
    EXPECT_TRUE(Fired());
    EXPECT_EQ(Clicked, 0);
    EXPECT_STREQ(Traps.label, "");
    // Stopped: the hit is noted, the flags cleared, no jump.
    strcpy(Traps.label, "trapped");
    Traps.state = 1;
    Clicked = 1;
    EXPECT_FALSE(Fired());
    EXPECT_EQ(Traps.state, 2);
    EXPECT_EQ(Clicked, 0);
    // Right-click only ignores a left click; a right click fires it.
    Traps = TrapSettings();
    strcpy(Traps.label, "trapped");
    Traps.right_click_only = 1;
    Clicked = 1;
    EXPECT_FALSE(Fired());
    RightClicked = 1;
    EXPECT_TRUE(Fired());
    // Skip mode fires it with skip-also.
    Traps = TrapSettings();
    strcpy(Traps.label, "trapped");
    Traps.skip_also = 1;
    SkipMode = 1;
    KidokuMode = 0;
    EXPECT_TRUE(Fired());
}

TEST_F(Traps_, QueuedButtonReleaseFiresAndIsTaken) {
    SetUpTrapScript();
    strcpy(Traps.label, "trapped");
    PlatPostMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(Fired());
    PlatMsg m;
    EXPECT_FALSE(PlatPeekRemove(WM_LBUTTONUP, &m));
}

TEST_F(Loop, ReadLogStopsSkipModeAtUnreadText) {
    LoadAndScan("*define\ngame\n*start\ndefinereset\n");
    uint8_t flags[8] = {};
    ReadFlags = flags;
    ReadFlagsSize = sizeof flags;
    KidokuMode = 1;
    SkipMode = 1;
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(SkipMode, 0);
    int p = 20;  // "definereset"
    EXPECT_TRUE(flags[p / 8] & (1 << (p % 8)));
    SkipMode = 1;
    RestartRequested = 0;
    EXPECT_EQ(RunStory(), -1000);
    EXPECT_EQ(SkipMode, 1);  // read before: skipping goes on
    ReadFlags = nullptr;
    ReadFlagsSize = 0;
}

TEST_F(Loop, StepExecution) {
    LoadAndScan("*define\ngetversion %0\ngame\n");
    CreateDebugWindow();
    DebugStepChecked = 1;
    RunInterpreter(1);
    const auto& boxes = HeadlessBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(Utf8(boxes[0].caption), "ステップ実行");
    EXPECT_EQ(Utf8(boxes[0].text), "ステップ実行中");
    EXPECT_FALSE(boxes[0].owned);
}

// The debug window is a window of its own below the game's; the player's
// tick and close reach DebugStepChecked and DebugWindowOpen.
TEST_F(Loop, TheDebugWindowAndItsPlayer) {
    CreateDebugWindow();
    const HeadlessDebugWindowState& d = HeadlessDebugWindow();
    ASSERT_TRUE(d.open);
    EXPECT_EQ(Utf8(d.caption), "デバッグウィンドウ");
    EXPECT_EQ(Utf8(d.check_label), "ステップ実行");
    int left, top;
    PlatWindowPosition(&left, &top);
    EXPECT_EQ(d.left, left);
    EXPECT_EQ(d.top, top + ScreenHeight + 40);
    SetScript("%1");
    IntVariables[1] = 5;
    ReadNumTerm();
    EXPECT_EQ(Utf8(d.text), "\r\n数字変数%1へアクセス：値5");
    auto player = [](const char* event) {
        HeadlessEvent ev;
        std::string error;
        std::string line = std::to_string(HeadlessElapsed()) + " " + event;
        ASSERT_EQ(HeadlessParseEventLine(line.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
        PumpMessage();
    };
    player("debugstep on");
    EXPECT_EQ(DebugStepChecked, 1);
    player("debugstep off");
    EXPECT_EQ(DebugStepChecked, 0);
    player("debugstep on");
    player("debugclose");
    EXPECT_EQ(DebugWindowOpen, 0);
    EXPECT_EQ(DebugStepChecked, 0);
    EXPECT_FALSE(d.open);
    // Closed, it traces nothing more; opened again it starts empty.
    ReadPosition = 0;
    IntVariables[1] = 6;
    ReadNumTerm();
    EXPECT_EQ(Utf8(d.text), "\r\n数字変数%1へアクセス：値5");
    CreateDebugWindow();
    EXPECT_TRUE(d.open);
    EXPECT_EQ(d.text, "");
}

TEST_F(Loop, DebugTraceAndLogFile) {
    std::string dir = EnterGameFolder();
    LoadAndScan("*define\ngetversion %[1]\ngame\n");
    CreateDebugWindow();
    DebugLogOn = 1;
    RunInterpreter(1);
    std::string log;
    ASSERT_TRUE(ReadGameFileBytes(dir, "debuglog.txt", &log));
    EXPECT_EQ(Utf8(log),
              "0.txt line:2 命令:getversion\r\n> getversion %[1]\n\r\n"
              "[]内の式の値1\r\n"
              "0.txt line:3 命令:game\r\n> game\n\r\n");
    // The window shows the last command and the accesses after it.
    EXPECT_EQ(Utf8(DebugWindowText()), "0.txt line:3 命令:game\r\n> game\n");
}

TEST_F(Loop, DebugPositionCaption) {
    SetScript("a\nb\nc");
    ReadPosition = 4;
    ShowDebugPosition();
    EXPECT_EQ(HeadlessWindow().caption, "(DebugMode) 0.txt line:3");
}

}  // namespace
