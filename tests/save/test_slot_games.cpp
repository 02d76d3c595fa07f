// Save slots played through the headless runner: a game saved in one run
// resumes in the next at the same statement with its variables, a damaged
// slot stops with a clear error, and the slot file's fixed parts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/game_folder.h"

namespace {

// Run 1 saves in the middle of a line of ':' statements; run 2 finds the
// slot and loads it.  %300 is above the global border (not in the slot),
// %7 is set before loading and must come back as saved (0).
const char* kResumeScript =
    "*define\ngame\n*start\n"
    "savefileexist %5,1\n"
    "if %5 = 1 mov %300,5:mov %7,123:loadgame 1\n"
    "mov %1,42\n"
    "mov $2,\"hello\"\n"
    "mov %3,7:mov %4,8:savegame 1:mov %6,%6+1\n"
    "csvopen \"out.csv\",\"w\"\n"
    "csvwrite %1,$2,%3,%4,%5,%6,%7,%300\n"
    "csvclose\n"
    "end\n";

std::string Out(const std::string& dir) {
    std::string s;
    EXPECT_TRUE(ReadGameFileBytes(dir, "out.csv", &s));
    return s;
}

int32_t IntAt(const std::string& b, size_t at) {
    return int32_t(uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
                   uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24);
}

void ExpectClean(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

}  // namespace

TEST(SlotGames, ResumesAtTheSavedStatementWithTheSavedVariables) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, kResumeScript);
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "42,hello,7,8,0,1,0,0");

    std::string slot;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &slot));
    ASSERT_GT(slot.size(), 16u);
    EXPECT_EQ(IntAt(slot, 0), 2);                     // format version
    EXPECT_EQ(IntAt(slot, slot.size() - 8), 7);       // line of the savepoint
    EXPECT_EQ(IntAt(slot, slot.size() - 4), 2);       // ':' before it on the line

    ExpectClean(RunGame(dir));
    // Loaded: %7 back to 0, %5 as saved, the line's rest run once more.
    EXPECT_EQ(Out(dir), "42,hello,7,8,0,1,0,5");

    std::string again;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &again));
    EXPECT_EQ(again, slot);  // the same savepoint image
}

TEST(SlotGames, DamagedSlotsStopWithAClearError) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, kResumeScript);
    ExpectClean(RunGame(dir));
    std::string slot;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &slot));

    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"truncated", slot.substr(0, slot.size() / 2)},
        {"cut in the tail", slot.substr(0, slot.size() - 3)},
        {"line past the script", slot.substr(0, slot.size() - 8) + std::string("\x00\x40\x00\x00\x00\x00\x00\x00", 8)},
        {"too many colons", slot.substr(0, slot.size() - 4) + std::string("\x09\x00\x00\x00", 4)},
        {"foreign", std::string(5000, '\xff')},
    };
    for (const Case& c : cases) {
        WriteGameFile(dir, "save1.dat", c.bytes);
        RunResult r = RunGame(dir);
        EXPECT_NE(r.status, 0) << c.what;
        ASSERT_EQ(r.boxes.size(), 1u) << c.what << "\n" << r.err;
        EXPECT_NE(r.boxes[0].find(Utf8(Cp932("セーブデータが壊れています。"))), std::string::npos)
            << c.what << ": " << r.boxes[0];
    }
}

TEST(SlotGames, SlotQueriesNameAndExistence) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "savegame2 3,\"abc\"\n"
                "getsavestr $0,3:mov %0,%0\n"
                "savefileexist %1,3:savefileexist %2,4\n"
                "getsavestr $3,4\n"
                "savegame 3:getsavestr $4,3\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite $0,%1,%2,$3,$4\n"
                "csvclose\nend\n");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "abc,1,0,,");
}

// After saveoff the commands take no savepoint: a save writes the state of
// the last savepoint (before saveoff), not the state at the save.
TEST(SlotGames, SaveoffSavesTheStateOfTheLastSavepoint) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "savefileexist %5,1\n"
                "if %5 = 1 mov %300,%300+1:loadgame 1\n"
                "mov %1,42\n"
                "saveoff:mov %8,%1:mov %1,99:savegame 1:saveon\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite %1,%8,%300\n"
                "csvclose\nend\n");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "99,42,0");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "99,42,1");
}

// savedir puts the slots in that folder; a slot that cannot be written is
// reported in a box and the game goes on.
TEST(SlotGames, SaveFolderAndUnwritableSlots) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "sv/keep.txt", "x");
    WriteScript(dir,
                "*define\nsavedir \"sv\"\ngame\n*start\n"
                "savegame 4\n"
                "savefileexist %1,4\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite %1\n"
                "csvclose\nend\n");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "1");
    std::string slot;
    EXPECT_TRUE(ReadGameFileBytes(dir, "sv/save4.dat", &slot));

    std::remove((dir + "/envdata").c_str());  // it names the folder of the first run
    WriteScript(dir,
                "*define\nsavedir \"missing\"\ngame\n*start\n"
                "savegame 4\n"
                "savefileexist %1,4\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite %1\n"
                "csvclose\nend\n");
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_NE(r.boxes[0].find("save4.dat"), std::string::npos) << r.boxes[0];
    EXPECT_EQ(Out(dir), "0");
}

// errorsave: a fatal error saves the last savepoint to slot 999; loadgosub
// calls its routine after every load, which returns to the loaded position.
TEST(SlotGames, ErrorsaveAndLoadgosub) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nerrorsave\ngame\n*start\nmov %1,5\nnosuchcommand\nend\n");
    RunResult r = RunGame(dir);
    EXPECT_NE(r.status, 0);
    std::string slot;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save999.dat", &slot));

    WriteScript(dir,
                "*define\nloadgosub *after\ngame\n*start\n"
                "savefileexist %5,1\n"
                "if %5 = 1 loadgame 1\n"
                "mov %1,42:savegame 1\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite %1,%2,%5\n"
                "csvclose\nend\n"
                "*after\nmov %2,%2+10\nreturn\n");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "42,0,0");
    ExpectClean(RunGame(dir));
    EXPECT_EQ(Out(dir), "42,10,0");
}

// A damaged slot loaded after a save of the same savepoint: the error's save
// to slot 999 holds that savepoint once, the same bytes as the first save.
TEST(SlotGames, ErrorsaveAfterADamagedLoadWritesTheSavepointOnce) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "save2.dat", "damaged");
    WriteScript(dir,
                "*define\nerrorsave\nautosaveoff\ngame\n*start\nmov %1,5\nsavepoint\n"
                "savegame 1\nloadgame 2\nend\n");
    RunResult r = RunGame(dir);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.boxes.size(), 1u) << r.err;
    std::string first, error;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &first));
    ASSERT_TRUE(ReadGameFileBytes(dir, "save999.dat", &error));
    EXPECT_EQ(error.size(), first.size());
    EXPECT_TRUE(error == first);
}

// A save hook that fails under errorsave: the error box comes once and the
// error's own save to slot 999 does not start another save.
TEST(SlotGames, FailingSaveHookUnderErrorsaveEndsOnce) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "ovlua.dll", "");  // switches the Lua bridge on
    WriteGameFile(dir, "system.lua", "function OVCALL_save(n) error('no') end\n");
    WriteScript(dir, "*define\nluacall save\nerrorsave\ngame\n*start\nsavegame 1\nend\n");
    RunResult r = RunGame(dir);
    EXPECT_NE(r.status, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_NE(r.boxes[0].find(Utf8(Cp932("セーブのコールバック関数でエラーが出ました。"))), std::string::npos)
        << r.boxes[0];
    std::string slot;
    EXPECT_TRUE(ReadGameFileBytes(dir, "save1.dat", &slot));
}

// savetime/savetime2: the slot file's time; month 0 when there is no slot.
TEST(SlotGames, SaveTimeOfASlot) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "savegame 2\n"
                "savetime 2,%1,%2,%3,%4\n"
                "savetime2 2,%10,%11,%12,%13,%14\n"
                "mov %21,7:savetime 3,%21,%22,%23,%24\n"
                "mov %31,7:savetime2 3,%30,%31,%32,%33,%34\n"
                "csvopen \"out.csv\",\"w\"\n"
                "csvwrite %1,%2,%3,%4,%10,%11,%12,%13,%14,%21,%31\n"
                "csvclose\nend\n");
    ExpectClean(RunGame(dir));
    std::string out = Out(dir);
    int v[11] = {};
    ASSERT_EQ(std::sscanf(out.c_str(), "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3],
                          &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10]),
              11)
        << out;
    EXPECT_GE(v[0], 1);
    EXPECT_LE(v[0], 12);
    EXPECT_EQ(v[0], v[5]);  // the same month both ways
    EXPECT_GE(v[4], 120);   // years since 1900
    EXPECT_EQ(v[9], 0);     // no slot 3: month 0
    EXPECT_EQ(v[10], 0);
}
