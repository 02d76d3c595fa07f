// What the real-window tests share: a private X server of 1280 x 720 with a
// connection of the test's own, waits that poll, and a click and a key
// press sent through the server.  Include after the test framework (Xlib's
// macros would clash with it).
#pragma once
#include "tests/support/xvfb.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <string>
#include <thread>

namespace realwin {

enum { ScreenW = 1280, ScreenH = 720 };

// How long a game may take to show what a test waits for: the sanitizers and
// a loaded machine start it slowly, and the waits poll, so a quick start
// costs nothing.
const int SlowStartMs = 30000;

inline void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Waits until fn() holds, at most ms milliseconds.
template <class F>
bool Within(int ms, F fn) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (fn()) return true;
        SleepMs(20);
    }
    return fn();
}

// The private X server with a connection of the test's own to it.
struct Xvfb : XvfbServer {
    Display* dpy = nullptr;
    explicit Xvfb(int width = ScreenW, int height = ScreenH) : XvfbServer(width, height) {
        if (name.empty()) return;
        dpy = XOpenDisplay(name.c_str());
        // Windows of the game may go between listing and asking about
        // them: such errors are no reason to end.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        if (!dpy) {
            why = "cannot open Xvfb's display " + name;
            Stop();
        }
    }
    ~Xvfb() {
        if (dpy) XCloseDisplay(dpy);
        dpy = nullptr;
    }
};

inline void MoveTo(Display* dpy, int x, int y) {
    XTestFakeMotionEvent(dpy, 0, x, y, CurrentTime);
    XSync(dpy, False);
}

inline void Click(Display* dpy, int x, int y) {
    MoveTo(dpy, x, y);
    SleepMs(100);
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XSync(dpy, False);
    SleepMs(50);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    XSync(dpy, False);
}

// Held `hold_ms`, then a pause as long.
inline void PressKey(Display* dpy, KeySym sym, int hold_ms = 30) {
    KeyCode k = XKeysymToKeycode(dpy, sym);
    XTestFakeKeyEvent(dpy, k, True, CurrentTime);
    XSync(dpy, False);
    SleepMs(hold_ms);
    XTestFakeKeyEvent(dpy, k, False, CurrentTime);
    XSync(dpy, False);
    SleepMs(hold_ms);
}

}  // namespace realwin
