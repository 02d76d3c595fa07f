// timedwait.cpp - TimedWait: a busy loop of one pumped message and one
// animation tick per pass.  It never sleeps, so a wait ends on its
// millisecond; headless, each empty pump moves the virtual clock by 1 ms.
#include "text/timedwait.h"

#include "graphics/anim.h"
#include "platform/platform.h"
#include "text/input_state.h"

void TimedWait(int32_t duration, bool clickable) {
    // Input that came before the wait must not end it.
    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_CHAR);
    uint32_t start = PlatTicks();
    bool enterSeen = false;
    if (ResetRequested) return;
    for (;;) {
        if (PumpMessage()) {
            if (clickable && LastMessage == WM_LBUTTONUP) return;
            if (clickable && IsSkipKeyDown()) return;
            // An Enter press followed by its release ends any timed wait.
            if (GetForegroundKeyState(VK_RETURN) & 0x8000) enterSeen = true;
            else if (enterSeen) return;
        }
        if (clickable && SkipMode) return;
        AdvanceAnimation();
        uint32_t now = PlatTicks();
        // Elapsed time rather than start + duration, so that a deadline past
        // the wrap of the counter does not end the wait at once.
        if (duration <= 0 || now - start >= (uint32_t)duration) return;
        if (now < start || ResetRequested) return;
    }
}
