// The main window's procedure in-process on the headless platform: button
// releases and the auto/skip swallow, characters, the wheel, signed mouse
// positions, the lr_trap_value store, menu commands with their refusals,
// font items apart from the text field's notifications, Alt+Enter and the
// other display switches, painting rectangles, and closing with the
// question answered either way or by a signal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/screen.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "save/readlog.h"
#include "sound/window_sound.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/window_links.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        old_dir_ = PlatGameDir();
        ASSERT_TRUE(PlatSetGameDir(MakeGameFolder().c_str()));
        InstallMainWindowProc();
        Drain();
        if (!ScratchText) ScratchText = (char*)calloc(WorkBufferSize, 1);
        saved_count_ = VariableCount;
        VariableCount = 20;
        AllocateVariableTables(VariableCount);
        ResetState();
        ClearCapturedBoxes();
    }
    void TearDown() override {
        Drain();
        for (int vk : {VK_MENU, VK_CONTROL, VK_RETURN}) PlatPostMessage(WM_KEYUP, (uintptr_t)vk, 0);
        Drain();
        if (PlatIsFullScreen()) PlatSetFullScreen(false);
        ResetState();
        FreeVariableTables();
        VariableCount = saved_count_;
        PlatSetGameDir(old_dir_.c_str());
    }
    static void ResetState() {
        Clicked = RightClicked = MiddleClicked = WheelDelta = 0;
        MouseX = MouseY = LeftPressSeen = RightPressSeen = 0;
        SkipMode = AutoMode = AutoClickOn = ResetRequested = QuitRequested = 0;
        LastMessage = 0;
        LastX = LastY = 0;
        FullScreen = 0;
        FullScreenMenuHidden = 0;
        PaintSuspended = 0;
        ButtonGetEnter = ButtonGetFunction = 0;
        TrapValueVariable = -1;
        PageAtATime = 0;
        TextSpeedIndex = 1;
        SoundOn = CdOn = 1;
        KidokuMode = 1;
        ReadFlags = nullptr;
        ReadFlagsSize = 0;
        FontMenuCount = 0;
    }
    // Every queued message through PumpMessage (translation included).
    static void Drain() {
        while (PumpMessage()) {}
    }
    static intptr_t Send(uint32_t m, uintptr_t w = 0, intptr_t l = 0) { return PlatSendMessage(m, w, l); }
    static void Command(uint32_t c) {
        Send(WM_COMMAND, c);
        Drain();  // commands that post others
    }
    // Schedules an events-file line `ms` virtual ms from now.
    static void Event(uint64_t ms, const std::string& line) {
        HeadlessEvent ev;
        std::string error;
        std::string text = std::to_string(HeadlessElapsed() + ms) + " " + line;
        ASSERT_EQ(HeadlessParseEventLine(text.c_str(), &ev, &error), 1) << error;
        HeadlessAddEvent(ev);
    }
    // Lets `ms` virtual ms pass, pumping.
    static void Pass(uint64_t ms) {
        uint64_t end = HeadlessElapsed() + ms;
        while (HeadlessElapsed() < end) PumpMessage();
    }

private:
    std::string old_dir_;
    int saved_count_ = 0;
};

TEST_F(WindowTest, ButtonReleasesSetTheirFlagsUnlessAutoOrSkipModeSwallowsThem) {
    struct Case {
        const char* name;
        int auto_mode, skip_mode;
        uint32_t up;
        int clicked, right, middle;
    } cases[] = {
        {"left", 0, 0, WM_LBUTTONUP, 1, 0, 0},
        {"right", 0, 0, WM_RBUTTONUP, 0, 1, 0},
        {"middle", 0, 0, WM_MBUTTONUP, 0, 0, 1},
        {"left in auto mode", 1, 0, WM_LBUTTONUP, 0, 0, 0},
        {"right in skip mode", 0, 1, WM_RBUTTONUP, 0, 0, 0},
        {"middle in both", 1, 1, WM_MBUTTONUP, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ResetState();
        AutoMode = c.auto_mode;
        SkipMode = c.skip_mode;
        MouseX = MouseY = -1;
        Send(c.up, 0, MakePointParam(30, 40));
        EXPECT_EQ(LastMessage, c.up) << c.name;
        EXPECT_EQ(Clicked, c.clicked) << c.name;
        EXPECT_EQ(RightClicked, c.right) << c.name;
        EXPECT_EQ(MiddleClicked, c.middle) << c.name;
        EXPECT_EQ(AutoMode, 0) << c.name;
        EXPECT_EQ(SkipMode, 0) << c.name;
        bool counted = c.clicked || c.right || c.middle;
        // A swallowed release does not even record its position.
        EXPECT_EQ(MouseX, counted ? 30 : -1) << c.name;
        EXPECT_EQ(MouseY, counted ? 40 : -1) << c.name;
        EXPECT_EQ(LeftPressSeen, counted ? 1 : 0) << c.name;
    }
}

TEST_F(WindowTest, PressesMovesAndTheWheelRecordPositionsSigned) {
    Send(WM_RBUTTONDOWN, 0, MakePointParam(7, 8));
    EXPECT_EQ(RightPressSeen, 1);
    EXPECT_EQ(LeftPressSeen, 0);
    EXPECT_EQ(MouseX, 7);
    Send(WM_LBUTTONDOWN, 0, MakePointParam(9, 10));
    EXPECT_EQ(LeftPressSeen, 1);
    EXPECT_EQ(Clicked, 0);
    // A pointer captured outside the window stays negative, not 65535.
    Send(WM_MOUSEMOVE, 0, MakePointParam(-5, -70));
    EXPECT_EQ(LastX, -5);
    EXPECT_EQ(LastY, -70);
    EXPECT_EQ(MouseX, 9);  // moves leave the button position alone
    Send(WM_MOUSEWHEEL, (uintptr_t)(uint16_t)-120 << 16, 0);
    EXPECT_EQ(WheelDelta, -120);
    EXPECT_EQ(LastX, -120);
    EXPECT_EQ(LastMessage, (uint32_t)WM_MOUSEWHEEL);
    Send(WM_TIMER, WindowTimerId);
    EXPECT_EQ(LastMessage, (uint32_t)WM_TIMER);
}

TEST_F(WindowTest, EventsFileInputReachesTheFlagsThroughThePump) {
    Event(5, "click 12 34");
    Event(6, "rclick 1 2");
    Event(7, "wheel 2");
    Pass(10);
    EXPECT_EQ(Clicked, 1);
    EXPECT_EQ(RightClicked, 1);
    EXPECT_EQ(MouseX, 1);
    EXPECT_EQ(WheelDelta, 120);
    Clicked = 0;
    Event(1, "key space");
    Pass(3);
    EXPECT_EQ(Clicked, 1);
    EXPECT_EQ(LastX, ' ');
}

TEST_F(WindowTest, CharactersEndSkipModeAndSomeClick) {
    struct Case {
        int ch;
        int get_enter;
        int clicked;
    } cases[] = {{' ', 0, 1}, {13, 0, 1}, {13, 1, 0}, {'x', 0, 0}, {27, 0, 0}};
    for (const Case& c : cases) {
        ResetState();
        SkipMode = 1;
        ButtonGetEnter = c.get_enter;
        Send(WM_CHAR, (uintptr_t)c.ch);
        EXPECT_EQ(SkipMode, 0) << c.ch;
        EXPECT_EQ(LastX, c.ch) << c.ch;
        EXPECT_EQ(Clicked, c.clicked) << c.ch;
    }
    // 'n' asks for skip mode through the menu command.
    ResetState();
    Send(WM_CHAR, 'n');
    EXPECT_EQ(SkipMode, 0);
    Drain();
    EXPECT_EQ(SkipMode, 1);
}

TEST_F(WindowTest, SkipCommandWaitsForReadTextInReadLogMode) {
    static uint8_t flags[4];
    ReadFlags = flags;
    ReadFlagsSize = 4;
    flags[0] = 0;  // the statement at ReadPosition 0 was never read
    int saved = ReadPosition;
    ReadPosition = 0;
    Command(CmdSkip);
    EXPECT_EQ(SkipMode, 0);
    flags[0] = 1;
    Command(CmdSkip);
    EXPECT_EQ(SkipMode, 1);
    SkipMode = 0;
    flags[0] = 0;
    KidokuMode = 0;
    Command(CmdSkip);
    EXPECT_EQ(SkipMode, 1);
    ReadPosition = saved;
}

TEST_F(WindowTest, LrTrapValueGetsTheClickAndIsDisarmed) {
    TrapValueVariable = 3;
    Send(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(IntVariables[3], -1);
    EXPECT_EQ(TrapValueVariable, -1);
    Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(IntVariables[3], -1);  // disarmed
    TrapValueVariable = 4;
    Send(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(IntVariables[4], 1);
    TrapValueVariable = VariableCount;
    EXPECT_EQ(FatalBoxOf([] { Send(WM_MBUTTONUP, 0, 0); }, true),
              "エラー: 変数番号が範囲外をさしています。");
}

TEST_F(WindowTest, MenuCommandsSwitchTheirSettings) {
    Command(CmdSpeedFast);
    EXPECT_EQ(TextSpeedIndex, 2);
    Command(CmdSpeedSlow);
    EXPECT_EQ(TextSpeedIndex, 0);
    Command(CmdSoundOff);
    EXPECT_EQ(SoundOn, 0);
    Command(CmdSoundOn);
    EXPECT_EQ(SoundOn, 1);
    Command(CmdKidokuOff);
    EXPECT_EQ(KidokuMode, 0);
    Command(CmdKidokuOn);
    EXPECT_EQ(KidokuMode, 1);
    Command(CmdCdOff);
    EXPECT_EQ(CdOn, 0);
    Command(CmdCdOn);
    EXPECT_EQ(CdOn, 1);
    Command(CmdAutoMode);
    EXPECT_EQ(AutoMode, 1);
    Command(CmdPageMode);
    EXPECT_EQ(PageAtATime, 1);
    Command(CmdLineMode);
    EXPECT_EQ(PageAtATime, 0);
    AutoClickOn = 1;  // page mode is refused under autoclick
    Command(CmdPageMode);
    EXPECT_EQ(PageAtATime, 0);
    EXPECT_TRUE(CapturedBoxes().empty());
}

TEST_F(WindowTest, VersionAndResetBoxes) {
    Command(CmdVersion);
    ASSERT_EQ(CapturedBoxes().size(), 1u);
    EXPECT_EQ(CapturedBoxes()[0], "バージョン情報: Orvanta Version 2.96\n" + Utf8(CreditLine));
    EXPECT_EQ(HeadlessBoxes()[0].flags, (uint32_t)(MB_OK | MB_ICONINFORMATION));
    HeadlessQueueAnswer(IDNO);
    Command(CmdReset);
    EXPECT_EQ(ResetRequested, 0);
    Command(CmdReset);  // the default answer: yes
    EXPECT_EQ(ResetRequested, 1);
    EXPECT_EQ(CapturedBoxes().back(), "リセット確認: リセットしますか？");
    EXPECT_EQ(HeadlessBoxes().back().flags, (uint32_t)(MB_YESNO | MB_ICONQUESTION));
}

TEST_F(WindowTest, FontItemsAreApartFromTheTextFieldAndBounded) {
    FontMenuCount = 2;
    snprintf(FontMenuNames[0], FontNameSize, "zero");
    snprintf(FontMenuNames[1], FontNameSize, "one");
    snprintf(SelectedFont, FontNameSize, "before");
    Send(WM_COMMAND, 1 | (0x0300u << 16));  // the text field's notification
    EXPECT_EQ(LastX, 0x0300);
    EXPECT_STREQ(SelectedFont, "before");
    Command(FontCommandBase + 1);
    EXPECT_STREQ(SelectedFont, "one");
    EXPECT_EQ(SelectedFontItem, FontCommandBase + 1);
    Command(FontCommandBase + 2);  // past the fonts listed
    Command(FontCommandBase + FontMenuLimit + 5);
    Command(40010);  // no command of this menu
    EXPECT_STREQ(SelectedFont, "one");
    EXPECT_EQ(SelectedFontItem, FontCommandBase + 1);
}

TEST_F(WindowTest, AltEnterTogglesFullScreenBothWays) {
    for (int round = 0; round < 2; round++) {
        Event(1, "keydown alt");
        Event(2, "key enter");
        Event(3, "keyup alt");
        Pass(5);
        EXPECT_EQ(FullScreen, 1) << round;
        EXPECT_TRUE(HeadlessWindow().full_screen) << round;
        EXPECT_EQ(Clicked, 0) << "Alt+Enter is no click";
        Event(1, "keydown alt");
        Event(2, "key enter");
        Event(3, "keyup alt");
        Pass(5);
        EXPECT_EQ(FullScreen, 0) << round;
        EXPECT_FALSE(HeadlessWindow().full_screen) << round;
    }
    // Back in window mode the window is centred again.
    EXPECT_EQ(HeadlessWindow().left, 1920 / 2 - ScreenWidth / 2);
    EXPECT_EQ(HeadlessWindow().client_w, ScreenWidth);
}

TEST_F(WindowTest, FullScreenMenuBandAndRestoringAfterMinimising) {
    Command(CmdFullScreen);
    ASSERT_EQ(FullScreen, 1);
    EXPECT_EQ(FullScreenMenuHidden, 0);  // the synthetic move at 0,1 showed the bar
    Send(WM_MOUSEMOVE, 0, MakePointParam(5, 50));
    EXPECT_EQ(FullScreenMenuHidden, 1);
    Send(WM_MOUSEMOVE, 0, MakePointParam(5, 19));
    EXPECT_EQ(FullScreenMenuHidden, 0);
    Send(WM_MOUSEMOVE, 0, MakePointParam(5, 20));
    EXPECT_EQ(FullScreenMenuHidden, 1);
    Send(WM_KEYUP, VK_MENU);
    EXPECT_EQ(FullScreenMenuHidden, 0);
    MenuDeleted = 1;  // after deletemenu the bar never comes back
    Send(WM_MOUSEMOVE, 0, MakePointParam(5, 50));
    Send(WM_MOUSEMOVE, 0, MakePointParam(5, 1));
    EXPECT_EQ(FullScreenMenuHidden, 0);
    MenuDeleted = 0;
    // Minimised, the desktop gets its mode back; restoring enters full
    // screen again.
    PlatSetFullScreen(false);
    PlatMinimizeWindow();
    Send(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(FullScreen, 0);
    Drain();
    EXPECT_EQ(FullScreen, 1);
    EXPECT_TRUE(HeadlessWindow().full_screen);
    Command(CmdWindowMode);
    EXPECT_EQ(FullScreen, 0);
}

// Another desktop size centres a window on it again; not in full screen,
// not while the display is being switched, nor on a desktop too narrow.
TEST_F(WindowTest, ADesktopOfAnotherSizeCentresTheWindow) {
    struct Case {
        int full_screen, changing, w, h;
        bool moves;
    } cases[] = {
        {0, 0, 1024, 768, true}, {1, 0, 1280, 720, false}, {0, 1, 1280, 720, false}, {0, 0, 600, 400, false},
    };
    for (const Case& c : cases) {
        PlatMoveWindow(7, 9, ScreenWidth, ScreenHeight);
        FullScreen = c.full_screen;
        DisplayChanging = c.changing;
        HeadlessSetDesktopSize(c.w, c.h);
        Drain();
        int left = c.moves ? c.w / 2 - ScreenWidth / 2 : 7, top = c.moves ? c.h / 2 - ScreenHeight / 2 : 9;
        EXPECT_EQ(HeadlessWindow().left, left) << c.w;
        EXPECT_EQ(HeadlessWindow().top, top) << c.w;
    }
    FullScreen = DisplayChanging = 0;
    HeadlessSetDesktopSize(1920, 1080);
    Drain();
}

TEST_F(WindowTest, PaintingCopiesTheRectangleUnlessSuspended) {
    ASSERT_TRUE(HasPicture(&DestSurface) || (RebuildScreenSurfaces(), HasPicture(&DestSurface)));
    const Dib& d = DestSurface.dib;
    size_t stride = ((size_t)d.width * 3 + 3) & ~(size_t)3;
    auto fill = [&](uint8_t v) {
        for (int y = 0; y < d.height; y++) memset(d.bits + stride * y, v, (size_t)d.width * 3);
    };
    auto shown = [&](int x, int y) {
        const uint8_t* bits;
        int w, h;
        EXPECT_TRUE(HeadlessLastFrame(&bits, &w, &h));
        return bits[(size_t)(h - 1 - y) * stride + (size_t)x * 3];
    };
    fill(10);
    PaintWindow(nullptr);
    EXPECT_EQ(shown(0, 0), 10);
    fill(20);
    ScreenRect r{4, 5, 6, 7};
    PaintWindow(&r);
    EXPECT_EQ(shown(4, 5), 20);
    EXPECT_EQ(shown(6, 7), 20);
    EXPECT_EQ(shown(7, 7), 10);  // outside the rectangle: not copied
    EXPECT_EQ(shown(4, 8), 10);
    PaintSuspended = 1;
    Send(WM_PAINT);
    EXPECT_EQ(shown(0, 0), 10);
    PaintSuspended = 0;
    // An invalidated part is painted by the next WM_PAINT, and only it.
    ScreenRect a{0, 0, 1, 1}, b{3, 3, 4, 4};
    InvalidateMainWindow(&a);
    InvalidateMainWindow(&b);
    EXPECT_EQ(shown(0, 0), 10);
    Drain();
    EXPECT_EQ(shown(0, 0), 20);
    EXPECT_EQ(shown(4, 4), 20);
    EXPECT_EQ(shown(6, 2), 10);
    Send(WM_PAINT);  // the system's paint: all of it
    EXPECT_EQ(shown(100, 100), 20);
}

TEST_F(WindowTest, CloseAskedAndAnsweredNoKeepsTheWindow) {
    PlatSetTimer(WindowTimerId, WindowTimerPeriod);
    HeadlessQueueAnswer(IDNO);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    ASSERT_EQ(CapturedBoxes().size(), 1u);
    EXPECT_EQ(CapturedBoxes()[0], "終了確認: 終了しますか？");
    EXPECT_EQ(HeadlessBoxes()[0].flags, (uint32_t)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(QuitRequested, 0);
    // The timer runs again.
    bool ticked = false;
    for (int i = 0; i < 100 && !ticked; i++) {
        PumpMessage();
        ticked = LastMessage == WM_TIMER;
    }
    EXPECT_TRUE(ticked);
    PlatKillTimer(WindowTimerId);
}

TEST_F(WindowTest, CloseAnsweredYesOrBySignalEndsWithTheSavedData) {
    struct Case {
        uintptr_t wparam;
        size_t boxes;
    } cases[] = {{0, 1}, {CloseBySignal, 0}};
    for (const Case& c : cases) {
        ClearCapturedBoxes();
        AutoMode = SkipMode = AutoClickOn = 1;
        QuitRequested = 0;
        EXPECT_EQ(ExitCodeOf([&] { Send(WM_CLOSE, c.wparam); }), 0) << c.wparam;
        EXPECT_EQ(CapturedBoxes().size(), c.boxes) << c.wparam;
        EXPECT_EQ(QuitRequested, 1);
        EXPECT_EQ(AutoMode + SkipMode + AutoClickOn, 0);
    }
}

// A fault while the window is being destroyed ends the process without a
// second destruction: here an exit routine that goes back to full screen
// and asks for the destruction again, which would leave full screen again.
int DestroyCalls;
void DestroyAgain() {
    DestroyCalls++;
    PlatSetFullScreen(true);
    DestroyMainWindow();
}

TEST_F(WindowTest, DestructionIsNotEnteredTwice) {
    DestroyCalls = 0;
    FullScreen = 1;
    PlatSetFullScreen(true);
    PlatAtExit(DestroyAgain);
    EXPECT_EQ(ExitCodeOf([] { DestroyMainWindow(); }), 0);
    EXPECT_EQ(DestroyCalls, 1);
    EXPECT_TRUE(HeadlessWindow().full_screen) << "destroyed a second time";
    // The guard is down again afterwards: the next destruction runs whole.
    EXPECT_EQ(ExitCodeOf([] { DestroyMainWindow(); }), 0);
    EXPECT_FALSE(HeadlessWindow().full_screen);
}

}  // namespace
