// idlewait.h - how a wait loop spends the time between its passes: blocked
// in the platform until input comes or the earliest moment at which
// something of its own, an animation or a window timer is due.
#pragma once
#include <cstdint>

// No limit of the wait's own: input, the animations and the window timers
// wake it.
constexpr uint32_t IdleNoLimit = 0x7FFFFFFF;
// A wait that watches a sound's end (a voice in auto mode or at a button
// time-out, a movie's sound) looks again this often while it plays: the
// end of a sound is not known ahead.
constexpr uint32_t SoundEndPollMs = 5;

// Ms from now until `tick`, 0 once it has come (ticks compare by their
// difference, so a wrapped clock is no special case).
uint32_t MsUntil(uint32_t tick);
// Ms until `elapsed` ms reach `need`; 0 once they have.
uint32_t MsLeft(int64_t need, uint32_t elapsed);
// The pass of a wait loop found no message.  In a window: blocks until
// input comes, `ms` pass, an animation has a cell to change or a window
// timer is due (the 30 ms window timer only while its steps may have work
// or a key or button is held; else it fires when the wait wakes).  Headless
// it sleeps `headless_ms` on the virtual clock (the loop's own sleep; the
// empty pump has moved the clock already), so that runs stay as they were.
// A loop that does not advance the animations (menus, the lookback viewer,
// a movie) passes animates false: a cell that is due would otherwise wake it
// at once, pass after pass.
void IdleFor(uint32_t ms, uint32_t headless_ms = 0, bool animates = true);
// PumpMessageOrSleep whose sleep, in a window, is IdleFor(ms, 0, animates).
bool PumpMessageOrIdle(uint32_t ms, bool animates = true);
