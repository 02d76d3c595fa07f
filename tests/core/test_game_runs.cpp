// Whole runs of tiny games through the headless runner: the fatal error box
// as the player sees it, the story starting at *start, end, the voice
// shortcut, definereset reloading everything, and each pass starting clean.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

const char kHead[] = "*define\ngame\nnosuch0\n*start\n";

std::string Le32(size_t v) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; i++) out[i] = (char)(v >> (8 * i));
    return out;
}

// The runner reports a box's newlines as "\\n".
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

TEST(GameRun, StoryStartsAtStartAndEndEndsWithZero) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, std::string(kHead) + "v01:dv02:mv03\nend\n");
    // The voices the statements name: two short silent waves, and music that
    // does not decode (silence, no error).
    std::string pcm(882, '\0');
    std::string wav = std::string("RIFF") + Le32(36 + pcm.size()) + "WAVEfmt " + Le32(16) +
                      std::string("\x01\x00\x01\x00", 4) + Le32(44100) + Le32(88200) +
                      std::string("\x02\x00\x10\x00", 4) + "data" + Le32(pcm.size()) + pcm;
    WriteGameFile(dir, "voice/01.wav", wav);
    WriteGameFile(dir, "voice/02.wav", wav);
    WriteGameFile(dir, "voice/03.mp3", "not an mp3");
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << r.boxes[0];
}

TEST(GameRun, FaultBoxNamesFileAndLineWithTheExcerpt) {
    for (const char* name : {"3.txt", "03.txt"}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, kHead);
        // Files 1 and 2 are missing; the story runs on into file 3.
        WriteScript(dir, std::string(11, '\n') + "nosuch  \n", name);
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 1) << r.err;
        ASSERT_EQ(r.boxes.size(), 1u) << r.err;
        EXPECT_EQ(r.boxes[0], Escape("構文エラー: 不正な命令\"nosuch\"です。\n\n" + std::string(name) +
                                         " line:12\n\n|\n|\n>nosuch  "));
    }
}

TEST(GameRun, EndOfTheScript) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, kHead);
    RunResult r = RunGame(dir);
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    // The hundred file separators come before the end.
    EXPECT_EQ(r.boxes[0], Escape("スクリプトエラー: ファイルの終端に達しました。\n\n099.txt line:2\n\n|\n|\n>"));
}

TEST(GameRun, DefineresetReloadsAndRunsDefineAgain) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ncreatedebugwindow\ndebuglog 1\ngame\n*start\n"
                "debuglog %300+1\ngetversion %300\ndebuglog %300\ndefinereset\nnosuch\n");
    RunOptions opt;
    opt.max_ms = 1200;  // each pass waits 505 ms of virtual time
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << r.boxes[0];  // nothing after definereset ran
    std::string log;
    ASSERT_TRUE(ReadGameFileBytes(dir, "debuglog.txt", &log));
    log = Utf8(log);
    // Every pass runs *define (game is traced) and starts the story with
    // the variables allocated and read anew.
    const std::string zero = "数字変数%300へアクセス：値0\r\n";
    const std::string set = "数字変数%300へアクセス：値296\r\n";
    size_t first = log.find(zero);
    ASSERT_NE(first, std::string::npos) << log;
    size_t first_set = log.find(set, first);
    ASSERT_NE(first_set, std::string::npos) << log;
    size_t second = log.find(zero, first_set);
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_NE(log.find(set, second), std::string::npos) << log;
    size_t games = 0;
    for (size_t p = 0; (p = log.find("命令:game", p)) != std::string::npos; p++) games++;
    EXPECT_GE(games, 2u) << log;
}

TEST(GameRun, EachPassStartsClean) {
    // The first pass leaves a click nobody took and a sprite font behind,
    // then restarts; the second (told apart by the slot the first saved)
    // must see neither: an armed trap stays quiet and a string sprite
    // takes the text window's font.
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\nfileexist %1,\"save1.dat\"\nif %1 = 1 goto *second\n"
                "spfont \"x\",30,30,2,2,0,0\nmousemode 0\nclick\nwait 400\nsavegame 1\ndefinereset\n"
                "*second\ntrap *trapped\nresettimer\n*idle\ngettimer %2\nif %2 < 100 goto *idle\ntrap off\n"
                "lsp 13,\":s#ffffffあい\",0,0\ngetspsize 13,%3,%4\n"
                "if %3 != 53 fail_sprite_font_kept\nif %4 != 26 fail_sprite_font_height_kept\nend\n"
                "*trapped\nfail_click_kept\n");
    RunOptions opt;
    opt.events = "1000 click 5 5\n1200 click 5 5\n";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

}  // namespace
