// The SDL backend in a real X server: a tiny game played in a window on a
// private Xvfb display shows the same picture as its headless run wrote
// with --frame-out, in window mode and, after Alt+Enter sent through the X
// server, scaled to the whole screen with black bars; a click sent through
// the X server ends the game's delay and with it the game.  The GUI: the
// input dialog and the menu bar, the debug window as a second window, the
// pointer over a message box while the game hides it, the menu from the
// keyboard, keys the open menu takes kept from the game, and a change of
// the screen's size; the name dialog keeping the keyboard after a click
// beside it, and keys and buttons a box took kept from the game; a wait
// lasting its time in real time while a voice lowers the music.  Skipped,
// saying why, only where Xvfb cannot start.
// The test framework first: Xlib's macros (None, Bool ...) would clash with it.
#include "plat_test.h"
#include "tests/sound/voice_files.h"
#include "tests/support/game_folder.h"
#include "tests/platform/real_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace realwin;

enum { PictureW = 640, PictureH = 480 };

typedef std::chrono::steady_clock Clock;

// A picture of four coloured quarters and a white square in the middle
// (0xRRGGBB at x, y), as 24-bit BMP bytes.
uint32_t Quarter(int x, int y) {
    if (x >= 300 && x < 340 && y >= 220 && y < 260) return 0xFFFFFF;
    if (y < 240) return x < 320 ? 0xFF0000 : 0x00FF00;
    return x < 320 ? 0x0000FF : 0xFFFF00;
}

std::string QuarterBmp() {
    int stride = (PictureW * 3 + 3) & ~3;
    std::string pixels;
    for (int y = PictureH - 1; y >= 0; y--) {
        std::string row((size_t)stride, '\0');
        for (int x = 0; x < PictureW; x++) {
            uint32_t c = Quarter(x, y);
            row[(size_t)x * 3] = (char)(c & 255);
            row[(size_t)x * 3 + 1] = (char)((c >> 8) & 255);
            row[(size_t)x * 3 + 2] = (char)(c >> 16);
        }
        pixels += row;
    }
    auto le = [](uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; i++) s.push_back((char)((v >> (8 * i)) & 255));
        return s;
    };
    return "BM" + le(54 + (uint32_t)pixels.size(), 4) + le(0, 4) + le(54, 4) + le(40, 4) + le(PictureW, 4) +
           le(PictureH, 4) + le(1, 2) + le(24, 2) + le(0, 4) + le((uint32_t)pixels.size(), 4) + le(2835, 4) +
           le(2835, 4) + le(0, 4) + le(0, 4) + pixels;
}

// The pixels of a 24-bit BMP file as 0xRRGGBB, top-down.
bool ReadBmp(const std::string& path, int* w, int* h, std::vector<uint32_t>* out) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string d = ss.str();
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
    auto le32 = [&](size_t at) {
        return (uint32_t)(uint8_t)d[at] | (uint32_t)(uint8_t)d[at + 1] << 8 | (uint32_t)(uint8_t)d[at + 2] << 16 |
               (uint32_t)(uint8_t)d[at + 3] << 24;
    };
    uint32_t off = le32(10);
    *w = (int)le32(18);
    *h = (int)le32(22);
    size_t stride = ((size_t)*w * 3 + 3) & ~(size_t)3;
    if (*w <= 0 || *h <= 0 || off + stride * (size_t)*h > d.size()) return false;
    out->resize((size_t)*w * *h);
    for (int y = 0; y < *h; y++)
        for (int x = 0; x < *w; x++) {
            const uint8_t* p = (const uint8_t*)d.data() + off + (size_t)(*h - 1 - y) * stride + (size_t)x * 3;
            (*out)[(size_t)y * *w + x] = (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
        }
    return true;
}

// The visible top-level window of that size; 0 while there is none.
Window FindWindow(Display* dpy, int w, int h, int* x, int* y) {
    Window root = DefaultRootWindow(dpy), parent, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count && !found; i++) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
        if (a.width == w && a.height == h) {
            found = children[i];
            Window dummy;
            XTranslateCoordinates(dpy, children[i], root, 0, 0, x, y, &dummy);
        }
    }
    if (children) XFree(children);
    return found;
}

// The screen's pixels as 0xRRGGBB.
std::vector<uint32_t> Screenshot(Display* dpy) {
    std::vector<uint32_t> out((size_t)ScreenW * ScreenH, 0);
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), 0, 0, ScreenW, ScreenH, AllPlanes, ZPixmap);
    if (!img) return out;
    for (int y = 0; y < ScreenH; y++)
        for (int x = 0; x < ScreenW; x++) out[(size_t)y * ScreenW + x] = (uint32_t)XGetPixel(img, x, y) & 0xFFFFFF;
    XDestroyImage(img);
    return out;
}

// Pixels of the screen whose picture position (through the scale) differs
// from the frame, and pixels outside the picture that are not black.
// Pixels within a pixel of an edge of the picture's colours may be blended
// by the scaling and are left out.
struct Comparison {
    int compared = 0, wrong = 0, bars_lit = 0;
    std::string first;
};
Comparison Compare(const std::vector<uint32_t>& screen, int left, int top, double scale,
                   const std::vector<uint32_t>& frame, int fw, int fh) {
    Comparison c;
    int pw = (int)(fw * scale + 0.5), ph = (int)(fh * scale + 0.5);
    for (int y = 0; y < ScreenH; y += 3)
        for (int x = 0; x < ScreenW; x += 3) {
            uint32_t got = screen[(size_t)y * ScreenW + x];
            if (x < left || y < top || x >= left + pw || y >= top + ph) {
                if (scale != 1.0 && got != 0) c.bars_lit++;
                continue;
            }
            int fx = (int)((x - left + 0.5) / scale), fy = (int)((y - top + 0.5) / scale);
            if (fx >= fw || fy >= fh) continue;
            uint32_t want = frame[(size_t)fy * fw + fx];
            bool edge = false;
            for (int dy = -2; dy <= 2 && !edge; dy++)
                for (int dx = -2; dx <= 2 && !edge; dx++) {
                    int ex = fx + dx, ey = fy + dy;
                    if (ex >= 0 && ey >= 0 && ex < fw && ey < fh && frame[(size_t)ey * fw + ex] != want) edge = true;
                }
            if (edge) continue;
            c.compared++;
            if (got != want) {
                if (!c.wrong) {
                    char buf[96];
                    snprintf(buf, sizeof buf, "screen %d,%d is %06x, frame %d,%d is %06x", x, y, got, fx, fy, want);
                    c.first = buf;
                }
                c.wrong++;
            }
        }
    return c;
}

// The rectangle of the pixels that are not black, for messages.
std::string LitArea(const std::vector<uint32_t>& shot) {
    int x0 = ScreenW, y0 = ScreenH, x1 = -1, y1 = -1;
    for (int y = 0; y < ScreenH; y++)
        for (int x = 0; x < ScreenW; x++)
            if (shot[(size_t)y * ScreenW + x]) {
                if (x < x0) x0 = x;
                if (y < y0) y0 = y;
                if (x > x1) x1 = x;
                if (y > y1) y1 = y;
            }
    return std::to_string(x0) + "," + std::to_string(y0) + " to " + std::to_string(x1) + "," + std::to_string(y1);
}

TEST(RealWindow, ShowsTheFrameScaledAndTakesAClick) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    int event_base, error_base, major, minor;
    ASSERT_TRUE(XTestQueryExtension(x.dpy, &event_base, &error_base, &major, &minor));

    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "quad.bmp", QuarterBmp());
    // Without a menu bar the window is the picture's size.
    WriteScript(dir, "*define\ndeletemenu\ngame\n*start\nbg \"quad.bmp\",1\ndelay 60000\nend\n");

    // The headless run's last frame.
    RunOptions opt;
    opt.events = "3000 click 10 10\n";
    opt.frame_out = dir + "/frame.bmp";
    RunResult headless = RunGame(dir, opt);
    ASSERT_EQ(headless.status, 0) << headless.err;
    int fw, fh;
    std::vector<uint32_t> frame;
    ASSERT_TRUE(ReadBmp(dir + "/frame.bmp", &fw, &fh, &frame));
    ASSERT_EQ(fw, (int)PictureW);
    ASSERT_EQ(frame[10 * fw + 10], 0xFF0000u);
    remove((dir + "/frame.bmp").c_str());

    // The same game in a window.
    pid_t game = StartWindowGame(dir, x.name);
    ASSERT_GE(game, 0);
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    } reaper{game};

    int wx = 0, wy = 0;
    Window win = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (win = FindWindow(x.dpy, PictureW, PictureH, &wx, &wy)) != 0; }))
        << "no window of the screen's size appeared";
    // Window mode: the picture at its own size.
    Comparison c;
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        c = Compare(Screenshot(x.dpy), wx, wy, 1.0, frame, fw, fh);
        return c.compared > 1000 && c.wrong == 0;
    })) << c.wrong << " of " << c.compared << " pixels differ; " << c.first;

    // Alt+Enter through the X server: the whole screen, 1.5 times as large,
    // with black bars left and right.
    XTestFakeMotionEvent(x.dpy, 0, wx + 100, wy + 100, CurrentTime);
    XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(100);
    KeyCode alt = XKeysymToKeycode(x.dpy, XK_Alt_L), enter = XKeysymToKeycode(x.dpy, XK_Return);
    XTestFakeKeyEvent(x.dpy, alt, True, CurrentTime);
    XTestFakeKeyEvent(x.dpy, enter, True, CurrentTime);
    XTestFakeKeyEvent(x.dpy, enter, False, CurrentTime);
    XTestFakeKeyEvent(x.dpy, alt, False, CurrentTime);
    XSync(x.dpy, False);
    double scale = (double)ScreenH / PictureH;
    int left = (int)((ScreenW - PictureW * scale) / 2);
    std::vector<uint32_t> shot;
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        shot = Screenshot(x.dpy);
        c = Compare(shot, left, 0, scale, frame, fw, fh);
        return c.compared > 1000 && c.wrong == 0 && c.bars_lit == 0;
    })) << c.wrong << " of " << c.compared << " pixels differ (" << c.first << "), " << c.bars_lit
        << " lit pixels in the bars; the picture covers " << LitArea(shot);

    // A click ends the delay and the game.
    XTestFakeMotionEvent(x.dpy, 0, ScreenW / 2, ScreenH / 2, CurrentTime);
    XTestFakeButtonEvent(x.dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(x.dpy, 1, False, CurrentTime);
    XSync(x.dpy, False);
    int status = -1;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return waitpid(game, &status, WNOHANG) == game; }))
        << "the game did not end on the click";
    reaper.pid = -1;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Starts the game of `dir` in a window on the display; killed with the object
// unless it ended by itself.
struct WindowGame {
    pid_t pid = -1;
    WindowGame(const std::string& dir, const std::string& display) : pid(StartWindowGame(dir, display)) {}
    // The exit status once it ended within ms, else -1.
    int Ended(int ms) {
        int status = -1;
        if (!Within(ms, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~WindowGame() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

enum { MenuBarH = 20 };

// The game's window of the screen's size with a menu bar, once it shows
// (0 when none does).
Window WindowWithBar(Display* dpy, int* x, int* y) {
    Window win = 0;
    Within(SlowStartMs, [&] { return (win = FindWindow(dpy, PictureW, PictureH + MenuBarH, x, y)) != 0; });
    return win;
}

// The GUI in the window, in one game (each start costs seconds under the
// sanitizers): an input dialog typed into through the X server and answered
// with Enter, the game writing the answer; then a click on the menu bar's one
// item (full screen) above the picture, which takes the game to the whole
// screen.
TEST(RealWindow, TheInputDialogTakesTypedTextAndAMenuClickPicksAnItem) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "quad.bmp", QuarterBmp());
    WriteScript(dir,
                "*define\nresetmenu\ninsertmenu \"全画面\",full\ngame\n*start\n"
                "inputstr $0,\"名前\",10,0\n"
                "csvopen \"answer.csv\",\"w\"\ncsvwrite $0\ncsvclose\n"
                "bg \"quad.bmp\",1\n*idle\ndelay 1000\ngoto *idle\n");
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    Window win = WindowWithBar(x.dpy, &wx, &wy);
    ASSERT_NE(win, 0u) << "no window of the screen's size and a menu bar appeared";
    // The dialog shows as a light panel in the middle of the black picture.
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        std::vector<uint32_t> shot = Screenshot(x.dpy);
        uint32_t c = shot[(size_t)(wy + MenuBarH + PictureH / 2) * ScreenW + wx + PictureW / 2];
        return (c & 0xFF) > 0xC0;
    })) << "no dialog appeared";
    XTestFakeMotionEvent(x.dpy, 0, wx + PictureW / 2, wy + PictureH / 2, CurrentTime);
    XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(200);
    for (KeySym k : {XK_t, XK_a, XK_r, XK_o}) PressKey(x.dpy, k);
    PressKey(x.dpy, XK_Return);
    std::string answer;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "answer.csv", &answer) && !answer.empty(); }))
        << "the game did not go on after the dialog";
    EXPECT_EQ(answer.substr(0, 4), "taro");
    // The picture sits below the bar (the window's place asked again: the
    // bar's coming may have moved it after it was first seen).
    ASSERT_TRUE(FindWindow(x.dpy, PictureW, PictureH + MenuBarH, &wx, &wy));
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        std::vector<uint32_t> shot = Screenshot(x.dpy);
        return shot[(size_t)(wy + MenuBarH + 10) * ScreenW + wx + 10] == 0xFF0000u;
    }));
    // The pointer rests on the item a moment first, as a player's would.
    XTestFakeMotionEvent(x.dpy, 0, wx + 20, wy + MenuBarH / 2, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(300);
    Click(x.dpy, wx + 20, wy + MenuBarH / 2);
    int fx, fy;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return FindWindow(x.dpy, ScreenW, ScreenH, &fx, &fy) != 0; }))
        << "the menu item did not take the game to full screen";
}

// Pixels of the rectangle whose three channels are all at least 0xE0: the
// menus' highlight colour (white) among their normal grey 0xAAAAAA.
int Whites(Display* dpy, int left, int top, int right, int bottom) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), left, top, (unsigned)(right - left),
                            (unsigned)(bottom - top), AllPlanes, ZPixmap);
    if (!img) return 0;
    int n = 0;
    for (int y = 0; y < bottom - top; y++)
        for (int x = 0; x < right - left; x++) {
            uint32_t c = (uint32_t)XGetPixel(img, x, y);
            if ((c & 0xFF) >= 0xE0 && ((c >> 8) & 0xFF) >= 0xE0 && ((c >> 16) & 0xFF) >= 0xE0) n++;
        }
    XDestroyImage(img);
    return n;
}

// Pressed long enough for a wait that polls the key's state on a busy
// machine, shorter than the 125 ms after which a held key repeats.
void HoldKey(Display* dpy, KeySym sym) { PressKey(dpy, sym, 100); }

// The keyboard in the save menu and its yes/no question, in full screen at a
// scale that is not whole (an 800 x 600 game on a 1920 x 1080 desktop: 1.8),
// where a pointer position read back from the window lands a pixel outside
// the slot it was sent to.  Up and Down highlight the slot, Enter saves.  The
// second save is made while another client holds the pointer confined to a
// corner, so that the game cannot move it: the posted moves alone carry the
// keyboard's choices.  movemousecursor and getmousepos meet in both cases.
TEST(RealWindow, KeysChooseInTheSaveMenuAtAScaleOfOnePointEight) {
    enum { DeskW = 1920, DeskH = 1080 };
    Xvfb x(DeskW, DeskH);
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    std::string dir = MakeGameFolder();
    WriteScript(dir, ";mode800\n*define\ndeletemenu\ngame\n*start\nmenu_full\n"
                     "systemcall save\nmovemousecursor 101,101\ngetmousepos %1,%2\nclick\n"
                     "systemcall save\nmovemousecursor 303,303\ngetmousepos %3,%4\n"
                     "csvopen \"pos.csv\",\"w\"\ncsvwrite %1,%2,%3,%4\ncsvclose\nend\n");
    // The pointer rests in the black bar, over no slot.
    XTestFakeMotionEvent(x.dpy, 0, 5, DeskH - 5, CurrentTime);
    XSync(x.dpy, False);
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    Window win = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (win = FindWindow(x.dpy, DeskW, DeskH, &wx, &wy)) != 0; }))
        << "the game did not go to full screen";
    XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
    XSync(x.dpy, False);

    // Game pixels on the desktop: the picture is 1440 wide, from x 240.
    const double scale = 1.8;
    auto sx = [&](int gx) { return 240 + (int)(gx * scale); };
    auto sy = [&](int gy) { return (int)(gy * scale); };
    // Nine slots of 34 bytes at 26 pixels a character over two bytes, 28
    // pixels a line: x 179 to 621, slot i from y 216 + 28 i.
    auto slotWhites = [&](int i) { return Whites(x.dpy, sx(179), sy(216 + 28 * i) + 1, sx(621), sy(244 + 28 * i) - 1); };
    // "はい　" at x 296, y 328, three characters wide.
    auto yesWhites = [&] { return Whites(x.dpy, sx(296), sy(328) + 1, sx(296 + 78), sy(356) - 1); };
    auto menuShown = [&] {
        XImage* img = XGetImage(x.dpy, DefaultRootWindow(x.dpy), sx(179), sy(216), (unsigned)(sx(621) - sx(179)),
                                (unsigned)(sy(244) - sy(216)), AllPlanes, ZPixmap);
        bool lit = false;
        for (int yy = 0; img && yy < sy(244) - sy(216) && !lit; yy++)
            for (int xx = 0; xx < sx(621) - sx(179) && !lit; xx++) lit = (XGetPixel(img, xx, yy) & 0xFFFFFF) != 0;
        if (img) XDestroyImage(img);
        return lit;
    };
    // The menus read the key's state as they poll: on a busy machine the
    // game may take the press and the release together and never see the
    // key held.  Such a press moves nothing, so it is pressed again.
    auto press = [&](KeySym key, auto done) {
        for (int attempt = 0; attempt < 4; attempt++) {
            HoldKey(x.dpy, key);
            if (Within(attempt < 3 ? 5000 : SlowStartMs, done)) return true;
        }
        return false;
    };
    auto save = [&](int slot, const char* file) {
        ASSERT_TRUE(Within(SlowStartMs, menuShown)) << "no save menu for " << file;
        for (int i = 0; i < slot; i++)
            ASSERT_TRUE(press(XK_Down, [&] { return slotWhites(i) > 20; }))
                << "Down did not highlight slot " << i + 1 << " for " << file;
        HoldKey(x.dpy, XK_Return);
        ASSERT_TRUE(Within(SlowStartMs, [&] { return slotWhites(slot - 1) == 0; })) << "Enter chose no slot";
        ASSERT_TRUE(press(XK_Up, [&] { return yesWhites() > 20; })) << "Up did not highlight yes";
        HoldKey(x.dpy, XK_Return);
        std::string bytes;
        ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, file, &bytes) && !bytes.empty(); }))
            << file << " was not written";
    };
    save(1, "save1.dat");
    if (HasFatalFailure()) return;

    // Another client takes the pointer into a 4 x 4 window in the corner:
    // the game's warps end there and no pointer motion reaches it.
    XSetWindowAttributes attrs;
    attrs.override_redirect = True;
    Window corner = XCreateWindow(x.dpy, DefaultRootWindow(x.dpy), 0, DeskH - 4, 4, 4, 0, CopyFromParent,
                                  InputOnly, CopyFromParent, CWOverrideRedirect, &attrs);
    XMapWindow(x.dpy, corner);
    XSync(x.dpy, False);
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        return XGrabPointer(x.dpy, corner, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, corner, 0,
                            CurrentTime) == GrabSuccess;
    }));
    XSync(x.dpy, False);
    SleepMs(200);
    HoldKey(x.dpy, XK_Return);  // ends the click wait: the second menu
    save(2, "save2.dat");
    if (HasFatalFailure()) return;
    EXPECT_EQ(game.Ended(SlowStartMs), 0);
    // movemousecursor puts the pointer where getmousepos finds it, moved
    // or held in the corner.
    std::string pos;
    ASSERT_TRUE(ReadGameFileBytes(dir, "pos.csv", &pos));
    EXPECT_EQ(pos.substr(0, pos.find_first_of("\r\n")), "101,101,303,303");
}

// The pointer's picture has a pixel that shows.
bool PointerShows(Display* dpy) {
    XFixesCursorImage* img = XFixesGetCursorImage(dpy);
    if (!img) return true;
    bool shows = false;
    for (int i = 0; i < img->width * img->height && !shows; i++) shows = (img->pixels[i] >> 24) != 0;
    XFree(img);
    return shows;
}

// Resizes the screen through XRandR: a mode of that size on the one output.
bool ResizeScreen(Display* dpy, int w, int h) {
    Window root = DefaultRootWindow(dpy);
    XRRScreenResources* res = XRRGetScreenResources(dpy, root);
    if (!res || res->ncrtc < 1 || res->noutput < 1) return false;
    XRRCrtcInfo* crtc = XRRGetCrtcInfo(dpy, res, res->crtcs[0]);
    std::string name = std::to_string(w) + "x" + std::to_string(h);
    XRRModeInfo mode = {};
    mode.width = (unsigned)w;
    mode.height = (unsigned)h;
    mode.dotClock = 60ul * (unsigned long)(w * h);
    mode.hTotal = (unsigned)w;
    mode.vTotal = (unsigned)h;
    mode.name = &name[0];
    mode.nameLength = (unsigned)name.size();
    RRMode id = XRRCreateMode(dpy, root, &mode);
    XRRAddOutputMode(dpy, res->outputs[0], id);
    Status st = XRRSetCrtcConfig(dpy, res, res->crtcs[0], CurrentTime, 0, 0, id, crtc->rotation, crtc->outputs,
                                 crtc->noutput);
    XRRSetScreenSize(dpy, root, w, h, w / 4, h / 4);
    XSync(dpy, False);
    XRRFreeCrtcInfo(crtc);
    XRRFreeScreenResources(res);
    return st == RRSetConfigSuccess;
}

void FocusAndPress(Display* dpy, Window win, KeySym sym) {
    XSetInputFocus(dpy, win, RevertToParent, CurrentTime);
    XSync(dpy, False);
    SleepMs(100);
    PressKey(dpy, sym);
}

enum { DebugW = 480, DebugH = 240 };

// One game through the GUI's other parts, step by step: 'd' opens the
// debug window below the game's; mousemode 0 hides the pointer over the
// picture but a message box shows it; a menu opened with a click and closed
// with Esc keeps Esc from the text's click wait (whose right-click action
// writes "rc.csv"); Alt released alone and then Enter choose the bar's first
// item (auto mode, which the script writes down); a smaller screen brings
// the window to its middle.
TEST(RealWindow, DebugWindowPointerMenuKeysAndScreenSize) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    int event_base, error_base;
    ASSERT_TRUE(XFixesQueryExtension(x.dpy, &event_base, &error_base));
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "quad.bmp", QuarterBmp());
    WriteScript(dir,
                "*define\nrgosub *rc\nresetmenu\ninsertmenu \"画面\",sub\ninsertmenu \"全画面\",full,1\n"
                "insertmenu \"オート\",auto\ngame\n*start\n"
                "bg \"quad.bmp\",1\ndelay 600000\n"
                "mousemode 0\ndelay 600000\n"
                "mesbox \"見える？\",\"確認\"\nmousemode 1\n"
                "csvopen \"box.csv\",\"w\"\ncsvwrite \"box\"\ncsvclose\n"
                "あいう\\\n"
                "csvopen \"after.csv\",\"w\"\ncsvwrite \"after\"\ncsvclose\n"
                "*auto\nwait 50\nisskip %1\nif %1 < 2 goto *auto\n"
                "csvopen \"auto.csv\",\"w\"\ncsvwrite \"auto\"\ncsvclose\n"
                "*idle\ndelay 1000\ngoto *idle\n"
                "*rc\ncsvopen \"rc.csv\",\"w\"\ncsvwrite \"rc\"\ncsvclose\nreturn\n");
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    Window win = WindowWithBar(x.dpy, &wx, &wy);
    ASSERT_NE(win, 0u) << "no window of the screen's size and a menu bar appeared";
    auto client = [&](int cx, int cy) { return Screenshot(x.dpy)[(size_t)(wy + MenuBarH + cy) * ScreenW + wx + cx]; };
    ASSERT_TRUE(Within(SlowStartMs, [&] { return client(10, 10) == 0xFF0000u; })) << "the picture did not show";

    // 'd': a second window at the game window's left edge, 480 + 40 below its top.
    XTestFakeMotionEvent(x.dpy, 0, wx + 400, wy + MenuBarH + 300, CurrentTime);
    FocusAndPress(x.dpy, win, XK_d);
    int dx = 0, dy = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return FindWindow(x.dpy, DebugW, DebugH, &dx, &dy) != 0; }))
        << "no debug window appeared";
    EXPECT_EQ(dx, wx);
    EXPECT_EQ(dy, wy + PictureH + 40);

    // mousemode 0: no pointer over the picture...
    Click(x.dpy, wx + 400, wy + MenuBarH + 300);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return !PointerShows(x.dpy); })) << "the pointer still shows";
    // ... but over the message box.
    Click(x.dpy, wx + 400, wy + MenuBarH + 300);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (client(PictureW / 2, PictureH / 2) & 0xFF) > 0xC0; }))
        << "no message box appeared";
    XTestFakeMotionEvent(x.dpy, 0, wx + PictureW / 2, wy + MenuBarH + PictureH / 2, CurrentTime);
    XSync(x.dpy, False);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return PointerShows(x.dpy); })) << "no pointer over the message box";
    FocusAndPress(x.dpy, win, XK_Return);
    std::string bytes;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "box.csv", &bytes); }))
        << "the message box did not close";

    // The text's click wait: a click opens the menu 画面 (after オート);
    // Esc closes it, Esc again leaves the menu; a click then ends the wait.
    SleepMs(300);
    Click(x.dpy, wx + 70, wy + MenuBarH / 2);
    // The submenu's light box lies on the picture's red quarter (dimmed by
    // the text window).
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (client(120, 24) & 0xFF) > 0xC0; })) << "the menu did not open";
    FocusAndPress(x.dpy, win, XK_Escape);
    FocusAndPress(x.dpy, win, XK_Escape);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (client(120, 24) & 0xFF) < 0x40; })) << "the menu did not close";
    Click(x.dpy, wx + 400, wy + MenuBarH + 300);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "after.csv", &bytes); }))
        << "the click wait did not end";
    EXPECT_FALSE(ReadGameFileBytes(dir, "rc.csv", &bytes)) << "Esc reached the game: its right-click action ran";

    // Alt released alone, then Enter: the first item of the bar (auto mode).
    FocusAndPress(x.dpy, win, XK_Alt_L);
    PressKey(x.dpy, XK_Return);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "auto.csv", &bytes); }))
        << "Alt and Enter did not choose the menu's first item";

    // A smaller screen: the window is centred on it again.
    ASSERT_TRUE(ResizeScreen(x.dpy, 1024, 600));
    int nx = 0, ny = 0;
    EXPECT_TRUE(Within(SlowStartMs, [&] {
        return FindWindow(x.dpy, PictureW, PictureH + MenuBarH, &nx, &ny) && nx == 1024 / 2 - PictureW / 2 &&
               ny == 600 / 2 - PictureH / 2 - MenuBarH;
    })) << "the window stays at " << nx << "," << ny;
}

// Whether the middle of the picture shows a light panel (a dialog or box
// over the black picture).
bool PanelShown(Display* dpy, int wx, int wy) {
    uint32_t c = Screenshot(dpy)[(size_t)(wy + PictureH / 2) * ScreenW + wx + PictureW / 2];
    return (c & 0xFF) > 0xC0;
}

// The name dialog keeps the keyboard in its field while it is open: after
// a click on the picture beside it (as a player clicks to go on), what is
// typed and Enter still answer it.
TEST(RealWindow, TheNameDialogKeepsTheKeyboardWhateverIsClicked) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    struct Row {
        const char* command;
        const char* variable;
        std::vector<KeySym> keys;
        const char* answer;
    } rows[] = {
        {"input $0,\"名前\",\"\",10,0", "$0", {XK_t, XK_a, XK_r, XK_o}, "taro"},
        {"inputnum %0,\"年齢\"", "%0", {XK_minus, XK_1, XK_2}, "-12"},
    };
    std::string script = "*define\ndeletemenu\ngame\n*start\n";
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++)
        script += std::string(rows[i].command) + "\ncsvopen \"answer" + std::to_string(i) + ".csv\",\"w\"\ncsvwrite " +
                  rows[i].variable + "\ncsvclose\n";
    std::string dir = MakeGameFolder();
    WriteScript(dir, script + "*idle\ndelay 1000\ngoto *idle\n");
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    Window win = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (win = FindWindow(x.dpy, PictureW, PictureH, &wx, &wy)) != 0; }))
        << "no window of the screen's size appeared";
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; i++) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.command);
        ASSERT_TRUE(Within(SlowStartMs, [&] { return PanelShown(x.dpy, wx, wy); })) << "no dialog appeared";
        SleepMs(300);  // the field has taken the keyboard
        Click(x.dpy, wx + 20, wy + 20);
        SleepMs(300);
        XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
        XSync(x.dpy, False);
        SleepMs(100);
        for (KeySym k : row.keys) PressKey(x.dpy, k);
        PressKey(x.dpy, XK_Return);
        std::string answer, file = "answer" + std::to_string(i) + ".csv";
        ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, file, &answer) && !answer.empty(); }))
            << "the dialog did not close";
        EXPECT_EQ(answer.substr(0, answer.find_first_of("\r\n")), row.answer);
    }
}

// The bounding box of the box's buttons: the pixels of the button colour
// (light blue) in the picture's middle third; false when none shows.
bool BoxButtons(Display* dpy, int wx, int wy, int* left, int* top, int* right, int* bottom) {
    std::vector<uint32_t> shot = Screenshot(dpy);
    *left = ScreenW, *top = ScreenH, *right = -1, *bottom = -1;
    for (int y = wy + PictureH / 3; y < wy + 2 * PictureH / 3; y++)
        for (int x = wx + PictureW / 6; x < wx + 5 * PictureW / 6; x++) {
            uint32_t c = shot[(size_t)y * ScreenW + x];
            int r = (int)(c >> 16), g = (int)((c >> 8) & 0xFF), b = (int)(c & 0xFF);
            if (b < 0xD0 || b - r < 0x30 || g < 0x90) continue;
            *left = std::min(*left, x), *right = std::max(*right, x);
            *top = std::min(*top, y), *bottom = std::max(*bottom, y);
        }
    return *right >= 0;
}

// The window's close box, as a window manager reports it.
void AskToClose(Display* dpy, Window win) {
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = win;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, win, False, NoEventMask, &ev);
    XSync(dpy, False);
}

// A key or button that a box took is not the game's.  Esc answering
// yesnobox, held on while the click wait after the box starts, does not
// run the wait's right-click action; the game's own Esc does.  Over the
// click wait in the right-click gosub, the close question: No clicked
// short, and a button pressed on the question and let go only after Esc
// has answered it, end nothing; the game's own click ends the wait.
TEST(RealWindow, KeysAndButtonsABoxTookAreNotTheGames) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ndeletemenu\nrgosub *rc\ngame\n*start\n"
                "yesnobox %1,\"よろしい？\",\"確認\"\n"
                "csvopen \"box.csv\",\"w\"\ncsvwrite %1\ncsvclose\n"
                "あ\\\n"
                "csvopen \"clicked.csv\",\"w\"\ncsvwrite \"clicked\"\ncsvclose\nend\n"
                "*rc\ncsvopen \"rc.csv\",\"w\"\ncsvwrite \"rc\"\ncsvclose\n"
                "い\\\n"
                "csvopen \"after.csv\",\"w\"\ncsvwrite \"after\"\ncsvclose\nend\n");
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    Window win = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (win = FindWindow(x.dpy, PictureW, PictureH, &wx, &wy)) != 0; }))
        << "no window of the screen's size appeared";
    ASSERT_TRUE(Within(SlowStartMs, [&] { return PanelShown(x.dpy, wx, wy); })) << "no box appeared";
    XTestFakeMotionEvent(x.dpy, 0, wx + 20, wy + 20, CurrentTime);
    XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(300);
    std::string bytes;
    PressKey(x.dpy, XK_Escape, 600);
    // csvopen makes the file before csvwrite fills it.
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "box.csv", &bytes) && !bytes.empty(); }))
        << "the box stayed";
    EXPECT_EQ(bytes.substr(0, 1), "0");
    SleepMs(300);
    EXPECT_FALSE(ReadGameFileBytes(dir, "rc.csv", &bytes)) << "the box's Esc reached the click wait";
    // The click wait reads Esc held as it polls: held long enough for a
    // busy machine, where a short press and its release may come together.
    PressKey(x.dpy, XK_Escape, 150);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "rc.csv", &bytes); }))
        << "the game's own Esc did not run the right-click action";
    SleepMs(300);

    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "a button held over the question while Esc answers it" : "No clicked short");
        AskToClose(x.dpy, win);
        int l = 0, t = 0, r = 0, b = 0;
        ASSERT_TRUE(Within(SlowStartMs, [&] { return BoxButtons(x.dpy, wx, wy, &l, &t, &r, &b); }))
            << "no close question appeared";
        if (held) {
            // On the question's text, above its buttons.
            XTestFakeMotionEvent(x.dpy, 0, l + 10, t - 16, CurrentTime);
            XSync(x.dpy, False);
            SleepMs(200);
            XTestFakeButtonEvent(x.dpy, 1, True, CurrentTime);
            XSync(x.dpy, False);
            SleepMs(200);
            PressKey(x.dpy, XK_Escape);
        } else {
            // No is the right one of the two buttons, 90 pixels wide.
            XTestFakeMotionEvent(x.dpy, 0, r - 45, (t + b) / 2, CurrentTime);
            XSync(x.dpy, False);
            SleepMs(200);
            XTestFakeButtonEvent(x.dpy, 1, True, CurrentTime);
            XTestFakeButtonEvent(x.dpy, 1, False, CurrentTime);
            XSync(x.dpy, False);
        }
        ASSERT_TRUE(Within(SlowStartMs, [&] { return !BoxButtons(x.dpy, wx, wy, &l, &t, &r, &b); }))
            << "the close question stayed";
        if (held) {
            SleepMs(200);
            XTestFakeButtonEvent(x.dpy, 1, False, CurrentTime);
            XSync(x.dpy, False);
        }
        SleepMs(300);
        EXPECT_FALSE(ReadGameFileBytes(dir, "after.csv", &bytes)) << "the box's button reached the click wait";
    }
    Click(x.dpy, wx + 20, wy + 20);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "after.csv", &bytes); }))
        << "the game's own click did not end the click wait";
    EXPECT_FALSE(ReadGameFileBytes(dir, "clicked.csv", &bytes));
    EXPECT_EQ(game.Ended(SlowStartMs), 0);
}

}  // namespace

namespace {

// A wait blocks in a window until its time: `wait 300` after a click does
// not end before 300 ms of real time have passed since the click.  Music
// plays meanwhile and a voice started at the click lowers it (bgmdownmode):
// the sound thread steps its volume while the engine waits, polls the
// voice's channel and reads the volume (getbgmvol).
TEST(RealWindow, AWaitLastsItsTimeInRealTime) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "m.wav", ToneWav(3.0, 220, 22050, 2));
    WriteGameFile(dir, "v.wav", ToneWav(2.0, 440, 22050, 1));
    WriteScript(dir,
                "*define\ndeletemenu\ngame\n*start\nbgmdownmode 1\nbgm \"m.wav\"\n"
                "mov $0,\"ready\"\ncsvopen \"ready.csv\",\"w\"\ncsvwrite $0\ncsvclose\n"
                "click\ndwave 0,\"v.wav\"\nwait 300\ngetbgmvol %1\n"
                "csvopen \"vol.csv\",\"w\"\ncsvwrite %1\ncsvclose\n"
                "mov $0,\"done\"\ncsvopen \"done.csv\",\"w\"\ncsvwrite $0\ncsvclose\nend\n");
    WindowGame game(dir, x.name);
    int wx = 0, wy = 0;
    std::string text;
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        return FindWindow(x.dpy, PictureW, PictureH, &wx, &wy) != 0 && ReadGameFileBytes(dir, "ready.csv", &text);
    })) << "the game did not reach its click wait";
    XTestFakeMotionEvent(x.dpy, 0, wx + 100, wy + 100, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(200);
    auto clicked = Clock::now();
    XTestFakeButtonEvent(x.dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(x.dpy, 1, False, CurrentTime);
    XSync(x.dpy, False);
    ASSERT_TRUE(Within(SlowStartMs, [&] { return ReadGameFileBytes(dir, "done.csv", &text); }))
        << "the wait did not end";
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clicked).count();
    EXPECT_GE(waited, 300) << "the wait ended early";
    // Lowered from full loudness, not below half of it.
    ASSERT_TRUE(ReadGameFileBytes(dir, "vol.csv", &text));
    int loudness = std::atoi(text.c_str());
    EXPECT_LT(loudness, 100) << "the voice did not lower the music";
    EXPECT_GE(loudness, 50);
    EXPECT_EQ(game.Ended(SlowStartMs), 0);
}

}  // namespace
