// mainwindow.cpp - the main window and its procedure.  There is no central
// loop: every wait pumps messages, so the procedure runs nested inside
// whatever command waits.  It turns mouse, key, menu and timer messages into
// the input state and the menu settings, paints DestSurface, switches
// between window and full-screen display and carries out closing and the
// orderly end.
#include "ui/mainwindow.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/csv.h"
#include "core/debug.h"
#include "core/error.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "ext/layers.h"
#include "ext/luabridge.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "save/readlog.h"
#include "save/savepoint.h"
#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/ogg_plugin.h"
#include "sound/sound.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/dialogs.h"
#include "ui/input_state.h"
#include "ui/window_links.h"
#include "ui/window_messages.h"

int32_t FullScreen;
int32_t DisplayChanging;
int32_t FullScreenMenuHidden;
int32_t PaintSuspended;
int32_t ExecPluginRunning;
int32_t CustomCursorSet;

void UseArrowCursor() {
    CustomCursorSet = 0;
    PlatSetCustomCursor(nullptr, 0, 0, 0, 0);
    PlatUseCustomCursor(false);
}
char VersionLine[WindowTextSize], CreditLine[WindowTextSize];
char QuitQuestion[WindowTextSize], QuitCaption[WindowTextSize];
char ResetQuestion[WindowTextSize], ResetCaption[WindowTextSize];

static struct WindowTextDefaults {
    WindowTextDefaults() {
        strcpy(VersionLine, TxtVersionLine);
        strcpy(CreditLine, TxtCreditLine);
        strcpy(QuitQuestion, TxtQuitQuestion);
        strcpy(QuitCaption, TxtQuitCaption);
        strcpy(ResetQuestion, TxtResetQuestion);
        strcpy(ResetCaption, TxtResetCaption);
    }
} TextDefaults;

enum { MenuBandHeight = 20 };  // in full screen the menu bar shows while y < 20

void CreateMainWindow() {
    PlatCreateWindow(ScreenWidth, ScreenHeight);
    RecentreWindow(ScreenWidth, ScreenHeight);
    PlatSetCaption("");
    InstallMainWindowProc();
    FullScreen = 0;
    StartEngine();
}

void InstallMainWindowProc() {
    const uint32_t accel_key = VK_RETURN | ACCEL_ALT;  // Alt+Enter
    const uint16_t accel_command = CmdToggleFullScreen;
    PlatSetAccelerators(&accel_key, &accel_command, 1);
    PlatSetWindowProc(MainWndProc);
}

// ---- painting -------------------------------------------------------------------

// A modal movie, or a plug-in or movie that suspended painting, owns the
// picture: nothing is copied then.
static bool PaintBlocked() {
    return (MovieGraphActive && !MovieAsync) || (PaintSuspended && !MovieAsync);
}

static void PresentDest(const ScreenRect* rect) {
    const Dib& d = DestSurface.dib;
    if (!rect)
        PlatPresent(d.bits, d.width, d.height);
    else
        PlatPresentRect(d.bits, d.width, d.height, rect->left, rect->top, rect->right, rect->bottom);
}

void PaintWindow(const ScreenRect* rect) {
    if (!PaintBlocked() && HasPicture(&DestSurface)) PresentDest(rect);
}

bool MovieOwnsWindow() {
    return !MovieAsync && (MovieGraphActive || (PaintSuspended && !ExecPluginRunning));
}

void DrawDestToWindow(const ScreenRect* rect) {
    if (!MovieOwnsWindow() && HasPicture(&DestSurface)) PresentDest(rect);
}

// The part of the window WM_PAINT copies; none after each paint.
static ScreenRect InvalidRect;
static bool InvalidSome, InvalidAll;

void InvalidateMainWindow(const ScreenRect* rect) {
    if (!rect) {
        InvalidAll = true;
    } else if (!InvalidSome) {
        InvalidRect = *rect;
    } else {
        InvalidRect.left = std::min(InvalidRect.left, rect->left);
        InvalidRect.top = std::min(InvalidRect.top, rect->top);
        InvalidRect.right = std::max(InvalidRect.right, rect->right);
        InvalidRect.bottom = std::max(InvalidRect.bottom, rect->bottom);
    }
    InvalidSome = true;
    PlatRemoveAll(WM_PAINT);
    PlatPostMessage(WM_PAINT, 0, 0);
}

// WM_PAINT: what was invalidated, or all of it when the system asks.
static void Paint() {
    ScreenRect r = InvalidRect;
    bool part = InvalidSome && !InvalidAll;
    InvalidSome = InvalidAll = false;
    PaintWindow(part ? &r : nullptr);
}

// ---- display modes ----------------------------------------------------------------

static void ShowMenuBar(bool on) {
    SetMenuAttached(on);
    PaintWindow(nullptr);
}

static void EnterFullScreen() {
    SetMenuCheck(CmdWindowMode, false);
    SetMenuCheck(CmdFullScreen, true);
    if (FullScreen == 1) return;
    PauseMovieForSwitch();
    DisplayChanging = 1;
    PlatSetFullScreen(true);
    if (!PlatIsFullScreen()) PlatSetFullScreen(true);  // the second attempt
    if (!PlatIsFullScreen()) {
        // Stays in window mode (the check marks have moved); a movie runs on.
        ResumeMovieAfterSwitch();
        DisplayChanging = 0;
        return;
    }
    if (!MenuDeleted) SetMenuAttached(false);
    FullScreen = 1;
    FullScreenMenuHidden = 1;
    PaintWindow(nullptr);
    PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(0, 1));  // runs the menu-bar rule once
    ResumeMovieAfterSwitch();
    DisplayChanging = 0;
}

static void EnterWindowMode() {
    if (!MenuDeleted && FullScreenMenuHidden) ShowMenuBar(true);
    SetMenuCheck(CmdFullScreen, false);
    SetMenuCheck(CmdWindowMode, true);
    if (FullScreen == 0) return;
    PauseMovieForSwitch();
    FullScreen = 0;
    DisplayChanging = 1;
    int attempt = 0;
    for (; attempt < 10; attempt++) {
        PlatSetFullScreen(false);
        if (!PlatIsFullScreen()) break;
        PlatSleep(5);
    }
    if (attempt == 10) {
        ResumeMovieAfterSwitch();
        DisplayChanging = 0;
        return;
    }
    RecentreWindow(ScreenWidth, ScreenHeight);
    PaintWindow(nullptr);
    PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(0, 1));
    ResumeMovieAfterSwitch();
    DisplayChanging = 0;
}

// ---- menu commands --------------------------------------------------------------------

static void CheckOneOf(uint32_t chosen, uint32_t first, uint32_t last) {
    for (uint32_t c = first; c <= last; c++) SetMenuCheck(c, c == chosen);
}

static void ShowVersionBox() {
    snprintf(ScratchText, WorkBufferSize, "%s\n%s", VersionLine, CreditLine);
    PlatMessageBox(ScratchText, CapVersion, MB_OK | MB_ICONINFORMATION, true);
}

// Skip mode, unless read-log mode is on and the statement was never read.
static void StartSkipMode() {
    if (KidokuMode && ReadFlagsSize > 0) {
        int p = ReadPosition;
        bool read = p >= 0 && p / 8 < ReadFlagsSize && (ReadFlags[p / 8] & (1 << (p % 8)));
        if (!read) return;
    }
    SkipMode = 1;
}

static void SelectFont(uint32_t command, const char* face) {
    snprintf(SelectedFont, sizeof SelectedFont, "%s", face);
    SetMenuCheck(SelectedFontItem, false);
    SetMenuCheck(command, true);
    SelectedFontItem = command;
}

static void MenuCommand(uint32_t command) {
    // Font items have numbers of their own, so none is taken for the text
    // field's notifications; numbers past the fonts the menu lists do nothing.
    if (command >= FontCommandBase) {
        uint32_t n = command - FontCommandBase;
        if ((int32_t)n < FontMenuCount && n < (uint32_t)FontMenuLimit) SelectFont(command, FontMenuNames[n]);
        return;
    }
    switch (command) {
    case CmdClose: PlatPostMessage(WM_CLOSE, 0, 0); break;
    case CmdFullScreen: EnterFullScreen(); break;
    case CmdWindowMode: EnterWindowMode(); break;
    case CmdDefaultFont: SelectFont(CmdDefaultFont, DefaultFont); break;
    case CmdVersion:
        if (DebugMode) RunVariableEditor();
        else ShowVersionBox();
        break;
    case CmdSkip: StartSkipMode(); break;
    case CmdPageMode:
        if (AutoClickOn) break;
        CheckOneOf(CmdPageMode, CmdPageMode, CmdLineMode);
        PageAtATime = 1;
        break;
    case CmdLineMode:
        CheckOneOf(CmdLineMode, CmdPageMode, CmdLineMode);
        PageAtATime = 0;
        break;
    case CmdSpeedSlow:
    case CmdSpeedNormal:
    case CmdSpeedFast:
        CheckOneOf(command, CmdSpeedSlow, CmdSpeedFast);
        TextSpeedIndex = (int32_t)(command - CmdSpeedSlow);
        break;
    case CmdSoundOn:
    case CmdSoundOff:
        CheckOneOf(command, CmdSoundOn, CmdSoundOff);
        SoundOn = command == CmdSoundOn;
        break;
    case CmdAutoMode: AutoMode = 1; break;
    case CmdCdDrive: RunCdDriveDialog(); break;
    case CmdCdOn:
        CheckOneOf(CmdCdOn, CmdCdOn, CmdCdOff);
        if (CdOn == 0) {
            CdOn = 1;
            if (CdTrack > 0) PlayCdTrackFromMenu();
        }
        break;
    case CmdCdOff:
        CloseCdAudio();
        CheckOneOf(CmdCdOff, CmdCdOn, CmdCdOff);
        CdOn = 0;
        break;
    case CmdVolume: RunVolumeDialog(); break;
    case CmdKidokuOn:
    case CmdKidokuOff:
        CheckOneOf(command, CmdKidokuOn, CmdKidokuOff);
        KidokuMode = command == CmdKidokuOn;
        break;
    case CmdReset:
        if (PlatMessageBox(ResetQuestion, ResetCaption, MB_YESNO | MB_ICONQUESTION, true) == IDYES)
            ResetRequested = 1;
        break;
    case CmdToggleFullScreen:
        PlatPostMessage(WM_COMMAND, FullScreen == 1 ? CmdWindowMode : CmdFullScreen, 0);
        break;
    case CmdTextSpeedDialog: RunTextSpeedDialog(); break;
    case CmdAutoSpeedDialog: RunAutoSpeedDialog(); break;
    default: break;  // not a command of this menu
    }
}

// ---- mouse ---------------------------------------------------------------------------------

// lr_trap_value's variable gets the value of the click and is disarmed.
static void StoreTrapValue(int32_t value) {
    int32_t v = TrapValueVariable;
    if (v < 0) return;
    TrapValueVariable = -1;
    if (v >= VariableCount) ScriptError(CapError, MsgVarRange);
    IntVariables[v] = value;
}

static void RecordPosition(intptr_t lparam) {
    LastX = MouseX = PointParamX(lparam);
    LastY = MouseY = PointParamY(lparam);
    LeftPressSeen = 1;
}

// A release while auto or skip mode is on only ends that mode.
static bool SwallowedRelease() {
    if (AutoMode != 1 && SkipMode != 1) return false;
    AutoMode = SkipMode = 0;
    return true;
}

static void MouseMove(intptr_t lparam) {
    LastX = PointParamX(lparam);
    LastY = PointParamY(lparam);
    if (MenuDeleted || FullScreen != 1) return;
    if (LastY < MenuBandHeight && FullScreenMenuHidden) {
        FullScreenMenuHidden = 0;
        ShowMenuBar(true);
    }
    if (LastY >= MenuBandHeight && !FullScreenMenuHidden) {
        FullScreenMenuHidden = 1;
        ShowMenuBar(false);
    }
}

// ---- keys -------------------------------------------------------------------------------------

static void Character(int c) {
    SkipMode = 0;
    LastX = c;
    switch (c) {
    case 'n': PlatPostMessage(WM_COMMAND, CmdSkip, 0); break;
    case ' ': Clicked = 1; break;
    case 13:
        if (!ButtonGetEnter) Clicked = 1;
        break;
    case 'd':
        if (TextFileMode) CreateDebugWindow();
        break;
    }
}

// A release: Alt brings the hidden full-screen bar back; then the default
// handling, where Alt alone or F10 opens the window menu from the keyboard.
static void KeyUp(uintptr_t vk) {
    if ((vk & 0xFF) == VK_MENU && FullScreen == 1 && FullScreenMenuHidden && !MenuDeleted) {
        FullScreenMenuHidden = 0;
        ShowMenuBar(true);
    }
    PlatMenuKey((int)(vk & 0xFF));
}

// ---- timer ------------------------------------------------------------------------------------

static void TimerTick() {
    RestoreDuckedBgm();
    ReleaseStoppedChannels();
    ReplayLoopingCd();
    RestartLoopingMidi();
    ReplayLoopingBgm();
    ReplayLoopingMciWave();
    RewindLoopingMovie();
}

// ---- closing and the end -------------------------------------------------------------------

static intptr_t Close(uintptr_t wparam) {
    PlatKillTimer(WindowTimerId);
    if (wparam != CloseBySignal) {
        bool go_on;
        if (const char* hook = FindLuaHook(":close")) {
            int answer = CallLuaBoolHook(hook);
            if (answer < 0) ScriptError(CapError, MsgCloseHookFailed);
            go_on = answer == 1;
        } else {
            go_on = PlatMessageBox(QuitQuestion, QuitCaption, MB_YESNO | MB_ICONQUESTION, true) == IDYES;
        }
        if (!go_on) {
            PlatSetTimer(WindowTimerId, WindowTimerPeriod);
            return 0;
        }
    }
    QuitRequested = 1;
    FinalizeLayers();
    AutoMode = SkipMode = AutoClickOn = 0;
    PlatReleaseInstanceLock();
    ReleaseMovieForClose();
    DestroyMainWindow();
}

static int Destroying;

void DestroyMainWindow() {
    // A fatal error on the way here (the ":end" hook, say) ends the process
    // without a second destruction or a second save.
    if (Destroying) PlatExit(0);
    Destroying = 1;
    // Only a test's exit hook unwinds through here; the process goes on.
    struct Guard {
        ~Guard() { Destroying = 0; }
    } guard;
    PlatKillTimer(WindowTimerId);
    if (const char* hook = FindLuaHook(":end"))
        if (!CallLuaCommandHook(hook)) ScriptError(CapError, MsgEndHookFailed);
    if (OggLibraryActive()) CloseOggChannels();  // the Ogg plug-in's Finalize
    if (LuaBridgeLoaded) LuaBridgeFinalize();
    StopModalMovieForDestroy();
    if (CsvFile && CsvFromArchive) ResetCsvState();
    ShutdownSound();
    SavePersistentData();
    // Nothing fades on the way out: the window would stand still meanwhile.
    BgmFadeOutTime = 0;
    CdFadeOutTime = 0;
    StopAllSound(true);
    CloseMciWave();
    for (int ch = 0; ch < ChannelCount; ch++) StopDwave(ch);
    CloseCdAudio();
    if (FullScreen == 1) PlatSetFullScreen(false);
    PlatExit(0);
}

// ---- the procedure --------------------------------------------------------------------------

intptr_t MainWndProc(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    // A message can reach the player's menus, the hooks and the animation
    // while a command that defers the savepoint image is running (a window
    // effect, a transition): the image is built before it is handled.
    KeepSavepoint();
    LastMessage = message;
    if (message != WM_TIMER && CustomCursorSet) {
        int x, y;
        PlatCursorPos(&x, &y);
        PlatUseCustomCursor(x > 0 && y > 0 && x < ScreenWidth && y < ScreenHeight);
    }
    if (message == WM_KEYDOWN && ButtonGetFunction && (wparam & 0xFF) == VK_F10) return 0;
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE: {
        int dw, dh;
        PlatDesktopSize(&dw, &dh);
        if (wparam == SIZE_RESTORED && FullScreen == 1 && dw > ScreenWidth) {
            FullScreen = 0;
            PlatPostMessage(WM_COMMAND, CmdFullScreen, 0);
        }
        return 0;
    }
    case WM_DISPLAYCHANGE:
        // Another desktop size: a window (not full screen) is centred on it again.
        if (!DisplayChanging && FullScreen != 1 && PointParamX(lparam) > ScreenWidth) {
            RecentreWindow(ScreenWidth, ScreenHeight);
            PaintWindow(nullptr);
        }
        return 0;
    case WM_KEYUP:
        if (ButtonGetFunction && (wparam & 0xFF) == VK_F10) return 1;
        KeyUp(wparam);
        return 0;
    case WM_CHAR:
        Character((int)(wparam & 0xFFFF));
        return 0;
    case WM_COMMAND:
        if ((wparam & 0xFFFF) == 1) {
            LastX = (int32_t)((wparam >> 16) & 0xFFFF);  // the text field's notification
            return 0;
        }
        MenuCommand((uint32_t)(wparam & 0xFFFF));
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(lparam);
        return 0;
    case WM_LBUTTONDOWN:
        RecordPosition(lparam);
        return 0;
    case WM_RBUTTONDOWN:
        LastX = MouseX = PointParamX(lparam);
        LastY = MouseY = PointParamY(lparam);
        RightPressSeen = 1;
        return 0;
    case WM_LBUTTONUP:
        if (SwallowedRelease()) return 0;
        Clicked = 1;
        StopMciVoiceAtClick();
        StoreTrapValue(1);
        RecordPosition(lparam);
        return 0;
    case WM_RBUTTONUP:
        if (SwallowedRelease()) return 0;
        RightClicked = 1;
        StoreTrapValue(-1);
        RecordPosition(lparam);
        return 0;
    case WM_MBUTTONUP:
        if (SwallowedRelease()) return 0;
        MiddleClicked = 1;
        StoreTrapValue(-1);
        RecordPosition(lparam);
        return 0;
    case WM_MOUSEWHEEL:
        LastX = WheelDelta = (int16_t)((wparam >> 16) & 0xFFFF);
        return 0;
    case WM_TIMER:
        if (wparam == MovieTimerId) ShowDueMoviePictures();
        else TimerTick();
        return 0;
    case MM_MCINOTIFY:
        CdPlayNotice(wparam, lparam);
        return 0;
    case WM_CLOSE:
        return Close(wparam);
    case WM_DESTROY:
        DestroyMainWindow();
    default:
        return 0;
    }
}
