// The SDL backend on SDL's dummy video driver (no display needed): start-up
// failure, the clock, window, picture conversion and the mapping of SDL
// events.
#include <SDL.h>
#include <string.h>
#include <sys/wait.h>

#include <ctime>

#include "platform/sdl/sdl.h"
#include "plat_test.h"

// Without a usable display PlatInit says so in one line and fails; the
// headless backend stays in charge.
TEST(Sdl, FailsCleanlyWithoutDisplay) {
    struct Case {
        const char* driver;   // SDL_VIDEODRIVER, null for unset
        const char* display;  // DISPLAY, null for unset
        const char* says;
    } cases[] = {
        {nullptr, nullptr, "neither DISPLAY nor WAYLAND_DISPLAY"},
        {"nosuchdriver", nullptr, "--headless"},
        {"nosuchdriver", ":99", "--headless"},
        {nullptr, ":99", "--headless"},  // no X server there
    };
    for (const Case& c : cases) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            dup2(fds[1], 2);
            close(fds[0]);
            unsetenv("WAYLAND_DISPLAY");
            if (c.driver) setenv("SDL_VIDEODRIVER", c.driver, 1);
            else unsetenv("SDL_VIDEODRIVER");
            if (c.display) setenv("DISPLAY", c.display, 1);
            else unsetenv("DISPLAY");
            PlatOptions opt;
            bool ok = PlatInit(opt);
            _exit(ok ? 1 : PlatIsHeadless() ? 0 : 2);
        }
        close(fds[1]);
        std::string err;
        char buf[512];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) err.append(buf, (size_t)n);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.says;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_NE(err.find("--headless"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

namespace {

struct SdlDummy {
    SdlDummy() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        PlatSetExitHook(ThrowingExit);
        PlatResetForTests();
        PlatOptions opt;
        ok = PlatInit(opt);
    }
    ~SdlDummy() { PlatResetForTests(); }  // back to headless; SDL is shut down
    bool ok;
};

void Push(SDL_Event e) {
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

void PushButton(bool down, int button, int x, int y) {
    SDL_Event e = {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = SDL_GetWindowID(SdlWindow());
    e.button.button = (Uint8)button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    Push(e);
}

void PushMotion(int x, int y) {
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(SdlWindow());
    e.motion.x = x;
    e.motion.y = y;
    Push(e);
}

void PushKey(bool down, SDL_Keycode key, bool repeat = false) {
    SDL_Event e = {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = SDL_GetWindowID(SdlWindow());
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    Push(e);
}

void PushWindowEvent(Uint8 event) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(SdlWindow());
    e.window.event = event;
    Push(e);
}

std::vector<PlatMsg> TakeAll() {
    std::vector<PlatMsg> out;
    PlatMsg m;
    while (PlatGetMessage(&m)) out.push_back(m);
    return out;
}

}  // namespace

// The clock counts from the system's start (gettimer before any resettimer
// reads it), as the monotonic clock does.
TEST(Sdl, TheClockCountsFromTheSystemsStart) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint32_t since_start = (uint32_t)((uint64_t)ts.tv_sec * 1000 + (uint64_t)ts.tv_nsec / 1000000);
    EXPECT_LE(PlatTicks() - since_start, 1000u);
}

TEST(Sdl, WindowAndPicture) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    EXPECT_FALSE(PlatIsHeadless());
    PlatCreateWindow(5, 3);
    ASSERT_NE(SdlWindow(), nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(SdlWindow()) & SDL_WINDOW_HIDDEN);
    int w, h;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    PlatSetCaption("\x83\x65\x83\x4c\x83\x58\x83\x67");
    EXPECT_STREQ(SDL_GetWindowTitle(SdlWindow()), "テキスト");
    PlatShowWindow(true);
    EXPECT_FALSE(SDL_GetWindowFlags(SdlWindow()) & SDL_WINDOW_HIDDEN);
    EXPECT_GT(PlatDisplayBitsPerPixel(), 8);
    PlatDesktopSize(&w, &h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);

    // Bottom-up BGR rows with padding come out top-down on the screen.
    uint8_t bits[3 * 16] = {};
    auto put = [&](int x, int y_from_top, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = bits + (2 - y_from_top) * 16 + x * 3;
        p[0] = b;
        p[1] = g;
        p[2] = r;
    };
    put(0, 0, 255, 0, 0);
    put(4, 0, 0, 255, 0);
    put(0, 2, 0, 0, 255);
    put(2, 1, 10, 20, 30);
    PlatPresent(bits, 5, 3);
    ASSERT_NE(SdlRenderer(), nullptr);
    uint32_t px[15] = {};
    ASSERT_EQ(SDL_RenderReadPixels(SdlRenderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, px, 5 * 4), 0)
        << SDL_GetError();
    EXPECT_EQ(px[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(px[4] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(px[10] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(px[7] & 0xFFFFFF, 0x0A141Eu);
    EXPECT_EQ(px[1] & 0xFFFFFF, 0u);

    EXPECT_TRUE(PlatOpenAudio([](int16_t* f, int n, void*) { memset(f, 0, (size_t)n * 4); }, nullptr));
    PlatLockAudio();
    PlatUnlockAudio();
    PlatCloseAudio();
}

TEST(Sdl, EventsBecomeWindowMessages) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    TakeAll();

    PushButton(true, SDL_BUTTON_LEFT, 10, 20);
    PushButton(false, SDL_BUTTON_LEFT, 11, 21);
    PushButton(true, SDL_BUTTON_RIGHT, 1, 2);
    PushButton(false, SDL_BUTTON_MIDDLE, 3, 4);
    PushButton(true, SDL_BUTTON_X1, 3, 4);  // no message
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(got[0].lparam, MakePointParam(10, 20));
    EXPECT_EQ(got[1].message, WM_LBUTTONUP);
    EXPECT_EQ(got[1].lparam, MakePointParam(11, 21));
    EXPECT_EQ(got[2].message, WM_RBUTTONDOWN);
    EXPECT_EQ(got[3].message, WM_MBUTTONUP);

    // Moves not yet taken melt into one.
    PushMotion(5, 5);
    PushMotion(6, 7);
    got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].lparam, MakePointParam(6, 7));

    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = SDL_GetWindowID(SdlWindow());
    e.wheel.y = -2;
    Push(e);
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Push(e);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_MOUSEWHEEL);
    EXPECT_EQ((int16_t)(got[0].wparam >> 16), -240);
    EXPECT_EQ((int16_t)(got[1].wparam >> 16), -120);

    struct KeyCase {
        SDL_Keycode key;
        int vk;
    } keys[] = {
        {SDLK_a, 'A'}, {SDLK_z, 'Z'}, {SDLK_0, '0'}, {SDLK_9, '9'},
        {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_SPACE, VK_SPACE}, {SDLK_TAB, VK_TAB}, {SDLK_BACKSPACE, VK_BACK},
        {SDLK_LSHIFT, VK_SHIFT}, {SDLK_RSHIFT, VK_SHIFT}, {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RALT, VK_MENU}, {SDLK_UP, VK_UP}, {SDLK_DOWN, VK_DOWN},
        {SDLK_LEFT, VK_LEFT}, {SDLK_RIGHT, VK_RIGHT}, {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_HOME, VK_HOME}, {SDLK_END, VK_END},
        {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE}, {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F12},
    };
    for (const KeyCase& k : keys) {
        PushKey(true, k.key);
        PushKey(false, k.key);
        got = TakeAll();
        ASSERT_EQ(got.size(), 2u) << k.vk;
        EXPECT_EQ(got[0].message, WM_KEYDOWN);
        EXPECT_EQ(got[0].wparam, (uintptr_t)k.vk);
        EXPECT_EQ(got[1].message, WM_KEYUP);
        EXPECT_EQ(got[1].wparam, (uintptr_t)k.vk);
    }
    PushKey(true, SDLK_CAPSLOCK);  // no VK of ours: nothing
    PushKey(true, SDLK_a, true);   // auto-repeat: bit 30 set
    got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].lparam & 0x40000000, 0x40000000);

    // Closing gives one WM_CLOSE, exposure one WM_PAINT.
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event q = {};
    q.type = SDL_QUIT;
    Push(q);
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_CLOSE);
    EXPECT_EQ(got[1].message, WM_PAINT);
}

TEST(Sdl, PositionsAreMappedThroughTheScale) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(320, 240);
    SDL_SetWindowSize(SdlWindow(), 800, 480);  // scale 2, bars of 80 left and right
    int w, h;
    SDL_GetWindowSize(SdlWindow(), &w, &h);
    ASSERT_EQ(w, 800);
    TakeAll();
    PushButton(true, SDL_BUTTON_LEFT, 80 + 21, 41);
    PushButton(false, SDL_BUTTON_LEFT, 10, 10);      // on the bar: negative
    PushButton(true, SDL_BUTTON_LEFT, 799, 479);
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(PointParamX(got[0].lparam), 10);
    EXPECT_EQ(PointParamY(got[0].lparam), 20);
    EXPECT_EQ(PointParamX(got[1].lparam), -35);
    EXPECT_EQ(PointParamY(got[1].lparam), 5);
    EXPECT_EQ(PointParamX(got[2].lparam), 359);
    EXPECT_EQ(PointParamY(got[2].lparam), 239);
}

// A warp lands on the game pixel asked for, whatever the scale: the move it
// posts and the pointer motion it causes (here the dummy driver's) both give
// it exactly, until the pointer is moved by other means.  (The dummy driver
// keeps no pointer position of the window's; the real-window test reads it.)
TEST(Sdl, WarpsGiveTheExactGamePixel) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    PlatCreateWindow(800, 600);
    for (int ww : {1440, 1600, 560}) {  // scales 1.8, 2 and 0.7
        SDL_SetWindowSize(SdlWindow(), ww, ww * 3 / 4);
        TakeAll();
        int wrong = 0;
        for (int y = 0; y < 600; y += 7)
            for (int x = 0; x < 800; x += 13) {
                PlatWarpCursor(x, y);
                int moves = 0;
                for (const PlatMsg& m : TakeAll()) {
                    if (m.message != WM_MOUSEMOVE) continue;
                    moves++;
                    if ((PointParamX(m.lparam) != x || PointParamY(m.lparam) != y) && !wrong++)
                        ADD_FAILURE() << "window " << ww << ": warp to " << x << "," << y << " came as "
                                      << PointParamX(m.lparam) << "," << PointParamY(m.lparam);
                }
                if (!moves && !wrong++) ADD_FAILURE() << "window " << ww << ": no move for " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0) << "window " << ww;
    }
    // A move of the pointer's own ends it.
    SDL_SetWindowSize(SdlWindow(), 1440, 1080);
    PlatWarpCursor(101, 101);
    TakeAll();
    PushMotion(360, 360);
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(PointParamX(got[0].lparam), 200);
    EXPECT_EQ(PointParamY(got[0].lparam), 200);
}

TEST(Sdl, MessageBoxWithoutAnyWayToShowItTakesTheDefault) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    testing::internal::CaptureStderr();
    int a = PlatMessageBox("\x83\x65\x83\x4c\x83\x58\x83\x67", "Cap", MB_YESNO, false);
    std::string err = testing::internal::GetCapturedStderr();
    if (err.empty()) GTEST_SKIP() << "a message box could be shown";
    EXPECT_EQ(a, IDYES);
    EXPECT_EQ(err, "Cap: テキスト\n");
}

// Presents upload only the rows that changed, show an unchanged frame not
// again, and a burst of small copies reaches the display at most once per
// 8 ms; the last copy is shown when the queue is found empty.
TEST(Sdl, PresentsAreCoalescedAndOnlyChangedRowsUploaded) {
    SdlDummy sdl;
    ASSERT_TRUE(sdl.ok);
    const int w = 64, h = 48, stride = w * 3;
    PlatCreateWindow(w, h);
    std::vector<uint8_t> bits((size_t)stride * h, 0x40);
    PlatPresent(bits.data(), w, h);
    TakeAll();  // flushes
    int presents = SdlPresentCount(), rows = SdlUploadedRows();
    PlatPresent(bits.data(), w, h);
    TakeAll();
    EXPECT_EQ(SdlPresentCount(), presents) << "an unchanged frame was shown again";
    EXPECT_EQ(SdlUploadedRows(), rows);

    // Row 10 from the top changes; a rectangle around it uploads that row.
    bits[(size_t)(h - 1 - 10) * stride + 5 * 3] = 0x99;
    PlatPresentRect(bits.data(), w, h, 0, 5, w - 1, 20);
    EXPECT_EQ(SdlUploadedRows(), rows + 1);

    uint32_t start = SDL_GetTicks();
    presents = SdlPresentCount();
    for (int i = 0; i < 200; i++) {
        bits[(size_t)(h - 1 - (i % h)) * stride + (size_t)(i % w) * 3] ^= 0xFF;
        PlatPresentRect(bits.data(), w, h, i % w, i % h, i % w, i % h);
    }
    uint32_t spent = SDL_GetTicks() - start;
    EXPECT_LE(SdlPresentCount() - presents, 1 + (int)spent / 8 + 1);
    TakeAll();  // the empty queue shows the last copy
    uint32_t px[64 * 48];
    ASSERT_EQ(SDL_RenderReadPixels(SdlRenderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, px, w * 4), 0);
    int last = 199;
    const uint8_t* p = &bits[(size_t)(h - 1 - (last % h)) * stride + (size_t)(last % w) * 3];
    EXPECT_EQ(px[(last % h) * w + last % w] & 0xFFFFFF, (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0]);
}
