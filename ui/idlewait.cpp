// idlewait.cpp - the blocking step of the wait loops.
#include "ui/idlewait.h"

#include "graphics/anim.h"
#include "platform/platform.h"
#include "sound/window_sound.h"

uint32_t MsUntil(uint32_t tick) {
    int32_t d = (int32_t)(tick - PlatTicks());
    return d > 0 ? (uint32_t)d : 0;
}

uint32_t MsLeft(int64_t need, uint32_t elapsed) {
    int64_t d = need - (int64_t)elapsed;
    return d < 0 ? 0 : d > IdleNoLimit ? IdleNoLimit : (uint32_t)d;
}

// A key or mouse button is held: the waits look at held keys (the skip
// key, Enter, the keys that repeat) whenever a message comes, the window
// timer's too, so the timer must keep coming.
static bool InputHeld() {
    for (int vk = 1; vk < 256; vk++)
        if (PlatKeyDown(vk)) return true;
    return false;
}

void IdleFor(uint32_t ms, uint32_t headless_ms, bool animates) {
    if (PlatIsHeadless()) {
        if (headless_ms) PlatSleep(headless_ms);
        return;
    }
    if (ms == 0) return;
    if (animates) {
        uint32_t due = AnimationDueIn();
        if (due < ms) ms = due;
    }
    if (ms > IdleNoLimit) ms = IdleNoLimit;
    if (ms) PlatWaitEvent(PlatTicks() + ms, WindowTimerHasWork() || InputHeld());
}

bool PumpMessageOrIdle(uint32_t ms, bool animates) {
    if (PlatIsHeadless()) return PumpMessageOrSleep();
    if (PumpMessage()) return true;
    IdleFor(ms, 0, animates);
    return false;
}
