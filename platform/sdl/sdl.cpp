// sdl.cpp - the backend on SDL2: one window showing the screen picture
// scaled to fit (letterboxed in full-screen mode) below the menu bar of the
// in-window GUI (gui.cpp), SDL events as window messages in client
// coordinates, SDL's clock, key state and message boxes, and the audio
// device at 44100 Hz, 16-bit stereo.
#include <SDL.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/gui_backends.h"
#include "platform/common/menubar.h"
#include "platform/sdl/sdl.h"
#include "platform/sdl/sdl_internal.h"

static bool VideoUp;
static SDL_Window* Window;
static SDL_Renderer* Renderer;
static SDL_Texture* Texture;
static int TextureW, TextureH;
// The picture as last uploaded to Texture, top-down, rows of the source's
// stride: only rows that differ from it are uploaded again.
static std::vector<uint8_t> Shadow;
static bool RenderPending;      // Texture or the window changed since the last present
static uint32_t LastPresentTick;
static bool PresentedOnce;
static bool CoveringDesktop;  // full screen as a borderless window over the desktop
static int PresentCount, UploadedRows;
static SDL_Cursor* CustomCursor;
static SDL_Cursor* ArrowCursor;
static bool CustomCursorUsed;
static SDL_GameController* Pad;
static bool PadUp;
static int ClientW = 640, ClientH = 480;  // the screen size the engine draws
static bool FullScreen;
static SDL_AudioDeviceID AudioDevice;
static PlatAudioFill AudioFill;
static void* AudioUser;
static int RootW, RootH;        // the X root window's size last seen; 0 unknown
static int ChangedW, ChangedH;  // the desktop's size after a change; 0 none
static uint32_t LastDesktopCheck;

// ---- scaling between the window and the client picture ------------------------------

struct Fit {
    double x, y, w, h;  // the picture's rectangle in window coordinates
};

// The menu bar's height above the picture: none in full screen, where the
// bar lies over the picture.
static int BarAbove() { return FullScreen ? 0 : GuiBarHeight(); }

static Fit PictureRect() {
    int ww = ClientW, wh = ClientH;
    if (Window) SDL_GetWindowSize(Window, &ww, &wh);
    int bar = BarAbove();
    wh -= bar;
    if (wh < 1) wh = 1;
    double s = (double)ww / ClientW;
    if ((double)wh / ClientH < s) s = (double)wh / ClientH;
    if (s <= 0) s = 1;
    Fit f;
    f.w = ClientW * s;
    f.h = ClientH * s;
    f.x = (ww - f.w) / 2;
    f.y = (wh - f.h) / 2 + bar;
    return f;
}

static void WindowToClient(int wx, int wy, int* cx, int* cy) {
    Fit f = PictureRect();
    double x = (wx - f.x) * ClientW / f.w, y = (wy - f.y) * ClientH / f.h;
    *cx = (int)(x < 0 ? x - 0.999 : x);  // toward minus infinity
    *cy = (int)(y < 0 ? y - 0.999 : y);
}

// The last warp: the client position asked for, the window pixel the
// pointer was sent to and the one it left.  Until the player moves the
// pointer, that client position is where the pointer is: a window pixel
// covers a fraction of a client pixel (or several) at other scales, and a
// desktop may refuse to move the pointer at all.
static struct {
    bool on;
    int x, y;      // client
    int wx, wy;    // window: the target
    int fx, fy;    // window: where the pointer was
} Warp;

// The warped client position when the pointer is still at the warp's ends.
static bool AtWarp(int wx, int wy, int* cx, int* cy) {
    if (!Warp.on) return false;
    if ((wx != Warp.wx || wy != Warp.wy) && (wx != Warp.fx || wy != Warp.fy)) {
        Warp.on = false;
        return false;
    }
    *cx = Warp.x;
    *cy = Warp.y;
    return true;
}

// ---- keys ----------------------------------------------------------------------------

static int KeyToVk(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
    switch (k) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    }
    return 0;
}

static bool ScancodeDown(const Uint8* state, SDL_Keycode k) {
    SDL_Scancode s = SDL_GetScancodeFromKey(k);
    return s != SDL_SCANCODE_UNKNOWN && state[s];
}

// The keys held as of the key events taken in (PumpEvents), not as SDL
// saw them last: a key that an open menu takes is marked as its own when
// its event comes in, and must not read as down before that.
static Uint8 KeysHeld[SDL_NUM_SCANCODES];

static bool KeyDown(int vk) {
    if (!VideoUp) return false;
    if (vk == VK_LBUTTON || vk == VK_RBUTTON || vk == VK_MBUTTON) {
        Uint32 b = SDL_GetMouseState(nullptr, nullptr);
        return vk == VK_LBUTTON ? (b & SDL_BUTTON_LMASK) != 0
               : vk == VK_RBUTTON ? (b & SDL_BUTTON_RMASK) != 0
                                  : (b & SDL_BUTTON_MMASK) != 0;
    }
    const Uint8* st = KeysHeld;
    switch (vk) {
    case VK_SHIFT: return st[SDL_SCANCODE_LSHIFT] || st[SDL_SCANCODE_RSHIFT];
    case VK_CONTROL: return st[SDL_SCANCODE_LCTRL] || st[SDL_SCANCODE_RCTRL];
    case VK_MENU: return st[SDL_SCANCODE_LALT] || st[SDL_SCANCODE_RALT];
    case VK_RETURN: return st[SDL_SCANCODE_RETURN] || st[SDL_SCANCODE_KP_ENTER];
    }
    if (vk >= 'A' && vk <= 'Z') return ScancodeDown(st, SDLK_a + (vk - 'A'));
    if (vk >= '0' && vk <= '9') return ScancodeDown(st, SDLK_0 + (vk - '0'));
    if (vk >= VK_F1 && vk <= VK_F12) return ScancodeDown(st, SDLK_F1 + (vk - VK_F1));
    static const struct { int vk; SDL_Keycode key; } Others[] = {
        {VK_ESCAPE, SDLK_ESCAPE}, {VK_SPACE, SDLK_SPACE}, {VK_TAB, SDLK_TAB},
        {VK_BACK, SDLK_BACKSPACE}, {VK_UP, SDLK_UP}, {VK_DOWN, SDLK_DOWN},
        {VK_LEFT, SDLK_LEFT}, {VK_RIGHT, SDLK_RIGHT}, {VK_PRIOR, SDLK_PAGEUP},
        {VK_NEXT, SDLK_PAGEDOWN}, {VK_HOME, SDLK_HOME}, {VK_END, SDLK_END},
        {VK_INSERT, SDLK_INSERT}, {VK_DELETE, SDLK_DELETE},
    };
    for (const auto& o : Others)
        if (o.vk == vk) return ScancodeDown(st, o.key);
    return false;
}

// The X server knows the keyboard whatever window has it; elsewhere
// (Wayland) only the keys the game's window got are known.
static bool CtrlHeldAnywhere() {
    int x = VideoUp ? SdlX11CtrlHeld(Window) : -1;
    return x >= 0 ? x == 1 : KeyDown(VK_CONTROL);
}

// ---- events ---------------------------------------------------------------------------

static uintptr_t MouseFlags() {
    uintptr_t f = 0;
    Uint32 b = SDL_GetMouseState(nullptr, nullptr);
    if (b & SDL_BUTTON_LMASK) f |= 0x01;
    if (b & SDL_BUTTON_RMASK) f |= 0x02;
    if (KeyDown(VK_SHIFT)) f |= 0x04;
    if (KeyDown(VK_CONTROL)) f |= 0x08;
    if (b & SDL_BUTTON_MMASK) f |= 0x10;
    return f;
}

static intptr_t ClientPoint(int wx, int wy) {
    int x, y;
    if (!AtWarp(wx, wy, &x, &y)) WindowToClient(wx, wy, &x, &y);
    return MakePointParam(x, y);
}

static void PostOnce(uint32_t message) {
    if (!QueueHas(message)) QueuePost(message, 0, 0);
}

// The pointer shows where the game wants it, and always over the GUI and
// outside the game's window.  Its picture is the game's (mousecursor) only
// where the game has the pointer: over the menu bar, an open menu, while a
// dialog is open and over the program's other windows (a box before the
// game's window shows, the debug window), which share the picture set, it
// is the arrow.
static bool GamePointerShown = true;
static int PointerShownNow = -1;
static SDL_Cursor* CursorNow;  // the picture set

static SDL_Cursor* Arrow() {
    if (!ArrowCursor) ArrowCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    return ArrowCursor ? ArrowCursor : SDL_GetDefaultCursor();
}

static void UpdatePointer() {
    if (!VideoUp) return;
    bool outside = !Window || SDL_GetMouseFocus() != Window, over_gui = false;
    if (!outside) {
        int x, y;
        SDL_GetMouseState(&x, &y);
        over_gui = GuiWantsPointer(x, y);
    }
    bool show = GamePointerShown || outside || over_gui;
    if ((int)show != PointerShownNow) {
        PointerShownNow = show;
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
    SDL_Cursor* want = CustomCursorUsed && CustomCursor && !outside && !over_gui ? CustomCursor : Arrow();
    if (want != CursorNow) {
        CursorNow = want;
        SDL_SetCursor(want);
    }
}

// An event of another window than the game's.
Uint32 SdlEventWindowId(const SDL_Event& e) {
    switch (e.type) {
    case SDL_WINDOWEVENT: return e.window.windowID;
    case SDL_KEYDOWN: case SDL_KEYUP: return e.key.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN: case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEWHEEL: return e.wheel.windowID;
    case SDL_TEXTINPUT: return e.text.windowID;
    case SDL_TEXTEDITING: return e.edit.windowID;
    default: return 0;
    }
}

static bool OtherWindow(const SDL_Event& e) {
    Uint32 id = SdlEventWindowId(e);
    return id != 0 && Window && id != SDL_GetWindowID(Window);
}

int SdlButtonVk(Uint8 b) {
    return b == SDL_BUTTON_LEFT ? VK_LBUTTON : b == SDL_BUTTON_RIGHT ? VK_RBUTTON : b == SDL_BUTTON_MIDDLE ? VK_MBUTTON : 0;
}

// A key release that never reaches the queue (another window's, or one a
// dialog or the edit field took) still ends the hold on the key, so that
// the key's next press is not taken from the game; so does a button's.
static void ReleaseUnqueued(const SDL_Event& e) {
    if (e.type == SDL_MOUSEBUTTONUP) {
        MenuBarTakeRelease(SdlButtonVk(e.button.button));
        return;
    }
    if (e.type != SDL_KEYUP) return;
    PlatMsg m;
    m.message = WM_KEYUP;
    m.wparam = (uintptr_t)KeyToVk(e.key.keysym.sym);
    if (m.wparam) MenuBarTakeMessage(m);
}

// A press that a modal dialog or box took is its own, as the open menu's
// are: the key or button reads as up for the game until it is let go, and
// its release does not reach the game, also after the box has closed.
static void TakenByDialog(const SDL_Event& e) {
    if (e.type == SDL_KEYDOWN) MenuBarTakePress(KeyToVk(e.key.keysym.sym));
    else if (e.type == SDL_MOUSEBUTTONDOWN) MenuBarTakePress(SdlButtonVk(e.button.button));
}

static void PumpEvents() {
    if (!VideoUp) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.keysym.scancode < SDL_NUM_SCANCODES)
            KeysHeld[e.key.keysym.scancode] = e.type == SDL_KEYDOWN;
        if (DebugWindowTakeEvent(e) || GuiBoxWindowTakeEvent(e) || OtherWindow(e)) {
            ReleaseUnqueued(e);
            continue;
        }
        if (e.type == SDL_KEYDOWN && MenuBarNow().active) {
            // The open menu takes the key (as it leaves the queue): it
            // reads as up from now on.
            if (int vk = KeyToVk(e.key.keysym.sym)) MenuBarTakePress(vk);
        }
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            MenuBarClose();
            RenderPending = true;
        }
        bool modal = GuiModal();
        if (GuiTakeEvent(e)) {
            if (modal) TakenByDialog(e);
            ReleaseUnqueued(e);
            continue;
        }
        switch (e.type) {
        case SDL_QUIT:
            PostOnce(WM_CLOSE);
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
                // The close box of a window that a dialog disables does nothing.
                if (!GuiModal()) PostOnce(WM_CLOSE);
            } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                // The texture still holds the picture: drawing it again is enough.
                RenderPending = true;
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) Warp.on = false;  // other pixels now
                PostOnce(WM_PAINT);
            } else if (e.window.event == SDL_WINDOWEVENT_RESTORED) {
                RenderPending = true;
                QueuePost(WM_SIZE, SIZE_RESTORED, MakePointParam(ClientW, ClientH));
            } else if (e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
                QueuePost(WM_SIZE, SIZE_MINIMIZED, 0);
            }
            break;
        case SDL_MOUSEMOTION: {
            intptr_t pt = ClientPoint(e.motion.x, e.motion.y);
            if (!QueueMergeMouseMove(pt)) QueuePost(WM_MOUSEMOVE, MouseFlags(), pt);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = e.type == SDL_MOUSEBUTTONDOWN;
            uint32_t m = e.button.button == SDL_BUTTON_LEFT    ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP)
                         : e.button.button == SDL_BUTTON_RIGHT ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                         : e.button.button == SDL_BUTTON_MIDDLE ? (uint32_t)(down ? WM_MBUTTONDOWN : WM_MBUTTONUP)
                                                                : 0;
            if (m) QueuePost(m, MouseFlags(), ClientPoint(e.button.x, e.button.y));
            break;
        }
        case SDL_MOUSEWHEEL: {
            int n = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) n = -n;
            if (!n) break;
            long d = (long)n * 120;
            if (d > 32767) d = 32767;
            if (d < -32768) d = -32768;
            int x, y;
            SDL_GetMouseState(&x, &y);
            QueuePost(WM_MOUSEWHEEL, ((uintptr_t)(uint16_t)(int16_t)d << 16) | MouseFlags(),
                      ClientPoint(x, y));
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int vk = KeyToVk(e.key.keysym.sym);
            if (!vk) break;
            if (e.type == SDL_KEYDOWN)
                QueuePost(WM_KEYDOWN, (uintptr_t)vk, e.key.repeat ? (intptr_t)0x40000001 : 1);
            else
                QueuePost(WM_KEYUP, (uintptr_t)vk, (intptr_t)0xC0000001u);
            break;
        }
        }
    }
    UpdatePointer();  // the menu or a dialog may have come or gone
}

static void FlushPresent();
static void WatchDesktop();

enum : uint32_t { GuiFrameInterval = 16 };  // ms between GUI frames while it is used

// An empty queue and a sleep are where a wait shows what it drew; the GUI
// gets its frames there while the pointer is on it or a dialog is open.
static void Idle() {
    if (GuiWantsFrames() && (uint32_t)(SDL_GetTicks() - LastPresentTick) >= GuiFrameInterval) RenderPending = true;
    FlushPresent();
    DebugWindowIdle();
    WatchDesktop();
}
static void OnTake(const PlatMsg&) {}

// The clock: ms since the system started, as the multimedia clock counts
// them (gettimer before any resettimer reads it), on the monotonic clock,
// whose instant of each tick is known, so that a blocked wait can end on it.
static int64_t MonotonicNs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000000 + t.tv_nsec;
}

static uint32_t Ticks() { return (uint32_t)(MonotonicNs() / 1000000); }
static void Sleep(uint32_t ms) {
    Idle();
    SDL_Delay(ms);
}

// A blocked wait.  SDL's wait (on the display connection) counts whole
// milliseconds and wakes up to one late: for an exact deadline it takes
// the time less a margin and the rest is slept to the deadline's instant,
// so that the wait ends on its millisecond.  A wakeup event from another
// thread (a posted message, a signal through its waker) ends it.  While
// the GUI is in use it wakes for the GUI's frames, and at least every
// MaxBlockMs in case a signal's wake went missing.
enum : int64_t { WaitMarginMs = 2, MaxBlockMs = 5000 };
static std::atomic<bool> Blocked;
static uint32_t WakeEventType;

static void WaitEvent(uint32_t deadline, bool exact) {
    Idle();
    int64_t now = MonotonicNs(), ms_now = now / 1000000;
    int32_t left = (int32_t)(deadline - (uint32_t)ms_now);
    if (left <= 0) return;
    int64_t until = (ms_now + left) * 1000000;
    int64_t block = exact ? (until - now) / 1000000 - WaitMarginMs : (until - now + 999999) / 1000000;
    if (GuiWantsFrames()) {
        int64_t frame = (int64_t)GuiFrameInterval - (int64_t)(uint32_t)(SDL_GetTicks() - LastPresentTick);
        block = std::min<int64_t>(block, frame < 1 ? 1 : frame);
    }
    block = std::min<int64_t>(block, MaxBlockMs);
    if (block > 0) {
        Blocked = true;
        // A signal's waker that came before Blocked was set pushed nothing.
        bool woken = PlatSignalPending || !QueueEmpty() || SDL_WaitEventTimeout(nullptr, (int)block) == 1;
        Blocked = false;
        if (woken) return;
        now = MonotonicNs();
        if (!exact || until - now > (WaitMarginMs + 1) * 1000000) return;  // the GUI or the cap woke it
    }
    timespec t = {(time_t)(until / 1000000000), (long)(until % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
        if (PlatSignalPending) break;
    }
}

static void Wake() {
    if (!Blocked || !WakeEventType) return;
    SDL_Event e = {};
    e.type = WakeEventType;
    SDL_PushEvent(&e);
}

static void PointerInWindow(int* wx, int* wy) {
    *wx = *wy = 0;
    if (Window && SDL_GetMouseFocus() != Window) {
        int gx, gy, px, py;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(Window, &px, &py);
        *wx = gx - px;
        *wy = gy - py;
    } else {
        SDL_GetMouseState(wx, wy);
    }
}

static void CursorPos(int* x, int* y) {
    int wx, wy;
    PointerInWindow(&wx, &wy);
    if (!AtWarp(wx, wy, x, y)) WindowToClient(wx, wy, x, y);
}

static void ShowCursor(bool show) {
    GamePointerShown = show;
    UpdatePointer();
}

// To the window pixel under the centre of client pixel x, y; at scales of
// 1 or more the one of its neighbours that lies within that client pixel.
static void WarpCursor(int x, int y) {
    if (!Window) return;
    Fit f = PictureRect();
    int wx = (int)floor(f.x + (x + 0.5) * f.w / ClientW), wy = (int)floor(f.y + (y + 0.5) * f.h / ClientH);
    for (int d : {0, 1, -1}) {
        int cx, cy;
        WindowToClient(wx + d, wy, &cx, &cy);
        if (cx == x) {
            wx += d;
            break;
        }
    }
    for (int d : {0, 1, -1}) {
        int cx, cy;
        WindowToClient(wx, wy + d, &cx, &cy);
        if (cy == y) {
            wy += d;
            break;
        }
    }
    int fx, fy;
    PointerInWindow(&fx, &fy);
    Warp = {true, x, y, wx, wy, fx, fy};
    SDL_WarpMouseInWindow(Window, wx, wy);
}

static bool ClickWaits() { return false; }

// ---- start and exit ---------------------------------------------------------------------

static bool NoDisplay(const char* why) {
    fprintf(stderr, "orva: cannot open a display (%s); run with --headless to play without one\n", why);
    return false;
}

static bool Init(const PlatOptions&) {
    if (VideoUp) return true;
    // SDL falls back to an invisible window when no display answers; a
    // player would wait in front of nothing.  Only a driver named in
    // SDL_VIDEODRIVER is taken without a display to show it on.
    const char* asked = getenv("SDL_VIDEODRIVER");
    bool named = asked && *asked;
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if (!named && !(x11 && *x11) && !(wayland && *wayland))
        return NoDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
    if (!named) {
        // Only the drivers whose display is announced: no fallback, and no
        // complaints from the others on stderr.
        std::string drivers = x11 && *x11 ? "x11" : "";
        if (wayland && *wayland) drivers += drivers.empty() ? "wayland" : ",wayland";
        SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    }
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER) != 0) {
        std::string why = SDL_GetError();
        SDL_Quit();
        return NoDisplay(why.c_str());
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!named && driver && (!strcmp(driver, "offscreen") || !strcmp(driver, "dummy"))) {
        SDL_Quit();
        return NoDisplay("only an off-screen video driver answered");
    }
    SDL_StopTextInput();  // keys come as key events; WM_CHAR is made from them
    WakeEventType = SDL_RegisterEvents(1);
    if (WakeEventType == (uint32_t)-1) WakeEventType = 0;
    VideoUp = true;
    return true;
}

static void CloseAudio();

static void Shutdown() {
    if (!VideoUp) return;
    CloseAudio();
    if (Pad) SDL_GameControllerClose(Pad);
    Pad = nullptr;
    PadUp = false;
    DebugWindowShutdown();
    GuiShutdown();
    SDL_SetCursor(SDL_GetDefaultCursor());
    if (CustomCursor) SDL_FreeCursor(CustomCursor);
    if (ArrowCursor) SDL_FreeCursor(ArrowCursor);
    CustomCursor = ArrowCursor = CursorNow = nullptr;
    CustomCursorUsed = false;
    GamePointerShown = true;
    PointerShownNow = -1;
    memset(KeysHeld, 0, sizeof KeysHeld);
    Shadow.clear();
    RenderPending = PresentedOnce = CoveringDesktop = false;
    RootW = RootH = ChangedW = ChangedH = 0;
    if (Texture) SDL_DestroyTexture(Texture);
    if (Renderer) SDL_DestroyRenderer(Renderer);
    if (Window) SDL_DestroyWindow(Window);
    Texture = nullptr;
    Renderer = nullptr;
    Window = nullptr;
    SDL_Quit();
    VideoUp = false;
}

static void BeforeExit() {}

// ---- window ------------------------------------------------------------------------------

static void CreateWindow(int w, int h) {
    if (w <= 0 || h <= 0) return;
    ClientW = w;
    ClientH = h;
    if (Window) {
        SDL_SetWindowSize(Window, w, h + BarAbove());
        SDL_SetWindowPosition(Window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return;
    }
    Window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h + BarAbove(), SDL_WINDOW_HIDDEN);
    if (!Window) {
        fprintf(stderr, "orva: cannot create the window (%s)\n", SDL_GetError());
        return;
    }
    Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_ACCELERATED);
    if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    if (!Renderer) fprintf(stderr, "orva: cannot draw into the window (%s)\n", SDL_GetError());
    else GuiPrepare();
}

// ---- the desktop's size ----------------------------------------------------------------
//
// SDL keeps the desktop mode it found at its start.  On X a change of the
// screen's size shows on the root window, asked once a second while the
// queue runs empty: a change posts WM_DISPLAYCHANGE.  With one screen (the
// root as large as the desktop was) the new root size is the desktop's.

static void DesktopSize(int* w, int* h);
static int BitsPerPixel();

static void WatchDesktop() {
    uint32_t now = SDL_GetTicks();
    if (!Window || now - LastDesktopCheck < 1000) return;
    LastDesktopCheck = now;
    int w, h;
    if (!SdlRootSize(Window, &w, &h)) return;
    if (RootW > 0 && (w != RootW || h != RootH)) {
        int dw, dh;
        DesktopSize(&dw, &dh);
        if (dw == RootW && dh == RootH) {
            ChangedW = w;
            ChangedH = h;
        }
        DesktopSize(&dw, &dh);
        QueuePost(WM_DISPLAYCHANGE, (uintptr_t)BitsPerPixel(), MakePointParam(dw, dh));
    }
    RootW = w;
    RootH = h;
}

static void DesktopSize(int* w, int* h) {
    if (ChangedW > 0) {
        *w = ChangedW;
        *h = ChangedH;
        return;
    }
    SDL_DisplayMode mode;
    int d = Window ? SDL_GetWindowDisplayIndex(Window) : 0;
    if (SDL_GetDesktopDisplayMode(d < 0 ? 0 : d, &mode) == 0) {
        *w = mode.w;
        *h = mode.h;
    } else {
        *w = 1920;
        *h = 1080;
    }
}

static int BitsPerPixel() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 24;
    int bits = (int)SDL_BITSPERPIXEL(mode.format);
    return bits ? bits : 24;
}

static void MoveWindow(int left, int top, int w, int h) {
    if (w <= 0 || h <= 0) return;
    ClientW = w;
    ClientH = h;
    if (!Window || FullScreen) return;
    // The client area is the rectangle: the bar goes above it.
    SDL_SetWindowSize(Window, w, h + BarAbove());
    SDL_SetWindowPosition(Window, left, top - BarAbove());
}

static void ShowWindow(bool show) {
    if (!Window) return;
    if (show) {
        SDL_ShowWindow(Window);
        SDL_RestoreWindow(Window);
    } else {
        SDL_HideWindow(Window);
    }
}

static void MinimizeWindow() {
    if (Window) SDL_MinimizeWindow(Window);
}

static bool IsForeground() {
    return Window && (SDL_GetWindowFlags(Window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

static void SetCaption(const char* cp932) {
    if (Window) SDL_SetWindowTitle(Window, Cp932ToUtf8(cp932).c_str());
}

// True on an X display without a window manager, where nobody carries out
// a full-screen request.  Asked over a connection of its own through the
// Xlib that SDL loaded; nothing is linked.
static bool X11WithoutWindowManager() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || strcmp(driver, "x11") != 0) return false;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return false;
    typedef void* (*OpenDisplay)(const char*);
    typedef int (*CloseDisplay)(void*);
    typedef unsigned long (*InternAtom)(void*, const char*, int);
    typedef unsigned long (*SelectionOwner)(void*, unsigned long);
    auto open = (OpenDisplay)dlsym(xlib, "XOpenDisplay");
    auto close = (CloseDisplay)dlsym(xlib, "XCloseDisplay");
    auto intern = (InternAtom)dlsym(xlib, "XInternAtom");
    auto owner = (SelectionOwner)dlsym(xlib, "XGetSelectionOwner");
    bool none = false;
    if (open && close && intern && owner) {
        if (void* dpy = open(nullptr)) {
            // A window manager of the first screen owns the selection "WM_S0".
            none = owner(dpy, intern(dpy, "WM_S0", 0)) == 0;
            close(dpy);
        }
    }
    dlclose(xlib);
    return none;
}

// Full screen covers the desktop at its own resolution and shows the
// picture scaled with black bars; the window is topmost meanwhile.  Without
// a window manager the window covers the desktop itself.
static void SetFullScreen(bool on) {
    if (!Window) return;
    if (on && !FullScreen && X11WithoutWindowManager()) {
        SDL_Rect b;
        int d = SDL_GetWindowDisplayIndex(Window);
        if (SDL_GetDisplayBounds(d < 0 ? 0 : d, &b) == 0) {
            SDL_SetWindowBordered(Window, SDL_FALSE);
            SDL_SetWindowPosition(Window, b.x, b.y);
            SDL_SetWindowSize(Window, b.w, b.h);
            CoveringDesktop = FullScreen = true;
        }
    } else if (!on && CoveringDesktop) {
        SDL_SetWindowBordered(Window, SDL_TRUE);
        CoveringDesktop = FullScreen = false;
    } else if (SDL_SetWindowFullscreen(Window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0) {
        FullScreen = on;
    }
    SDL_SetWindowAlwaysOnTop(Window, FullScreen ? SDL_TRUE : SDL_FALSE);
    if (!FullScreen) SDL_SetWindowSize(Window, ClientW, ClientH + BarAbove());
    RenderPending = true;
}

static bool IsFullScreen() { return FullScreen; }

// Draws Texture into the window: the picture's rectangle in output pixels
// (more than window units on high-density displays), black around it.
static void Render() {
    RenderPending = false;
    PresentedOnce = true;
    LastPresentTick = SDL_GetTicks();
    if (!Renderer || (!Texture && !GuiVisible())) return;
    Fit f = PictureRect();
    int ww, wh, ow, oh;
    SDL_GetWindowSize(Window, &ww, &wh);
    if (SDL_GetRendererOutputSize(Renderer, &ow, &oh) != 0 || ww <= 0 || wh <= 0) {
        ow = ww;
        oh = wh;
    }
    double sx = (double)ow / (ww > 0 ? ww : 1), sy = (double)oh / (wh > 0 ? wh : 1);
    SDL_Rect dst = {(int)(f.x * sx + 0.5), (int)(f.y * sy + 0.5), (int)(f.w * sx + 0.5), (int)(f.h * sy + 0.5)};
    SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
    SDL_RenderClear(Renderer);
    if (Texture) SDL_RenderCopy(Renderer, Texture, nullptr, &dst);
    GuiDraw();
    SDL_RenderPresent(Renderer);
    PresentCount++;
}

static void FlushPresent() {
    if (RenderPending) Render();
}

enum : uint32_t { PresentInterval = 8 };  // ms between two presents at most once

static void PresentRect(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    if (!Renderer) return;
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    bool fresh = false;
    if (!Texture || TextureW != w || TextureH != h) {
        if (Texture) SDL_DestroyTexture(Texture);
        Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_BGR24, SDL_TEXTUREACCESS_STREAMING, w, h);
        TextureW = w;
        TextureH = h;
        if (!Texture) return;
        Shadow.assign(stride * (size_t)h, 0);
        left = top = 0;
        right = w - 1;
        bottom = h - 1;
        fresh = true;
    }
    // The rows of the rectangle that differ from what the texture holds.
    size_t x0 = (size_t)left * 3, n = (size_t)(right - left + 1) * 3;
    int first = -1, last = -1;
    for (int y = top; y <= bottom; y++) {
        const uint8_t* src = bits + (size_t)(h - 1 - y) * stride + x0;
        uint8_t* dst = Shadow.data() + (size_t)y * stride + x0;
        if (!fresh && memcmp(src, dst, n) == 0) continue;
        memcpy(dst, src, n);
        if (first < 0) first = y;
        last = y;
    }
    if (first < 0) return;  // nothing changed: nothing to upload or show
    SDL_Rect r = {left, first, right - left + 1, last - first + 1};
    SDL_UpdateTexture(Texture, &r, Shadow.data() + (size_t)first * stride + x0, (int)stride);
    UploadedRows += r.h;
    RenderPending = true;
    if (!PresentedOnce || (uint32_t)(SDL_GetTicks() - LastPresentTick) >= PresentInterval) Render();
}

static void Present(const uint8_t* bits, int w, int h) { PresentRect(bits, w, h, 0, 0, w - 1, h - 1); }

// ---- cursor pictures and game controllers ----------------------------------------------

static bool SetCustomCursor(const uint32_t* argb, int w, int h, int hot_x, int hot_y) {
    if (!VideoUp) return false;
    SDL_Cursor* made = nullptr;
    if (argb) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom((void*)argb, w, h, 32, w * 4,
                                                            SDL_PIXELFORMAT_ARGB8888);
        if (!s) return false;
        made = SDL_CreateColorCursor(s, hot_x, hot_y);
        SDL_FreeSurface(s);
        if (!made) return false;
    }
    // The new picture is set before the old one goes.
    SDL_Cursor* old = CustomCursor;
    CustomCursor = made;
    if (!made) CustomCursorUsed = false;
    UpdatePointer();
    if (old) SDL_FreeCursor(old);
    return true;
}

static void UseCustomCursor(bool on) {
    if (!VideoUp) return;
    CustomCursorUsed = on && CustomCursor;
    UpdatePointer();
}

static void ReadJoypad(int32_t* out) {
    if (!VideoUp) return;
    if (!PadUp) {
        PadUp = true;
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    SDL_GameControllerUpdate();
    if (Pad && !SDL_GameControllerGetAttached(Pad)) {
        SDL_GameControllerClose(Pad);
        Pad = nullptr;
    }
    for (int i = 0; !Pad && i < SDL_NumJoysticks(); i++)
        if (SDL_IsGameController(i)) Pad = SDL_GameControllerOpen(i);
    if (!Pad) return;
    static const SDL_GameControllerAxis Axes[6] = {
        SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_AXIS_RIGHTX,
        SDL_CONTROLLER_AXIS_RIGHTY, SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
    };
    for (int i = 0; i < 6; i++) out[i] = SDL_GameControllerGetAxis(Pad, Axes[i]);
    int32_t buttons = 0;
    for (int b = 0; b <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT; b++)
        if (SDL_GameControllerGetButton(Pad, (SDL_GameControllerButton)b)) buttons |= 1 << b;
    out[6] = buttons;
    out[7] = ((buttons >> SDL_CONTROLLER_BUTTON_DPAD_RIGHT) & 1) - ((buttons >> SDL_CONTROLLER_BUTTON_DPAD_LEFT) & 1);
    out[8] = ((buttons >> SDL_CONTROLLER_BUTTON_DPAD_DOWN) & 1) - ((buttons >> SDL_CONTROLLER_BUTTON_DPAD_UP) & 1);
    out[9] = 1;
}

// ---- message boxes ----------------------------------------------------------------------

// Drawn by the GUI with its Japanese glyphs: in the window once it shows,
// in a window of its own before that (gui.cpp).  Where no window can be
// made the box is said on standard error and its default taken.
static int MessageBox(const char* text, const char* caption, uint32_t flags, bool) {
    int answer = GuiMessageBox(text, caption, flags);
    if (answer > 0) return answer;
    fprintf(stderr, "%s: %s\n", Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
    return DefaultBoxAnswer(flags);
}

// ---- audio -------------------------------------------------------------------------------

// A paused device: its thread waits here, before it asks for the next
// buffer, until the pause ends or the device must be let go (closing,
// locking).  SDL's own pause would keep the thread waking for every buffer
// to write silence.  Never destroyed: the thread may still wait while the
// process ends.
struct AudioHold {
    std::mutex lock;
    std::condition_variable changed;
    bool paused = false;
    int let_go = 0;  // closing or locking: the thread must not wait
};
static AudioHold& Hold() {
    static AudioHold* hold = new AudioHold;
    return *hold;
}

static void AudioCallback(void*, Uint8* stream, int len) {
    {
        AudioHold& h = Hold();
        std::unique_lock<std::mutex> wait(h.lock);
        h.changed.wait(wait, [&] { return !h.paused || h.let_go > 0; });
    }
    AudioFill((int16_t*)stream, len / 4, AudioUser);
}

// The drivers whose device thread is SDL's own, which may wait in the
// callback.  Elsewhere (a sound server's thread calling the callback) the
// device never rests.
static bool AudioMayRest;
static bool DriverThreadIsSdls(const char* driver) {
    static const char* const own[] = {"alsa", "pulseaudio", "dsp", "sndio", "dummy", "disk"};
    for (const char* d : own)
        if (driver && strcmp(driver, d) == 0) return true;
    return false;
}

static void PauseAudio(bool pause) {
    if (pause && !AudioMayRest) return;
    AudioHold& h = Hold();
    {
        std::lock_guard<std::mutex> hold(h.lock);
        if (h.paused == pause) return;
        h.paused = pause;
    }
    if (!pause) h.changed.notify_all();
}

// Between these a paused device's thread does not wait: SDL's lock and close
// take the lock the waiting thread holds.
static void LetAudioGo() {
    AudioHold& h = Hold();
    {
        std::lock_guard<std::mutex> hold(h.lock);
        h.let_go++;
    }
    h.changed.notify_all();
}
static void StopLettingAudioGo() {
    AudioHold& h = Hold();
    std::lock_guard<std::mutex> hold(h.lock);
    h.let_go--;
}

// Runs `open` with standard error sent to /dev/null: the sound libraries
// below SDL print their own complaints when there is no sound device.
static bool Quietly(bool (*attempt)()) {
    fflush(stderr);
    int saved = dup(2), null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) dup2(null, 2);
    bool ok = attempt();
    fflush(stderr);
    if (saved >= 0) {
        dup2(saved, 2);
        close(saved);
    }
    if (null >= 0) close(null);
    return ok;
}

static bool OpenAudioDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want = {}, have;
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = AudioCallback;
    AudioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!AudioDevice) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return AudioDevice != 0;
}

// Without a sound device the game plays in silence: SDL's device that
// takes the sound and plays nothing stands in, and nothing is printed.
static bool OpenAudio(PlatAudioFill fill, void* user) {
    if (AudioDevice) return true;
    AudioFill = fill;
    AudioUser = user;
    {
        AudioHold& h = Hold();
        std::lock_guard<std::mutex> hold(h.lock);
        h.paused = false;  // a new device runs until its fill pauses it
    }
    if (!Quietly(OpenAudioDevice)) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!Quietly(OpenAudioDevice)) return false;
    }
    AudioMayRest = DriverThreadIsSdls(SDL_GetCurrentAudioDriver());
    SDL_PauseAudioDevice(AudioDevice, 0);
    return true;
}

static void CloseAudio() {
    if (!AudioDevice) return;
    LetAudioGo();
    SDL_CloseAudioDevice(AudioDevice);
    StopLettingAudioGo();
    AudioDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

static void LockAudio() {
    if (!AudioDevice) return;
    LetAudioGo();
    SDL_LockAudioDevice(AudioDevice);
}

static void UnlockAudio() {
    if (!AudioDevice) return;
    SDL_UnlockAudioDevice(AudioDevice);
    StopLettingAudioGo();
}

const PlatBackend SdlBackend = {
    "sdl", Init, Shutdown, BeforeExit,
    CreateWindow, DesktopSize, BitsPerPixel, MoveWindow, ShowWindow, MinimizeWindow,
    IsForeground, SetCaption, SetFullScreen, IsFullScreen, Present,
    PumpEvents, Idle, OnTake, Ticks, Sleep,
    KeyDown, CursorPos, ShowCursor, WarpCursor, ClickWaits,
    MessageBox,
    OpenAudio, CloseAudio, LockAudio, UnlockAudio, PauseAudio,
    PresentRect, SetCustomCursor, UseCustomCursor, ReadJoypad,
    WaitEvent, Wake, CtrlHeldAnywhere,
};

SDL_Window* SdlWindow() { return Window; }

// The window's corner on the desktop, its frame (where known) and bar included.
void SdlWindowPosition(int* left, int* top) {
    *left = *top = 0;
    if (!Window) return;
    int x, y, t = 0, l = 0, b = 0, r = 0;
    SDL_GetWindowPosition(Window, &x, &y);
    if (SDL_GetWindowBordersSize(Window, &t, &l, &b, &r) != 0) t = l = 0;
    *left = x - l;
    *top = y - t;
}
void SdlPointerChanged() { UpdatePointer(); }

// A dialog or box over the window takes the keyboard from the program's
// other windows (the debug window), as the owner of a Windows message box
// gets it; another program in front keeps it.
void SdlFocusForModal() {
    if (!Window) return;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    if (!focus || focus == Window) return;
    SDL_RaiseWindow(Window);
    SDL_SetWindowInputFocus(Window);
}
void SdlRequestRender() { RenderPending = true; }
void SdlRenderNow() { Render(); }
bool SdlFullScreenNow() { return FullScreen; }
bool SdlWindowShown() { return Window && (SDL_GetWindowFlags(Window) & SDL_WINDOW_SHOWN) != 0; }

void SdlLayoutChanged() {
    RenderPending = true;
    if (!Window || FullScreen) return;
    int x, y, w, h;
    SDL_GetWindowPosition(Window, &x, &y);
    SDL_GetWindowSize(Window, &w, &h);
    int want = ClientH + BarAbove();
    if (h == want) return;
    // The client area stays where it is: the window grows or shrinks above it.
    SDL_SetWindowSize(Window, ClientW, want);
    SDL_SetWindowPosition(Window, x, y - (want - h));
}

void SdlClientToWindow(int x, int y, float* wx, float* wy) {
    Fit f = PictureRect();
    *wx = (float)(f.x + x * f.w / ClientW);
    *wy = (float)(f.y + y * f.h / ClientH);
}
SDL_Renderer* SdlRenderer() { return Renderer; }
int SdlPresentCount() { return PresentCount; }
int SdlUploadedRows() { return UploadedRows; }
