// The window menu and the dialogs in-process on the headless platform: the
// built-in bar and the font items, the script's own bar (resetmenu,
// insertmenu at position 0 and in submenus, killmenu, the check marks game
// replays), the define-block switches, the menu_* commands' effects, the
// input commands with every refusal and the Shift-JIS bounds, the edit
// field's keys, the script's message boxes, keys and buttons a box took,
// the settings dialogs and every fatal text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/core_messages.h"
#include "core/readers.h"
#include "core/return_value.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "platform/common/menubar.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/clickwait.h"
#include "ui/define_end.h"
#include "ui/dialog_commands.h"
#include "ui/dialogs.h"
#include "text/display.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "text/pass_defaults.h"
#include "ui/menu.h"
#include "ui/menu_commands.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/window_links.h"
#include "ui/window_messages.h"

namespace {

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        InstallMainWindowProc();
        Drain();
        if (!ScratchText) ScratchText = (char*)calloc(WorkBufferSize, 1);
        saved_count_ = VariableCount;
        VariableCount = 20;
        AllocateVariableTables(VariableCount);
        ClearCapturedBoxes();
        HeadlessClearDialogs();
        MenuWasReset = MenuRebuilt = MenuDeleted = 0;
        FullScreen = 0;
        Clicked = 0;
        ResetRequested = QuitRequested = 0;
        BuildDefaultMenu();
    }
    void TearDown() override {
        Drain();
        ForgetScriptText();
        FreeVariableTables();
        VariableCount = saved_count_;
        HeadlessClearDialogs();
    }
    static void Drain() {
        while (PumpMessage()) {}
    }
    // Runs a command with its operands (UTF-8, converted to CP932).
    template <class F>
    void Run(F command, const std::string& operands) {
        UseScriptText(&script_, Cp932(operands));
        command();
    }
    template <class F>
    std::string Fatal(F command, const std::string& operands) {
        return FatalBoxOf([&] { Run(command, operands); }, true);
    }
    // Schedules an events-file line `ms` virtual ms from now.
    static void Event(uint64_t ms, const std::string& line) {
        HeadlessEvent ev;
        std::string error;
        std::string text = std::to_string(HeadlessElapsed() + ms) + " " + line;
        ASSERT_EQ(HeadlessParseEventLine(text.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
    }
    static std::string Str(int n) { return Utf8(StringText(StrVariables[n])); }
    static std::string MenuText() { return HeadlessMenuText(); }

    std::string script_;
    int saved_count_ = 0;
};

TEST_F(GuiTest, TheBuiltInBarInItsOrderWithItsChecks) {
    EXPECT_EQ(MenuText(),
              "画面 >\n  フルスクリーン = 40002\n  ウィンドウ = 40003 *\n"
              "フォント >\n  デフォルト = 40004\n"
              "表示形式 >\n  デフォルト = 40008 *\n  一ページごと = 40007\n"
              "文字速度 >\n  低速 = 40014\n  普通 = 40015 *\n  高速 = 40016\n"
              "ボリューム >\n  オン = 40017 *\n  オフ = 40018\n  ボリューム = 40024\n"
              "選択肢まで進む = 40006\nオートモード = 40019\n"
              "CD-DA >\n  演奏ドライブ選択 = 40020\n  CD-DA再生 >\n    オン = 40021 *\n    オフ = 40022\n"
              "バージョン情報 = 40005\n終了 = 40001\n");
    EXPECT_TRUE(HeadlessMenuAttached());
    // Check marks follow the commands the window carries out.
    PlatSendMessage(WM_COMMAND, CmdSpeedFast, 0);
    EXPECT_NE(MenuText().find("  普通 = 40015\n  高速 = 40016 *\n"), std::string::npos) << MenuText();
    PlatSendMessage(WM_COMMAND, CmdSpeedNormal, 0);
}

TEST_F(GuiTest, FontItemsAreTheFixedPitchJapaneseFacesAheadOfTheDefault) {
    EnumerateFontsForMenu();
    std::string t = MenuText();
    size_t font = t.find("フォント >\n"), def = t.find("  デフォルト = 40004");
    ASSERT_NE(font, std::string::npos);
    ASSERT_NE(def, std::string::npos);
    std::string items = t.substr(font + strlen("フォント >\n"), def - font - strlen("フォント >\n"));
    // The project installs IPA Gothic (fixed pitch) and IPA P Gothic (not).
    EXPECT_NE(items.find("IPAGothic = 5"), std::string::npos) << items;
    EXPECT_EQ(items.find("IPAPGothic"), std::string::npos) << items;
    int listed = 0;
    for (int n = 0; n < FontMenuCount; n++) {
        std::string line = "  " + Utf8(FontMenuNames[n]) + " = " + std::to_string(FontCommandBase + n) + "\n";
        if (items.find(line) != std::string::npos) listed++;
    }
    EXPECT_GT(listed, 0);
    EXPECT_LE(FontMenuCount, (int)FontMenuLimit);
    EXPECT_EQ(std::count(items.begin(), items.end(), '\n'), listed);
    // A second enumeration (the next start-up pass) does not repeat them.
    EnumerateFontsForMenu();
    EXPECT_EQ(MenuText(), t);
}

TEST_F(GuiTest, TheScriptsOwnBarReadsInReverseWithSubmenusAndKills) {
    Run(Cmd_resetmenu, "");
    EXPECT_EQ(MenuText(), "");
    Run(Cmd_insertmenu, "\"終了\",end");
    Run(Cmd_insertmenu, "\"フル\",FULL");
    Run(Cmd_insertmenu, "\"窓\",Window");
    EXPECT_EQ(MenuText(), "窓 = 40003\nフル = 40002\n終了 = 40001\n");
    Run(Cmd_insertmenu, "\"設定\",sub");
    Run(Cmd_insertmenu, "\"速度\",textspeed,1");
    Run(Cmd_insertmenu, "\"書体\",font,1");
    Run(Cmd_insertmenu, "\"中\",sub,1");
    Run(Cmd_insertmenu, "\"既読\",kidokuon,2");
    // Depth 2 below an item: the descent stops where no submenu leads.
    Run(Cmd_insertmenu, "\"戻る\",reset,5");
    Run(Cmd_insertmenu, "\"消える\",skip");
    EXPECT_EQ(TextSpeedDialogInMenu, 1);
    Run(Cmd_killmenu, "0");
    Run(Cmd_killmenu, "99");  // no such entry: nothing changes
    Run(Cmd_killmenu, "-1");
    // The font items (which vary by machine) stand in front of デフォルト.
    std::string t = MenuText();
    std::string head = "設定 >\n  中 >\n    戻る = 40028\n    既読 = 40025\n  書体 >\n";
    std::string tail = "    デフォルト = 40004 *\n  速度 = 40030\n窓 = 40003\nフル = 40002\n終了 = 40001\n";
    ASSERT_GE(t.size(), head.size() + tail.size()) << t;
    EXPECT_EQ(t.substr(0, head.size()), head) << t;
    EXPECT_EQ(t.substr(t.size() - tail.size()), tail) << t;
    // game: attached again and the settings replayed as commands.
    SetMenuAttached(false);
    PageAtATime = 1;
    RestoreResetMenu();
    Drain();
    EXPECT_TRUE(HeadlessMenuAttached());
    EXPECT_NE(MenuText().find("窓 = 40003 *\n"), std::string::npos);
    EXPECT_EQ(SelectedFontItem, CmdDefaultFont);
    PageAtATime = 0;
}

TEST_F(GuiTest, DeleteMenuTakesTheBarOffAtGame) {
    Run(Cmd_deletemenu, "");
    DropDeletedMenu();
    EXPECT_FALSE(HeadlessMenuAttached());
    EXPECT_EQ(MenuRebuilt, 1);
    MenuDeleted = 0;
}

TEST_F(GuiTest, DefineSwitchesAndTheVersionTexts) {
    Run(Cmd_englishdialog, "");
    EXPECT_STREQ(QuitQuestion, "quit?");
    EXPECT_STREQ(QuitCaption, "quit");
    EXPECT_STREQ(ResetQuestion, "return to main menu?");
    EXPECT_STREQ(ResetCaption, "reset");
    Run(Cmd_english, "");
    EXPECT_EQ(EnglishMode, 1);
    EnglishMode = 0;
    Run(Cmd_mode_tavelo, "");
    EXPECT_EQ(TaveloMode, 1);
    TaveloMode = 0;
    Run(Cmd_mode_ext, "");
    Run(Cmd_automode, "");
    // A version line past 255 bytes keeps whole characters only.
    std::string long_line;
    for (int i = 0; i < 200; i++) long_line += "あ";
    Run(Cmd_versionstr, "\"xy" + long_line + "\",\"credit\"");
    EXPECT_EQ(strlen(VersionLine), 254u);  // "xy" and 126 characters
    EXPECT_STREQ(CreditLine, "credit");
    PlatSendMessage(WM_COMMAND, CmdVersion, 0);
    ASSERT_FALSE(HeadlessBoxes().empty());
    EXPECT_EQ(HeadlessBoxes().back().text, std::string(VersionLine) + "\ncredit");
    snprintf(QuitQuestion, sizeof QuitQuestion, "%s", TxtQuitQuestion);
    snprintf(QuitCaption, sizeof QuitCaption, "%s", TxtQuitCaption);
    snprintf(ResetQuestion, sizeof ResetQuestion, "%s", TxtResetQuestion);
    snprintf(ResetCaption, sizeof ResetCaption, "%s", TxtResetCaption);
    snprintf(VersionLine, sizeof VersionLine, "%s", TxtVersionLine);
    snprintf(CreditLine, sizeof CreditLine, "%s", TxtCreditLine);
}

TEST_F(GuiTest, MenuCommandsAreCarriedOutBeforeTheScriptGoesOn) {
    struct Case {
        void (*command)();
        const char* name;
        int32_t* setting;
        int32_t expected;
    } cases[] = {
        {Cmd_menu_click_page, "menu_click_page", &PageAtATime, 1},
        {Cmd_menu_click_def, "menu_click_def", &PageAtATime, 0},
        {Cmd_menu_full, "menu_full", &FullScreen, 1},
        {Cmd_menu_window, "menu_window", &FullScreen, 0},
        {Cmd_menu_cd_off, "menu_cd_off", &CdOn, 0},
        {Cmd_menu_cd_on, "menu_cd_on", &CdOn, 1},
        {Cmd_menu_automode, "menu_automode", (int32_t*)&AutoMode, 1},
    };
    for (const Case& c : cases) {
        Run(c.command, "");
        EXPECT_EQ(*c.setting, c.expected) << c.name;
    }
    AutoMode = 0;
    Event(10, "slider 5 6 7");
    Run(Cmd_menu_dwavvol, "");
    ASSERT_EQ(HeadlessDialogs().size(), 1u);
    EXPECT_EQ(HeadlessDialogs()[0].kind, "slider");
    EXPECT_EQ(VoiceVolume, 5);
    EXPECT_EQ(SeVolume, 6);
    EXPECT_EQ(BgmVolume, 7);
    HeadlessQueueAnswer(IDNO);
    Run(Cmd_menu_end, "");
    ASSERT_FALSE(CapturedBoxes().empty());
    EXPECT_EQ(CapturedBoxes().back(), "終了確認: 終了しますか？");
    EXPECT_EQ(QuitRequested, 0);
}

TEST_F(GuiTest, InputAnswersAndEveryRefusal) {
    // inputstr with maxlen 4 and full width: too long, half width, empty, then fine.
    Event(1, "input あいう");
    Event(2, "input aい");
    Event(3, "input");
    Event(4, "input あい");
    Run(Cmd_inputstr, "$1,\"名前は？\",4,1");
    EXPECT_EQ(Str(1), "あい");
    EXPECT_EQ(CapturedBoxes(), (std::vector<std::string>{"文字列入力: 文字列が長すぎます。",
                                                       "文字列入力: 全て全角文字で入力してください。",
                                                       "文字列入力: 文字列を入力してください。"}));
    EXPECT_EQ(HeadlessBoxes()[0].flags, (uint32_t)(MB_OK | MB_ICONERROR));
    ASSERT_EQ(HeadlessDialogs().size(), 4u);
    EXPECT_EQ(Utf8(HeadlessDialogs()[0].caption), "文字列入力");
    EXPECT_EQ(Utf8(HeadlessDialogs()[0].text), "名前は？");
    ClearCapturedBoxes();
    // input: Esc gives the default; inputstr's Esc does nothing.
    Event(1, "input-cancel");
    Run(Cmd_input, "$2,\"?\",\"既定\",10,0");
    EXPECT_EQ(Str(2), "既定");
    Event(1, "input-cancel");
    Event(2, "input ok");
    Run(Cmd_inputstr, "$3,\"?\",10,0,200,100,150,20");
    EXPECT_EQ(Str(3), "ok");
    EXPECT_EQ(InputSizeSet, 1);
    EXPECT_EQ(InputEditWidth, 150);
    // inputnum: "-12" and "" pass, "1-2" and "12a" are refused; no clamp.
    SetIntLimit(4, 0, 5);
    Event(1, "input 1-2");
    Event(2, "input 12a");
    Event(3, "input -12");
    Run(Cmd_inputnum, "%4,\"数\"");
    EXPECT_EQ(IntVariables[4], -12);
    EXPECT_EQ(CapturedBoxes(), (std::vector<std::string>{"数値入力: 数値を入力してください。",
                                                       "数値入力: 数値を入力してください。"}));
    EXPECT_EQ(Utf8(HeadlessDialogs().back().caption), "数値入力");
    Event(1, "input");
    Run(Cmd_inputnum, "%4,\"数\"");
    EXPECT_EQ(IntVariables[4], 0);
    Event(1, "input 99999999999");
    Run(Cmd_inputnum, "%4,\"数\"");
    EXPECT_EQ(IntVariables[4], INT32_MAX);
    SetIntLimit(4, -1, -1);
}

TEST_F(GuiTest, InputTextsAreBoundedOnCharacterBoundaries) {
    std::string many;
    for (int i = 0; i < 200; i++) many += "字";
    // An answer past 255 bytes is cut to 254 (127 characters), never in a character.
    Event(1, "input a" + many);
    Run(Cmd_inputstr, "$1,\"p\",1000,0");
    EXPECT_EQ(StringText(StrVariables[1])[0], 'a');
    EXPECT_EQ(strlen(StringText(StrVariables[1])), 255u);
    Event(1, "input " + many);
    Run(Cmd_inputstr, "$1,\"p\",1000,1");
    EXPECT_EQ(strlen(StringText(StrVariables[1])), 254u);
    // Prompt and default past 255 bytes are cut the same way.
    Event(1, "input-cancel");
    Run(Cmd_input, "$2,\"a" + many + "\",\"" + many + "\",1000,0");
    EXPECT_EQ(Utf8(HeadlessDialogs().back().text).size(), 1 + 127 * 3u);
    EXPECT_EQ(strlen(StringText(StrVariables[2])), 254u);
    // A limit falls on a character boundary.
    EXPECT_EQ(Cp932Cut("a\x82\xa0", 3, 2), 1u);
    EXPECT_EQ(Cp932Cut("a\x82\xa0", 3, 3), 3u);
    EXPECT_EQ(Cp932Cut("\x82", 1, 5), 1u);  // a lone lead byte at the end
    EXPECT_EQ(Cp932Cut("abc", 3, 0), 0u);
}

TEST_F(GuiTest, MessageBoxesAnswerIntoVariablesWithoutTheClamp) {
    SetIntLimit(5, 3, 9);
    struct Case {
        void (*command)();
        const char* operands;
        int answer;
        int32_t expected;
        uint32_t flags;
    } cases[] = {
        {Cmd_yesnobox, "%5,\"続けますか\",\"確認\"", IDYES, 1, MB_YESNO},
        {Cmd_yesnobox, "%5,\"続けますか\",\"確認\"", IDNO, 0, MB_YESNO},
        {Cmd_okcancelbox, "%5,\"よろしい？\",\"確認\"", IDOK, 1, MB_OKCANCEL},
        {Cmd_okcancelbox, "%5,\"よろしい？\",\"確認\"", IDCANCEL, 0, MB_OKCANCEL},
    };
    for (const Case& c : cases) {
        HeadlessQueueAnswer(c.answer);
        Run(c.command, c.operands);
        EXPECT_EQ(IntVariables[5], c.expected) << c.operands;
        EXPECT_EQ(HeadlessBoxes().back().flags, c.flags);
    }
    SetIntLimit(5, -1, -1);
    Run(Cmd_mesbox, "\"日本語の本文\",\"見出し\"");
    EXPECT_EQ(CapturedBoxes().back(), "見出し: 日本語の本文");
    EXPECT_TRUE(HeadlessBoxes().back().owned);
}

TEST_F(GuiTest, TheEditFieldEndsByItsKeysAndAClick) {
    // Enter keeps the text typed; Tab sets ReturnValue 1.
    AssignString(&StrVariables[1], Cp932("前").c_str());
    Event(5, "input 山田");
    Event(6, "key enter");
    Run(Cmd_textfield, "$1,10,10,200,40,16,16,0");
    EXPECT_EQ(Str(1), "山田");
    EXPECT_EQ(ReturnValue, 0);
    EXPECT_FALSE(HeadlessTextFieldIsOpen());
    Event(5, "key tab");
    Run(Cmd_textfield, "$1,10,10,200,40,16,16,0");
    EXPECT_EQ(Str(1), "山田");
    EXPECT_EQ(ReturnValue, 1);
    // Esc first empties the field, and ends it only when it is empty.
    Event(5, "key escape");
    Event(6, "key escape");
    Run(Cmd_textfield, "$1,10,10,200,40,16,16,0");
    EXPECT_EQ(Str(1), "");
    // Full width only: a half-width answer is refused (no icon) and the field stays.
    Event(5, "input ab");
    Event(6, "key enter");
    Event(7, "input ＡＢ");
    Event(8, "click 300 300");
    Run(Cmd_textfield, "$1,10,10,200,40,16,16,1");
    EXPECT_EQ(Str(1), "ＡＢ");
    EXPECT_EQ(CapturedBoxes().back(), "文字列入力: 全て全角文字で入力してください。");
    EXPECT_EQ(HeadlessBoxes().back().flags, (uint32_t)MB_OK);
    // A quit asked meanwhile ends it too.
    QuitRequested = 1;
    Run(Cmd_textfield, "$1,10,10,200,40,16,16,0");
    QuitRequested = 0;
}

TEST_F(GuiTest, SettingsDialogsApplyWhenClosed) {
    TextSpeedDialogMin = 10;
    TextSpeedDialogMax = 50;
    TextSpeed = 200;
    Event(1, "slider 30");
    RunTextSpeedDialog();
    EXPECT_EQ(TextSpeed, 30);
    EXPECT_EQ(TextSpeeds[0], 30);
    TextSpeed = 5;  // clamped into the range, then closed unmoved
    RunTextSpeedDialog();
    EXPECT_EQ(TextSpeed, 10);
    EXPECT_EQ(HeadlessDialogs().back().answer, "10");
    TextSpeedDialogMin = 0;
    TextSpeedDialogMax = 100;
    TextSpeeds[0] = 40;
    // The default auto-speed range 0..0 sets 0.
    AutoSpeedDialogMin = AutoSpeedDialogMax = 0;
    AutoModeWait = 700;
    Event(1, "slider 300");
    RunAutoSpeedDialog();
    EXPECT_EQ(AutoModeWait, 0);
    // delbgmvol: the music slider does not move.
    DelBgmVolume = 1;
    BgmVolume = 40;
    Event(1, "slider 1 2 3");
    RunVolumeDialog();
    EXPECT_EQ(VoiceVolume, 1);
    EXPECT_EQ(SeVolume, 2);
    EXPECT_EQ(BgmVolume, 40);
    EXPECT_EQ(BgmBaseVolume, 40);
    DelBgmVolume = 0;
    VoiceVolume = SeVolume = BgmVolume = BgmBaseVolume = 0;
    // The CD dialog: the default entry clears the folder; Cancel keeps it.
    snprintf(CdDrive, sizeof CdDrive, "/media/cd/");
    Event(1, "list cancel");
    RunCdDriveDialog();
    EXPECT_STREQ(CdDrive, "/media/cd/");
    Event(1, "list 0");
    RunCdDriveDialog();
    EXPECT_STREQ(CdDrive, "");
    EXPECT_EQ(Utf8(HeadlessDialogs().back().caption), "ＣＤドライブ選択");
}

// The CD dialog offers the game's disc images and folders of track files
// and takes a typed path, which it offers itself the next time.
TEST_F(GuiTest, TheCdDialogListsDiscsAndTakesATypedPath) {
    std::string dir = MakeGameFolder();
    for (const char* f :
         {"b.cue", "A.toc", "c.NRG", "disc.bin", "cd/track02.ogg", "bgm/theme.ogg", "x.cue/track03.wav"})
        WriteGameFile(dir, f, "");
    std::string was = PlatGameDir();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    std::vector<std::string> choices = CdDriveChoices();
    std::vector<std::string> game;  // the game folder's, after the drives
    for (const std::string& c : choices)
        if (c[0] != '/') game.push_back(c);
    EXPECT_EQ(game, (std::vector<std::string>{"A.toc", "b.cue", "c.NRG", "cd/", "x.cue/"}));
    int cd = (int)(std::find(choices.begin(), choices.end(), "cd/") - choices.begin());
    Event(1, "list " + std::to_string(cd + 1));
    RunCdDriveDialog();
    EXPECT_STREQ(CdDrive, "cd/");
    Event(1, "list-text /media/ディスク/");
    RunCdDriveDialog();
    EXPECT_EQ(Utf8(CdDrive), "/media/ディスク/");
    EXPECT_EQ(Utf8(HeadlessDialogs().back().answer), "/media/ディスク/");
    Event(1, "list-text /media/ディスク/");  // now an entry of its own, after the others
    RunCdDriveDialog();
    EXPECT_EQ(HeadlessDialogs().back().answer, std::to_string(CdDriveChoices().size() + 1));
    EXPECT_EQ(Utf8(CdDrive), "/media/ディスク/");
    Event(1, "list-text デフォルト");  // the default entry, typed
    RunCdDriveDialog();
    EXPECT_STREQ(CdDrive, "");
    EXPECT_EQ(HeadlessDialogs().back().answer, "0");
    ASSERT_TRUE(PlatSetGameDir(was.c_str()));
}

TEST_F(GuiTest, TheVariableEditorStoresUnclamped) {
    SetIntLimit(3, 0, 10);
    Event(1, "input 3");
    Event(2, "input 77");
    RunVariableEditor();
    EXPECT_EQ(IntVariables[3], 77);
    SetIntLimit(3, -1, -1);
    Event(1, "input 20");
    EXPECT_EQ(FatalBoxOf([] { RunVariableEditor(); }, true), "エラー: 変数番号が範囲外をさしています。");
}

TEST_F(GuiTest, EveryFatalText) {
    struct Case {
        void (*command)();
        const char* operands;
        const char* box;
    } cases[] = {
        {Cmd_insertmenu, "\"a\",end", "エラー: resetmenuを使わないとメニューをカスタムできません。"},
        {Cmd_inputstr, "%1,\"p\",4,0", "構文エラー: inputstrの第一引数は文字変数です。"},
        {Cmd_input, "1,\"p\",\"d\",4,0", "構文エラー: inputの第一引数は文字変数です。"},
        {Cmd_inputnum, "$1,\"p\"", "構文エラー: inputnumの第一引数は数字変数です。"},
        {Cmd_yesnobox, "$1,\"t\",\"c\"", "構文エラー: yesnoboxの引数は数字変数です。"},
        {Cmd_okcancelbox, "1,\"t\",\"c\"", "構文エラー: okcancelboxの引数は数字変数です。"},
        {Cmd_textfield, "%1,0,0,9,9,8,8,0", "エラー: textfield命令の第一引数は文字列変数です"},
        {Cmd_inputstr, "$20,\"p\",4,0", "エラー: 文字列変数番号が範囲外です。"},
        {Cmd_inputnum, "%20,\"p\"", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_textfield, "$-1,0,0,9,9,8,8,0", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (const Case& c : cases) EXPECT_EQ(Fatal(c.command, c.operands), c.box) << c.operands;
    Run(Cmd_resetmenu, "");
    EXPECT_EQ(Fatal(Cmd_resetmenu, ""), "エラー: resetmenuは一度だけしか使えません。");
    EXPECT_EQ(Fatal(Cmd_insertmenu, "\"a\",nothing"), "エラー: メニューカスタマイズ指定が間違っています。");
}

// The keys and messages the window procedure got: key downs by their code,
// characters as 1000 + the character.
std::vector<int>& WindowKeys() {
    static std::vector<int> keys;
    return keys;
}

intptr_t RecordingProc(uint32_t m, uintptr_t w, intptr_t l) {
    if (m == WM_KEYDOWN) WindowKeys().push_back((int)w);
    if (m == WM_CHAR) WindowKeys().push_back(1000 + (int)w);
    return MainWndProc(m, w, l);
}

// Pumps for ms of virtual time.
void PumpFor(uint64_t ms) {
    uint64_t end = HeadlessElapsed() + ms;
    while (HeadlessElapsed() < end) PumpMessage();
}

// Presses and releases each key, 20 ms apart.
void PressKeys(std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        HeadlessEvent ev;
        std::string error;
        std::string line = std::to_string(HeadlessElapsed() + 10) + " key " + key;
        ASSERT_EQ(HeadlessParseEventLine(line.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
        PumpFor(20);
    }
}

// The key and button messages the window procedure gets, as text.
std::vector<std::string>& WindowInput() {
    static std::vector<std::string> v;
    return v;
}
intptr_t InputRecordingProc(uint32_t m, uintptr_t w, intptr_t l) {
    if (m == WM_KEYDOWN) WindowInput().push_back("down " + std::to_string(w));
    if (m == WM_KEYUP) WindowInput().push_back("up " + std::to_string(w));
    if (m == WM_LBUTTONDOWN) WindowInput().push_back("ldown");
    if (m == WM_LBUTTONUP) WindowInput().push_back("lup");
    return MainWndProc(m, w, l);
}

// A key pressed while a box waits for its answer is the box's: held on, it
// reads as up; its release after the box has closed does not reach the
// window; the next press does.  A button press a box took whose release
// never came leaves the next click the game's, release and all.
TEST_F(GuiTest, AKeyOrButtonABoxTookIsItsOwn) {
    PlatSetWindowProc(InputRecordingProc);
    WindowInput().clear();
    Event(10, "keydown enter");
    Event(10, "answer ok");
    EXPECT_EQ(PlatMessageBox("t", "c", MB_OK, true), IDOK);
    EXPECT_FALSE(PlatKeyDown(VK_RETURN));
    Event(10, "keyup enter");
    PumpFor(20);
    EXPECT_TRUE(WindowInput().empty());
    EXPECT_EQ(Clicked, 0);
    PressKeys({"enter"});
    EXPECT_EQ(WindowInput(), (std::vector<std::string>{"down 13", "up 13"}));
    EXPECT_EQ(Clicked, 1);
    Clicked = 0;
    WindowInput().clear();
    MenuBarTakePress(VK_LBUTTON);
    EXPECT_FALSE(PlatKeyDown(VK_LBUTTON));
    Event(10, "click 5 5");
    PumpFor(20);
    EXPECT_EQ(WindowInput(), (std::vector<std::string>{"ldown", "lup"}));
    EXPECT_EQ(Clicked, 1);
    Clicked = 0;
    PlatSetWindowProc(MainWndProc);
}

TEST_F(GuiTest, TheMenuFromTheKeyboardKeepsItsKeysAndClicks) {
    PlatSetWindowProc(RecordingProc);
    WindowKeys().clear();
    // Alt alone opens it on the first entry; Right, Right: 表示形式; Down
    // opens it on デフォルト, Down: 一ページごと; Enter chooses it.  Only
    // Alt reached the window.
    PressKeys({"alt", "right", "right", "down", "down", "enter"});
    EXPECT_EQ(WindowKeys(), (std::vector<int>{VK_MENU}));
    EXPECT_EQ(PageAtATime, 1);
    EXPECT_EQ(Clicked, 0);
    EXPECT_FALSE(PlatMenuOpen());
    PlatSendMessage(WM_COMMAND, CmdLineMode, 0);
    // F10 opens it too; Left wraps to the last entry; Esc on the bar closes it.
    WindowKeys().clear();
    PressKeys({"f10", "left", "escape"});
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_EQ(WindowKeys(), (std::vector<int>{VK_F10}));
    // Esc in a submenu closes the submenu only.
    PressKeys({"alt", "down", "escape"});
    EXPECT_TRUE(PlatMenuOpen());
    // A key held while the menu has it reads as up; its release is the menu's too.
    Event(10, "keydown escape");
    PumpFor(20);
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_FALSE(PlatKeyDown(VK_ESCAPE));
    Event(10, "keyup escape");
    PumpFor(20);
    EXPECT_EQ(WindowKeys(), (std::vector<int>{VK_F10, VK_MENU}));

    // Alt with another key is no menu key: Alt+Enter switches to full screen.
    Event(10, "keydown alt");
    Event(20, "key enter");
    Event(30, "keyup alt");
    PumpFor(40);
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_EQ(FullScreen, 1);
    // Entering or leaving full screen closes the menu (Alt there brings the bar back).
    PressKeys({"alt"});
    EXPECT_TRUE(PlatMenuOpen());
    PlatSendMessage(WM_COMMAND, CmdWindowMode, 0);
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_EQ(FullScreen, 0);

    // A click while it is open closes it and goes no further; the next one is the game's.
    Event(10, "key alt");
    Event(20, "click 5 5");
    PumpFor(30);
    EXPECT_FALSE(PlatMenuOpen());
    EXPECT_EQ(Clicked, 0);
    Event(10, "click 5 5");
    PumpFor(20);
    EXPECT_EQ(Clicked, 1);
    Clicked = 0;

    // With getfunction F10 is the game's; a dialog closes the menu.
    ButtonGetFunction = 1;
    PressKeys({"f10"});
    EXPECT_FALSE(PlatMenuOpen());
    ButtonGetFunction = 0;
    PressKeys({"f10"});
    EXPECT_TRUE(PlatMenuOpen());
    PlatMessageBox("t", "c", MB_OK, true);
    EXPECT_FALSE(PlatMenuOpen());
    // Without a bar there is no menu.
    SetMenuAttached(false);
    PressKeys({"alt"});
    EXPECT_FALSE(PlatMenuOpen());
    SetMenuAttached(true);
    InstallMainWindowProc();
}

TEST(GuiEvents, DialogAndMenuEventsParseAndRefuseBadLines) {
    struct Case {
        const char* line;
        int result;
    } cases[] = {
        {"5 input 山田 太郎", 1}, {"5 input", 1}, {"5 input-cancel", 1}, {"5 input-cancel x", -1},
        {"5 slider 3", 1}, {"5 slider 1 2 3", 1}, {"5 slider", -1}, {"5 slider x", -1},
        {"5 list 2", 1}, {"5 list cancel", 1}, {"5 list -3", -1}, {"5 menu 40007", 1},
        {"5 menu 0", -1}, {"5 menu x", -1}, {"5 menudump /tmp/m.txt", 1}, {"5 menudump", -1},
        {"5 debugstep on", 1}, {"5 debugstep OFF", 1}, {"5 debugstep", -1}, {"5 debugstep 1", -1},
        {"5 debugclose", 1}, {"5 debugclose now", -1}, {"5 debugdump /tmp/d.txt", 1}, {"5 debugdump", -1},
    };
    for (const Case& c : cases) {
        HeadlessEvent ev;
        std::string error;
        EXPECT_EQ(HeadlessParseEventLine(c.line, &ev, &error), c.result) << c.line << " " << error;
    }
    HeadlessEvent ev;
    std::string error;
    // The rest of the line as written, after the one blank that ends the word.
    ASSERT_EQ(HeadlessParseEventLine("7 input  山田 太郎  ", &ev, &error), 1);
    EXPECT_EQ(ev.text, Cp932(" 山田 太郎  "));
    ASSERT_EQ(HeadlessParseEventLine("7 input #1 # not a comment", &ev, &error), 1);
    EXPECT_EQ(ev.text, "#1 # not a comment");
    ASSERT_EQ(HeadlessParseEventLine("7 slider 1 -2 3", &ev, &error), 1);
    EXPECT_EQ(ev.values, (std::vector<int>{1, -2, 3}));
}

}  // namespace
