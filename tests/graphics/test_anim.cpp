// Cell animation on the virtual clock: the cell sequences of each loop mode,
// the strict time test, per-cell times, the wrap of the clock, the dirty
// area and the instant redraw of a change, hidden sprites and standing
// pictures, layer timers, the Lua hook's error, and the cell command.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>

#include "core/script.h"
#include "ext/layers.h"
#include "ext/luahooks.h"
#include "graphics/anim.h"
#include "graphics/anim_query.h"
#include "graphics/compose.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "tests/graphics/gfx_fixture.h"

namespace {

const Bgr Marker{1, 2, 3};
// The colour of cell c of the test pictures.
Bgr CellColor(int c) { return Bgr{(uint8_t)(40 * c + 20), 200, (uint8_t)(250 - 40 * c)}; }

// A w x h cell picture of `cells` cells, each in its own colour.
void MakeCells(Surface* s, int cells, int w = 8, int h = 6) {
    Make24(s, w * cells, h, [&](int x, int) { return CellColor(x / w); });
    s->transMode = TransCopy;
    s->cellCount = cells;
    s->cell = 0;
    s->cellStep = 1;
}

class Anim : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        RebuildScreenSurfaces();
        ClearDirtyRect();
        HeadlessSetTicks(1000);
    }
    void TearDown() override {
        for (Sprite& s : Sprites)
            if (s.tag[0] || HasPicture(&s.surface)) {
                DestroySurface(&s.surface);
                s = Sprite();
            }
        for (Human& h : Humans) {
            DestroySurface(&h.surface);
            h.name[0] = 0;
        }
        for (LayerSlot& l : LayerSlots) l = LayerSlot();
        LuaAnimationMode = 0;
        LuaAnimationLast = 0;
        ClearDirtyRect();
        GfxTest::TearDown();
    }

    // Sprite n at (x, y), visible, with `cells` cells of `time` ms in the
    // loop mode, its clock at now.
    Surface& Animated(int n, int cells, int time, int loopMode, int x = 100, int y = 50) {
        Sprite& sp = Sprites[n];
        strcpy(sp.tag.Edit(), "cells.bmp");
        sp.x = x;
        sp.y = y;
        sp.visible = 1;
        MakeCells(&sp.surface, cells);
        sp.surface.cellTime = time;
        sp.surface.loopMode = loopMode;
        sp.surface.animClock = PlatTicks();
        return sp.surface;
    }
    // One tick at the given clock.
    void TickAt(uint32_t t) {
        HeadlessSetTicks(t);
        AdvanceAnimation();
    }
    // The cells after a tick every `step` ms, `count` times.
    std::vector<int> Cells(const Surface& s, uint32_t step, int count) {
        std::vector<int> out;
        uint32_t t = PlatTicks();
        for (int i = 0; i < count; i++) {
            TickAt(t += step);
            out.push_back(s.cell);
        }
        return out;
    }
    void MarkDestination() { Fill24(&DestSurface, ScreenWidth, ScreenHeight, Marker); }
    // Whether the shown picture was redrawn at (x, y) since MarkDestination.
    bool Redrawn(int x, int y) { return PixelAt(DestSurface, x, y) != Marker; }
};

TEST_F(Anim, LoopModes) {
    struct Case {
        int loopMode;
        std::vector<int> cells;
    } cases[] = {
        {0, {1, 2, 3, 0, 1, 2, 3, 0}},
        {1, {1, 2, 3, 3, 3, 3, 3, 3}},
        {2, {1, 2, 3, 2, 1, 0, 1, 2}},
        // Other modes step past the end, and drawing the sprite puts the
        // cell back on the last one.
        {3, {1, 2, 3, 3, 3, 3, 3, 3}},
        {7, {1, 2, 3, 3, 3, 3, 3, 3}},
    };
    for (const Case& c : cases) {
        Surface& s = Animated(3, 4, 100, c.loopMode);
        EXPECT_EQ(Cells(s, 101, 8), c.cells) << "loop mode " << c.loopMode;
    }
    // Off the screen the sprite is not drawn: the cell runs on.
    Surface& s = Animated(3, 4, 100, 3, -1000, -1000);
    EXPECT_EQ(Cells(s, 101, 6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(Anim, ACellChangesOnlyMoreThanItsTimeAfterTheLast) {
    Surface& s = Animated(3, 4, 100, 0);
    TickAt(1100);
    EXPECT_EQ(s.cell, 0);
    TickAt(1101);
    EXPECT_EQ(s.cell, 1);
    EXPECT_EQ(s.animClock, 1101u);
    // Counted from the change, not from the last tick.
    TickAt(1150);
    TickAt(1201);
    EXPECT_EQ(s.cell, 1);
    TickAt(1202);
    EXPECT_EQ(s.cell, 2);
    // One step per tick, however late the tick.
    TickAt(5000);
    EXPECT_EQ(s.cell, 3);
}

TEST_F(Anim, PerCellTimes) {
    Surface& s = Animated(3, 2, -1, 0);
    s.cellTimes = (int32_t*)malloc(2 * sizeof(int32_t));
    s.cellTimes[0] = 100;
    s.cellTimes[1] = 1000;
    TickAt(1100);
    EXPECT_EQ(s.cell, 0);
    TickAt(1101);
    EXPECT_EQ(s.cell, 1);
    TickAt(2101);
    EXPECT_EQ(s.cell, 1);
    TickAt(2102);
    EXPECT_EQ(s.cell, 0);
}

TEST_F(Anim, PerCellTimesPastTheLastCellKeepTheLastTime) {
    // Loop mode 3 runs past the end (off the screen nothing puts the cell
    // back): the last cell's time goes on counting instead of a read past
    // the list.
    Surface& s = Animated(3, 2, -1, 3, -1000, -1000);
    s.cellTimes = (int32_t*)malloc(2 * sizeof(int32_t));
    s.cellTimes[0] = 10;
    s.cellTimes[1] = 500;
    EXPECT_EQ(Cells(s, 11, 1), std::vector<int>{1});
    EXPECT_EQ(Cells(s, 501, 3), (std::vector<int>{2, 3, 4}));
    TickAt(PlatTicks() + 500);
    EXPECT_EQ(s.cell, 4);
}

TEST_F(Anim, PerCellTimesFromATag) {
    std::vector<uint8_t> bmp;
    {
        Pic p;
        MakeCells(&p.s, 2);
        SaveSurfaceBmp(&p.s, "cells.bmp");
    }
    Sprite& sp = Sprites[4];
    strcpy(sp.tag.Edit(), ":c/2,<100,1000>,0;cells.bmp");
    sp.visible = 1;
    LoadImageTag(&sp.surface, sp.tag);
    ASSERT_TRUE(HasPicture(&sp.surface));
    ASSERT_EQ(sp.surface.cellTime, -1);
    uint32_t t0 = sp.surface.animClock;
    TickAt(t0 + 100);
    EXPECT_EQ(sp.surface.cell, 0);
    TickAt(t0 + 101);
    EXPECT_EQ(sp.surface.cell, 1);
    TickAt(t0 + 1101);
    EXPECT_EQ(sp.surface.cell, 1);
    TickAt(t0 + 1102);
    EXPECT_EQ(sp.surface.cell, 0);
}

TEST_F(Anim, AClockThatWentBackCountsAsTimePassed) {
    Surface& s = Animated(3, 4, 100, 0);
    s.animClock = 0xFFFFFFF0u;
    TickAt(5);  // wrapped: 21 ms later, and "now" below the clock
    EXPECT_EQ(s.cell, 1);
    // Time measured across the wrap.
    Surface& t = Animated(4, 4, 100, 0);
    t.animClock = 0xFFFFFFF0u;
    HeadlessSetTicks(0xFFFFFFF8u);
    AdvanceAnimation();
    EXPECT_EQ(t.cell, 0);
    // A cell time of "never" still moves when the clock goes back.
    Surface& u = Animated(5, 4, NoAnimation, 3);
    u.animClock = 20000;
    TickAt(19999);
    EXPECT_EQ(u.cell, 1);
}

TEST_F(Anim, AChangeIsShownAtOnceOverTheSpritesArea) {
    Surface& s = Animated(3, 4, 100, 0, 100, 50);  // 8 x 6 cells
    MarkDestination();
    TickAt(1100);
    EXPECT_FALSE(Redrawn(104, 52)) << "nothing changed, nothing redrawn";
    TickAt(1101);
    ASSERT_EQ(s.cell, 1);
    EXPECT_TRUE(DirtyRect.left == 0 && DirtyRect.right == 0 && DirtyRect.top == 0 &&
                DirtyRect.bottom == 0)
        << "the redraw empties the dirty rectangle";
    // The area is x .. x + cell width + 1, y .. y + height + 1.
    for (auto xy : {std::make_pair(100, 50), std::make_pair(109, 57), std::make_pair(104, 52)})
        EXPECT_TRUE(Redrawn(xy.first, xy.second)) << xy.first << "," << xy.second;
    for (auto xy : {std::make_pair(99, 52), std::make_pair(110, 52), std::make_pair(104, 49),
                    std::make_pair(104, 58), std::make_pair(300, 300)})
        EXPECT_FALSE(Redrawn(xy.first, xy.second)) << xy.first << "," << xy.second;
}

TEST_F(Anim, LoopModeOneIsNotRedrawnAtTheEnd) {
    Surface& s = Animated(3, 2, 100, 1);
    TickAt(1101);
    ASSERT_EQ(s.cell, 1);
    MarkDestination();
    TickAt(1202);
    TickAt(5000);
    EXPECT_EQ(s.cell, 1);
    EXPECT_EQ(s.animClock, 1101u) << "the clock stays";
    EXPECT_FALSE(Redrawn(104, 52));
}

TEST_F(Anim, HiddenAndFreeSpritesDoNotAnimate) {
    Surface& hidden = Animated(3, 4, 100, 0);
    Sprites[3].visible = 0;
    Surface& single = Animated(4, 1, 100, 0);
    Surface& free = Animated(5, 4, 100, 0);
    Sprites[5].tag.Edit()[0] = 0;
    MarkDestination();
    TickAt(5000);
    EXPECT_EQ(hidden.cell, 0);
    EXPECT_EQ(single.cell, 0);
    EXPECT_EQ(free.cell, 0);
    EXPECT_FALSE(Redrawn(104, 52));
}

TEST_F(Anim, StandingPicturesAnimateWhetherShownOrNot) {
    for (int i = 0; i < HumanCount; i++) {
        Human& h = Humans[i];
        strcpy(h.name, "human.bmp");
        MakeCells(&h.surface, 3);
        h.surface.cellTime = 50;
        h.surface.loopMode = 2;
        h.surface.animClock = 1000;
        h.x = 200 * i;
        h.y = 300;
    }
    // Hide every standing picture behind an opaque full-screen sprite: they
    // animate all the same.
    Sprite& cover = Sprites[999];
    strcpy(cover.tag.Edit(), "cover.bmp");
    cover.visible = 1;
    Fill24(&cover.surface, ScreenWidth, ScreenHeight, Bgr{9, 9, 9});
    MarkDestination();
    std::vector<int> seen;
    for (uint32_t t = 1051; t <= 1051 + 51 * 4; t += 51) {
        TickAt(t);
        seen.push_back(Humans[1].surface.cell);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1, 0, 1}));
    EXPECT_EQ(Humans[0].surface.cell, 1);
    EXPECT_EQ(Humans[2].surface.cell, 1);
    EXPECT_TRUE(Redrawn(200 + 4, 302)) << "the standing picture's area is redrawn";
    // An empty slot does not animate.
    Humans[2].name[0] = 0;
    TickAt(PlatTicks() + 51);
    EXPECT_EQ(Humans[2].surface.cell, 1);
}

int TimerCalls;
int TimerResult;
int CountingTimer() {
    TimerCalls++;
    return TimerResult;
}

TEST_F(Anim, LayerTimers) {
    Sprite& sp = Sprites[10];
    strcpy(sp.tag.Edit(), "*3");
    sp.visible = 1;
    LayerSlot& slot = LayerSlots[3];
    slot.interval = 50;
    slot.lastTick = 1000;
    slot.Timer = CountingTimer;
    TimerCalls = 0;
    TimerResult = 0;
    MarkDestination();
    TickAt(1050);
    EXPECT_EQ(TimerCalls, 0);
    TickAt(1051);
    EXPECT_EQ(TimerCalls, 1);
    EXPECT_EQ(slot.lastTick, 1051u);
    EXPECT_FALSE(Redrawn(5, 5)) << "a Timer giving 0 causes no redraw";
    // A non-zero result redraws the whole screen.
    TimerResult = 1;
    TickAt(1102);
    EXPECT_EQ(TimerCalls, 2);
    EXPECT_TRUE(Redrawn(0, 0));
    EXPECT_TRUE(Redrawn(ScreenWidth - 1, ScreenHeight - 1));
    // A clock that went back calls it; a hidden layer sprite, an interval of
    // 0 and a slot out of range do not.
    TickAt(1000);
    EXPECT_EQ(TimerCalls, 3);
    sp.visible = 0;
    TickAt(9000);
    sp.visible = 1;
    slot.interval = 0;
    TickAt(19000);
    EXPECT_EQ(TimerCalls, 3);
    strcpy(sp.tag.Edit(), "*99");
    TickAt(29000);
    EXPECT_EQ(TimerCalls, 3);
}

TEST_F(Anim, LuaAnimationWithoutAHookIsAnError) {
    LuaAnimationMode = 1;
    LuaAnimationInterval = 15;
    LuaAnimationLast = 1000;
    // Not yet due: nothing is called.
    TickAt(1014);
    EXPECT_EQ(LuaAnimationLast, 1000u);
    EXPECT_EQ(FatalText([&] { TickAt(1015); }), "エラー: luacall animationを実行していません。");
    EXPECT_EQ(LuaAnimationLast, 1015u);
}

// ---- the cell command ----

class CellCommand : public Anim {
protected:
    void Run(const std::string& operands) {
        UseScriptText(&script, operands);
        Cmd_cell();
        ForgetScriptText();
    }
    std::string script;
};

TEST_F(CellCommand, SetsTheCellWithinThePicture) {
    struct Case {
        const char* operands;
        int cell;
    } cases[] = {
        {"3,2", 2}, {"3, 0", 0}, {"3,3", 3}, {"3,4", 3}, {"3,99999", 3}, {"3,-1", 0},
        {"3,1+1", 2},
    };
    for (const Case& c : cases) {
        Surface& s = Animated(3, 4, 100, 3);
        HeadlessSetTicks(4321);
        Run(c.operands);
        EXPECT_EQ(s.cell, c.cell) << c.operands;
        EXPECT_EQ(s.animClock, 4321u) << c.operands;
        EXPECT_EQ(SpriteCurrentCell(3), c.cell);
    }
    // A free sprite, or one with one cell, keeps cell 0.
    Run("20,5");
    EXPECT_EQ(Sprites[20].surface.cell, 0);
}

TEST_F(CellCommand, MarksAVisibleSpriteOnlyAndDoesNotRedraw) {
    Animated(3, 4, 100, 0, 100, 50);
    MarkDestination();
    Run("3,2");
    EXPECT_EQ(DirtyRect.left, 100);
    EXPECT_EQ(DirtyRect.right, 109);
    EXPECT_EQ(DirtyRect.top, 50);
    EXPECT_EQ(DirtyRect.bottom, 57);
    EXPECT_FALSE(Redrawn(104, 52));
    ClearDirtyRect();
    Sprites[3].visible = 0;
    Run("3,1");
    EXPECT_EQ(Sprites[3].surface.cell, 1);
    EXPECT_EQ(DirtyRect.right, 0);
}

TEST_F(CellCommand, SpriteNumberOutOfRange) {
    for (const char* operands : {"1000,0", "-1,0", "99999999,1"})
        EXPECT_EQ(FatalText([&] { Run(operands); }), "エラー: スプライト番号が範囲外です。")
            << operands;
}

TEST_F(Anim, DebugQueryReadsSpriteOne) {
    Surface& s = Animated(1, 4, 100, 0);
    s.animClock = 777;
    s.cell = 2;
    EXPECT_EQ(AnimationClockValue(), 777);
    EXPECT_EQ(SpriteCurrentCell(1), 2);
}

// ---- played as games ----

class AnimGame : public Anim {
protected:
    // Plays the story with "cells.bmp" (4 cells of 8 x 6) in the folder and
    // gives the last frame shown.
    void Play(const std::string& story, Pic* frame) {
        {
            Pic p;
            MakeCells(&p.s, 4);
            SaveSurfaceBmp(&p.s, "cells.bmp");
        }
        WriteScript(dir, "*define\ngame\n*start\n" + story + "end\n");
        RunOptions opt;
        opt.frame_out = dir + "/frame.bmp";
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, 0) << r.err;
        for (const std::string& b : r.boxes) ADD_FAILURE() << b;
        ASSERT_TRUE(LoadSurfaceBmp(&frame->s, "frame.bmp"));
    }
};

TEST_F(AnimGame, LoopModesWhileTheScriptWaits) {
    Pic frame;
    Play("lsp 5,\":c/4,100,0;cells.bmp\",100,50\n"
         "lsp 6,\":c/4,100,1;cells.bmp\",200,50\n"
         "lsp 7,\":c/4,100,2;cells.bmp\",300,50\n"
         "lsp 8,\":c/4;cells.bmp\",400,50\n"
         "lsp 9,\":c/4,100,0;cells.bmp\",500,50\nvsp 9,0\n"
         "print 1\nwait 450\nvsp 9,1\nprint 1\n",
         &frame);
    // Four changes 101 ms apart: wrapped to 0, held on 3, back to 2, none.
    EXPECT_EQ(PixelAt(frame.s, 104, 52), CellColor(0));
    EXPECT_EQ(PixelAt(frame.s, 204, 52), CellColor(3));
    EXPECT_EQ(PixelAt(frame.s, 304, 52), CellColor(2));
    EXPECT_EQ(PixelAt(frame.s, 404, 52), CellColor(0));
    // Hidden while the script waited: still on its first cell.
    EXPECT_EQ(PixelAt(frame.s, 504, 52), CellColor(0));
}

TEST_F(AnimGame, NothingAnimatesBetweenCommandsThatDoNotWait) {
    Pic frame;
    // Time passes only in the waits; a command that does not wait never
    // shows a new cell, however long ago the last change was.
    Play("lsp 5,\":c/4,100,0;cells.bmp\",100,50\nprint 1\nwait 150\n"
         "cell 5,3\n",
         &frame);
    EXPECT_EQ(PixelAt(frame.s, 104, 52), CellColor(1)) << "cell waits for the next composition";
    Play("lsp 5,\":c/4,100,0;cells.bmp\",100,50\nprint 1\nwait 150\n"
         "cell 5,3\nprint 1\n",
         &frame);
    EXPECT_EQ(PixelAt(frame.s, 104, 52), CellColor(3));
    Play("lsp 5,\":c/4,100,0;cells.bmp\",100,50\nprint 1\ncell 5,-4\nprint 1\n", &frame);
    EXPECT_EQ(PixelAt(frame.s, 104, 52), CellColor(0));
}

TEST_F(AnimGame, SpwaitAndItsTimes) {
    Pic frame;
    Play("lsp 5,\":c/4,100,1;cells.bmp\",100,50\nprint 1\n"
         "resettimer\nspwait 5\ngettimer %0\n"
         // the last cell reached after 3 changes, then one cell time
         "if %0 < 400 fail_spwait_short\nif %0 > 410 fail_spwait_long\n"
         "lsp 6,\":c/4,100,0;cells.bmp\",200,50\nprint 1\n"
         "resettimer\nspwait 6\ngettimer %0\nif %0 < 400 fail_spwait0_short\n"
         "if %0 > 410 fail_spwait0_long\n"
         // spwait on what never ends: at once
         "lsp 7,\":c/4;cells.bmp\",300,50\n"
         "resettimer\nspwait 7\nspwait 8\nspwait 1000\nspwait -3\n"
         "gettimer %0\nif %0 != 1 fail_spwait_never\n",
         &frame);
    EXPECT_EQ(PixelAt(frame.s, 104, 52), CellColor(3));
    EXPECT_EQ(PixelAt(frame.s, 204, 52), CellColor(3)) << "held on the awaited cell";
}

}  // namespace
