// The persistent files through whole games in the headless runner: global
// variables across runs, the read-log written and read back, the player's
// settings written at the end and applied through the window's commands at
// the next start, the name logs, and damaged files at start.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

std::string Le(int32_t v) {
    uint32_t u = (uint32_t)v;
    return std::string{(char)(u & 0xFF), (char)(u >> 8 & 0xFF), (char)(u >> 16 & 0xFF), (char)(u >> 24)};
}
std::string Sz(const std::string& s) { return s + std::string(1, '\0'); }

RunResult Play(const std::string& dir, const std::string& script) {
    WriteScript(dir, script);
    return RunGame(dir);
}

void ExpectQuietEnd(const RunResult& r, const char* what) {
    EXPECT_EQ(r.status, 0) << what << "\n" << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << what << ": " << b;
}

std::string FileOf(const std::string& dir, const std::string& name) {
    std::string out;
    EXPECT_TRUE(ReadGameFileBytes(dir, name, &out)) << name;
    return out;
}
bool Exists(const std::string& dir, const std::string& name) {
    std::string out;
    return ReadGameFileBytes(dir, name, &out);
}

const char kCheckGlobals[] =
    "*define\ngame\n*start\n"
    "if %200 != 7 fail_int\nif $201 != \"hi\" fail_text\nif %4095 != -3 fail_last\n"
    "end\n";

TEST(PersistGames, GlobalVariablesOutliveTheGameOnlyWithGlobalon) {
    std::string dir = MakeGameFolder();
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nmov %200,7\nend\n"), "without globalon");
    EXPECT_FALSE(Exists(dir, "gloval.sav"));

    ExpectQuietEnd(Play(dir, "*define\nglobalon\ngame\n*start\n"
                             "mov %199,5\nmov %200,7\nmov $201,\"hi\"\nmov %4095,-3\nend\n"),
                   "first run");
    std::string image = FileOf(dir, "gloval.sav");
    // %200 $200 %201 $201 ...: 5 bytes a variable plus the texts.
    EXPECT_EQ(image.size(), 5u * (4096 - 200) + 2);
    EXPECT_EQ(image.substr(0, 12), Le(7) + Sz("") + Le(0) + "hi" + std::string(1, '\0'));
    EXPECT_EQ(image.substr(image.size() - 5), Le(-3) + Sz(""));

    ExpectQuietEnd(Play(dir, kCheckGlobals), "second run");
    // Deleting the file clears the globals at the next start.
    std::remove((dir + "/gloval.sav").c_str());
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nif %200 != 0 fail_kept\nend\n"), "deleted");
}

// A file written under a larger variable count gives the variables that
// fit, without a warning.
TEST(PersistGames, GlobalsOfALargerVariableCountAreKept) {
    std::string dir = MakeGameFolder();
    ExpectQuietEnd(Play(dir, ";$V5000\n*define\nglobalon\ngame\n*start\n"
                             "mov %200,7\nmov $201,\"hi\"\nmov %4095,-3\nmov %4999,9\nend\n"),
                   "larger count");
    RunResult r = Play(dir, kCheckGlobals);
    ExpectQuietEnd(r, "default count");
    EXPECT_EQ(r.err.find("gloval.sav"), std::string::npos) << r.err;
}

TEST(PersistGames, DamagedFilesAtStartGiveTheDefaultsWithAWarning) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "gloval.sav", Le(7) + "no end");
    WriteGameFile(dir, "envdata", "not a settings file at all, but text\n");
    WriteGameFile(dir, "Orvallog.dat", "2\n\"\x08\x1e\x1e\x15");  // "SEEN" without its quote
    WriteGameFile(dir, "kidoku.dat", std::string(100000, '\xff'));  // longer than the script
    RunResult r = Play(dir,
                       "*define\nlabellog\nkidokuskip\ngame\n*start\n"
                       "if %200 != 0 fail_global\nif lchk *nothere fail_log\nend\n");
    ExpectQuietEnd(r, "damaged files");
    EXPECT_NE(r.err.find("gloval.sav is damaged"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("envdata is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("envdata is damaged", r.err.find("envdata is damaged") + 1), std::string::npos)
        << "one warning: " << r.err;
    EXPECT_NE(r.err.find("Orvallog.dat is damaged"), std::string::npos) << r.err;
    // The files are written anew, whole, at the end.
    EXPECT_LT(FileOf(dir, "kidoku.dat").size(), 100u);
    EXPECT_EQ(FileOf(dir, "envdata").size(), 4u * 11 + 2 + 14);
}

TEST(PersistGames, ReadLogMarksStatementsReachedAndIsReadBack) {
    std::string dir = MakeGameFolder();
    const std::string script = "*define\nkidokuskip\ngame\n*start\nmov %0,1\nend\n*never\nmov %1,1\n";
    ExpectQuietEnd(Play(dir, script), "marking");
    std::string flags = FileOf(dir, "kidoku.dat");
    // The numbered scripts are joined with a newline for each of 100 numbers.
    ASSERT_EQ(flags.size(), (script.size() + 100) / 8);
    auto bit = [&](size_t p) { return (flags[p / 8] >> (p % 8)) & 1; };
    EXPECT_EQ(bit(script.find("mov %0")), 1);
    EXPECT_EQ(bit(script.find("end")), 1);
    EXPECT_EQ(bit(script.find("mov %1")), 0);
    // Without kidokuskip there is no read-log, and none is written.
    std::string other = MakeGameFolder();
    ExpectQuietEnd(Play(other, "*define\ngame\n*start\nend\n"), "no read-log");
    EXPECT_FALSE(Exists(other, "kidoku.dat"));
}

TEST(PersistGames, SkipModeStopsAtUnreadTextUnlessKidokumodeIsOff) {
    // Skip mode ('n') may start only on read text and stops at the first
    // statement never reached, where the click wait then waits.
    const std::string script =
        "*define\nkidokuskip\nglobalon\ngame\n*start\n"
        "mov %200,%200+1\nwait 50\nif %200 = 1 goto *first\n"
        "あいう\\\n*first\nend\n";
    for (int mode : {1, 0}) {
        std::string dir = MakeGameFolder();
        std::string s = script;
        if (mode == 0) s.insert(s.find("game\n"), "kidokumode 0\n");
        ExpectQuietEnd(Play(dir, s), "first run");
        WriteScript(dir, s);
        RunOptions opt;
        opt.events = "20 key n\n";
        opt.max_ms = 20000;
        RunResult r = RunGame(dir, opt);
        // Read text skipped through: the game ends.  Unread text stops the
        // skip with kidokumode on, and the wait runs out the clock.
        if (mode == 1)
            EXPECT_EQ(r.status, 124) << r.err;
        else
            EXPECT_EQ(r.status, 0) << r.err;
    }
}

TEST(PersistGames, SettingsRoundTripThroughTheWindowsCommands) {
    std::string dir = MakeGameFolder();
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nend\n"), "defaults");
    std::string defaults = FileOf(dir, "envdata");
    // Full screen 0, sound 1, speed 1, line mode, the default font, CD 1, no
    // drive, volumes 0, read-log mode 1, no lowering, no folder, wait 0.
    std::string font = Cp932("ＭＳ ゴシック");
    EXPECT_EQ(defaults, Le(0) + Le(1) + Le(1) + Le(0) + Sz(font) + Le(1) + Sz("") + Le(0) + Le(0) +
                            Le(0) + Le(1) + Le(0) + Sz("") + Le(1000));

    // Changed settings come back through the menu commands and are written
    // again unchanged.
    std::string changed = Le(0) + Le(0) + Le(2) + Le(1) + Sz(font) + Le(0) + Sz("D:") + Le(10) +
                          Le(20) + Le(30) + Le(0) + Le(1) + Sz("") + Le(1500);
    WriteGameFile(dir, "envdata", changed);
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nend\n"), "applied");
    EXPECT_EQ(FileOf(dir, "envdata"), changed);

    // A missing wait keeps the script's; 99999 gives 0.
    WriteGameFile(dir, "envdata", changed.substr(0, changed.size() - 4));
    ExpectQuietEnd(Play(dir, "*define\nautomode_time 700\ngame\n*start\nend\n"), "no wait");
    EXPECT_EQ(FileOf(dir, "envdata").substr(changed.size() - 4), Le(700));
    WriteGameFile(dir, "envdata", changed.substr(0, changed.size() - 4) + Le(99999));
    ExpectQuietEnd(Play(dir, "*define\nautomode_time 700\ngame\n*start\nend\n"), "zero wait");
    EXPECT_EQ(FileOf(dir, "envdata").substr(changed.size() - 4), Le(99999));
}

// A game that ends inside its define block (a fatal error there, or a
// signal) has not read the player's settings and the name logs yet: they
// stay as they were, while the read-log and the globals, read before the
// block, are written.
TEST(PersistGames, AnEndInTheDefineBlockKeepsTheSettingsAndNameLogs) {
    std::string dir = MakeGameFolder();
    ExpectQuietEnd(Play(dir, "*define\nlabellog\nglobalon\ngame\n*start\ngoto *seen\n*seen\nmov %300,4\nend\n"),
                   "first run");
    std::string font = Cp932("ＭＳ ゴシック");
    std::string settings = Le(0) + Le(0) + Le(2) + Le(1) + Sz(font) + Le(0) + Sz("D:") + Le(10) + Le(20) +
                           Le(30) + Le(0) + Le(1) + Sz("") + Le(1500);
    WriteGameFile(dir, "envdata", settings);
    std::string log = FileOf(dir, "Orvallog.dat");
    RunResult r = Play(dir, "*define\nlabellog\nglobalon\nmov %300,5\nmov %0\ngame\n*start\nend\n");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(FileOf(dir, "envdata"), settings);
    EXPECT_EQ(FileOf(dir, "Orvallog.dat"), log);
    ExpectQuietEnd(Play(dir, "*define\nglobalon\ngame\n*start\nif %300 != 5 fail_global\nend\n"), "globals");
}

// A settings file that ends early (after field 7): its fields apply, through
// the menu as well, and the volumes of the *define block stand; one warning
// names the file and its first missing field.
TEST(PersistGames, ShortSettingsFileGivesTheFieldsItHolds) {
    std::string dir = MakeGameFolder();
    std::string font = Cp932("ＭＳ ゴシック");
    WriteGameFile(dir, "envdata", Le(0) + Le(1) + Le(2) + Le(0) + Sz(font) + Le(1) + Sz(""));
    WriteScript(dir, "*define\ndefvoicevol 10\ndefsevol 40\ngame\n*start\nwait 1500\nend\n");
    RunOptions opt;
    opt.events = "1000 menudump " + dir + "/menu.txt\n";
    RunResult r = RunGame(dir, opt);
    ExpectQuietEnd(r, "short settings");
    std::string menu = FileOf(dir, "menu.txt");
    EXPECT_NE(menu.find("= 40016 *"), std::string::npos) << menu;  // the fast speed checked
    EXPECT_EQ(menu.find("= 40015 *"), std::string::npos) << menu;
    // Written whole at the end: speed 2, volumes 90 and 60 (100 minus the
    // script's), the music volume and the rest as before.
    EXPECT_EQ(FileOf(dir, "envdata"), Le(0) + Le(1) + Le(2) + Le(0) + Sz(font) + Le(1) + Sz("") +
                                          Le(90) + Le(60) + Le(0) + Le(1) + Le(0) + Sz("") +
                                          Le(1000));
    size_t warning = r.err.find("envdata ends before field 8");
    EXPECT_NE(warning, std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("envdata", warning + 1), std::string::npos) << r.err;  // once
}

TEST(PersistGames, SaveFolderFromSettingsHoldsGlobals) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "sv/keep", "");
    std::string env = Le(0) + Le(1) + Le(1) + Le(0) + Sz(Cp932("ＭＳ ゴシック")) + Le(1) + Sz("") +
                      Le(0) + Le(0) + Le(0) + Le(1) + Le(0) + Sz("sv") + Le(99999);
    WriteGameFile(dir, "envdata", env);
    ExpectQuietEnd(Play(dir, "*define\nglobalon\ngame\n*start\nmov %300,4\nend\n"), "save folder");
    EXPECT_TRUE(Exists(dir, "sv/gloval.sav"));
    EXPECT_FALSE(Exists(dir, "gloval.sav"));
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nif %300 != 4 fail_global\nend\n"), "read back");
}

TEST(PersistGames, NameLogsWrittenWhenAskedAndReadBack) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "Pic.bmp", std::string());
    ExpectQuietEnd(Play(dir, "*define\nlabellog\ngame\n*start\ngoto *Seen\n*seen\ngoto *seen2\n*seen2\nend\n"),
                   "first run");
    EXPECT_FALSE(Exists(dir, "Orvaflog.dat"));
    std::string log = FileOf(dir, "Orvallog.dat");
    auto scrambled = [](const std::string& s) {
        std::string out = "\"";
        for (char c : s) out += (char)(c ^ 0x5B);
        return out + "\"";
    };
    EXPECT_EQ(log, "4\n" + scrambled("DEFINE") + scrambled("START") + scrambled("SEEN") +
                       scrambled("SEEN2"));
    ExpectQuietEnd(Play(dir, "*define\nlabellog\ngame\n*start\n"
                             "notif lchk *seen2 fail_seen2\nif lchk *other fail_other\nend\n"),
                   "second run");
    // Without labellog the log is not loaded.
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nif lchk *seen2 fail_loaded\nend\n"), "not asked");
}

// A 1 x 1 24-bit picture.
std::string TinyBmp() {
    std::string h = "BM" + Le(58) + Le(0) + Le(54) + Le(40) + Le(1) + Le(1) +
                    std::string("\x01\x00\x18\x00", 4) + Le(0) + Le(4) + Le(2835) + Le(2835) + Le(0) +
                    Le(0);
    return h + std::string("\x10\x20\x30\x00", 4);
}

TEST(PersistGames, FileLogKeepsThePicturesLoaded) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "cg/Pic.bmp", TinyBmp());
    ExpectQuietEnd(Play(dir, "*define\nfilelog\ngame\n*start\nbg \"cg/Pic.bmp\",1\n"
                             "bg \"CG\\PIC.BMP\",1\nend\n"),
                   "first run");
    // The picture is logged once, behind what the engine loaded itself (the
    // wait cursors).
    std::string entry = "\"";
    for (char c : std::string("CG\\PIC.BMP")) entry += (char)(c ^ 0x5B);
    entry += "\"";
    std::string log = FileOf(dir, "Orvaflog.dat");
    ASSERT_GE(log.size(), entry.size());
    EXPECT_EQ(log.substr(log.size() - entry.size()), entry);
    EXPECT_EQ(log.find(entry), log.size() - entry.size());
    EXPECT_FALSE(Exists(dir, "Orvallog.dat"));
    ExpectQuietEnd(Play(dir, "*define\nfilelog\ngame\n*start\n"
                             "notif fchk \"cg\\pic.bmp\" fail_seen\nif fchk \"x.bmp\" fail_unseen\nend\n"),
                   "second run");
}

}  // namespace

// The temporary files of writers killed before their rename go at the next
// start, in the game folder and in the save folder; those of a copy still
// running, and other programs' files, stay.
TEST(PersistGames, StaleTemporaryFilesGoAtStart) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    std::string gone = ".tmp" + std::to_string((long)child);      // a writer no longer running
    std::string running = ".tmp" + std::to_string((long)getpid());  // this test: still running

    std::string dir = MakeGameFolder();
    const char* const stale[] = {"save1.dat", "SAVE12.DAT", "save-1.dat", "gloval.sav", "envdata",
                                 "Orvallog.dat", "sv/kidoku.dat", "sv/save3.dat"};
    for (const char* name : stale) WriteGameFile(dir, name + gone, "x");
    const std::string kept[] = {"save1.dat" + running, "sv/gloval.sav" + running,
                                "notes.txt" + gone, "save1.dat.tmp", "sv/save1.datx" + gone};
    for (const std::string& name : kept) WriteGameFile(dir, name, "x");

    ExpectQuietEnd(Play(dir, "*define\nsavedir \"sv\"\nlabellog\ngame\n*start\nend\n"), "start");
    for (const char* name : stale) EXPECT_FALSE(Exists(dir, name + gone)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(Exists(dir, name)) << name;

    // Once per process: a stale-looking file made in the first pass is
    // still there after the second (definereset).
    dir = MakeGameFolder();
    std::string made = "save5.dat" + gone;
    ExpectQuietEnd(Play(dir, "*define\ngame\n*start\nfileexist %1,\"pass.csv\"\nif %1 = 1 end\n"
                             "csvopen \"pass.csv\",\"w\":csvwrite 1:csvclose\n"
                             "csvopen \"" + made + "\",\"w\":csvwrite 1:csvclose\ndefinereset\n"),
                   "two passes");
    EXPECT_TRUE(Exists(dir, "pass.csv"));
    EXPECT_TRUE(Exists(dir, made));
}

