// The headless backend: virtual clock, events file, message boxes, input
// state, frame output and the exit path.
#include <sys/wait.h>

#include <thread>
#include <vector>

#include "plat_test.h"

namespace {

std::vector<PlatMsg> TakeAll() {
    std::vector<PlatMsg> out;
    PlatMsg m;
    while (PlatGetMessage(&m)) out.push_back(m);
    return out;
}

std::string EventsFile(const ScratchDir& dir, const std::string& text) {
    dir.Write("events.txt", text);
    return dir / "events.txt";
}

}  // namespace

TEST(Clock, VirtualTimeMovesOnlyWhenAsked) {
    FreshPlatform();
    EXPECT_EQ(PlatTicks(), 10000u);
    EXPECT_EQ(PlatTicks(), 10000u);
    PlatSleep(250);
    EXPECT_EQ(PlatTicks(), 10250u);
    PlatMsg m;
    EXPECT_FALSE(PlatGetMessage(&m));  // an empty poll is 1 ms
    EXPECT_EQ(PlatTicks(), 10251u);
    EXPECT_EQ(HeadlessElapsed(), 251u);
    PlatPostMessage(WM_USER, 0, 0);
    EXPECT_TRUE(PlatGetMessage(&m));  // a message costs nothing
    EXPECT_EQ(PlatTicks(), 10251u);
    // A busy wait on the clock through the pump ends.
    uint32_t until = PlatTicks() + 100;
    int polls = 0;
    while ((int32_t)(PlatTicks() - until) < 0) {
        PumpMessage();
        polls++;
    }
    EXPECT_EQ(polls, 100);
    // Another thread's sleep does not move the clock.
    uint32_t before = PlatTicks();
    std::thread([] { PlatSleep(2); }).join();
    EXPECT_EQ(PlatTicks(), before);
    // PlatInit starts the clock again.
    FreshPlatform();
    EXPECT_EQ(PlatTicks(), 10000u);
}

// A frame shown in the virtual millisecond of the frame before takes a
// millisecond, so that a loop that only draws sees the clock move; one
// after time has passed costs nothing.
TEST(Clock, FramesShownBackToBackTakeAMillisecondEach) {
    FreshPlatform();
    const int w = 8, h = 4;
    std::vector<uint8_t> bits((size_t)((w * 3 + 3) & ~3) * h, 0x40);
    uint32_t t0 = PlatTicks();
    PlatPresent(bits.data(), w, h);
    EXPECT_EQ(PlatTicks() - t0, 0u);
    PlatPresent(bits.data(), w, h);
    EXPECT_EQ(PlatTicks() - t0, 1u);
    PlatPresentRect(bits.data(), w, h, 1, 1, 2, 2);
    EXPECT_EQ(PlatTicks() - t0, 2u);
    PlatSleep(5);
    PlatPresentRect(bits.data(), w, h, 1, 1, 2, 2);
    EXPECT_EQ(PlatTicks() - t0, 7u);
    EXPECT_EQ(HeadlessWindow().presents, 4);
}

TEST(Clock, MaxMsEndsTheRunWith124) {
    PlatOptions opt;
    opt.max_ms = 500;
    FreshPlatform(opt);
    static int order;
    order = 0;
    PlatAtExit([] { order = order * 10 + 1; });
    PlatAtExit([] { order = order * 10 + 2; });
    PlatSleep(500);  // not past it yet
    try {
        PlatSleep(1);
        FAIL() << "no exit";
    } catch (TestExit& e) {
        EXPECT_EQ(e.code, 124);
    }
    EXPECT_EQ(order, 21);  // reverse order, each once
    PlatSleep(1000);       // only once
}

TEST(Events, ParserTable) {
    struct Good {
        const char* line;
        HeadlessEventKind kind;
        uint64_t time;
        int x, y, n;
    } good[] = {
        {"0 click 10 20", EvClick, 0, 10, 20, 0},
        {"  1500\trclick 0 -3  ", EvRClick, 1500, 0, -3, 0},
        {"7 mclick 32767 -32768", EvMClick, 7, 32767, -32768, 0},
        {"9 wheel -3", EvWheel, 9, 0, 0, -3},
        {"9 WHEEL 2", EvWheel, 9, 0, 0, 2},
        {"1 key a", EvKey, 1, 0, 0, 'A'},
        {"1 key Z", EvKey, 1, 0, 0, 'Z'},
        {"1 key 5", EvKey, 1, 0, 0, '5'},
        {"1 key enter", EvKey, 1, 0, 0, VK_RETURN},
        {"1 key Escape", EvKey, 1, 0, 0, VK_ESCAPE},
        {"1 key pagedown", EvKey, 1, 0, 0, VK_NEXT},
        {"1 key f12", EvKey, 1, 0, 0, VK_F12},
        {"1 keydown ctrl", EvKeyDown, 1, 0, 0, VK_CONTROL},
        {"1 keyup alt", EvKeyUp, 1, 0, 0, VK_MENU},
        {"2 close", EvClose, 2, 0, 0, 0},
        {"3 answer yes", EvAnswer, 3, 0, 0, IDYES},
        {"3 answer No", EvAnswer, 3, 0, 0, IDNO},
        {"3 answer ok", EvAnswer, 3, 0, 0, IDOK},
        {"3 answer cancel", EvAnswer, 3, 0, 0, IDCANCEL},
    };
    for (const Good& g : good) {
        HeadlessEvent ev;
        std::string err;
        ASSERT_EQ(HeadlessParseEventLine(g.line, &ev, &err), 1) << g.line << ": " << err;
        EXPECT_EQ(ev.kind, g.kind) << g.line;
        EXPECT_EQ(ev.time, g.time) << g.line;
        EXPECT_EQ(ev.x, g.x) << g.line;
        EXPECT_EQ(ev.y, g.y) << g.line;
        EXPECT_EQ(ev.n, g.n) << g.line;
    }
    const char* empty[] = {"", "   ", "# 10 click 1 2", "\t# x"};
    for (const char* line : empty) {
        HeadlessEvent ev;
        EXPECT_EQ(HeadlessParseEventLine(line, &ev, nullptr), 0) << line;
    }
    struct Bad {
        const char* line;
        const char* says;
    } bad[] = {
        {"click 1 2", "time"},
        {"-5 click 1 2", "time"},
        {"1.5 click 1 2", "time"},
        {"10", "missing"},
        {"10 tap 1 2", "unknown event 'tap'"},
        {"10 click 1", "2 arguments"},
        {"10 click 1 2 3", "2 arguments"},
        {"10 click a b", "coordinates"},
        {"10 move 40000 0", "coordinates"},
        {"10 wheel 0", "notch"},
        {"10 wheel", "1 argument"},
        {"10 wheel x", "notch"},
        {"10 key", "1 argument"},
        {"10 key enterr", "unknown key name 'enterr'"},
        {"10 key ab", "unknown key name"},
        {"10 key !", "unknown key name"},
        {"10 close now", "0 arguments"},
        {"9 move 5 6 # comments are whole lines", "2 arguments"},
        {"10 answer maybe", "yes, no, ok or cancel"},
        {"99999999999999999999 close", "time"},
    };
    for (const Bad& b : bad) {
        HeadlessEvent ev;
        std::string err;
        EXPECT_EQ(HeadlessParseEventLine(b.line, &ev, &err), -1) << b.line;
        EXPECT_NE(err.find(b.says), std::string::npos) << b.line << ": " << err;
    }
    std::vector<HeadlessEvent> evs;
    std::string err;
    EXPECT_FALSE(HeadlessParseEvents("# start\r\n10 click 1 2\r\n\n20 jump\n", "ev.txt", &evs, &err));
    EXPECT_EQ(err.substr(0, 9), "ev.txt:4:");
    EXPECT_TRUE(HeadlessParseEvents("10 click 1 2\r\n20 close", "ev.txt", &evs, &err));
    EXPECT_EQ(evs.size(), 2u);
}

TEST(Events, BadFileEndsWithStatus2) {
    ScratchDir dir;
    PlatOptions opt;
    opt.headless = true;
    opt.events_file = EventsFile(dir, "10 click 1 2\n20 clack\n");
    PlatSetExitHook(ThrowingExit);
    PlatResetForTests();
    testing::internal::CaptureStderr();
    int code = 0;
    try {
        PlatInit(opt);
    } catch (TestExit& e) {
        code = e.code;
    }
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_NE(err.find(opt.events_file + ":2: unknown event 'clack'"), std::string::npos) << err;
    opt.events_file = dir / "none.txt";
    code = 0;
    testing::internal::CaptureStderr();
    try {
        PlatInit(opt);
    } catch (TestExit& e) {
        code = e.code;
    }
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 2);
    EXPECT_NE(err.find("none.txt"), std::string::npos);
}

TEST(Events, InjectedWhenTheClockGetsThere) {
    ScratchDir dir;
    PlatOptions opt;
    opt.events_file = EventsFile(dir,
                                 "# a small session\n"
                                 "100 click 10 20\n"
                                 "50 move 3 4\n"  // out of order: sorted
                                 "200 rclick 1 2\n"
                                 "200 mclick 5 6\n"
                                 "300 wheel -2\n"
                                 "400 key enter\n"
                                 "500 close\n");
    FreshPlatform(opt);
    PlatSleep(49);
    EXPECT_TRUE(TakeAll().empty());  // this poll reaches 50 ms but takes none
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].lparam, MakePointParam(3, 4));
    PlatSleep(50);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(got[0].wparam, (uintptr_t)MK_LBUTTON);
    EXPECT_EQ(got[1].message, WM_LBUTTONUP);
    EXPECT_EQ(PointParamX(got[1].lparam), 10);
    EXPECT_EQ(PointParamY(got[1].lparam), 20);
    PlatSleep(100);
    got = TakeAll();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(got[1].message, WM_RBUTTONUP);
    EXPECT_EQ(got[2].message, WM_MBUTTONDOWN);
    EXPECT_EQ(got[3].message, WM_MBUTTONUP);
    PlatSleep(100);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);  // one message a notch
    for (const PlatMsg& m : got) {
        EXPECT_EQ(m.message, WM_MOUSEWHEEL);
        EXPECT_EQ((int16_t)(m.wparam >> 16), -120);
        EXPECT_EQ(m.lparam, MakePointParam(5, 6));  // where the pointer is
    }
    PlatSleep(100);
    got = TakeAll();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, WM_KEYDOWN);
    EXPECT_EQ(got[0].wparam, (uintptr_t)VK_RETURN);
    EXPECT_EQ(got[1].message, WM_KEYUP);
    PlatSleep(100);
    got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_CLOSE);
}

TEST(Events, KeyAndButtonStateFollowTheTakenMessages) {
    FreshPlatform();
    HeadlessEvent ev;
    ASSERT_EQ(HeadlessParseEventLine("0 click 30 40", &ev, nullptr), 1);
    HeadlessAddEvent(ev);
    ASSERT_EQ(HeadlessParseEventLine("0 keydown ctrl", &ev, nullptr), 1);
    HeadlessAddEvent(ev);
    ASSERT_EQ(HeadlessParseEventLine("10 keyup ctrl", &ev, nullptr), 1);
    HeadlessAddEvent(ev);
    PlatMsg m;
    EXPECT_FALSE(PlatKeyDown(VK_LBUTTON));
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_EQ(m.message, WM_LBUTTONDOWN);
    EXPECT_TRUE(PlatKeyDown(VK_LBUTTON));  // between down and up
    int x, y;
    PlatCursorPos(&x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    ASSERT_TRUE(PlatPeekRemove(WM_LBUTTONUP, &m));
    EXPECT_FALSE(PlatKeyDown(VK_LBUTTON));
    ASSERT_TRUE(PlatGetMessage(&m));
    EXPECT_TRUE(PlatKeyDown(VK_CONTROL));
    EXPECT_FALSE(PlatKeyDown(VK_SHIFT));
    PlatSleep(10);
    PlatRemoveAll(WM_KEYUP);
    EXPECT_FALSE(PlatKeyDown(VK_CONTROL));
    EXPECT_FALSE(PlatKeyDown(0));
    EXPECT_FALSE(PlatKeyDown(300));
    PlatWarpCursor(-5, 7);
    PlatCursorPos(&x, &y);
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, 7);
}

TEST(Events, InjectAtPostsAnyMessage) {
    FreshPlatform();
    HeadlessInjectAt(20, WM_COMMAND, 40006, 0);
    HeadlessInjectAt(10, WM_USER, 1, 2);
    PlatSleep(15);
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_USER);
    PlatSleep(15);
    got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].wparam, 40006u);
}

TEST(Boxes, RecordedAnsweredAndPrinted) {
    FreshPlatform();
    HeadlessEchoBoxes(true);
    testing::internal::CaptureStderr();
    // 終了しますか？ / 終了確認
    const char* text = "\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81\x48";
    const char* caption = "\x8f\x49\x97\xb9\x8a\x6d\x94\x46";
    EXPECT_EQ(PlatMessageBox(text, caption, MB_YESNO | MB_ICONQUESTION, true), IDYES);
    HeadlessQueueAnswer(IDNO);
    HeadlessQueueAnswer(IDCANCEL);
    HeadlessQueueAnswer(IDYES);
    HeadlessQueueAnswer(IDNO);
    EXPECT_EQ(PlatMessageBox(text, caption, MB_YESNO, true), IDNO);
    EXPECT_EQ(PlatMessageBox("a\nb\r\nc", "Cap", MB_OKCANCEL, false), IDCANCEL);
    EXPECT_EQ(PlatMessageBox("x", "y", MB_OKCANCEL, false), IDOK);  // yes stands for ok
    EXPECT_EQ(PlatMessageBox("x", "y", MB_OK, false), IDOK);        // OK only
    EXPECT_EQ(PlatMessageBox("x", "y", MB_OKCANCEL, false), IDOK);  // default
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.substr(0, err.find('\n') + 1), "終了確認: 終了しますか？\n");
    EXPECT_NE(err.find("Cap: a\\nb\\r\\nc\n"), std::string::npos) << err;
    const std::vector<HeadlessBox>& boxes = HeadlessBoxes();
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(boxes[0].owned);
    EXPECT_EQ(boxes[0].answer, IDYES);
    EXPECT_FALSE(boxes[2].owned);
    EXPECT_EQ(boxes[2].text, "a\nb\r\nc");
    EXPECT_EQ(boxes[4].answer, IDOK);
    HeadlessClearBoxes();
    EXPECT_TRUE(HeadlessBoxes().empty());
}

// A box takes the next answer, waiting on the clock for it; only with no
// answer left in the file does it answer by itself.  Clicks and keys due
// while it waits go to the box, not to the program; other events are posted.
TEST(Boxes, AnswersFromTheEventsFile) {
    ScratchDir dir;
    PlatOptions opt;
    opt.events_file = EventsFile(dir, "0 answer no\n50 click 1 1\n60 key a\n70 move 7 8\n80 keydown b\n"
                                      "90 menu 40001\n100 answer cancel\n");
    FreshPlatform(opt);
    EXPECT_EQ(PlatMessageBox("q", "c", MB_YESNO, true), IDNO);
    EXPECT_EQ(HeadlessElapsed(), 0u);
    EXPECT_EQ(PlatMessageBox("q", "c", MB_OKCANCEL, true), IDCANCEL);  // waited for it
    EXPECT_EQ(HeadlessElapsed(), 100u);
    std::vector<PlatMsg> got = TakeAll();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, (uint32_t)WM_COMMAND);
    int x, y;
    PlatCursorPos(&x, &y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_FALSE(PlatKeyDown('B'));  // pressed in the box: the box's until let go
    uint64_t t = HeadlessElapsed();
    EXPECT_EQ(PlatMessageBox("q", "c", MB_OKCANCEL, true), IDOK);  // none left: at once
    EXPECT_EQ(HeadlessElapsed(), t);
}

TEST(Window, StateAndDisplay) {
    PlatOptions opt;
    opt.click_waits = true;
    FreshPlatform(opt);
    EXPECT_TRUE(PlatIsHeadless());
    EXPECT_TRUE(PlatClickWaitsAnswered());
    int w, h;
    PlatDesktopSize(&w, &h);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1080);
    EXPECT_EQ(PlatDisplayBitsPerPixel(), 24);
    PlatCreateWindow(800, 600);
    EXPECT_TRUE(HeadlessWindow().created);
    EXPECT_FALSE(HeadlessWindow().shown);
    EXPECT_EQ(HeadlessWindow().client_w, 800);
    PlatMoveWindow(10, 20, 640, 480);
    PlatShowWindow(true);
    PlatSetCaption("\x83\x65\x83\x4c\x83\x58\x83\x67");
    PlatSetFullScreen(true);
    PlatShowCursor(false);
    const HeadlessWindowState& s = HeadlessWindow();
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.top, 20);
    EXPECT_EQ(s.client_h, 480);
    EXPECT_TRUE(s.shown);
    EXPECT_EQ(s.caption, "\x83\x65\x83\x4c\x83\x58\x83\x67");
    EXPECT_TRUE(PlatIsFullScreen());
    EXPECT_FALSE(s.cursor_shown);
    PlatSetFullScreen(false);
    EXPECT_FALSE(PlatIsFullScreen());
    PlatMinimizeWindow();
    EXPECT_TRUE(s.minimized);
    EXPECT_TRUE(PlatIsForeground());
    FreshPlatform();
    EXPECT_FALSE(PlatClickWaitsAnswered());
}

TEST(Audio, DeviceRendersAsVirtualTimePasses) {
    FreshPlatform();
    static int64_t frames;
    frames = 0;
    EXPECT_FALSE(PlatOpenAudio(nullptr, nullptr));
    EXPECT_TRUE(PlatOpenAudio([](int16_t*, int n, void*) { frames += n; }, nullptr));
    PlatLockAudio();
    PlatLockAudio();  // may nest
    PlatUnlockAudio();
    PlatUnlockAudio();
    PlatSleep(1000);
    EXPECT_EQ(frames, 44100);
    PlatCloseAudio();
    PlatSleep(1000);
    EXPECT_EQ(frames, 44100);
}

static std::vector<uint8_t> TestPicture(int w, int h) {
    int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> bits((size_t)stride * h, 0xEE);  // padding too
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w * 3; x++) bits[(size_t)y * stride + x] = (uint8_t)(y * 31 + x);
    return bits;
}

static uint32_t Le32(const std::string& s, size_t at) {
    return (uint8_t)s[at] | (uint8_t)s[at + 1] << 8 | (uint8_t)s[at + 2] << 16 | (uint32_t)(uint8_t)s[at + 3] << 24;
}

TEST(Frame, LastFrameWrittenAsBmpAtExit) {
    ScratchDir dir;
    PlatOptions opt;
    opt.frame_out = dir / "frame.bmp";
    FreshPlatform(opt);
    const uint8_t* bits;
    EXPECT_FALSE(HeadlessLastFrame(&bits, nullptr, nullptr));
    std::vector<uint8_t> first = TestPicture(4, 2);
    PlatPresent(first.data(), 4, 2);
    std::vector<uint8_t> pic = TestPicture(5, 3);  // stride 16 for 15 bytes
    PlatPresent(pic.data(), 5, 3);
    PlatPresent(nullptr, 5, 3);  // ignored
    PlatPresent(pic.data(), 0, 3);
    int w, h;
    ASSERT_TRUE(HeadlessLastFrame(&bits, &w, &h));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + 48), pic);
    try {
        PlatExit(0);
    } catch (TestExit& e) {
        EXPECT_EQ(e.code, 0);
    }
    std::ifstream f(opt.frame_out, std::ios::binary);
    std::string bmp((std::istreambuf_iterator<char>(f)), {});
    ASSERT_EQ(bmp.size(), 54u + 48u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Le32(bmp, 2), 102u);   // file size
    EXPECT_EQ(Le32(bmp, 10), 54u);   // pixel offset
    EXPECT_EQ(Le32(bmp, 14), 40u);   // info header size
    EXPECT_EQ(Le32(bmp, 18), 5u);
    EXPECT_EQ(Le32(bmp, 22), 3u);    // positive: bottom-up
    EXPECT_EQ((uint8_t)bmp[26] | (uint8_t)bmp[27] << 8, 1);
    EXPECT_EQ((uint8_t)bmp[28] | (uint8_t)bmp[29] << 8, 24);
    EXPECT_EQ(Le32(bmp, 30), 0u);    // no compression
    EXPECT_EQ(Le32(bmp, 34), 48u);
    EXPECT_EQ(bmp.substr(54), std::string(pic.begin(), pic.end()));
}

TEST(Frame, RelativeOutputIsTakenFromTheStartFolder) {
    ScratchDir dir, game;
    std::string old = PlatGameDir();
    ASSERT_TRUE(PlatSetGameDir(dir.path.c_str()));
    PlatOptions opt;
    opt.frame_out = "out.bmp";
    FreshPlatform(opt);
    ASSERT_TRUE(PlatSetGameDir(game.path.c_str()));  // the game folder comes later
    std::vector<uint8_t> pic = TestPicture(1, 1);
    PlatPresent(pic.data(), 1, 1);
    try {
        PlatExit(5);
    } catch (TestExit&) {
    }
    PlatSetGameDir(old.c_str());
    struct stat st;
    EXPECT_EQ(stat((dir / "out.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 58);
}

TEST(Exit, StatusOfTheProcess) {
    struct Case {
        int code, status;
    } cases[] = {{0, 0}, {1, 1}, {-1, 255}, {124, 124}, {256 + 7, 7}};
    for (const Case& c : cases) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            PlatSetExitHook(nullptr);
            PlatExit(c.code);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.code;
    }
}

TEST(Exit, NestedExitGoesOnWithTheRest) {
    FreshPlatform();
    static std::string log;
    log.clear();
    PlatAtExit([] { log += "a"; });
    PlatAtExit([] {
        log += "b";
        try {
            PlatExit(9);  // an exit from inside an exit routine
        } catch (TestExit& e) {
            log += std::to_string(e.code);
        }
    });
    PlatAtExit([] { log += "c"; });
    try {
        PlatExit(1);
    } catch (TestExit& e) {
        log += std::to_string(e.code);
    }
    EXPECT_EQ(log, "cba91");
    try {
        PlatExit(2);  // the list is spent
    } catch (TestExit& e) {
        log += std::to_string(e.code);
    }
    EXPECT_EQ(log, "cba912");
}
