// Boxes, movies and the keyboard in a real window on a private Xvfb display,
// driven through XTest: the step box takes the keyboard from the debug
// window (under a window manager, openbox, for the focus to move as on a
// desktop); a box shown before the game's window is drawn by the GUI in a
// window of its own, and a signal while it is open ends the game with 143;
// a movie plays on under a mesbox; the pointer is the arrow over the menu
// bar, the box and the bars beside a full-screen picture whatever
// mousecursor set; isctrl sees Ctrl held while another window has the
// keyboard.  Skipped, saying why, only where Xvfb
// (or openbox, for its test) cannot start.
// The test framework first: Xlib's macros (None, Bool ...) would clash with it.
#include "plat_test.h"
#include "tests/support/game_folder.h"
#include "tests/platform/real_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace realwin;

enum { MenuBarH = 20 };

// A child process killed with the object unless it ended by itself.
struct Child {
    pid_t pid = -1;
    // The exit status once it ended within ms, -1 otherwise (or when a
    // signal ended it).
    int Ended(int ms) {
        int status = -1;
        if (!Within(ms, [&] { return waitpid(pid, &status, WNOHANG) == pid; })) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    ~Child() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

// openbox managing the display, once it owns the window manager's selection.
bool StartOpenbox(Display* dpy, const std::string& display, Child* wm, std::string* why) {
    if (access("/usr/bin/openbox", X_OK) != 0) {
        *why = "/usr/bin/openbox is not installed (scripts/install-deps installs openbox)";
        return false;
    }
    wm->pid = fork();
    if (wm->pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setenv("DISPLAY", display.c_str(), 1);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        execl("/usr/bin/openbox", "openbox", "--sm-disable", (char*)nullptr);
        _exit(127);
    }
    Atom sel = XInternAtom(dpy, "WM_S0", False);
    if (Within(SlowStartMs, [&] { return XGetSelectionOwner(dpy, sel) != 0; })) return true;
    *why = "openbox did not start";
    return false;
}

// The title of a window (UTF-8), "" without one.
std::string Title(Display* dpy, Window w) {
    Atom name = XInternAtom(dpy, "_NET_WM_NAME", False), utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long n, after;
    unsigned char* data = nullptr;
    std::string t;
    if (XGetWindowProperty(dpy, w, name, 0, 256, False, utf8, &type, &format, &n, &after, &data) == Success && data)
        t.assign((const char*)data, n);
    if (data) XFree(data);
    return t;
}

// A viewable window at any depth below the root (a window manager puts the
// game's windows into frames of its own) for which `match` holds; its place
// on the screen in *x, *y.  0 while there is none.
Window FindWindow(Display* dpy, const std::function<bool(Window, const XWindowAttributes&)>& match, int* x = nullptr,
                  int* y = nullptr) {
    std::function<Window(Window, int)> walk = [&](Window w, int depth) -> Window {
        Window root, parent, *children = nullptr, found = 0;
        unsigned count = 0;
        if (!XQueryTree(dpy, w, &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && !found; i++) {
            XWindowAttributes a;
            if (!XGetWindowAttributes(dpy, children[i], &a) || a.map_state != IsViewable) continue;
            if (match(children[i], a)) found = children[i];
            else if (depth < 3) found = walk(children[i], depth + 1);
        }
        if (children) XFree(children);
        return found;
    };
    Window found = walk(DefaultRootWindow(dpy), 0);
    if (found && x && y) {
        Window dummy;
        XTranslateCoordinates(dpy, found, DefaultRootWindow(dpy), 0, 0, x, y, &dummy);
    }
    return found;
}

// A window of the game's (its class is the program's name, "orva").
bool Ours(Display* dpy, Window w) {
    XClassHint hint = {};
    if (!XGetClassHint(dpy, w, &hint)) return false;
    bool ours = hint.res_class && strcmp(hint.res_class, "orva") == 0;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return ours;
}

// The game's window of that size (its frame and menu bar not counted).
Window WindowOfSize(Display* dpy, int w, int h, int* x = nullptr, int* y = nullptr) {
    return FindWindow(
        dpy, [&](Window win, const XWindowAttributes& a) { return a.width == w && a.height == h && Ours(dpy, win); },
        x, y);
}

// One pixel of the screen as 0xRRGGBB.
uint32_t Pixel(Display* dpy, int x, int y) {
    XImage* img = XGetImage(dpy, DefaultRootWindow(dpy), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return 0;
    uint32_t c = (uint32_t)XGetPixel(img, 0, 0) & 0xFFFFFF;
    XDestroyImage(img);
    return c;
}

// The GUI's panels are light grey; the games' pictures here are dark.
bool Light(uint32_t c) { return (c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) > 0xC0 && (c >> 16) > 0xC0; }

// The window that has the keyboard is `w` or one inside it.
bool HasFocus(Display* dpy, Window w) {
    Window f;
    int revert;
    XGetInputFocus(dpy, &f, &revert);
    for (int depth = 0; f && f != PointerRoot && depth < 8; depth++) {
        if (f == w) return true;
        Window root, parent, *children = nullptr;
        unsigned count;
        if (!XQueryTree(dpy, f, &root, &parent, &children, &count)) return false;
        if (children) XFree(children);
        f = parent;
    }
    return false;
}

bool Exists(const std::string& dir, const char* name) {
    std::string bytes;
    return ReadGameFileBytes(dir, name, &bytes);
}

uint32_t Le(std::string* s, uint32_t v, int n) {
    for (int i = 0; i < n; i++) s->push_back((char)((v >> (8 * i)) & 255));
    return v;
}

// A 32 x 32 cursor picture of one colour (0xAARRGGBB), hot spot in the middle.
std::string SolidCur(uint32_t argb) {
    enum { S = 32 };
    std::string img;
    Le(&img, 40, 4), Le(&img, S, 4), Le(&img, S * 2, 4), Le(&img, 1, 2), Le(&img, 32, 2);
    for (int i = 0; i < 6; i++) Le(&img, 0, 4);
    for (int i = 0; i < S * S; i++) Le(&img, argb, 4);
    img += std::string(S * S / 8, '\0');  // the AND mask: all shows
    std::string cur;
    Le(&cur, 0, 2), Le(&cur, 2, 2), Le(&cur, 1, 2);
    cur += std::string{(char)S, (char)S, 0, 0};
    Le(&cur, S / 2, 2), Le(&cur, S / 2, 2), Le(&cur, (uint32_t)img.size(), 4), Le(&cur, 22, 4);
    return cur + img;
}

// The pointer's picture has pixels of that colour (0xRRGGBB).
bool PointerHas(Display* dpy, uint32_t rgb) {
    XFixesCursorImage* img = XFixesGetCursorImage(dpy);
    if (!img) return false;
    bool has = false;
    for (int i = 0; i < img->width * img->height && !has; i++)
        has = ((uint32_t)img->pixels[i] & 0xFFFFFFu) == rgb && ((uint32_t)img->pixels[i] >> 24) == 0xFF;
    XFree(img);
    return has;
}

enum { PictureW = 640, PictureH = 480, DebugW = 480, DebugH = 240 };

// The step box of the debug window: ticked with a click in the debug window
// (which then has the keyboard), the box after each command takes the
// keyboard, and each Enter or Space runs exactly one command.
TEST(RealWindow, TheStepBoxTakesTheKeyboardFromTheDebugWindow) {
    Xvfb x(ScreenW, 1024);  // room for the debug window below the game's
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    Child wm;
    std::string why;
    if (!StartOpenbox(x.dpy, x.name, &wm, &why)) GTEST_SKIP() << "no window manager: " << why;
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ncreatedebugwindow\ngame\n*start\nfilecreate \"ready\"\n"
                     "*poll\nwait 20\nfileexist %0,\"go\"\nif %0 == 0 goto *poll\n"
                     "filecreate \"s1\"\nfilecreate \"s2\"\nfilecreate \"s3\"\nend\n");
    Child game;
    game.pid = StartWindowGame(dir, x.name);
    ASSERT_GT(game.pid, 0);
    int gx = 0, gy = 0, dx = 0, dy = 0;
    Window main = 0, debug = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        main = WindowOfSize(x.dpy, PictureW, PictureH + MenuBarH, &gx, &gy);
        debug = WindowOfSize(x.dpy, DebugW, DebugH, &dx, &dy);
        return main && debug && Exists(dir, "ready");
    })) << "the game and its debug window did not appear";

    // The check box at the debug window's bottom left.
    Click(x.dpy, dx + 18, dy + DebugH - 18);
    auto box_shows = [&] { return Light(Pixel(x.dpy, gx + PictureW / 2, gy + MenuBarH + PictureH / 2)); };
    ASSERT_TRUE(Within(SlowStartMs, [&] { return HasFocus(x.dpy, main) && box_shows(); }))
        << "the step box did not open with the keyboard (the debug window has it: " << HasFocus(x.dpy, debug)
        << "; the box shows: " << box_shows() << ")";

    // Through the polling loop up to the first file.
    FILE* go = fopen((dir + "/go").c_str(), "w");
    ASSERT_TRUE(go);
    fclose(go);
    for (int i = 0; i < 40 && !Exists(dir, "s1"); i++) {
        PressKey(x.dpy, XK_Return);
        Within(2000, [&] { return Exists(dir, "s1"); });
    }
    ASSERT_TRUE(Exists(dir, "s1")) << "Enter did not step through the loop";
    // The box holds the next command until Enter or Space, which press its
    // button, and each runs one.
    struct Step {
        const char* next;
        KeySym key;
    } steps[] = {{"s2", XK_Return}, {"s3", XK_space}};
    for (const Step& s : steps) {
        SleepMs(300);
        ASSERT_FALSE(Exists(dir, s.next)) << s.next << " ran without a key";
        PressKey(x.dpy, s.key);
        ASSERT_TRUE(Within(SlowStartMs, [&] { return Exists(dir, s.next); }))
            << XKeysymToString(s.key) << " did not run " << s.next;
    }
    SleepMs(300);
    EXPECT_LT(game.Ended(0), 0) << "end ran without Enter";
    PressKey(x.dpy, XK_Return);
    EXPECT_EQ(game.Ended(SlowStartMs), 0);
}

// A box before the game's window shows: in a window of its own titled with
// the box's caption, its text drawn by the GUI with every glyph (the GUI's
// own record of what it drew), the pointer the arrow over it whatever
// mousecursor set, answered with Enter; a second box, and SIGTERM while it
// is open ends the game with 143.
TEST(RealWindow, ABoxBeforeTheWindowIsOursAndASignalEndsIt) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    int event_base, error_base;
    ASSERT_TRUE(XFixesQueryExtension(x.dpy, &event_base, &error_base));
    std::string dir = MakeGameFolder();
    const uint32_t magenta = 0xFF00FF;
    WriteGameFile(dir, "c.cur", SolidCur(0xFF000000u | magenta));
    WriteScript(dir, "*define\nmousecursor \"c.cur\"\nmesbox \"日本語のテスト\",\"確認\"\n"
                     "mesbox \"二つ目の箱\",\"確認\"\ngame\n*start\nend\n");
    std::string trace = dir + "/gui.txt";
    setenv("ORVA_GUI_TRACE", trace.c_str(), 1);
    Child game;
    game.pid = StartWindowGame(dir, x.name);
    unsetenv("ORVA_GUI_TRACE");
    ASSERT_GT(game.pid, 0);
    auto box = [&] {
        return FindWindow(x.dpy, [&](Window w, const XWindowAttributes&) { return Title(x.dpy, w) == "確認"; });
    };
    auto traced = [&] {
        std::string t;
        ReadGameFileBytes(dir, "gui.txt", &t);
        return t;
    };
    Window first = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] { return (first = box()) != 0; })) << "no window titled 確認 appeared";
    EXPECT_EQ(WindowOfSize(x.dpy, PictureW, PictureH + MenuBarH), 0u) << "the game's window shows already";
    ASSERT_TRUE(Within(SlowStartMs, [&] { return traced() == "box 確認: 日本語のテスト\n"; })) << traced();
    XWindowAttributes a;
    int bx = 0, by = 0;
    Window child;
    ASSERT_TRUE(XGetWindowAttributes(x.dpy, first, &a));
    XTranslateCoordinates(x.dpy, first, DefaultRootWindow(x.dpy), 0, 0, &bx, &by, &child);
    MoveTo(x.dpy, bx + a.width / 2, by + a.height / 2);
    SleepMs(300);
    EXPECT_FALSE(PointerHas(x.dpy, magenta)) << "the mousecursor picture over the box";

    XSetInputFocus(x.dpy, first, RevertToParent, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(100);
    PressKey(x.dpy, XK_Return);
    ASSERT_TRUE(
        Within(SlowStartMs, [&] { return traced() == "box 確認: 日本語のテスト\nbox 確認: 二つ目の箱\n"; }))
        << traced();
    ASSERT_TRUE(Within(SlowStartMs, [&] { return box() != 0; })) << "the second box did not show";
    kill(game.pid, SIGTERM);
    EXPECT_EQ(game.Ended(SlowStartMs), 143);
}

// One 320 x 240 game: the mousecursor picture over the picture but the
// arrow over the menu bar; isctrl sees Ctrl held while a window of the
// test's own has the keyboard; a movie made by the game itself (two
// pictures a second, eight colours in turn) plays on under a mesbox,
// over which the pointer is the arrow; in full screen the arrow is over
// the black bars beside the picture.
TEST(RealWindow, PointerCtrlAndAMovieUnderABox) {
    Xvfb x;
    if (!x.dpy) GTEST_SKIP() << "no real-window test: " << x.why;
    int event_base, error_base;
    ASSERT_TRUE(XFixesQueryExtension(x.dpy, &event_base, &error_base));
    enum { W = 320, H = 240 };
    static const uint32_t colours[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                        0xFF00FF, 0x00FFFF, 0x800000, 0x008000};
    std::string movie = "aviwriteopen \"m.avi\",2,24\n";
    for (int k = 0; k < 24; k++) {
        char line[64];
        snprintf(line, sizeof line, "bg #%06x,1\naviwrite %d\n", colours[k % 8], k);
        movie += line;
    }
    movie += "aviwriteclose\nbg #000000,1\n";
    std::string dir = MakeGameFolder();
    const uint32_t magenta = 0xFF00FF;
    WriteGameFile(dir, "c.cur", SolidCur(0xFF000000u | magenta));
    WriteScript(dir, ";mode320\n*define\ngame\n*start\n" + movie +
                         "mousecursor \"c.cur\"\nfilecreate \"ready\"\n"
                         "*ctrl\nwait 20\nisctrl %0\nif %0 == 0 goto *ctrl\nfilecreate \"ctrl\"\n"
                         "*poll\nwait 20\nfileexist %1,\"go\"\nif %1 == 0 goto *poll\n"
                         "movie \"m.avi\",pos,0,0,80,60,async\nmesbox \"動画の上\",\"確認\"\n"
                         "menu_full\nfilecreate \"full\"\n"
                         "*hold\nwait 20\nfileexist %1,\"stop\"\nif %1 == 0 goto *hold\nend\n");
    Child game;
    game.pid = StartWindowGame(dir, x.name);
    ASSERT_GT(game.pid, 0);
    int gx = 0, gy = 0;
    Window win = 0;
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        win = WindowOfSize(x.dpy, W, H + MenuBarH, &gx, &gy);
        return win && Exists(dir, "ready");
    })) << "the game did not reach its loop";
    int top = gy + MenuBarH;  // the picture's top row on the screen

    // The game's picture over the picture, the arrow over the menu bar.
    MoveTo(x.dpy, gx + W / 2, top + H / 2);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return PointerHas(x.dpy, magenta); })) << "no mousecursor picture";
    MoveTo(x.dpy, gx + W / 2, gy + MenuBarH / 2);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return !PointerHas(x.dpy, magenta); })) << "the picture over the menu bar";
    MoveTo(x.dpy, gx + W / 2, top + H / 2);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return PointerHas(x.dpy, magenta); })) << "no picture back over the game";

    // Ctrl held while a window of the test's own has the keyboard.
    Window other = XCreateSimpleWindow(x.dpy, DefaultRootWindow(x.dpy), 900, 500, 100, 100, 0, 0, 0);
    XMapWindow(x.dpy, other);
    XSync(x.dpy, False);
    ASSERT_TRUE(Within(SlowStartMs, [&] {
        XSetInputFocus(x.dpy, other, RevertToParent, CurrentTime);
        XSync(x.dpy, False);
        return HasFocus(x.dpy, other);
    }));
    KeyCode ctrl = XKeysymToKeycode(x.dpy, XK_Control_L);
    XTestFakeKeyEvent(x.dpy, ctrl, True, CurrentTime);
    XSync(x.dpy, False);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return Exists(dir, "ctrl"); })) << "isctrl did not see Ctrl";
    XTestFakeKeyEvent(x.dpy, ctrl, False, CurrentTime);
    XSync(x.dpy, False);

    // The movie in the corner, the box in the middle.
    FILE* go = fopen((dir + "/go").c_str(), "w");
    ASSERT_TRUE(go);
    fclose(go);
    // The colour of a picture of the movie (scaling may round it a little).
    auto frame = [&] {
        uint32_t c = Pixel(x.dpy, gx + 20, top + 20);
        for (int i = 0; i < 8; i++) {
            bool near = true;
            for (int shift : {0, 8, 16})
                near = near && abs((int)((c >> shift) & 255) - (int)((colours[i] >> shift) & 255)) <= 8;
            if (near) return i;
        }
        return -1;
    };
    int first = -1;
    ASSERT_TRUE(
        Within(SlowStartMs, [&] { return Light(Pixel(x.dpy, gx + W / 2, top + H / 2)) && (first = frame()) >= 0; }))
        << "no box over a movie";
    SleepMs(1000);
    int later = frame();
    EXPECT_GE(later, 0);
    EXPECT_NE(later, first) << "the movie stood still under the box";
    // The arrow over the box.
    MoveTo(x.dpy, gx + W / 2, top + H / 2 + 1);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return !PointerHas(x.dpy, magenta); })) << "the picture over the box";

    XSetInputFocus(x.dpy, win, RevertToParent, CurrentTime);
    XSync(x.dpy, False);
    SleepMs(100);
    PressKey(x.dpy, XK_Return);

    // In full screen the picture, three times its size, lies between two
    // black bars: the game's picture over it, the arrow over a bar.
    ASSERT_TRUE(Within(SlowStartMs, [&] { return Exists(dir, "full") && WindowOfSize(x.dpy, ScreenW, ScreenH); }))
        << "no full screen";
    const int barW = (ScreenW - 3 * W) / 2;
    MoveTo(x.dpy, ScreenW / 2, ScreenH / 2);
    EXPECT_TRUE(Within(SlowStartMs, [&] { return PointerHas(x.dpy, magenta); })) << "no picture in full screen";
    MoveTo(x.dpy, barW / 2, ScreenH / 2);
    SleepMs(1500); fprintf(stderr, "DEBUG bar magenta=%d\n", (int)PointerHas(x.dpy, magenta));
    EXPECT_TRUE(Within(SlowStartMs, [&] { return !PointerHas(x.dpy, magenta); })) << "the picture over the bar";
    FILE* stop = fopen((dir + "/stop").c_str(), "w");
    ASSERT_TRUE(stop);
    fclose(stop);
    EXPECT_EQ(game.Ended(SlowStartMs), 0);
}

}  // namespace
