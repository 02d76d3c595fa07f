// date and time from the settable headless clock, getreg, getini with its
// profile rules, shell and winexec (recorded headless; one real program
// started and waited for), the command-line splitting, and the error texts.
#include <sys/stat.h>

#include <ctime>
#include <string>

#include "core/ini.h"
#include "core/system_commands.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/core/command_fixture.h"

namespace {

class System : public CommandTest {
protected:
    std::string dir;
    void SetUp() override {
        CommandTest::SetUp();
        dir = EnterGameFolder();
        HeadlessClearLaunches();
        HeadlessAllowPrograms(false);
    }
    void TearDown() override {
        HeadlessSetLocalTime(nullptr);
        HeadlessAllowPrograms(false);
        CommandTest::TearDown();
    }
    static void SetClock(int y, int mo, int d, int h, int mi, int s) {
        struct tm t = {};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        HeadlessSetLocalTime(&t);
    }
    std::string Three(int a) {
        return std::to_string(IntVariables[a]) + "," + std::to_string(IntVariables[a + 1]) + "," +
               std::to_string(IntVariables[a + 2]);
    }
};

TEST_F(System, DateAndTimeFromTheLocalClock) {
    SetClock(2011, 12, 9, 23, 59, 58);
    Run("date %0,%1,%2");
    EXPECT_EQ(Three(0), "11,12,9");
    Run("time %3,%4,%5");
    EXPECT_EQ(Three(3), "23,59,58");
    // The clock moves with virtual time: two seconds later it is the 10th.
    HeadlessAdvance(2000);
    Run("time %3,%1+3,%5");
    EXPECT_EQ(Three(3), "0,0,0");
    Run("date %0,%1,%2");
    EXPECT_EQ(Three(0), "11,12,10");
    SetClock(2000, 1, 1, 7, 5, 3);
    Run("date %0,%1,%2");
    EXPECT_EQ(Three(0), "0,1,1");
    Run("time %0,%1,%2");
    EXPECT_EQ(Three(0), "7,5,3");
}

TEST_F(System, DateAndTimeDoNotClamp) {
    SetClock(2011, 12, 9, 0, 0, 0);
    SetIntLimit(0, 0, 5);
    Run("date %0,%1,%2");
    EXPECT_EQ(IntVariables[0], 11);
}

TEST_F(System, DateAndTimeErrorsStoreNothing) {
    SetClock(2011, 12, 9, 10, 20, 30);
    const char* cases[][2] = {
        {"date $0,%1,%2", "構文エラー: dateの第一引数は数字変数です。"},
        {"date %0,1,%2", "構文エラー: dateの第ニ引数は数字変数です。"},
        {"date %0,%1,$2", "構文エラー: dateの第ニ引数は数字変数です。"},
        {"time 0,%1,%2", "構文エラー: timeの第一引数は数字変数です。"},
        {"time %0,$1,%2", "構文エラー: timeの第ニ引数は数字変数です。"},
        {"time %0,%1,%100", "エラー: 変数番号が範囲外をさしています。"},
        {"date %0,%-1,%2", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (auto& c : cases) {
        IntVariables[0] = IntVariables[1] = IntVariables[2] = -9;
        EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
        EXPECT_EQ(Three(0), "-9,-9,-9") << c[0];
    }
}

TEST_F(System, GetregHasNoRegistry) {
    AssignString(&StrVariables[4], "old");
    IntVariables[0] = 2;
    Run("getreg $%0+2,\"Software\\Maker\\Game\",\"InstallPath\"");
    EXPECT_EQ(Str(4), "");
    EXPECT_EQ(Fatal("getreg %0,\"a\",\"b\""), "構文エラー: getregの第一引数は文字変数です。");
    EXPECT_EQ(Fatal("getreg $99+1,\"a\",\"b\""), "エラー: 文字列変数番号が範囲外です。");
}

TEST_F(System, IniLookupRules) {
    const std::string ini = Cp932(
        "top=before any section\r\n"
        "[Game]\r\n"
        "  Name = 物語 \r\n"
        "quoted=\"  spaced  \"\r\n"
        "single='x'\r\n"
        "half=\"open\r\n"
        "empty=\r\n"
        "; note=comment\r\n"
        "bare\r\n"
        "dup=first\r\n"
        "dup=second\r\n"
        "[ Other ]\n"
        "k=v\n"
        "[game]\n"
        "late=never found\n");
    struct Case {
        const char* section;
        const char* key;
        const char* want;
    } cases[] = {
        {"Game", "name", "物語"}, {"GAME", "NAME", "物語"}, {"Game", "quoted", "  spaced  "},
        {"Game", "single", "x"},  {"Game", "half", "\"open"}, {"Game", "empty", ""},
        {"Game", "note", ""},     {"Game", "; note", ""},     {"Game", "bare", ""},
        {"Game", "dup", "first"}, {"other", "k", "v"},        {"Game", "late", ""},
        {"Game", "k", ""},        {"", "top", "before any section"}, {"Game", "top", ""},
        {"Missing", "name", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8(IniLookup(ini.data(), ini.size(), c.section, c.key)), c.want)
            << c.section << "/" << c.key;
    // At most 255 bytes, never half a character.
    std::string longv = "k=" + std::string(254, 'a') + Cp932("あ") + "\n";
    std::string got = IniLookup(longv.data(), longv.size(), "", "k");
    EXPECT_EQ(got, std::string(254, 'a'));
    longv = "k=" + std::string(300, 'b');
    EXPECT_EQ(IniLookup(longv.data(), longv.size(), "", "k"), std::string(255, 'b'));
}

TEST_F(System, GetiniReadsAFileOfTheGameFolder) {
    WriteGameFile(dir, "Config/Setup.ini", Cp932("[Sound]\nVolume=80\nTitle=音量\n"));
    Run("getini $1,\"config\\setup.ini\",\"sound\",\"volume\"");
    EXPECT_EQ(Str(1), "80");
    IntVariables[1] = 80;
    Run("getini $%1-78,\"Config/Setup.ini\",\"Sound\",\"Title\"");  // $2
    EXPECT_EQ(Str(2), "音量");
    AssignString(&StrVariables[3], "old");
    Run("getini $3,\"none.ini\",\"Sound\",\"Volume\"");
    EXPECT_EQ(Str(3), "");
    EXPECT_EQ(Fatal("getini %1,\"a\",\"b\",\"c\""), "構文エラー: getiniの第一引数は文字変数です。");
    EXPECT_EQ(Fatal("getini $100,\"a\",\"b\",\"c\""), "エラー: 文字列変数番号が範囲外です。");
}

TEST_F(System, CommandLines) {
    struct Case {
        const char* line;
        const char* words;  // joined with '|'
    } cases[] = {
        {"tool.exe -a b", "tool.exe|-a|b"},
        {"  \"C:\\Program Files\\x.exe\"  \"two words\" x\"y z\"w ", "C:\\Program Files\\x.exe|two words|xy zw"},
        {"", ""},
        {"one", "one"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& w : SplitCommandLine(c.line)) joined += (joined.empty() ? "" : "|") + w;
        EXPECT_EQ(joined, c.words) << c.line;
    }
    // A program of the game folder is found with or without ".exe"; other
    // names are left to PATH, ".exe" dropped.
    WriteGameFile(dir, "Tools/Helper", "#!/bin/sh\n");
    WriteGameFile(dir, "run.sh", "#!/bin/sh\n");
    auto args = [](const char* line) {
        std::string joined;
        for (const std::string& w : ProgramArguments(Cp932(line).c_str())) joined += (joined.empty() ? "" : "|") + w;
        return joined;
    };
    EXPECT_EQ(args("tools\\helper.EXE 1 データ"), "Tools/Helper|1|データ");
    EXPECT_EQ(args("run.sh x"), "./run.sh|x");
    EXPECT_EQ(args("notepad.exe readme.txt"), "notepad|readme.txt");
    EXPECT_EQ(args("xdg-open"), "xdg-open");
}

TEST_F(System, HeadlessRunsStartNothing) {
    WriteGameFile(dir, "Manual.html", "<html>");
    Run("shell \"manual.HTML\"");
    Run("shell \"https://example.org/?a=1&b=2\"");
    IntVariables[0] = 0;
    Run("winexec \"setup.exe /quiet\",1");  // not started: nothing to wait for
    Run("inc %0");
    ASSERT_EQ(HeadlessLaunches().size(), 3u);
    EXPECT_EQ(HeadlessLaunches()[0], "open Manual.html");
    EXPECT_EQ(HeadlessLaunches()[1], "open https://example.org/?a=1&b=2");
    EXPECT_EQ(HeadlessLaunches()[2], "run setup /quiet");
    EXPECT_EQ(IntVariables[0], 1);
}

TEST_F(System, WinexecWaitsForTheProgramsEnd) {
    HeadlessAllowPrograms(true);
    // The program leaves a mark; with wait 1 it is there when winexec returns.
    WriteGameFile(dir, "mark.sh", "#!/bin/sh\nsleep 0.05\necho done > marked.txt\n");
    chmod((dir + "/mark.sh").c_str(), 0755);
    Run("winexec \"mark.sh\",1");
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "marked.txt", &bytes));
    EXPECT_EQ(bytes, "done\n");
    // A continue message ends the wait before the program does; the test
    // then ends the program (it names its process id) instead of leaving it.
    HeadlessInjectAt(HeadlessElapsed() + 30, MsgExecContinue, 0, 0);
    WriteGameFile(dir, "slow.sh", "#!/bin/sh\necho $$ > slow.tmp\nmv slow.tmp slow.pid\nexec sleep 30\n");
    chmod((dir + "/slow.sh").c_str(), 0755);
    uint64_t before = HeadlessElapsed();
    Run("winexec \"slow.sh\",1");
    EXPECT_LT(HeadlessElapsed() - before, 1000u);
    std::string pid;
    for (int i = 0; i < 5000 && !ReadGameFileBytes(dir, "slow.pid", &pid); i++) usleep(1000);
    ASSERT_GT(atoi(pid.c_str()), 0) << "slow.sh did not start";
    EXPECT_EQ(kill(atoi(pid.c_str()), SIGKILL), 0);
    // A program that cannot be started is not waited for.
    Run("winexec \"no-such-program-here\",1");
    Run("winexec \"\",1");
}

TEST_F(System, WrongOperands) {
    const char* cases[][2] = {
        {"winexec \"a\"", "構文エラー: コンマが必要なところにコンマが有りません。"},
        {"shell 1", "構文エラー: 文字列が来るべきところに文字列がありません。"},
    };
    for (auto& c : cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
}

}  // namespace
