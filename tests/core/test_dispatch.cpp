// The dispatcher: the table in its three groups, the precedence of user
// commands and the '_' prefix, voice shortcuts, the invalid-command error,
// the pending system-menu reset, and the frame and debug commands.
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/debug.h"
#include "core/dispatch.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "platform/headless/headless.h"
#include "tests/core/script_fixture.h"
#include "ui/input_state.h"

namespace {

class Dispatch : public ScriptTest {};

TEST_F(Dispatch, TableHasEveryCommandInItsGroup) {
    ASSERT_EQ(CommandTableSize, 477);
    int counts[3] = {};
    for (int i = 0; i < CommandTableSize; i++) counts[CommandTable[i].group]++;
    EXPECT_EQ(counts[GroupEvery], 125);
    EXPECT_EQ(counts[GroupDefine], 92);
    EXPECT_EQ(counts[GroupStory], 260);
    EXPECT_STREQ(CommandTable[0].name, "getparam");
    EXPECT_STREQ(CommandTable[124].name, "restorecdvol");
    EXPECT_STREQ(CommandTable[125].name, "noloaderror");
    EXPECT_STREQ(CommandTable[217].name, "getvoicevol");
    EXPECT_STREQ(CommandTable[476].name, "setwindow2");
    // Groups are contiguous and in order.
    for (int i = 1; i < CommandTableSize; i++)
        EXPECT_LE(CommandTable[i - 1].group, CommandTable[i].group) << CommandTable[i].name;
    // Every entry is found under its name.
    for (int i = 0; i < CommandTableSize; i++)
        EXPECT_NE(FindBuiltinCommand(CommandTable[i].name, CommandTable[i].group == GroupDefine), nullptr)
            << CommandTable[i].name;
}

TEST_F(Dispatch, ModeGroups) {
    EXPECT_NE(FindBuiltinCommand("getversion", 1), nullptr);  // every mode
    EXPECT_NE(FindBuiltinCommand("getversion", 0), nullptr);
    EXPECT_NE(FindBuiltinCommand("dim", 1), nullptr);  // define only
    EXPECT_EQ(FindBuiltinCommand("dim", 0), nullptr);
    EXPECT_NE(FindBuiltinCommand("lsp", 0), nullptr);  // story only
    EXPECT_EQ(FindBuiltinCommand("lsp", 1), nullptr);
    EXPECT_EQ(FindBuiltinCommand("nosuch", 0), nullptr);
    EXPECT_EQ(FindBuiltinCommand("Lsp", 0), nullptr);  // names are lower case
    SetScript("\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("dim", 0); }), "構文エラー: 不正な命令\"dim\"です。");
    EXPECT_EQ(FatalOf([] { ExecCommand("lsp", 1); }), "構文エラー: 不正な命令\"lsp\"です。");
    EXPECT_EQ(FatalOf([] { ExecCommand("nosuch", 0); }), "構文エラー: 不正な命令\"nosuch\"です。");
    // No voice shortcuts inside *define.
    EXPECT_EQ(FatalOf([] { ExecCommand("v01", 1); }), "構文エラー: 不正な命令\"v01\"です。");
}

TEST_F(Dispatch, VoiceShortcuts) {
    const struct {
        const char* name;
        char kind;
        const char* rest;
    } cases[] = {
        {"v01", 'v', "01"}, {"V01", 'v', "01"}, {"dv01", 'd', "01"}, {"DV01", 'd', "01"},
        {"mv01", 'm', "01"}, {"versionstr", 'v', "ersionstr"}, {"dx", 0, ""}, {"m", 0, ""},
        {"x", 0, ""}, {"d", 0, ""},
    };
    for (const auto& c : cases) {
        const char* rest = "";
        EXPECT_EQ(VoiceShortcutKind(c.name, &rest), c.kind) << c.name;
        if (c.kind) {
            EXPECT_STREQ(rest, c.rest) << c.name;
        }
    }
    // In the story a statement that is no command but such a name plays the
    // voice (here missing, so the voice's load error names it) instead of
    // being an invalid command; a define-only name beginning with 'v' does too.
    SetScript("\n");
    const struct {
        const char* statement;
        const char* file;
    } voices[] = {
        {"v01", "voice\\01.wav"}, {"versionstr", "voice\\ersionstr.wav"},
        {"dv01", "voice\\01.wav"}, {"_mv01", "voice\\01.mp3"},
    };
    for (const auto& v : voices) {
        EXPECT_EQ(FatalOf([&] { ExecCommand(v.statement, 0); }),
                  std::string("ロードエラー: ファイル") + v.file + "を開けません。")
            << v.statement;
    }
}

TEST_F(Dispatch, UserCommandsAndTheUnderscore) {
    SetScript("*mycmd\nx\n*getversion\ny\n*start\n");
    ScanLabels();
    AddDefsubName("mycmd");
    AddDefsubName("getversion");
    SetScript(std::string(ScriptBuffer, ScriptLength) + "mycmd 5,\"a\"\n");  // keeps the labels' offsets
    ReadPosition = ScriptLength - 7;  // at the arguments
    ExecCommand("mycmd", 0);
    ASSERT_EQ(CallStackDepth, 1);
    EXPECT_EQ(CallStack[0], ScriptLength - 7);
    EXPECT_EQ(Rest().substr(0, 2), "x\n");
    // A user command hides the built-in; '_' reaches the built-in.
    CallStackDepth = 0;
    ExecCommand("getversion", 0);
    EXPECT_EQ(Rest().substr(0, 2), "y\n");
    EXPECT_EQ(CallStackDepth, 1);
    CallStackDepth = 0;
    SetScript(std::string(ScriptBuffer, ScriptLength) + "%3\n");
    ReadPosition = ScriptLength - 3;
    ExecCommand("_getversion", 0);
    EXPECT_EQ(IntVariables[3], 296);
    EXPECT_EQ(CallStackDepth, 0);
    // A full stack refuses the call.
    CallStackDepth = CallStackSize;
    EXPECT_EQ(FatalOf([] { ExecCommand("mycmd", 0); }),
              "スタックエラー: defsub文のせいでスタックが溢れました。");
    // Clearing forgets them.
    CallStackDepth = 0;
    ClearDefsubNames();
    EXPECT_FALSE(IsDefsubName("mycmd"));
}

TEST_F(Dispatch, PendingMenuResetRunsInsteadOfTheCommand) {
    SetScript("*start\nafter\n%1\n");
    ScanLabels();
    ReadPosition = ScriptLength - 3;
    MenuResetRequested = 1;
    ExecCommand("getversion", 0);
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(MenuResetRequested, 0);
    EXPECT_EQ(Rest(), "after\n%1\n");
}

TEST_F(Dispatch, Getversion) {
    SetScript("%5\n");
    ExecCommand("getversion", 0);
    EXPECT_EQ(IntVariables[5], 296);
    SetScript("%1+2\n");  // the number is an integer expression
    ExecCommand("getversion", 1);
    EXPECT_EQ(IntVariables[3], 296);
    EXPECT_EQ(Rest(), "\n");
    // Limits apply after the store (to every variable).
    SetIntLimit(7, 0, 100);
    IntVariables[7] = 500;
    SetScript("%0\n");
    ExecCommand("getversion", 0);
    EXPECT_EQ(IntVariables[7], 100);
    SetScript("5\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("getversion", 0); }),
              "構文エラー: getversionの第一引数は数字変数です。");
    SetScript(" %5\n");  // the '%' must stand right there
    EXPECT_EQ(FatalOf([] { ExecCommand("getversion", 0); }),
              "構文エラー: getversionの第一引数は数字変数です。");
    SetScript("%100\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("getversion", 0); }),
              "エラー: 変数番号が範囲外をさしています。");
}

TEST_F(Dispatch, FrameCommands) {
    SetScript("\n");
    ExecCommand("game", 1);
    EXPECT_EQ(DefineEnded, 1);
    ExecCommand("definereset", 0);
    EXPECT_EQ(RestartRequested, 1);
    RestartRequested = 0;
    SetScript("*start\nhere\n");
    ScanLabels();
    IntVariables[1] = 4;    // local
    IntVariables[60] = 6;   // global (GlobalBorder is 50 here)
    CallStackDepth = 3;
    ExecCommand("reset", 0);
    EXPECT_EQ(Rest(), "here\n");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(IntVariables[60], 6);
    EXPECT_EQ(CallStackDepth, 0);
    EXPECT_EQ(FatalOf([] { ExecCommand("reset", 1); }), "構文エラー: 不正な命令\"reset\"です。");
    // end: through the window's destruction, which ends the process with 0.
    EXPECT_EQ(ExitCodeOf([] { ExecCommand("end", 0); }), 0);
}

TEST_F(Dispatch, DebugCommands) {
    std::string dir = EnterGameFolder();
    SetScript("%4\n");
    ExecCommand("chkdbg", 1);
    EXPECT_EQ(IntVariables[4], 0);
    WriteGameFile(dir, "46017283", "");
    SetIntLimit(4, 5, 9);  // stored without the limits
    SetScript("  %4\n");
    ExecCommand("chkdbg", 1);
    EXPECT_EQ(IntVariables[4], 1);
    SetScript("4\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("chkdbg", 1); }), "構文エラー: chkdbgの第一引数は数字変数です。");
    SetScript("%-1\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("chkdbg", 1); }), "エラー: 変数番号が範囲外をさしています。");
    EXPECT_EQ(FatalOf([] { ExecCommand("chkdbg", 0); }), "構文エラー: 不正な命令\"chkdbg\"です。");
    SetScript("1+1\n");
    ExecCommand("debuglog", 0);
    EXPECT_EQ(DebugLogOn, 2);
    ExecCommand("createdebugwindow", 1);
    EXPECT_EQ(DebugWindowOpen, 1);
    SetScript("\n");
    EXPECT_EQ(FatalOf([] { ExecCommand("testfunc", 0); }), "0 0: 0 0");
}

}  // namespace
