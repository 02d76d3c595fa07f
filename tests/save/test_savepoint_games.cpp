// A save holds the state of its savepoint, played through the headless
// runner: what the commands after the last savepoint changed (a variable, a
// sprite, the music) is not in the slot the menu saves during a later wait,
// nor in the slot errorsave writes.
#include <gtest/gtest.h>

#include <string>

#include "core/heapstring.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/sprite.h"
#include "save/gamestate.h"
#include "sound/music.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/game_folder.h"

namespace {

// The right-click menu's "Save" onto slot 1 during the wait that starts
// before 1100 ms, then a click that ends that wait (keys as in the slot menu
// tests: Down onto the first entry, Enter; Left onto "はい　", Enter).
const char* const kSaveAtTheSecondWait =
    "1000 click 5 5\n"
    "1100 rclick 5 5\n1150 move 5 5\n1200 key down\n1300 key enter\n"
    "1350 move 5 5\n1400 key down\n1500 key enter\n1600 key left\n1700 key enter\n"
    "1800 click 5 5\n";

RunResult Play(const std::string& dir, const std::string& events) {
    RunOptions opt;
    opt.events = events;
    opt.max_ms = 20000;
    return RunGame(dir, opt);
}

void ExpectClean(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

// Reads a slot of a game with the default variable counts into this
// process's game state; false when it is damaged.
bool ReadSlotState(const std::string& dir, const char* name) {
    std::string bytes;
    if (!ReadGameFileBytes(dir, name, &bytes)) return false;
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    SaveStream s;
    OpenSaveReader(&s, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (!ReadGameState(&s, false)) return false;
    OpenSaveReader(&s, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return ReadGameState(&s, true);
}

}  // namespace

// The savepoint before inc: saved during the page wait behind it and loaded,
// the game runs inc again from 0 and shows 1.
TEST(SavepointGames, VariableChangedAfterTheSavepoint) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\nrmenu \"Save\",save,\"Load\",load\ngame\n*start\n"
                "savefileexist %5,1\n"
                "if %5 = 1 loadgame 1\n"
                "mov %1,0\n"
                "あ@\n"
                "inc %1\n"
                "い\\\n"
                "csvopen \"out.csv\",\"w\"\ncsvwrite %1\ncsvclose\nend\n");
    ExpectClean(Play(dir, kSaveAtTheSecondWait));
    std::string out;
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &out));
    EXPECT_EQ(out, "1");
    ASSERT_TRUE(ReadSlotState(dir, "save1.dat"));
    EXPECT_EQ(IntVariables[1], 0);

    std::remove((dir + "/out.csv").c_str());
    ExpectClean(Play(dir, "1000 click 5 5\n"));
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &out));
    EXPECT_EQ(out, "1");
}

// A sprite moved and music started by the command at the savepoint, or
// after saveoff behind it, are not in the slot.
TEST(SavepointGames, SpriteAndMusicChangedAfterTheSavepoint) {
    const char* const variants[] = {
        "amsp 1,100,60",
        "bgm \"m.wav\"",
        "saveoff:amsp 1,100,60:bgm \"m.wav\"",
    };
    for (const char* v : variants) {
        SCOPED_TRACE(v);
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "a.bmp", SolidBmp(8, 8, kRed));
        WriteGameFile(dir, "m.wav", ToneWave(2.0, 440, 22050, 1, 0.2));
        WriteScript(dir, std::string("*define\nrmenu \"Save\",save,\"Load\",load\ngame\n*start\n"
                                     "lsp 1,\"a.bmp\",10,20\n"
                                     "あ@\n") +
                             v + "\nい\\\nend\n");
        ExpectClean(Play(dir, kSaveAtTheSecondWait));
        ASSERT_TRUE(ReadSlotState(dir, "save1.dat"));
        EXPECT_STREQ(Sprites[1].tag, "a.bmp");
        EXPECT_EQ(Sprites[1].x, 10);
        EXPECT_EQ(Sprites[1].y, 20);
        EXPECT_EQ(BgmName, "");
    }
}

// errorsave writes the state before the failing command, also when the
// command stored some of its values before it failed.
TEST(SavepointGames, ErrorsaveWritesTheStateOfTheSavepoint) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nerrorsave\ngame\n*start\nmov %1,5\nmov3 %1,7,8,1/0\nend\n");
    RunResult r = Play(dir, "");
    EXPECT_NE(r.status, 0);
    ASSERT_TRUE(ReadSlotState(dir, "save999.dat"));
    EXPECT_EQ(IntVariables[1], 5);
    EXPECT_EQ(IntVariables[2], 0);
}
