// timedwait.h - the timed pause every timed wait goes through: it pumps the
// window messages itself, keeps the cell animations running and ends early
// on a click, the skip key, skip mode, Enter or a reset request.
#pragma once
#include <cstdint>

// Waits `duration` ms (none for 0 or less: one pass).  A clickable wait also
// ends on a left-button release, the skip key or skip mode; every wait ends
// when Enter is pressed and released, when the clock wraps and when a reset
// is requested.  Clicks and characters queued before the call are dropped.
void TimedWait(int32_t duration, bool clickable);
