// timedwait.cpp - TimedWait: a loop of one pumped message and one
// animation tick per pass.  When no message came it blocks until input,
// its end or the next animation or timer work (IdleFor), and ends on its
// millisecond; headless, each empty pump moves the virtual clock by 1 ms.
#include "ui/timedwait.h"

#include "graphics/anim.h"
#include "platform/platform.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"

void TimedWait(int32_t duration, bool clickable) {
    // Input that came before the wait must not end it.
    PlatRemoveAll(WM_LBUTTONUP);
    PlatRemoveAll(WM_CHAR);
    uint32_t start = PlatTicks();
    bool enterSeen = false;
    if (ResetRequested) return;
    for (;;) {
        bool got = PumpMessage();
        if (got) {
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
        if (!got) IdleFor((uint32_t)duration - (now - start));
    }
}
