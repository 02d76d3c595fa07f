// platform.cpp - start-up and exit of the platform layer, and the device
// calls, which go to the backend PlatInit chose.
#include <unistd.h>

#include "platform/common/backend.h"
#include "platform/common/menubar.h"

enum { AtExitLimit = 64 };

const PlatBackend* Backend = &HeadlessBackend;

static bool Initialised;
static void (*ExitHook)(int code);
static void (*AtExitList[AtExitLimit])();
static int AtExitCount;
static bool Failed;

void RemovePlatTempDir();  // files.cpp

bool PlatInit(const PlatOptions& opt) {
    const PlatBackend* want = opt.headless ? &HeadlessBackend : &SdlBackend;
    // The headless backend starts afresh each time (tests call this once per
    // case); a second start of the display backend is a no-op.
    if (Initialised && Backend == want && want == &SdlBackend) return true;
    if (Initialised && Backend != want) Backend->shutdown();
    Initialised = false;
    Backend = &HeadlessBackend;
    if (!want->init(opt)) return false;
    Backend = want;
    Initialised = true;
    InstallSignalHandlers();  // after the backend's start, which may set its own
    return true;
}

bool PlatIsHeadless() { return Backend == &HeadlessBackend; }

void PlatResetForTests() {
    QueueReset();
    MenuBarReset();
    ResetSignalsForTests();
    Failed = false;
    AtExitCount = 0;
    PlatClearOverlay();
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
}

void PlatSetExitHook(void (*hook)(int code)) { ExitHook = hook; }

void PlatAtExit(void (*fn)()) {
    if (fn && AtExitCount < AtExitLimit) AtExitList[AtExitCount++] = fn;
}

void PlatMarkFailure() { Failed = true; }

void PlatExit(int code) {
    // The orderly end's 0 becomes 128 + the signal's number after a close
    // asked by a signal, or 1 after a reported fault.
    if (code == 0) code = SignalExitStatus() ? SignalExitStatus() : Failed ? 1 : 0;
    Failed = false;  // spent by this exit (a test's exit hook may go on)
    // Each routine leaves the list before it runs, so that an exit from
    // inside one goes on with the rest and none runs twice.
    while (AtExitCount > 0) AtExitList[--AtExitCount]();
    Backend->before_exit();
    if (ExitHook) ExitHook(code);
    Backend->shutdown();
    RemovePlatTempDir();
    fflush(nullptr);
    _exit(code & 0xFF);
}

void PlatStatementBatchRan() {
    if (PlatIsHeadless()) Backend->sleep(1);
    if (PlatSignalPending) PlatDeliverSignal();
}

// ---- device calls ----------------------------------------------------------------

void PlatCreateWindow(int client_w, int client_h) { Backend->create_window(client_w, client_h); }
void PlatDesktopSize(int* w, int* h) { Backend->desktop_size(w, h); }
int PlatDisplayBitsPerPixel() { return Backend->bits_per_pixel(); }
void PlatMoveWindow(int left, int top, int client_w, int client_h) {
    Backend->move_window(left, top, client_w, client_h);
}
void PlatShowWindow(bool show) { Backend->show_window(show); }
void PlatMinimizeWindow() { Backend->minimize_window(); }
bool PlatIsForeground() { return Backend->is_foreground(); }
void PlatSetCaption(const char* cp932) { Backend->set_caption(cp932 ? cp932 : ""); }
void PlatSetFullScreen(bool on) {
    MenuBarClose();  // an open menu does not survive the switch
    Backend->set_full_screen(on);
}
bool PlatIsFullScreen() { return Backend->is_full_screen(); }
void PlatPresent(const uint8_t* bits, int w, int h) {
    if (!bits || w <= 0 || h <= 0) return;
    Backend->present(MirrorPresented(bits, w, h, 0, 0, w - 1, h - 1), w, h);
}

uint32_t PlatTicks() { return Backend->ticks(); }
void PlatSleep(uint32_t ms) { Backend->sleep(ms); }
bool PlatKeyDown(int vk) { return vk > 0 && vk < 256 && !MenuBarHolds(vk) && Backend->key_down(vk); }
bool PlatCtrlHeldAnywhere() { return Backend->ctrl_held_anywhere(); }
void PlatCursorPos(int* x, int* y) {
    int cx = 0, cy = 0;
    Backend->cursor_pos(&cx, &cy);
    if (x) *x = cx;
    if (y) *y = cy;
}
void PlatShowCursor(bool show) { Backend->show_cursor(show); }
// The move reaches the window at exactly x, y, also where the desktop does
// not let the pointer be moved.
void PlatWarpCursor(int x, int y) {
    Backend->warp_cursor(x, y);
    PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(x, y));
}
bool PlatClickWaitsAnswered() { return Backend->click_waits(); }

int DefaultBoxAnswer(uint32_t flags) { return (flags & 0xF) == MB_YESNO ? IDYES : IDOK; }

int PlatMessageBox(const char* text, const char* caption, uint32_t flags, bool owned) {
    MenuBarModal modal;
    return Backend->message_box(text ? text : "", caption ? caption : "", flags, owned);
}

void PlatMenuKey(int vk) { MenuBarKeyReleased(vk); }
bool PlatMenuOpen() { return MenuBarNow().active; }

bool PlatOpenAudio(PlatAudioFill fill, void* user) {
    return fill && Backend->open_audio(fill, user);
}
void PlatCloseAudio() { Backend->close_audio(); }
void PlatLockAudio() { Backend->lock_audio(); }
void PlatUnlockAudio() { Backend->unlock_audio(); }
void PlatPauseAudio(bool pause) { Backend->pause_audio(pause); }
