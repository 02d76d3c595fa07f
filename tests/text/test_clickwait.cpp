// The click wait through whole games on the virtual clock: what ends it
// (a click, Enter, --click-waits, autoclick) and what does not (a click made
// while the text was typing, a click under autoclick), the page wait, click
// and clickpos, lrclick, and the wait cursor drawn where the text ended and
// taken away after the wait.
#include <gtest/gtest.h>

#include <string>

#include "graphics/imagetag.h"
#include "graphics/surface.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& story, const std::string& events, bool click_waits = false,
               const std::string& frame = "", long long max_ms = 600000) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\n" + story + "end\n");
    RunOptions opt;
    opt.events = events;
    opt.click_waits = click_waits;
    opt.max_ms = max_ms;
    if (!frame.empty()) opt.frame_out = dir + "/" + frame;
    return RunGame(dir, opt);
}

void ExpectQuietEnd(const RunResult& r, const std::string& what) {
    EXPECT_EQ(r.status, 0) << what << "\n" << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << what << ": " << b;
}

// Start-up takes virtual time of its own, so the timed statements start
// after a click at 1000 ms, and their events are given from there.
std::string Shifted(const std::string& events) {
    std::string out = "1000 click 1 1\n";
    size_t p = 0;
    while (p < events.size()) {
        size_t e = events.find('\n', p);
        std::string line = events.substr(p, e - p);
        size_t sp = line.find(' ');
        out += std::to_string(1000 + std::stoi(line.substr(0, sp))) + line.substr(sp) + "\n";
        p = e + 1;
    }
    return out;
}

// %0 := the virtual ms the statements took; the game fails unless lo <= %0 <= hi.
std::string Timed(const std::string& body, int lo, int hi) {
    return "click\nresettimer\n" + body + "gettimer %0\nif %0 < " + std::to_string(lo) + " fail_early\nif %0 > " +
           std::to_string(hi) + " fail_late\n";
}

TEST(ClickWaitGames, WhatEndsTheWait) {
    struct Case {
        const char* name;
        std::string story, events;
        bool click_waits;
        int lo, hi;
    } cases[] = {
        {"click", "click\n", "500 click 10 10\n", false, 500, 520},
        {"enter", "click\n", "400 key enter\n", false, 400, 420},
        {"answered", "click\n", "", true, 0, 10},
        {"text_click_wait", "textspeed 0\nあ@い\n", "300 click 10 10\n", false, 300, 320},
        {"text_page_wait", "textspeed 0\nあ\\\n", "300 click 10 10\n", false, 300, 320},
        {"answered_text", "textspeed 0\nあ@い\\\n", "", true, 0, 20},
        // The click during the typing shows the rest at once; the wait
        // still needs its own click.
        {"typing_click_kept_apart", "textspeed 50\nあいうえお@\n", "100 click 10 10\n800 click 10 10\n", false, 800, 820},
        // A click before the wait began does not end it.
        {"queued_click", "wait 300\nclick\n", "100 click 10 10\n600 click 10 10\n", false, 600, 620},
        // Autoclick: the wait ends by itself, and a click does not end it.
        {"autoclick", "autoclick 700\nclick\n", "100 click 10 10\n", false, 700, 720},
        {"lrclick_right", "lrclick\n", "250 rclick 10 10\n", false, 250, 270},
        {"lrclick_left", "lrclick\n", "250 click 10 10\n", false, 250, 270},
    };
    for (const Case& c : cases) {
        RunResult r = Play(Timed(c.story, c.lo, c.hi), Shifted(c.events), c.click_waits);
        ExpectQuietEnd(r, c.name);
    }
}

TEST(ClickWaitGames, ClickposGivesTheMousePosition) {
    RunResult r = Play("clickpos %1,%2\nif %1 != 100 fail_x\nif %2 != 200 fail_y\n", "1300 click 100 200\n");
    ExpectQuietEnd(r, "clickpos");
}

TEST(ClickWaitGames, RightClicksDoNothingInClick) {
    // A text wait skipped with the skip key leaves its cursor type behind;
    // the right click during the click that follows still runs no rgosub,
    // and the text wait after it has its right-click action back.
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\nrgosub *rg\ngame\n*start\ntextspeed 0\nclick\nあ@\nwait 200\nresettimer\nclick\n"
                "gettimer %1\nif %30 != 0 fail_rgosub_in_click\nif %1 < 300 fail_click_ended_early\n"
                "い@\nif %30 != 1 fail_mode_not_restored\nend\n*rg\nmov %30,1\nreturn\n");
    RunOptions opt;
    opt.events = Shifted("0 keydown ctrl\n100 keyup ctrl\n400 rclick 5 5\n700 click 5 5\n"
                         "900 rclick 5 5\n1200 click 5 5\n1500 click 5 5\n");
    ExpectQuietEnd(RunGame(dir, opt), "rclick in click");
}

TEST(ClickWaitGames, SpeedsAndTheirCommands) {
    // Speed 20 ms: three characters take 60 ms (and the 5 ms naps of the
    // delay loop); !s0 makes the rest
    // immediate; defaultspeed feeds the menu speed -1.
    struct Case {
        const char* name;
        std::string story;
        int lo, hi;
    } cases[] = {
        {"speed", "textspeed 20\nあいう\n", 60, 90},
        {"speed_control", "textspeed 20\nあ!s0いう\n", 20, 35},
        {"instant_stays", "textspeed 0\nあ!s50いう\n", 0, 5},
        {"menu_speed", "textspeeddefault\nあいう\n", 30, 50},
        {"wait_control", "textspeed 0\nあ!w200い\n", 200, 210},
        {"wait_control_variable", "textspeed 0\nmov %7,150\nあ!w%7い\n", 150, 160},
    };
    for (const Case& c : cases) {
        RunResult r = Play(Timed(c.story, c.lo, c.hi), "", true);
        ExpectQuietEnd(r, c.name);
    }
    // defaultspeed is a define-block command.
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ndefaultspeed 80,30,5\ngame\n*start\ntextspeeddefault\n" +
                         Timed("あいう\n", 90, 120) + "end\n");
    RunOptions opt;
    opt.click_waits = true;
    ExpectQuietEnd(RunGame(dir, opt), "defaultspeed");
}

TEST(ClickWaitGames, ClickSkipsThePage) {
    // A click while typing shows the rest of the page at once, its '@'
    // included; the page wait still waits.  Without clickskippage the '@'
    // takes the second click and the page wait is never answered.
    std::string story = "textspeed 50\nあいう@えお\\\n";
    for (bool skip : {true, false}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\n") + (skip ? "clickskippage\n" : "") + "game\n*start\n" +
                             Timed(story, 1000, 1020) + "end\n");
        RunOptions opt;
        opt.events = Shifted("50 click 1 1\n1000 click 1 1\n");
        opt.max_ms = 8000;
        RunResult r = RunGame(dir, opt);
        if (skip)
            ExpectQuietEnd(r, "clickskippage");
        else
            EXPECT_EQ(r.status, 124) << r.err;
    }
}

TEST(ClickWaitGames, CursorShownWhereTheTextEndedAndTakenAway) {
    // A red 8 x 8 cursor 4 pixels right of the pen; the run ends during the
    // wait, then a second run clicks through it.
    std::string story = "textspeed 0\nsetcursor 0,\":c;>8,8,#ff0000\",4,0\nあ@い\n";
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\n" + story + "end\n");
    RunOptions opt;
    opt.max_ms = 1800;
    opt.frame_out = dir + "/frame.bmp";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 124) << r.err;
    Surface frame;
    ASSERT_TRUE(LoadSurfaceBmp(&frame, (dir + "/frame.bmp").c_str()));
    // The pen after "あ": x = 21 + 26, y = 16.
    const uint8_t* p = DibRow(&frame.dib, 16 + 3) + 3 * (47 + 4 + 3);
    EXPECT_EQ(p[2], 255);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p[0], 0);

    opt.max_ms = 3000;
    opt.events = "1300 click 5 5\n";
    r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(LoadSurfaceBmp(&frame, (dir + "/frame.bmp").c_str()));
    p = DibRow(&frame.dib, 16 + 3) + 3 * (47 + 4 + 3);
    EXPECT_FALSE(p[2] == 255 && p[1] == 0 && p[0] == 0) << "the cursor stayed";
    DestroySurface(&frame);
}

TEST(ClickWaitGames, CursorCellsAnimate) {
    // Three cells of 8 x 8 (red, green, blue), 100 ms each; about 1300 ms
    // into the wait: loop mode 1 has stopped on the last cell, and so has a
    // loop mode the wait does not know (which would run past the picture).
    for (int mode : {1, 7}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, "*define\ngame\n*start\ntextspeed 0\nsetcursor 0,\":c/3,100," + std::to_string(mode) +
                             ";>24,8,#ff0000#00ff00#0000ff\",4,0\nあ@い\nend\n");
        RunOptions opt;
        opt.max_ms = 1800;
        opt.frame_out = dir + "/frame.bmp";
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, 124) << r.err;
        Surface frame;
        ASSERT_TRUE(LoadSurfaceBmp(&frame, (dir + "/frame.bmp").c_str()));
        const uint8_t* p = DibRow(&frame.dib, 19) + 3 * 54;
        EXPECT_EQ(p[0], 255) << "loop mode " << mode;
        EXPECT_EQ(p[2], 0) << "loop mode " << mode;
        DestroySurface(&frame);
    }
}

// A loaded game shows each cursor from its own tag, or its default picture
// when only the other cursor was set: the page wait's cursor is red when
// cursor 1 was set, the default green when only cursor 0 was.  The first run
// saves and stops in the wait; the second loads the slot.
TEST(ClickWaitGames, EachCursorComesBackAfterALoad) {
    struct Case {
        int cursor;
        bool red;
    } cases[] = {{1, true}, {0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cursor);
        std::string dir = MakeGameFolder();
        // The default page cursor: three 8 x 8 cells, green, the top left
        // pixel white (transparent).
        WriteGameFile(dir, "cursor1.bmp", Bmp24(24, 8, [](int x, int y) {
                          return x == 0 && y == 0 ? kWhite : kGreen;
                      }));
        WriteScript(dir, "*define\ngame\n*start\ntextspeed 0\n"
                         "savefileexist %5,1\nif %5 = 1 loadgame 1\n"
                         "setcursor " + std::to_string(c.cursor) + ",\":c;>8,8,#ff0000\",4,0\n"
                         "savegame 1\nあ\\\nend\n");
        RunOptions opt;
        opt.max_ms = 1800;
        opt.frame_out = dir + "/frame.bmp";
        for (int run = 0; run < 2; run++) {
            SCOPED_TRACE(run);
            RunResult r = RunGame(dir, opt);
            EXPECT_EQ(r.status, 124) << r.err;
            Surface frame;
            ASSERT_TRUE(LoadSurfaceBmp(&frame, (dir + "/frame.bmp").c_str()));
            const uint8_t* p = DibRow(&frame.dib, 16 + 3) + 3 * (47 + 4 + 3);
            EXPECT_EQ(p[2], c.red ? 255 : 0);
            EXPECT_EQ(p[1], c.red ? 0 : 255);
            EXPECT_EQ(p[0], 0);
            DestroySurface(&frame);
        }
    }
}

}  // namespace
