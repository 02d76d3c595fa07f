// wait_commands.cpp - the timed waits and the script timer.
#include "ui/wait_commands.h"

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/readers.h"
#include "core/variables.h"
#include "save/journal.h"
#include "graphics/anim.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/timedwait.h"

uint32_t TimerBase;
uint32_t TimerDeadline;

// delay n: n ms, ended early by a click, the skip key or skip mode.
void Cmd_delay() { TimedWait(ReadIntExpr(), true); }

// wait n: n ms, ended early only by Enter or a reset.
void Cmd_wait() { TimedWait(ReadIntExpr(), false); }

// ---- spwait -------------------------------------------------------------------

// False when sprite n's animation can never reach the cell spwait waits for:
// a number out of range, a free, hidden or layer sprite, no picture, a single
// cell, a cell time of "never", a loop mode other than 0, 1 and 2; and while a
// reset is pending (each step would return at once).
static bool SpriteCanAnimate(int n) {
    if (n < 0 || n >= SpriteCount || ResetRequested) return false;
    const Sprite& sp = Sprites[n];
    const Surface& s = sp.surface;
    if (!sp.tag[0] || !sp.visible || LayerSlotOfTag(sp.tag) >= 0 || !HasPicture(&s)) return false;
    if (s.cellCount <= 1 || s.cellTime == NoAnimation) return false;
    if (s.cellTime == -1 && !s.cellTimes) return false;
    return s.loopMode >= 0 && s.loopMode <= 2;
}

// The time of the current cell: the cell time, or its entry of the per-cell
// list (the last entry for a cell past the end).
static int32_t CurrentCellTime(const Surface& s) {
    if (s.cellTime != -1) return s.cellTime;
    int c = s.cell < 0 ? 0 : s.cell >= s.cellCount ? s.cellCount - 1 : s.cell;
    return s.cellTimes[c];
}

// Waits in 1 ms steps while the sprite can animate and its cell is (or is
// not) `cell`; false when it stopped being able to animate.
static bool WaitWhileCell(int n, bool equal, int cell) {
    for (;;) {
        if (!SpriteCanAnimate(n)) return false;
        if ((Sprites[n].surface.cell == cell) != equal) return true;
        TimedWait(1, false);
    }
}

// spwait n: waits for the cell animation of sprite n to come round (modes 0
// and 2) or to stop (mode 1), then lets the awaited cell show for one cell
// time.  A wait that could never end returns at once.
void Cmd_spwait() {
    int n = ReadIntExpr();
    if (!SpriteCanAnimate(n)) return;
    Surface& s = Sprites[n].surface;
    int mode = s.loopMode;
    if (mode != 1 && !WaitWhileCell(n, true, 0)) return;
    int target = mode == 2 ? 0 : s.cellCount - 1;
    if (!WaitWhileCell(n, false, target)) return;
    int32_t time = CurrentCellTime(s);
    if (mode == 1) {
        TimedWait(time, false);
        return;
    }
    // Hold the animation on the awaited cell for one cell time, then let it
    // restart its timing.
    int32_t kept = s.cellTime;
    s.cellTime = 99999;
    TimedWait(time, false);
    // The picture may have been replaced meanwhile (a Lua hook); leave a new
    // one's timing alone.
    if (s.cellTime == 99999) s.cellTime = kept;
    s.animClock = 0;
}

// ---- the script timer -------------------------------------------------------------

void Cmd_resettimer() { TimerBase = PlatTicks(); }

// True once the clock has reached TimerDeadline.  Counted from TimerBase, so
// that a deadline past the wrap of the counter is not reached at once.
static bool DeadlineReached(int32_t n) {
    return n <= 0 || PlatTicks() - TimerBase >= (uint32_t)n;
}

// waittimer n: waits until TimerBase + n; nothing ends it early.
void Cmd_waittimer() {
    int32_t n = ReadIntExpr();
    TimerDeadline = TimerBase + (uint32_t)n;
    PumpMessage();
    if (DeadlineReached(n)) return;
    do {
        if (PlatTicks() < TimerBase) return;  // the counter wrapped
        // The pass's 1 ms sleep: in a window, up to the deadline or the
        // next input, animation or timer work.
        if (!PumpMessage() || PlatIsHeadless()) IdleFor(MsUntil(TimerDeadline), 1);
        AdvanceAnimation();
    } while (!DeadlineReached(n));
}

// gettimer %v: ms since the last resettimer, at least 1.
void Cmd_gettimer() {
    int v = ReadIntTarget("gettimer", SufOnlyInt);
    int32_t d = (int32_t)(PlatTicks() - TimerBase);
    StoreIntVar(v, d <= 0 ? 1 : d);
}
