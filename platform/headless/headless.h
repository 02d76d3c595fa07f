// headless.h - the headless backend: a virtual clock, input from an events
// file, message boxes on stderr, the last presented frame in memory.  These
// are its hooks for tests and for the events-file parser.
//
// Events file: one event a line, `TIME_MS EVENT ARGS`, TIME_MS being virtual
// milliseconds since PlatInit; a line whose first non-blank character is '#'
// is a comment.  Events:
//   click X Y, rclick X Y, mclick X Y   button down and up at X,Y
//   move X Y                            pointer move
//   wheel N                             N notches (N > 0 away from the user)
//   key NAME                            key down and up (PumpMessage adds WM_CHAR)
//   keydown NAME, keyup NAME            one half of that, to hold a key
//   close                               WM_CLOSE
//   answer yes|no|ok|cancel             the answer of the next message box
//   input TEXT                          the answer of the next input dialog
//                                       (the rest of the line after one
//                                       blank, as written, UTF-8), or the
//                                       text of the open edit field
//   input-cancel                        Esc in the next input dialog (one
//                                       that cannot be cancelled stays)
//   slider N [N ...]                    the positions of the next slider
//                                       dialog's sliders, then it closes
//   list N | list cancel                entry N (from 0) of the next list
//                                       dialog with OK, or its Cancel
//   menu ID                             a click on the menu item ID
//                                       (WM_COMMAND ID)
//   menudump FILE                       the menu bar written to FILE (UTF-8)
//   debugstep on|off                    ticks or clears the debug window's
//                                       check box (step execution)
//   debugclose                          closes the debug window
//   debugdump FILE                      the debug window's text written to
//                                       FILE (UTF-8)
// Key names: a letter or digit, enter, escape, space, tab, backspace, up,
// down, left, right, pageup, pagedown, home, end, insert, delete, shift,
// ctrl, alt, f1 .. f12 (any case).  Events are posted when the clock reaches
// their time; a wheel event posts one WM_MOUSEWHEEL a notch.  Key and button
// state and the pointer position follow the messages as the program takes
// them, so a button is down between taking its down and its up message.
// A dialog or message box takes the first answer of its kind that is due;
// with none due it waits, moving the clock, for the next one of its kind
// still to come, and the clicks, keys, moves and wheel turns that come due
// meanwhile are dropped (only the pointer and the held keys follow them).
// With no answer left a message box takes its default button, an input
// dialog holding a default text takes Cancel (closing with the default;
// without one, or reopened after that, the run ends with status 1, as
// nobody could close it) and the other dialogs take Cancel.  While an edit
// field is open, key events for Tab, Enter and Esc go to the field.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

enum HeadlessEventKind {
    EvClick, EvRClick, EvMClick, EvMove, EvWheel, EvKey, EvKeyDown, EvKeyUp,
    EvClose, EvAnswer, EvMessage, EvInput, EvInputCancel, EvSlider, EvList, EvMenu,
    EvMenuDump, EvDebugStep, EvDebugClose, EvDebugDump, EvListText,
};

struct HeadlessEvent {
    uint64_t time = 0;  // virtual ms since PlatInit
    HeadlessEventKind kind = EvMessage;
    int x = 0, y = 0;   // click, move
    int n = 0;          // wheel: notches; keys: VK code; answer: IDOK ... IDNO; debugstep: 1 on
    PlatMsg msg;        // EvMessage: posted as it is
    std::string text;   // input, list-text: the answer (CP932); menudump, debugdump: the file
    std::vector<int> values;  // slider positions
};

// One line: 1 with the event in *ev, 0 for a blank or comment line, -1 for
// a bad line with the reason in *error.
int HeadlessParseEventLine(const char* line, HeadlessEvent* ev, std::string* error);
// A whole events text: false with "NAME:LINE: reason" in *error.
bool HeadlessParseEvents(const std::string& text, const char* name,
                         std::vector<HeadlessEvent>* out, std::string* error);
// The VK code of an events-file key name; 0 when there is no such key.
int HeadlessKeyCode(const char* name);

// Schedules an event (kept in time order, equal times in the order added).
void HeadlessAddEvent(const HeadlessEvent& ev);
// Schedules a message to be posted at `at_ms` virtual ms since PlatInit.
void HeadlessInjectAt(uint64_t at_ms, uint32_t message, uintptr_t wparam, intptr_t lparam);

// ---- message boxes ---------------------------------------------------------------

struct HeadlessBox {
    std::string caption;  // CP932, as passed
    std::string text;     // CP932, as passed
    uint32_t flags = 0;
    bool owned = false;
    int answer = 0;
};
const std::vector<HeadlessBox>& HeadlessBoxes();
void HeadlessClearBoxes();
// Queues the answer (IDOK, IDCANCEL, IDYES, IDNO) of the next message box.
void HeadlessQueueAnswer(int id);
// Message boxes are also printed on stderr unless turned off here.
void HeadlessEchoBoxes(bool on);

// ---- menu and dialogs -------------------------------------------------------------

struct HeadlessDialog {
    std::string kind;     // "input", "slider", "list"
    std::string caption;  // CP932
    std::string text;     // input: the prompt
    std::string answer;   // input: the text answered; slider: the positions; list: the index
};
const std::vector<HeadlessDialog>& HeadlessDialogs();
// Forgets the dialogs shown and the answers not yet taken.
void HeadlessClearDialogs();
// The menu bar last set and whether it is attached.
const std::vector<PlatMenuEntry>& HeadlessMenu();
bool HeadlessMenuAttached();
// The menu as text: one line an entry, indented two spaces a level,
// "CAPTION = ID" for items (" *" when checked), "CAPTION >" for submenus,
// "(detached)" first when not attached.  UTF-8.
std::string HeadlessMenuText();
// An edit field is open.
bool HeadlessTextFieldIsOpen();
// The text last put on the clipboard (UTF-8), "" before any.
const std::string& HeadlessClipboard();

struct HeadlessDebugWindowState {
    bool open = false, checked = false;
    int left = 0, top = 0;
    std::string caption, check_label, text;  // CP932
};
const HeadlessDebugWindowState& HeadlessDebugWindow();

// ---- clock ---------------------------------------------------------------------
// PlatTicks starts at 10000.  PlatSleep on the thread that called PlatInit
// moves the clock; on any other thread it sleeps for real and moves nothing.
// Each present (a whole frame or a rectangle) moves it by 1 ms.

void HeadlessAdvance(uint32_t ms);  // as PlatSleep
uint64_t HeadlessElapsed();         // virtual ms since PlatInit
void HeadlessSetTicks(uint32_t ticks);  // what PlatTicks reads now

// ---- audio -----------------------------------------------------------------------
// The open audio device is rendered as the clock moves: n ms after it opened,
// n * 44100 / 1000 frames have been asked of its callback, on the clock's
// thread.  The sound step (the sound thread's pass) runs after the sound of
// each millisecond when due; it returns the ms until its next pass.

void HeadlessSetSoundStep(uint32_t (*step)());  // null: none; runs at the next ms
// --audio-out: everything rendered goes to a 44100 Hz 16-bit stereo wave
// file, made when the device opens (an empty one at exit if it never did).
void HeadlessSetAudioOut(const char* path);
int64_t HeadlessAudioFrames();  // frames rendered; -1 with no device open

// The local time PlatLocalTime reports from now on, moving with the virtual
// clock; null returns to ORVA_LOCALTIME or the real clock.
void HeadlessSetLocalTime(const struct tm* t);

// ---- other programs ----------------------------------------------------------------
// Headless runs start no programs: each request is recorded ("open TARGET"
// or "run ARG0 ARG1 ...", UTF-8) and noted on stderr.  Tests may allow real
// starts of PlatStartProgram (xdg-open is never started headless).

const std::vector<std::string>& HeadlessLaunches();
void HeadlessClearLaunches();
void HeadlessAllowPrograms(bool on);

// ---- window and frame -------------------------------------------------------------

struct HeadlessWindowState {
    bool created = false, shown = false, minimized = false, full_screen = false;
    bool cursor_shown = true;
    int left = 0, top = 0, client_w = 0, client_h = 0;
    std::string caption;  // CP932
    // The cursor picture last set (0 x 0 when none) and whether it is the
    // pointer now rather than the arrow.
    int cursor_w = 0, cursor_h = 0, cursor_hot_x = 0, cursor_hot_y = 0;
    std::vector<uint32_t> cursor_argb;
    bool custom_cursor_used = false;
    int presents = 0;  // presents since the start (whole frames and rectangles)
};
const HeadlessWindowState& HeadlessWindow();
// The desktop becomes w x h (1920 x 1080 at the start): WM_DISPLAYCHANGE is
// posted.
void HeadlessSetDesktopSize(int w, int h);

// The last presented frame (bottom-up BGR rows, stride (w*3+3)&~3); false
// when nothing was presented.
bool HeadlessLastFrame(const uint8_t** bits, int* w, int* h);
// Writes a 24-bit bottom-up picture as a BMP file; false when it cannot.
bool WriteBmp24(const char* path, const uint8_t* bits, int w, int h);
