// Timed waits on the virtual clock: how long delay, wait, spwait and
// waittimer last, what ends them early and what does not (clicks, Enter, the
// skip key, skip mode, queued input, a reset, the wrap of the clock), the
// script timer, and the operand errors of gettimer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/core_messages.h"
#include "graphics/anim.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"
#include "ui/timedwait.h"
#include "ui/wait_commands.h"

namespace {

// What the window procedure does for the waits: remember the last message.
intptr_t RecordingProc(uint32_t message, uintptr_t, intptr_t) {
    LastMessage = message;
    return 0;
}

class TimedWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        PlatSetWindowProc(RecordingProc);
        while (PlatGetMessage(nullptr)) {}
        HeadlessSetTicks(100000);
        ResetRequested = SkipMode = 0;
        LastMessage = 0;
        for (int n : used) Clear(n);
    }
    void TearDown() override {
        while (PlatGetMessage(nullptr)) {}
        // Key state follows the messages taken: let go of every key held.
        for (int vk : {VK_RETURN, VK_CONTROL, VK_MENU}) PlatPostMessage(WM_KEYUP, (uintptr_t)vk, 0);
        while (PlatGetMessage(nullptr)) {}
        ResetRequested = SkipMode = 0;
        for (int n : used) Clear(n);
        ForgetScriptText();
    }

    // Schedules an events-file line `ms` virtual ms from now.
    void Event(uint64_t ms, const std::string& line) {
        HeadlessEvent ev;
        std::string error;
        std::string text = std::to_string(HeadlessElapsed() + ms) + " " + line;
        ASSERT_EQ(HeadlessParseEventLine(text.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
    }
    // Virtual ms that TimedWait(duration, clickable) lasts.
    uint64_t Lasts(int32_t duration, bool clickable) {
        uint64_t t0 = HeadlessElapsed();
        TimedWait(duration, clickable);
        return HeadlessElapsed() - t0;
    }

    // Sprite n: visible, 4 cells of 100 ms in the loop mode, cell 0 from now.
    void Animated(int n, int loopMode, int cells = 4) {
        used.push_back(n);
        Sprite& sp = Sprites[n];
        strcpy(sp.tag.Edit(), "anim.bmp");
        sp.visible = 1;
        ASSERT_TRUE(CreateSurface(&sp.surface, 8 * cells, 8));
        sp.surface.cellCount = cells;
        sp.surface.cellTime = 100;
        sp.surface.loopMode = loopMode;
        sp.surface.cell = 0;
        sp.surface.cellStep = 1;
        sp.surface.animClock = PlatTicks();
    }
    static void Clear(int n) {
        DestroySurface(&Sprites[n].surface);
        Sprites[n].tag.Edit()[0] = 0;
        Sprites[n].visible = 0;
    }
    // Virtual ms that `spwait n` lasts.
    uint64_t SpwaitLasts(const std::string& operand) {
        UseScriptText(&script, operand);
        uint64_t t0 = HeadlessElapsed();
        Cmd_spwait();
        return HeadlessElapsed() - t0;
    }

    std::vector<int> used;
    std::string script;
};

TEST_F(TimedWaitTest, LastsExactlyItsTimeOnTheVirtualClock) {
    for (int32_t d : {1, 2, 1000, 12345}) EXPECT_EQ(Lasts(d, false), (uint64_t)d) << d;
    EXPECT_EQ(Lasts(1000, true), 1000u);
    // Virtual time only: two minutes pass in far less real time.
    auto real0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Lasts(120000, false), 120000u);
    EXPECT_LT(std::chrono::steady_clock::now() - real0, std::chrono::seconds(10));
    // No time at all: a single pass.
    EXPECT_EQ(Lasts(0, false), 1u);
    EXPECT_EQ(Lasts(-5, true), 1u);
}

TEST_F(TimedWaitTest, WhatEndsItEarly) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::string>> events;
        bool clickable;
        uint64_t lasts;
    } cases[] = {
        {"click ends delay", {{300, "click 10 10"}}, true, 300},
        {"click leaves wait", {{300, "click 10 10"}}, false, 1000},
        {"right click leaves delay", {{300, "rclick 10 10"}}, true, 1000},
        {"Enter ends wait", {{300, "click 10 10"}, {400, "key enter"}}, false, 400},
        {"Enter ends delay", {{400, "key enter"}}, true, 400},
        {"Enter held is not enough", {{400, "keydown enter"}}, false, 1000},
        {"Enter released after a long hold", {{400, "keydown enter"}, {700, "keyup enter"}}, false, 700},
        {"skip key ends delay", {{200, "keydown ctrl"}}, true, 200},
        {"skip key leaves wait", {{200, "keydown ctrl"}}, false, 1000},
        {"other keys end nothing", {{200, "key a"}, {300, "key space"}}, true, 1000},
    };
    for (const Case& c : cases) {
        SetUp();
        for (const auto& e : c.events) Event((uint64_t)e.first, e.second);
        EXPECT_EQ(Lasts(1000, c.clickable), c.lasts) << c.name;
        TearDown();
    }
}

TEST_F(TimedWaitTest, SkipKeyWithCtrlAltNeedsBoth) {
    CtrlAltSkip = 1;
    Event(200, "keydown ctrl");
    Event(500, "keydown alt");
    EXPECT_EQ(Lasts(1000, true), 500u);
    CtrlAltSkip = 0;
}

TEST_F(TimedWaitTest, QueuedInputDoesNotEndIt) {
    // A click and a typed character that came before the wait began.
    PlatPostMessage(WM_LBUTTONDOWN, 0, 0);
    PlatPostMessage(WM_LBUTTONUP, 0, 0);
    PlatPostMessage(WM_CHAR, 13, 0);
    EXPECT_EQ(Lasts(500, true), 500u);
    EXPECT_FALSE(PlatPeekRemove(WM_LBUTTONUP, nullptr));
}

TEST_F(TimedWaitTest, SkipModeAndResetEndItAtOnce) {
    SkipMode = 1;
    EXPECT_EQ(Lasts(1000, true), 1u);
    EXPECT_EQ(Lasts(1000, false), 1000u);
    SkipMode = 0;
    ResetRequested = 1;
    EXPECT_EQ(Lasts(1000, true), 0u);
    EXPECT_EQ(Lasts(1000, false), 0u);
}

TEST_F(TimedWaitTest, ResetDuringTheWaitEndsIt) {
    // A message whose handling asks for a reset, as the window's menu does.
    PlatSetWindowProc([](uint32_t m, uintptr_t, intptr_t) -> intptr_t {
        if (m == WM_COMMAND) ResetRequested = 1;
        return 0;
    });
    HeadlessInjectAt(HeadlessElapsed() + 250, WM_COMMAND, 40028, 0);
    EXPECT_EQ(Lasts(1000, false), 250u);
}

TEST_F(TimedWaitTest, WrapOfTheClock) {
    // A deadline past the wrap does not end the wait at once; the wrap
    // itself ends it.
    HeadlessSetTicks(0xFFFFFF00u);
    EXPECT_EQ(Lasts(1000, false), 256u);
    // Close to the wrap, but ending before it: the whole time.
    HeadlessSetTicks(0xFFFFFF00u);
    EXPECT_EQ(Lasts(200, false), 200u);
}

TEST_F(TimedWaitTest, AnimatesWhileItWaits) {
    Animated(5, 0);
    TimedWait(250, false);
    EXPECT_EQ(Sprites[5].surface.cell, 2);
    // Nothing animates outside the wait loops.
    HeadlessAdvance(1000);
    EXPECT_EQ(Sprites[5].surface.cell, 2);
}

// How long a blocked wait may sleep for the animations: until the next cell
// change, or no limit when none will come.
TEST_F(TimedWaitTest, AnimationDueInNamesTheNextCellChange) {
    const uint32_t none = 0x7FFFFFFF;
    EXPECT_EQ(AnimationDueIn(), none);
    Animated(5, 0);  // 100 ms a cell; a cell changes once more than that passed
    EXPECT_EQ(AnimationDueIn(), 101u);
    HeadlessAdvance(40);
    EXPECT_EQ(AnimationDueIn(), 61u);
    HeadlessAdvance(61);
    EXPECT_EQ(AnimationDueIn(), 0u);
    AdvanceAnimation();
    EXPECT_EQ(Sprites[5].surface.cell, 1);
    EXPECT_EQ(AnimationDueIn(), 101u);
    // Loop mode 1 holding its last cell, a hidden sprite: nothing to wait for.
    Sprites[5].surface.loopMode = 1;
    Sprites[5].surface.cell = 3;
    EXPECT_EQ(AnimationDueIn(), none);
    Sprites[5].surface.loopMode = 0;
    Sprites[5].visible = 0;
    EXPECT_EQ(AnimationDueIn(), none);
}

// ---- spwait ----

TEST_F(TimedWaitTest, SpwaitByLoopMode) {
    struct Case {
        int loopMode;
        uint64_t lasts;  // cell changes 101 ms apart, then one cell time
        int cell;        // where the animation stands afterwards
    } cases[] = {
        {0, 3 * 101 + 100, 3},
        {1, 3 * 101 + 100, 3},
        {2, 6 * 101 + 100, 0},
    };
    for (const Case& c : cases) {
        Animated(7, c.loopMode);
        EXPECT_EQ(SpwaitLasts("7"), c.lasts) << c.loopMode;
        const Surface& s = Sprites[7].surface;
        EXPECT_EQ(s.cell, c.cell) << c.loopMode;
        EXPECT_EQ(s.cellTime, 100) << c.loopMode;
        // Modes 0 and 2 restart the animation's timing, mode 1 leaves it.
        if (c.loopMode == 1) {
            EXPECT_NE(s.animClock, 0u);
        } else {
            EXPECT_EQ(s.animClock, 0u) << c.loopMode;
        }
        Clear(7);
    }
}

TEST_F(TimedWaitTest, SpwaitHoldsTheAwaitedCell) {
    Animated(7, 0);
    Sprites[7].surface.cellTime = 150;
    // The animation stays on the last cell while spwait holds it, longer
    // than its cell time.
    EXPECT_EQ(SpwaitLasts("7"), 3u * 151 + 150);
    EXPECT_EQ(Sprites[7].surface.cell, 3);
}

TEST_F(TimedWaitTest, SpwaitThatCouldNeverEndReturnsAtOnce) {
    struct Case {
        const char* name;
        void (*spoil)(Sprite* s);
        const char* operand;
    } cases[] = {
        {"loop mode 3", [](Sprite* s) { s->surface.loopMode = 3; }, "7"},
        {"loop mode 4", [](Sprite* s) { s->surface.loopMode = 4; }, "7"},
        {"a single cell", [](Sprite* s) { s->surface.cellCount = 1; }, "7"},
        {"no picture", [](Sprite* s) { FreeDib(&s->surface.dib); }, "7"},
        {"a free sprite", [](Sprite* s) { s->tag.Edit()[0] = 0; }, "7"},
        {"a hidden sprite", [](Sprite* s) { s->visible = 0; }, "7"},
        {"never changes", [](Sprite* s) { s->surface.cellTime = NoAnimation; }, "7"},
        {"a reset pending", [](Sprite*) { ResetRequested = 1; }, "7"},
        {"below the range", [](Sprite*) {}, "-1"},
        {"above the range", [](Sprite*) {}, "1000"},
    };
    for (const Case& c : cases) {
        Animated(7, 0);
        c.spoil(&Sprites[7]);
        EXPECT_EQ(SpwaitLasts(c.operand), 0u) << c.name;
        ResetRequested = 0;
        Clear(7);
    }
}

TEST_F(TimedWaitTest, SpwaitEndsWhenAResetComesMidway) {
    Animated(7, 0);
    PlatSetWindowProc([](uint32_t m, uintptr_t, intptr_t) -> intptr_t {
        if (m == WM_COMMAND) ResetRequested = 1;
        return 0;
    });
    HeadlessInjectAt(HeadlessElapsed() + 150, WM_COMMAND, 40028, 0);
    EXPECT_EQ(SpwaitLasts("7"), 150u);
}

// ---- the script timer, played as games ----

// A game whose define block holds `define` and whose story `story`.
RunResult Play(const std::string& story, const std::string& events = "",
               const std::string& define = "") {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\n" + define + "game\n*start\n" + story + "end\n");
    RunOptions opt;
    opt.events = events;
    return RunGame(dir, opt);
}

void ExpectQuietEnd(const std::string& story, const std::string& events = "",
                    const std::string& define = "") {
    RunResult r = Play(story, events, define);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

TEST(WaitGames, DurationsOnTheVirtualClock) {
    ExpectQuietEnd(
        // gettimer is never 0
        "resettimer\ngettimer %0\nif %0 != 1 fail_gettimer_at_once\n"
        "resettimer\nwait 1000\ngettimer %0\nif %0 != 1000 fail_wait\n"
        "resettimer\ndelay 250\ngettimer %0\nif %0 != 250 fail_delay\n"
        "resettimer\nwait 0\ngettimer %0\nif %0 != 1 fail_wait_0\n"
        // waittimer counts from resettimer, whatever came between
        "resettimer\nwait 300\nwaittimer 500\ngettimer %0\n"
        "if %0 < 500 fail_waittimer_short\nif %0 > 501 fail_waittimer_long\n"
        // a deadline already passed: one pumped message
        "resettimer\nwait 100\nwaittimer 50\ngettimer %0\nif %0 > 101 fail_waittimer_passed\n"
        // an expression operand and the clamp of gettimer
        "mov %1,20\nresettimer\nwait %1*10+5\ngettimer %0\nif %0 != 205 fail_wait_expr\n"
        "resettimer\nwait 300\ngettimer %2\nif %2 != 100 fail_gettimer_clamp\n",
        "", "intlimit 2,0,100\n");
}

TEST(WaitGames, TimerKeepsItsBaseAcrossAReset) {
    // resettimer, then a reset to *start by the script: the base stays.
    ExpectQuietEnd(
        "if %500 = 1 goto *second\nmov %500,1\nresettimer\nwait 400\nreset\n"
        "*second\nwait 100\ngettimer %0\nif %0 < 500 fail_base_lost\n");
}

// The events file counts from the start of the program, and start-up takes
// some virtual time of its own: the checks allow for it.
TEST(WaitGames, ClicksAndEnter) {
    // wait: the click at 500 does not end it, Enter at 2000 does.
    ExpectQuietEnd("resettimer\nwait 4000\ngettimer %0\nif %0 <= 1000 fail_click_ended_wait\n"
                   "if %0 > 2000 fail_enter_ignored\n",
                   "500 click 10 10\n2000 key enter\n");
    // delay: the click at 2000 ends it.
    ExpectQuietEnd("resettimer\ndelay 4000\ngettimer %0\nif %0 <= 1000 fail_too_soon\n"
                   "if %0 > 2000 fail_click_ignored\n",
                   "2000 click 10 10\n");
    // delay: the skip key (Ctrl held) ends it; a right click does not.
    ExpectQuietEnd("resettimer\ndelay 4000\ngettimer %0\nif %0 <= 1000 fail_right_click_ended\n"
                   "if %0 > 2000 fail_skip_key_ignored\n",
                   "500 rclick 10 10\n2000 keydown ctrl\n");
}

// A logo animation written the usual way: the loop redraws until the
// timer reaches 200 ms.  Headless, each frame shown takes 1 virtual ms, so
// it ends after some 200 passes rather than the hundreds of thousands that
// the statements alone would need.
TEST(WaitGames, ALoopThatDrawsEndsWithinItsVirtualTime) {
    std::string dir = MakeGameFolder();
    const int w = 800, h = 600, stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> bits((size_t)stride * h, 0x80);
    ASSERT_TRUE(WriteBmp24((dir + "/logo.bmp").c_str(), bits.data(), w, h));
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "lsp 1,\":c;logo.bmp\",0,0\nresettimer\n"
                "*l\ngettimer %0\namsp 1,%0/10,0\nprint 1\nadd %1,1\n"
                "if %1 > 1000 fail_too_many_passes\n"
                "if %0 < 200 goto *l\n"
                "if %1 < 100 fail_too_few_passes\nend\n");
    RunOptions opt;
    opt.max_ms = 5000;
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

TEST(WaitGames, GettimerErrors) {
    struct Case {
        const char* story;
        const char* box;
    } cases[] = {
        {"gettimer 0\n", "構文エラー: gettimerの引数は数字変数です。"},
        {"gettimer $0\n", "構文エラー: gettimerの引数は数字変数です。"},
        {"gettimer %100000\n", "エラー: 変数番号が範囲外をさしています。"},
        {"gettimer %-1\n", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (const Case& c : cases) {
        RunResult r = Play(c.story);
        ASSERT_EQ(r.boxes.size(), 1u) << c.story << r.err;
        EXPECT_EQ(r.boxes[0].substr(0, r.boxes[0].find("\\n")), c.box) << c.story;
    }
}

}  // namespace
