// Whole games through the headless runner: the script's own menu bar as the
// events file dumps it, dialog and box answers from the events file reaching
// the script's variables, a menu click closing the game through its
// question, an input dialog the events file never answers, and the debug
// window's player ticking step execution, reading the trace and closing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/game_folder.h"

namespace {

TEST(GuiGames, MenuDialogsAndBoxesFromTheEventsFile) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\n"
                "resetmenu\n"
                "insertmenu \"終了\",end\n"
                "insertmenu \"表示\",sub\n"
                "insertmenu \"頁ごと\",clickpage,1\n"
                "game\n"
                "*start\n"
                "inputstr $0,\"名前を入力\",10,1\n"
                "input $1,\"あだ名\",\"ちび\",10,0\n"
                "inputnum %0,\"年齢\"\n"
                "yesnobox %1,\"本当？\",\"確認\"\n"
                "okcancelbox %2,\"よろしい？\",\"確認\"\n"
                "mesbox \"おわり\",\"通知\"\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite $0,$1,%0,%1,%2\n"
                "csvclose\n"
                "wait 5000\n"
                "end\n");
    RunOptions opt;
    opt.events =
        "400 menudump " + dir + "/menu.txt\n"
        "600 input ab\n"         // refused: half width
        "600 answer ok\n"        // its box waits for the answer
        "601 input 太郎\n"
        "601 answer yes\n"       // yesnobox
        "601 answer cancel\n"    // okcancelbox
        "602 input-cancel\n"     // input: the default
        "603 input -5\n"
        "1400 answer yes\n"      // the quit question
        "1500 menu 40001\n";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string menu;
    ASSERT_TRUE(ReadGameFileBytes(dir, "menu.txt", &menu)) << r.err;
    EXPECT_EQ(menu, "表示 >\n  頁ごと = 40007\n終了 = 40001\n");
    std::string csv;
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv)) << r.err;
    EXPECT_EQ(Utf8(csv).substr(0, Utf8(csv).find_last_not_of("\r\n") + 1), "太郎,ちび,-5,1,0");
    EXPECT_EQ(r.boxes, (std::vector<std::string>{"文字列入力: 全て全角文字で入力してください。", "確認: 本当？",
                                                 "確認: よろしい？", "通知: おわり", "終了確認: 終了しますか？"}));
}

TEST(GuiGames, AnInputDialogWithoutAnAnswerEndsTheRun) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\ninputstr $0,\"?\",10,0\nend\n");
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("has no answer in the events file"), std::string::npos) << r.err;
}

// The runner answers as a player at the keyboard would: a box waits for the
// answer still to come (the click meanwhile goes to the box, so the click
// wait after it waits for the next one); only the box after the last answer
// takes its default; an input dialog takes the rest of its line as written;
// one with a default and no answer left closes with the default.
TEST(GuiGames, AnswersAndInputAsAPlayerGivesThem) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "yesnobox %1,\"q\",\"c\"\n"
                "resettimer\nclick\ngettimer %2\n"
                "yesnobox %3,\"q\",\"c\"\n"
                "inputstr $4,\"p\",20,0\n"
                "input $5,\"p\",\"def\",10,0\n"
                "csvopen \"out.csv\",\"w\"\ncsvwrite %1,%2,%3,$4,$5\ncsvclose\nend\n");
    RunOptions opt;
    opt.events =
        "# the box opens at once; its answer comes later\n"
        "900 click 5 5\n"
        "1000 answer no\n"
        "2000 click 5 5\n"
        "2100 input  a # b \n";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string csv;
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv)) << r.err;
    // The click wait began at 1000 ms and ended with the click at 2000 ms.
    EXPECT_EQ(csv.substr(0, csv.find_last_not_of("\r\n") + 1), "0,1000,1, a # b ,def");
}

// With --click-waits a textfield ends at once, keeping its text.
TEST(GuiGames, ClickWaitsEndATextfield) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\nmov $0,\"abc\"\ntextfield $0,0,0,99,19,10,10,0\ngetret %1\n"
                "csvopen \"out.csv\",\"w\"\ncsvwrite $0,%1\ncsvclose\nend\n");
    RunOptions opt;
    opt.click_waits = true;
    opt.max_ms = -1;
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    std::string csv;
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv)) << r.err;
    EXPECT_EQ(csv.substr(0, csv.find_last_not_of("\r\n") + 1), "abc,0");
}

// The text-speed dialog before any settextspeed runs 0..100: closed
// unmoved it keeps the speed (20 ms a character), moved to 50 it makes a
// ten-character line take half a second.
TEST(GuiGames, TheTextSpeedDialogRunsFromZeroToAHundred) {
    struct Case {
        const char* events;
        const char* answered;  // the dialog's answer, "" when not opened
        int min_ms, max_ms;    // the line's time
    } cases[] = {
        {"", "", 200, 260},
        {"300 menu 40030\n", "20", 200, 260},
        {"300 menu 40030\n310 slider 50\n", "50", 500, 560},
        {"300 menu 40030\n310 slider 500\n", "100", 1000, 1060},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.events);
        std::string dir = MakeGameFolder();
        WriteScript(dir,
                    "*define\nresetmenu\ninsertmenu \"文字\",textspeed\ngame\n*start\n"
                    "wait 1000\nresettimer\nあいうえおかきくけこ\ngettimer %0\n"
                    "csvopen \"out.csv\",\"w\"\ncsvwrite %0\ncsvclose\nend\n");
        RunOptions opt;
        opt.events = c.events;
        RunResult r = RunGame(dir, opt);
        ASSERT_EQ(r.status, 0) << r.err;
        if (*c.answered) {
            EXPECT_NE(r.err.find(std::string("slider dialog \"文字表示設定\" answered ") + c.answered + "\n"),
                      std::string::npos)
                << r.err;
        }
        std::string csv;
        ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv)) << r.err;
        int ms = atoi(csv.c_str());
        EXPECT_GE(ms, c.min_ms) << csv;
        EXPECT_LE(ms, c.max_ms) << csv;
    }
}

// A key that a dialog or box takes is the box's: the game does not see it
// held after the box has closed, nor its release; the next press is the
// game's.  Each case presses the key in the box at 1600 ms (released at
// 1700) and again for the game at 2000; the script notes what ended its
// wait and when, the first row telling when the script's timer started.
TEST(GuiGames, AKeyABoxTookIsNotTheGames) {
    struct Case {
        const char* name;
        const char* body;    // after *start; ends with the wait noted
        const char* events;  // besides the box's key and the game's
        const char* key;     // the key's name, "" for none
        int at;              // ms: when the noted wait ends
        const char* noted;   // what ended it (and btnwait's result)
    } cases[] = {
        {"Esc for the game alone", "mov $0,\"click\"\nあ\\\ngoto *note\n", "2000 key escape\n", "", 2000, "rc"},
        {"the close box's question answered No with Esc in a click wait",
         "mov $0,\"click\"\nあ\\\ngoto *note\n", "1500 close\n1600 answer no\n", "escape", 2000, "rc"},
        // The game's Esc closes the viewer; the click after it ends the wait.
        {"the close box's question answered No with Esc in the lookback viewer",
         "あ\\\nい\\\nmov $0,\"click\"\nう@\ngoto *note\n",
         "1100 click 5 5\n1200 click 5 5\n1300 wheel 1\n1500 close\n1600 answer no\n", "escape", 3000, "click"},
        {"Esc closing the volume dialog in a click wait",
         "mov $0,\"click\"\nあ\\\ngoto *note\n", "1500 menu 40024\n1600 slider 0 0 0\n", "escape", 2000, "rc"},
        {"Enter closing a message box of the menu in a btnwait with getenter",
         "btndef \"\"\ngetenter\nbtnwait %1\nmov $0,\"btnwait\"\ngoto *note\n", "1500 menu 40005\n1600 answer ok\n",
         "enter", 2000, "btnwait,-19"},
        // Enter pressed and released ends a wait.
        {"Enter answering yesnobox before a wait", "yesnobox %2,\"q\",\"c\"\nmov $0,\"wait\"\nwait 5000\ngoto *note\n",
         "1600 answer yes\n", "enter", 2000, "wait"},
        {"Esc answering okcancelbox before a click wait",
         "okcancelbox %2,\"q\",\"c\"\nmov $0,\"click\"\nあ\\\ngoto *note\n", "1600 answer cancel\n", "escape", 2000,
         "rc"},
    };
    int start = -1;  // when the script's timer started
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\nrgosub *rc\ngame\n*start\nmov %1,1\nresettimer\n") + c.body +
                             "*rc\nmov $0,\"rc\"\n"
                             "*note\ngettimer %0\ncsvopen \"out.csv\",\"w\"\n"
                             "if %1 = 1 csvwrite %0,$0\nif %1 <> 1 csvwrite %0,$0,%1\ncsvclose\nend\n");
        RunOptions opt;
        opt.events = *c.key ? std::string("1600 keydown ") + c.key + "\n1700 keyup " + c.key + "\n2000 key " + c.key + "\n"
                            : std::string();
        opt.events += std::string(c.events) + "3000 click 5 5\n";
        RunResult r = RunGame(dir, opt);
        ASSERT_EQ(r.status, 0) << r.err;
        std::string csv;
        ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv)) << r.err;
        csv = csv.substr(0, csv.find_last_not_of("\r\n") + 1);
        if (start < 0) start = c.at - atoi(csv.c_str());
        EXPECT_EQ(csv, std::to_string(c.at - start) + "," + c.noted) << r.err;
    }
}

TEST(GuiGames, TheDebugWindowStepsTracesAndCloses) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ncreatedebugwindow\ngame\n*start\n"
                "wait 5000\nmov %0,1\nmov %1,%0\nwait 5000\nmov %2,3\nend\n");
    RunOptions opt;
    // Ticked during the first wait, read and closed during the second.
    opt.events = "2000 debugstep on\n7000 debugdump " + dir + "/trace.txt\n7500 debugclose\n";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    // A step box after the first wait and each mov; none once closed.
    EXPECT_EQ(r.boxes, std::vector<std::string>(3, "ステップ実行: ステップ実行中"));
    std::string trace;
    ASSERT_TRUE(ReadGameFileBytes(dir, "trace.txt", &trace)) << r.err;
    EXPECT_EQ(trace, "0.txt line:8 命令:wait\r\n> wait 5000\n");
}

}  // namespace
