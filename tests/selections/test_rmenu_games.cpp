// The right-click menu and the system actions played through the headless
// runner: the menu's reset and end with their yes/no screen, the window
// erase, lookback2, skip, the right-click modes and systemcall.
//
// The menu below has five entries of at most five letters: b = 2, so with
// the default menu metrics (26 x 28) the entries lie from x 288 to 351 on
// rows y 184, 212, 240, 268, 296 (28 high).  The yes/no screen has "はい　"
// at x 216..293 and "いいえ" at x 372..449, both on y 268..295.  The first
// statement runs about 510 ms after the start, so the events begin at 1000.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

const char* const Menu =
    "rmenu \"Skip\",skip,\"Erase\",windowerase, \"Reset\",reset,\"End\",end,\"Look2\",lookback2\n";

RunResult Play(const std::string& script, const std::string& events, long long max_ms = 20000) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunOptions opt;
    opt.events = events;
    opt.max_ms = max_ms;
    return RunGame(dir, opt);
}

void ExpectQuietEnd(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

TEST(RmenuGames, ResetAndEndFromTheMenu) {
    ExpectQuietEnd(Play(
        std::string("*define\n") + Menu + "game\n*start\n"
        "mov %300,%300+1\nif %300 = 2 goto *second\n"
        // No at the reset question shows the menu again; Esc closes it.
        "あ@\n"
        // No for systemcall reset returns to the script.
        "systemcall reset\nmov %1,1\n"
        // Yes resets to *start.
        "いい@\nfail_no_reset\n"
        "*second\nif %1 != 0 fail_local_kept\n"
        // Yes at the end question ends the game.
        "う@\nfail_no_end\n",
        "1100 rclick 100 100\n1200 move 300 250\n1250 click 300 250\n"
        "1350 move 380 275\n1400 click 380 275\n1500 key escape\n1600 click 100 100\n"
        "1700 move 380 275\n1750 click 380 275\n"
        "1900 rclick 100 100\n2000 move 300 250\n2050 click 300 250\n2150 move 220 275\n2200 click 220 275\n"
        "2400 rclick 100 100\n2500 move 300 278\n2550 click 300 278\n2650 move 220 275\n2700 click 220 275\n"));
}

TEST(RmenuGames, EraseLookback2SkipAndKeys) {
    ExpectQuietEnd(Play(
        std::string("*define\n") + Menu + "kidokumode 0\ngame\n*start\n"
        // The click that brings the erased window back does not end the wait.
        "resettimer\nあ@\ngettimer %5\nif %5 < 900 fail_erase_click_ended_wait\n"
        "い@\n"
        "systemcall skip\nisskip %2\nif %2 != 1 fail_skip\nskipoff\n"
        // Right moves onto "いいえ", Enter answers no.
        "systemcall reset\nmov %3,1\n"
        // Without RightClickOn nothing happens: the next click ends the wait.
        "rmode 0\nresettimer\nう@\ngettimer %6\nif %6 > 400 fail_rmode_off\n"
        "end\n",
        "1100 rclick 100 100\n1200 move 300 222\n1250 click 300 222\n1350 click 100 100\n1500 click 100 100\n"
        "1700 rclick 100 100\n1800 move 300 306\n1850 click 300 306\n1950 click 100 100\n"
        "2100 key right\n2200 key enter\n"
        "2400 rclick 100 100\n2500 click 100 100\n"));
}

TEST(RmenuGames, RightClickModesAndSystemcall) {
    // rlookback: the right click and systemcall lookback open the viewer
    // (nothing to show on a first page), as does a wheel turn up in the
    // click wait; rgosub: systemcall save does
    // nothing and the right click calls the routine, whose return shows the
    // click wait again.
    ExpectQuietEnd(Play(
        "*define\nrlookback\ngame\n*start\n"
        "あ@\nsystemcall lookback\nsystemcall rmenu\nsystemcall save\nsystemcall automode\nisskip %1\nif %1 != 2 fail_automode\n"
        "end\n",
        "1100 rclick 100 100\n1150 wheel 1\n1200 click 100 100\n"));
    ExpectQuietEnd(Play(
        "*define\nrgosub *rg\ngame\n*start\n"
        "systemcall save\nif %1 != 0 fail_systemcall_save\n"
        "あ@\nif %1 != 1 fail_rgosub\nend\n"
        "*rg\ninc %1\nreturn\n",
        "1100 rclick 100 100\n1200 click 100 100\n"));
}

TEST(RmenuGames, SaveAndLoadThroughTheSlotMenu) {
    // Keys only (repeating at most every 125 ms): Down onto the first entry
    // (menu and slot menu), Enter,
    // Left onto "はい　", Enter.  The load resumes at the first text line
    // with its value of %1; %300 is global and survives it.
    ExpectQuietEnd(Play(
        "*define\nrmenu \"Save\",save,\"Load\",load\ngame\n*start\n"
        "mov %1,5\nあ@\ninc %300\nif %300 = 2 goto *loaded\n"
        "mov %1,7\nい@\nfail_not_loaded\n"
        "*loaded\nif %1 != 5 fail_loaded_value\nfileexist %2,\"save1.dat\"\nif %2 != 1 fail_no_slot_file\nend\n",
        "1100 rclick 5 5\n1150 move 5 5\n1200 key down\n1300 key enter\n"
        "1350 move 5 5\n1400 key down\n1500 key enter\n1600 key left\n1700 key enter\n"
        "1800 click 5 5\n"
        "1900 rclick 5 5\n1950 move 5 5\n2000 key down\n2200 key down\n2300 key enter\n"
        "2350 move 5 5\n2400 key down\n2500 key enter\n2600 key left\n2700 key enter\n"
        "2800 click 5 5\n"));
}

// The frame the game shows when it is stopped at max_ms: 640 x 480, 24-bit
// bottom-up rows.
struct Frame {
    std::string bmp;
    uint32_t At(int x, int y) const {
        size_t p = 54 + (size_t)(479 - y) * 640 * 3 + (size_t)x * 3;
        return (uint8_t)bmp[p + 2] << 16 | (uint8_t)bmp[p + 1] << 8 | (uint8_t)bmp[p];
    }
};

Frame FrameAt(const std::string& script, const std::string& events, long long max_ms) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunOptions opt;
    opt.events = events;
    opt.max_ms = max_ms;
    opt.frame_out = dir + "/frame.bmp";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 124) << r.err;
    Frame f;
    EXPECT_TRUE(ReadGameFileBytes(dir, "frame.bmp", &f.bmp));
    f.bmp.resize(54 + 640 * 480 * 3);
    return f;
}

TEST(RmenuGames, WhatTheScreenShows) {
    // On white, the window's tint (0x999999) shows grey; the right click of
    // the default mode takes the window off (white), the menu tints the
    // whole screen with the menu colour, and closing the menu with Esc
    // brings back exactly the screen it covered.
    const std::string story = "bg \"white\",1\nあいう@\nend\n";
    Frame erased = FrameAt("*define\ngame\n*start\n" + story, "1100 rclick 600 400\n", 1300);
    EXPECT_EQ(erased.At(600, 400), 0xFFFFFFu);
    const std::string menu = std::string("*define\n") + Menu + "game\n*start\n" + story;
    Frame before = FrameAt(menu, "", 1100);
    EXPECT_EQ(before.At(600, 400), 0x999999u);
    Frame open = FrameAt(menu, "1100 rclick 600 400\n", 1300);
    EXPECT_EQ(open.At(600, 400), 0x999999u);  // white under the menu tint
    EXPECT_NE(open.bmp, before.bmp);
    Frame after = FrameAt(menu, "1100 rclick 600 400\n1200 key escape\n", 1300);
    EXPECT_TRUE(after.bmp == before.bmp);
}

}  // namespace
