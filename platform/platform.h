// platform.h - the one interface between the engine and the machine.
//
// Window, message queue, clock, input state, message boxes, files, text
// conversion, single instance, libraries and the audio device.  Two backends
// implement the device half of it (platform/sdl, platform/headless); the
// queue, resolver, text conversion and library loading are shared code in
// platform/common.  Texts handed in and out are CP932 (Shift-JIS) bytes
// unless a name says Utf8.
#pragma once
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/messages.h"

// ---- start-up and backends -------------------------------------------------

struct PlatOptions {
    bool headless = false;
    std::string events_file;   // headless: "TIME_MS EVENT ARGS" lines
    bool click_waits = false;  // headless: every click wait is answered at once
    int64_t max_ms = -1;       // headless: end the run after this much virtual time
    std::string frame_out;     // headless: last presented frame written as BMP at exit
};

// Chooses and starts a backend.  false (with a line on stderr) when the SDL
// backend cannot open a display.  Until then the headless backend answers.
// Starting the headless backend again starts it afresh (clock, input, boxes);
// a bad events file ends the process with status 2.
bool PlatInit(const PlatOptions& opt);
bool PlatIsHeadless();
// Ends the process with `code` (status code & 255) after the at-exit
// routines, each run once, and after the headless frame is written.  Tests
// may replace the final step with PlatSetExitHook (for example to throw); the
// hook's process keeps its temporary folder.
[[noreturn]] void PlatExit(int code);
// A fatal fault was reported: from now on PlatExit(0) ends with status 1.
void PlatMarkFailure();
void PlatSetExitHook(void (*hook)(int code));
// Registers a routine for the process's exit list (run in reverse order).
void PlatAtExit(void (*fn)());
// Set by the first SIGINT, SIGTERM or SIGHUP.  PlatDeliverSignal sends it
// to the window procedure once, as WM_CLOSE with wparam 1 (closed by a
// signal: no question), or ends the process when there is no window yet;
// PlatGetMessage does so by itself.  After it PlatExit(0) ends with status
// 128 + the signal's number.  A second signal ends the process at once.
extern volatile sig_atomic_t PlatSignalPending;
void PlatDeliverSignal();
// The interpreter ran PlatStatementBatch statements: headless virtual time
// moves 1 ms (so --max-ms bounds a script that never waits) and a pending
// signal is delivered.
enum { PlatStatementBatch = 10000 };
void PlatStatementBatchRan();
// Tests: forgets the queue, timers, accelerators, window procedure, the
// exit list and a pending signal, and starts the headless backend afresh.
// The exit hook stays.
void PlatResetForTests();

// ---- window ------------------------------------------------------------------

void PlatCreateWindow(int client_w, int client_h);  // created hidden
void PlatDesktopSize(int* w, int* h);
int PlatDisplayBitsPerPixel();
// Moves the window so that its client area is the given rectangle.
void PlatMoveWindow(int left, int top, int client_w, int client_h);
void PlatShowWindow(bool show);
void PlatMinimizeWindow();
// The window has the keyboard focus (always so headless).
bool PlatIsForeground();
void PlatSetCaption(const char* cp932);
void PlatSetFullScreen(bool on);
bool PlatIsFullScreen();
// Presents a 24-bit bottom-up BGR picture with rows padded to 4 bytes,
// scaled to the window (keeping its proportions, with black bars around).
void PlatPresent(const uint8_t* bits, int w, int h);
// The same for the rectangle left..right, top..bottom (inclusive, top-down
// picture coordinates, clamped to the picture) of a picture whose other
// pixels were presented before.  The SDL backend uploads only rows that
// changed and coalesces presents: one copy to the display at most every
// 8 ms, the last one flushed when the queue is found empty and before any
// sleep.
void PlatPresentRect(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom);
// A picture kept over a rectangle of the window, as a child window would be
// (a movie playing over the screen): presents that rectangle of `bits` (a
// w x h picture as above) and keeps its pixels over the same rectangle of
// every picture of that size presented after, until the next overlay or
// PlatClearOverlay.  Clearing leaves the window as it is until repainted.
void PlatPresentOverlay(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom);
void PlatClearOverlay();
// What the window shows: copies the pictures presented so far (the last whole
// one with the rectangles presented after it) into a w x h picture of the
// same layout; false, leaving it as it was, when no picture of that size was
// presented.
bool PlatReadWindow(uint8_t* bits, int w, int h);
// A cursor picture: 32-bit ARGB pixels (alpha 0 transparent), top-down, with
// its hot spot; null pixels forget it.  false when it cannot be made.
bool PlatSetCustomCursor(const uint32_t* argb, int w, int h, int hot_x, int hot_y);
// Shows that picture (on) or the standard arrow (off) as the pointer.
void PlatUseCustomCursor(bool on);

// ---- messages ----------------------------------------------------------------

struct PlatMsg {
    uint32_t message = 0;
    uintptr_t wparam = 0;
    intptr_t lparam = 0;
};
typedef intptr_t (*PlatWndProc)(uint32_t message, uintptr_t wparam, intptr_t lparam);

void PlatSetWindowProc(PlatWndProc proc);
void PlatPostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam);
intptr_t PlatSendMessage(uint32_t message, uintptr_t wparam, intptr_t lparam);
// Takes the first pending message of this kind off the queue.
bool PlatPeekRemove(uint32_t message, PlatMsg* out);
void PlatRemoveAll(uint32_t message);
// Takes one message (device events first brought into the queue, then due
// timers); false when there was none.
bool PlatGetMessage(PlatMsg* out);
// Timers post WM_TIMER with wparam = id every period_ms while set.  Like
// window timers, a due timer gives one WM_TIMER only when no other message
// waits, and counts its next period from then; periods below 10 ms are 10 ms.
// Setting a timer that is set already restarts it with the new period.
void PlatSetTimer(uint32_t id, uint32_t period_ms);
void PlatKillTimer(uint32_t id);

// One message: translated and dispatched to the window procedure; false when
// none was there.  A WM_KEYDOWN that is an accelerator (with Shift, Ctrl and
// Alt as the key messages taken so far left them) is sent as WM_COMMAND with wparam = the
// command number instead; one that gives a character (letters by Shift, Ctrl
// + letter the control code, digits, space, Enter 13, Esc 27, Tab 9,
// Backspace 8; nothing with Alt) is dispatched and followed by that WM_CHAR.
bool PumpMessage();
// The same, sleeping 5 ms when the queue was empty.
bool PumpMessageOrSleep();
// Blocks until input or a window event comes, a message is posted, a
// timer is due (unless `timers` is false: a timer then fires when the wait
// has ended) or PlatTicks reaches `deadline` (compared by difference, so at
// most 2^31 ms ahead); at once when a message waits already.  Takes nothing
// off the queue.  What was presented reaches the screen first.  Headless
// nothing waits for real: the virtual clock moves to the deadline (or to
// the due timer or the next event of the events file, when earlier).
void PlatWaitEvent(uint32_t deadline, bool timers = true);
// Accelerator table: key (VK_ code, with modifier bits) to command number
// (at most 64 entries).
void PlatSetAccelerators(const uint32_t* keys, const uint16_t* commands, int count);

// ---- clock and input state ------------------------------------------------------

// Milliseconds since the system started, wrapping at 2^32.  Headless:
// virtual time that moves by the sleeps and waits, by 1 ms for each
// PlatGetMessage that finds nothing, by 1 ms for each frame or rectangle
// presented and by 1 ms for each PlatStatementBatch statements run.
uint32_t PlatTicks();
void PlatSleep(uint32_t ms);
bool PlatKeyDown(int vk);  // asynchronous state; VK_LBUTTON etc. for buttons
// A Ctrl key is held, whatever window has the keyboard (asked of the X
// server); where the desktop does not tell (Wayland), as PlatKeyDown.
bool PlatCtrlHeldAnywhere();
void PlatCursorPos(int* x, int* y);  // in client coordinates
void PlatShowCursor(bool show);      // the pointer over the window
// Moves the pointer onto client pixel x, y and posts WM_MOUSEMOVE there.
// Until the player moves the pointer, PlatCursorPos and the window's mouse
// messages give exactly x, y (whatever the scale, and also where the
// desktop cannot move the pointer).
void PlatWarpCursor(int x, int y);
// Headless: true when every click wait is to be answered at once.
bool PlatClickWaitsAnswered();
// The first game controller: the ten values of getjoypad, all 0 without one
// (always so headless).
//   0, 1  left stick x, y (-32768..32767, y positive down)
//   2, 3  right stick x, y
//   4, 5  left and right trigger (0..32767)
//   6     buttons, bit n = button n: 0 A, 1 B, 2 X, 3 Y, 4 back, 5 guide,
//         6 start, 7 left stick, 8 right stick, 9 left shoulder,
//         10 right shoulder, 11 up, 12 down, 13 left, 14 right
//   7, 8  the pad's direction x, y (-1, 0 or 1; y positive down)
//   9     1 while a controller is connected
enum { JoypadValueCount = 10 };
void PlatReadJoypad(int32_t out[JoypadValueCount]);

// ---- message boxes -----------------------------------------------------------------

// flags: MB_OK, MB_OKCANCEL, MB_YESNO | MB_ICON*; owned: the main window owns it.
// Returns IDOK, IDCANCEL, IDYES or IDNO.
int PlatMessageBox(const char* text, const char* caption, uint32_t flags, bool owned);

// ---- window menu and modal dialogs ---------------------------------------------------
//
// The engine owns the menu tree and hands the platform a flat copy of it to
// draw; a click on an item posts WM_COMMAND with its number.  While the
// menu is open (menu mode) the keys and clicks it takes never reach the
// window procedure; it closes when the window loses the focus, at a switch
// to or from full screen and when a dialog opens.  Dialogs are modal: while
// one is open the window gets no input and the menu cannot be used, but
// posted messages, timers and painting go on (the dialog pumps the queue).
// A key or button pressed while a dialog or message box is open is its
// own, as the menu's are: PlatKeyDown reads it as up until it is let go,
// and its release never reaches the window procedure, also when it comes
// after the box has closed.  Headless runs take the answers from the events file
// (platform/headless/headless.h).

// One entry of the menu bar, in tree order: a submenu (command 0) is
// followed by its entries one level deeper.
struct PlatMenuEntry {
    std::string caption;  // CP932
    uint32_t command = 0; // the WM_COMMAND number; 0 for a submenu
    int depth = 0;        // 0 for the entries of the bar itself
    bool checked = false;
};
// Replaces the menu bar.  While `attached` the bar sits above the client
// area (the window is taller by the bar; client coordinates and size stay);
// in full screen it shows as an overlay at the top edge.
void PlatSetMenu(const std::vector<PlatMenuEntry>& entries, bool attached);
// The default handling of a released key: Alt released with no other key
// pressed since it went down, or F10, puts the menu in menu mode with the
// first entry of the bar highlighted (or ends menu mode).  Arrows move in
// it, Enter opens a submenu or chooses an item, Esc closes a level.
void PlatMenuKey(int vk);
// The menu is in menu mode.
bool PlatMenuOpen();

// Pixel sizes of the input dialog; 0 keeps the dialog's own.
struct PlatDialogSize {
    int dialog_w = 0, dialog_h = 0, edit_w = 0, edit_h = 0;
};
// The input dialog: a prompt, an edit field holding *text (CP932) and a
// button labelled `button`.  IDOK with the field's content in *text (at
// most limit bytes, cut on a character boundary), or IDCANCEL for Esc or
// the close box (*text as it was).  Without `can_cancel` Esc and the close
// box do nothing: the dialog stays with what was typed.
int PlatInputDialog(const char* caption, const char* prompt, const char* button, std::string* text,
                    int limit, const PlatDialogSize* size, bool can_cancel);

// A slider of a slider dialog.  Vertical sliders have `min` at the top.
struct PlatSlider {
    const char* label = "";       // CP932: above (vertical) or before the slider
    const char* min_label = "";   // at the `min` end
    const char* max_label = "";   // at the `max` end
    int min = 0, max = 100, value = 0;
    bool vertical = false, disabled = false;
};
// A dialog of sliders without buttons; it runs until closed (Esc or the
// close box), the final positions in sliders[i].value.  `moved` (may be
// null) is called with all of them after each movement.  width > 0 narrows
// the dialog to that many pixels.
void PlatSliderDialog(const char* caption, PlatSlider* sliders, int count, int width,
                      void (*moved)(const PlatSlider* sliders, int count, void* user), void* user);

// A list with OK and Cancel (a drop-down list with drop_down): the index of
// the entry chosen with OK (or a double click), -1 for Cancel, Esc or the
// close box.  `selected` is selected at first (-1 none).
int PlatListDialog(const char* caption, const char* const* items, int count, int selected,
                   const char* ok_label, const char* cancel_label, bool drop_down);
// A drop-down list whose text can also be typed (CP932, at most `limit`
// bytes), with OK and Cancel: the index of the entry chosen (or typed), or
// `count` when a text that is no entry was typed (then in *text); -1 for
// Cancel, Esc or the close box.  `selected` is shown at first; with -1 the
// field starts with *text.
int PlatComboDialog(const char* caption, const char* const* items, int count, int selected,
                    std::string* text, int limit, const char* ok_label, const char* cancel_label);

// The edit field on the game picture (one at a time): a client rectangle,
// a font cell size and the starting text (CP932, at most 255 bytes).  It
// has the keyboard; Tab, Enter and Esc are not typed but reported by
// PlatTextFieldKey.  SDL text input (with the input method) runs while it
// is open.
void PlatTextFieldOpen(int left, int top, int width, int height, int font_w, int font_h, const char* text);
std::string PlatTextFieldText();  // CP932
void PlatTextFieldSetText(const char* cp932);
void PlatTextFieldFocus();
// VK_TAB, VK_RETURN or VK_ESCAPE pressed in the field since the last call,
// 0 for none (the earliest first).
int PlatTextFieldKey();
void PlatTextFieldClose();

// ---- the debug window ------------------------------------------------------------------
//
// A window of its own beside the game's (not modal): a multi-line text,
// kept scrolled to its end, above a check box.  `changed` is called on the
// user-interface thread, inside a pump, when the player ticks or clears the
// box (open true) or closes the window (open false: it is gone).  Headless,
// the events debugstep and debugclose stand for the player.

void PlatDebugWindowOpen(int left, int top, const char* caption, const char* check_label,
                         void (*changed)(bool open, bool checked));
void PlatDebugWindowText(const char* cp932);
void PlatDebugWindowClose();
// The top-left corner of the game's window on the desktop, its frame and
// menu bar included.
void PlatWindowPosition(int* left, int* top);

// ---- clipboard -------------------------------------------------------------------------

// Puts a CP932 text on the desktop's clipboard, converted to UTF-8.
// Headless: kept for HeadlessClipboard.
void PlatSetClipboardText(const char* cp932);

// ---- files ---------------------------------------------------------------------------

// The real path of a CP932 name: '\' becomes '/', the name is converted to
// UTF-8 and each component is matched case-insensitively when the exact name
// does not exist.  A name that cannot be found comes back converted only.
std::string PlatResolve(const char* cp932);
bool PlatExists(const char* cp932);  // a regular file or folder
// mode as fopen's; a plain read ("r", "rt") is a text-mode read as below.
FILE* PlatOpen(const char* cp932, const char* mode);
// Size of a file in bytes, -1 when it does not exist.
long long PlatFileSize(const char* cp932);
// Whole file; text mode ends it at a Ctrl-Z (0x1A) and drops the CR of CR LF.
// false when it cannot be read.
bool PlatReadFile(const char* cp932, bool text_mode, std::vector<uint8_t>* out);
// Cuts at the first Ctrl-Z and drops each CR that an LF follows, in place.
void PlatTextModeFilter(std::vector<uint8_t>* bytes);
// A private folder under $TMPDIR (or /tmp), made at the first call and
// removed with its contents when the process ends, also by a signal.  Its
// name holds the process id and it holds a locked ".lock" file, so that the
// first call also removes the folders of copies no longer running.  UTF-8,
// no trailing '/'.
const std::string& PlatTempDir();
// The game folder (the current folder), UTF-8.
const std::string& PlatGameDir();
bool PlatSetGameDir(const char* utf8);
// Whether a script command may create, write or delete the file (or folder)
// of that CP932 name: its real place (name resolved as PlatResolve does,
// symlinks followed, "." and ".." taken) lies inside the game folder or the
// private temporary folder.  A drive name ("C:\...") lies outside.  A
// refusal is named in one line on standard error.  PlatOpen asks it for
// every mode that writes; reading is never refused.
bool PlatWriteAllowed(const char* cp932);

// ---- the debugger's channel ---------------------------------------------------------

// A text for a debugger watching the engine.  Written to standard error as
// it is when the environment variable ORVA_DEBUG_OUTPUT is set to anything
// but "" or "0" (read once); dropped otherwise.
void PlatDebugOutput(const char* text);

// ---- local time and other programs -----------------------------------------------

// The local date and time.  Headless: a fixed moment moved on by the virtual
// clock (HeadlessSetLocalTime, else ORVA_LOCALTIME="YYYY-MM-DD HH:MM:SS" from
// the environment), or the real clock when neither is given.
void PlatLocalTime(struct tm* out);
// Opens a file, folder or address (UTF-8) with the desktop's default
// application through xdg-open, without waiting for it; false when xdg-open
// could not be started.  Headless: recorded, not started (false).
bool PlatOpenWithDefault(const std::string& target);
// Starts a program without a shell: argv[0] is a path, or a name looked for
// in PATH (UTF-8).  A handle > 0, or 0 when it could not be started.
// Headless: recorded and not started (0) unless HeadlessAllowPrograms(true).
int PlatStartProgram(const std::vector<std::string>& argv);
// True once the program has ended (also for a handle that is not running).
bool PlatProgramEnded(int handle);
// Leaves a started program to run on alone; it is reaped when it ends.
void PlatReleaseProgram(int handle);

// ---- text -------------------------------------------------------------------------------

// A sequence that does not convert becomes '?'.
std::string Cp932ToUtf8(const std::string& cp932);
std::string Utf8ToCp932(const std::string& utf8);
// The length of the longest start of s[0..len) of at most `limit` bytes that
// ends on a character boundary (a lead byte 0x81-0x9F or 0xE0-0xFC takes the
// byte after it along).
size_t Cp932Cut(const char* s, size_t len, size_t limit);

// ---- single instance -------------------------------------------------------------------

// Takes the game folder's lock file ".orva.lock" (flock, kept for the life of
// the process); false when another copy holds it.
bool PlatAcquireInstanceLock();
void PlatReleaseInstanceLock();

// ---- libraries ---------------------------------------------------------------------------

// Loads a library by the name a script gives ("x.dll" is looked for as "x.so"
// in the same place, then as written).  Names resolve like file names and
// only existing files are opened (never the system's library search).  null
// on failure.
void* PlatLoadLibrary(const char* cp932);
void* PlatGetProc(void* lib, const char* entry);
void PlatFreeLibrary(void* lib);
// The optional CD libraries, loaded at their first use: libcdio (discs and
// disc images), and its CD-DA reader with paranoia (error correction on a
// drive).  false, with one line on standard error the first time, when they
// cannot be loaded; their functions must not be called then.
bool PlatHaveCdio();
bool PlatHaveCdParanoia();

// ---- audio -------------------------------------------------------------------------------

// The mixer callback fills interleaved 16-bit stereo frames at 44100 Hz, on
// the device's thread (buffers of at most 1024 frames); lock around the state
// it shares.  The desktop's own mixer levels are never touched.  Headless:
// the callback runs on the clock's thread as virtual time passes
// (platform/headless/headless.h).
typedef void (*PlatAudioFill)(int16_t* frames, int count, void* user);
bool PlatOpenAudio(PlatAudioFill fill, void* user);
void PlatCloseAudio();
// Locking lets a paused device go first (its thread waits holding the lock).
void PlatLockAudio();
void PlatUnlockAudio();
// Pausing rests the open device while nothing plays: its thread waits, with
// no wake-ups at all, before it asks the callback for the next buffer; the
// device stays open and resumes at once, without a reopen or a click.  Any
// thread may call it, the callback too.  Headless the virtual device renders
// on (no pause).
void PlatPauseAudio(bool pause);
