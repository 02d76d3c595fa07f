// headless.cpp - the backend without a display.  Time is virtual: it starts
// at a fixed tick count and moves only when the program sleeps or waits,
// polls an empty queue (1 ms), presents a frame (1 ms) or has run a batch
// of statements (1 ms), so runs repeat exactly.  The audio device is rendered as that clock moves.  Input comes from the events
// file, message boxes go to stderr and are answered from queued answers, and
// the last presented frame can be written as a BMP file at exit.
#include <limits.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "platform/common/backend.h"
#include "platform/common/gui_backends.h"
#include "platform/common/menubar.h"
#include "platform/headless/headless.h"

enum : uint32_t { StartTicks = 10000 };
enum : int { ListTyped = -2 };  // a list answer that is a typed text

struct HeadlessState {
    PlatOptions opt;
    bool stopping = false;        // max_ms has been reached
    std::vector<HeadlessEvent> events;  // sorted by time from next_event on
    size_t next_event = 0;
    std::vector<int> answers;
    std::vector<HeadlessBox> boxes;
    bool echo_boxes = true;
    bool keys[256] = {};
    int cursor_x = 0, cursor_y = 0;
    HeadlessWindowState window;
    int desktop_w = 1920, desktop_h = 1080;
    std::vector<uint8_t> frame;
    int frame_w = 0, frame_h = 0;
    bool audio_open = false;
    // dialog answers by kind, in the order they came due
    std::vector<std::pair<bool, std::string>> inputs;  // cancel?, text
    std::vector<std::vector<int>> sliders;
    std::vector<int> lists;  // ListTyped: the next of list_texts
    std::vector<std::string> list_texts;
    std::vector<HeadlessDialog> dialogs;
    std::vector<PlatMenuEntry> menu;
    bool menu_attached = false;
    bool field_open = false;
    std::string field_text;
    std::vector<int> field_keys;
    bool modal = false;           // a dialog waits for its answer: player input is dropped
    bool input_defaulted = false; // an input dialog was cancelled for want of an answer
    std::string clipboard;  // UTF-8
    HeadlessDebugWindowState debug;
    void (*debug_changed)(bool, bool) = nullptr;
};

static HeadlessState H;
// The clock, read by any thread; only the thread that started the backend
// (the user-interface thread) moves it.
static std::atomic<uint64_t> Elapsed;             // virtual ms since init
static std::atomic<uint32_t> Base{StartTicks};    // PlatTicks() = Base + Elapsed
static std::thread::id UiThread = std::this_thread::get_id();

static std::recursive_mutex AudioMutex;

// The audio device, rendered as the clock moves.
enum : int { AudioRate = 44100 };
static PlatAudioFill AudioFill;     // set while the device is open
static void* AudioUser;
static uint64_t AudioOpenedAt;      // Elapsed when the device opened
static uint64_t AudioFrames;        // frames rendered since then
static uint32_t (*SoundStep)();     // the sound thread's pass
static uint64_t SoundStepDue;       // Elapsed when it runs next
static bool InSoundStep;
static std::string AudioOutPath;    // --audio-out
static FILE* AudioOut;
static uint64_t AudioOutBytes;

static uint64_t LastPresentAt = UINT64_MAX;  // Elapsed at the last present

static void Reset() {
    H = HeadlessState();
    LastPresentAt = UINT64_MAX;
    AudioFill = nullptr;
    SoundStep = nullptr;
    Elapsed = 0;
    Base = StartTicks;
    UiThread = std::this_thread::get_id();
}

// ---- audio: the mixer rendered as virtual time passes --------------------------------


static void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}

// The 44-byte header of a 44100 Hz 16-bit stereo wave of `bytes` data bytes.
static void WaveHeader(uint8_t* h, uint64_t bytes) {
    uint32_t n = bytes > 0xFFFFFFDBu ? 0xFFFFFFDBu : (uint32_t)bytes;
    memcpy(h, "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0", 24);
    PutLe32(h + 4, n + 36);
    PutLe32(h + 24, AudioRate);
    PutLe32(h + 28, AudioRate * 4);
    memcpy(h + 32, "\x04\0\x10\0data", 8);
    PutLe32(h + 40, n);
}

static void OpenAudioOut() {
    if (AudioOut || AudioOutPath.empty()) return;
    AudioOut = fopen(AudioOutPath.c_str(), "wb");
    if (!AudioOut) {
        fprintf(stderr, "orva: cannot write %s\n", AudioOutPath.c_str());
        AudioOutPath.clear();
        return;
    }
    uint8_t h[44];
    WaveHeader(h, 0);
    fwrite(h, 1, 44, AudioOut);
    AudioOutBytes = 0;
}

// Rewrites the header for the data so far; the file stays open.
static void FinishAudioOut() {
    if (!AudioOut) return;
    uint8_t h[44];
    WaveHeader(h, AudioOutBytes);
    fseek(AudioOut, 0, SEEK_SET);
    fwrite(h, 1, 44, AudioOut);
    fseek(AudioOut, 0, SEEK_END);
    fflush(AudioOut);
}

// Renders the frames due by virtual time `now` (frames are spread evenly:
// n ms after the device opened, n * 44100 / 1000 have been rendered).
static void RenderAudioTo(uint64_t now) {
    if (!AudioFill) return;
    uint64_t due = (now - AudioOpenedAt) * AudioRate / 1000;
    int16_t buf[1024 * 2];
    while (AudioFrames < due) {
        int n = due - AudioFrames < 1024 ? (int)(due - AudioFrames) : 1024;
        AudioFill(buf, n, AudioUser);
        AudioFrames += (uint64_t)n;
        if (AudioOut) {
            fwrite(buf, 4, (size_t)n, AudioOut);
            AudioOutBytes += (uint64_t)n * 4;
        }
    }
}

static void RunSoundStep() {
    if (!SoundStep || InSoundStep || Elapsed < SoundStepDue) return;
    InSoundStep = true;
    uint32_t wait = SoundStep();
    InSoundStep = false;
    SoundStepDue = Elapsed + (wait ? wait : 1);
}

static void Advance(uint64_t ms) {
    uint64_t now;
    if (!AudioFill && !SoundStep) {
        now = Elapsed += ms;
    } else {
        // One millisecond at a time: the sound of the millisecond just
        // passed, then the sound thread's pass when it is due, so ends, ducking steps and the loop
        // hand-over fall on the same virtual millisecond in every run.
        for (uint64_t i = 0; i < ms; i++) {
            now = ++Elapsed;
            RenderAudioTo(now);
            if (H.opt.max_ms >= 0 && now > (uint64_t)H.opt.max_ms) break;
            RunSoundStep();
        }
        now = Elapsed;
    }
    if (H.opt.max_ms >= 0 && now > (uint64_t)H.opt.max_ms && !H.stopping) {
        H.stopping = true;
        fprintf(stderr, "orva: stopped after %lld ms of virtual time\n", (long long)H.opt.max_ms);
        PlatExit(124);
    }
}

// ---- events ----------------------------------------------------------------------

void HeadlessAddEvent(const HeadlessEvent& ev) {
    // Keep the pending part sorted; equal times stay in the order added.
    auto at = std::upper_bound(H.events.begin() + (long)H.next_event, H.events.end(), ev,
                               [](const HeadlessEvent& a, const HeadlessEvent& b) { return a.time < b.time; });
    H.events.insert(at, ev);
}

void HeadlessInjectAt(uint64_t at_ms, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    HeadlessEvent ev;
    ev.time = at_ms;
    ev.kind = EvMessage;
    ev.msg.message = message;
    ev.msg.wparam = wparam;
    ev.msg.lparam = lparam;
    HeadlessAddEvent(ev);
}

// Mouse-message key flags (MK_*) for the state after the event.
static uintptr_t MouseFlags(int also_down) {
    uintptr_t f = 0;
    if (H.keys[VK_LBUTTON] || also_down == VK_LBUTTON) f |= 0x01;
    if (H.keys[VK_RBUTTON] || also_down == VK_RBUTTON) f |= 0x02;
    if (H.keys[VK_SHIFT]) f |= 0x04;
    if (H.keys[VK_CONTROL]) f |= 0x08;
    if (H.keys[VK_MBUTTON] || also_down == VK_MBUTTON) f |= 0x10;
    return f;
}

static std::string Absolute(const std::string& path);

static void WriteUtf8File(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "orva: cannot write %s\n", path.c_str());
        return;
    }
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// The player ticks the debug window's box or closes it.
static void DebugWindowEvent(bool close, bool checked) {
    if (!H.debug.open) return;
    if (close) H.debug.open = false;
    else H.debug.checked = checked;
    if (H.debug_changed) H.debug_changed(H.debug.open, H.debug.open && H.debug.checked);
}

// While a dialog waits for its answer the player's clicks and keys go to it,
// not to the game: they are dropped, the pointer and the held keys only
// following them.  A key pressed meanwhile is the dialog's, as in a window:
// it reads as up for the game and its release, also one after the dialog
// has closed, does not reach it.  true when `e` was such an event.
static bool DroppedByDialog(const HeadlessEvent& e) {
    if (!H.modal) return false;
    switch (e.kind) {
    case EvClick: case EvRClick: case EvMClick: case EvWheel: case EvKey:
        return true;
    case EvMove:
        H.cursor_x = e.x;
        H.cursor_y = e.y;
        return true;
    case EvKeyDown: case EvKeyUp:
        H.keys[e.n & 0xFF] = e.kind == EvKeyDown;
        if (e.kind == EvKeyDown) MenuBarTakePress(e.n & 0xFF);
        else MenuBarTakeRelease(e.n & 0xFF);
        return true;
    default:
        return false;
    }
}

static void Inject(const HeadlessEvent& e) {
    if (DroppedByDialog(e)) return;
    intptr_t pt = MakePointParam(e.x, e.y);
    switch (e.kind) {
    case EvClick:
        QueuePost(WM_LBUTTONDOWN, MouseFlags(VK_LBUTTON), pt);
        QueuePost(WM_LBUTTONUP, 0, pt);
        break;
    case EvRClick:
        QueuePost(WM_RBUTTONDOWN, MouseFlags(VK_RBUTTON), pt);
        QueuePost(WM_RBUTTONUP, 0, pt);
        break;
    case EvMClick:
        QueuePost(WM_MBUTTONDOWN, MouseFlags(VK_MBUTTON), pt);
        QueuePost(WM_MBUTTONUP, 0, pt);
        break;
    case EvMove:
        QueuePost(WM_MOUSEMOVE, MouseFlags(0), pt);
        break;
    case EvWheel: {
        // One message a notch, as a wheel mouse sends them.
        int16_t delta = e.n > 0 ? 120 : -120;
        int count = e.n > 0 ? e.n : -e.n;
        for (int i = 0; i < count; i++)
            QueuePost(WM_MOUSEWHEEL, ((uintptr_t)(uint16_t)delta << 16) | MouseFlags(0),
                      MakePointParam(H.cursor_x, H.cursor_y));
        break;
    }
    case EvKey:
        if (H.field_open && (e.n == VK_TAB || e.n == VK_RETURN || e.n == VK_ESCAPE)) {
            H.field_keys.push_back(e.n);
            break;
        }
        QueuePost(WM_KEYDOWN, (uintptr_t)e.n, 1);
        QueuePost(WM_KEYUP, (uintptr_t)e.n, (intptr_t)0xC0000001u);
        break;
    case EvKeyDown:
        QueuePost(WM_KEYDOWN, (uintptr_t)e.n, 1);
        break;
    case EvKeyUp:
        QueuePost(WM_KEYUP, (uintptr_t)e.n, (intptr_t)0xC0000001u);
        break;
    case EvClose:
        QueuePost(WM_CLOSE, 0, 0);
        break;
    case EvAnswer:
        H.answers.push_back(e.n);
        break;
    case EvMessage:
        QueuePost(e.msg.message, e.msg.wparam, e.msg.lparam);
        break;
    case EvInput:
        if (H.field_open) H.field_text = e.text.substr(0, 255);
        else H.inputs.push_back({false, e.text});
        break;
    case EvInputCancel:
        H.inputs.push_back({true, std::string()});
        break;
    case EvSlider:
        H.sliders.push_back(e.values);
        break;
    case EvList:
        H.lists.push_back(e.n);
        break;
    case EvListText:
        H.lists.push_back(ListTyped);
        H.list_texts.push_back(e.text);
        break;
    case EvMenu:
        QueuePost(WM_COMMAND, (uintptr_t)e.n, 0);
        break;
    case EvMenuDump:
        WriteUtf8File(e.text, HeadlessMenuText());
        break;
    case EvDebugDump:
        WriteUtf8File(e.text, Cp932ToUtf8(H.debug.text));
        break;
    case EvDebugStep:
        DebugWindowEvent(false, e.n != 0);
        break;
    case EvDebugClose:
        DebugWindowEvent(true, false);
        break;
    }
}

static void PumpEvents() {
    while (H.next_event < H.events.size() && H.events[H.next_event].time <= Elapsed)
        Inject(H.events[H.next_event++]);
    if (H.next_event == H.events.size() && H.next_event > 0) {
        H.events.clear();
        H.next_event = 0;
    }
}

// Input state changes when the program takes the message, so that a click
// injected as down and up at once is still seen pressed between the two.
static void OnTake(const PlatMsg& m) {
    switch (m.message) {
    case WM_LBUTTONDOWN: H.keys[VK_LBUTTON] = true; break;
    case WM_LBUTTONUP: H.keys[VK_LBUTTON] = false; break;
    case WM_RBUTTONDOWN: H.keys[VK_RBUTTON] = true; break;
    case WM_RBUTTONUP: H.keys[VK_RBUTTON] = false; break;
    case WM_MBUTTONDOWN: H.keys[VK_MBUTTON] = true; break;
    case WM_MBUTTONUP: H.keys[VK_MBUTTON] = false; break;
    case WM_KEYDOWN: H.keys[m.wparam & 0xFF] = true; return;
    case WM_KEYUP: H.keys[m.wparam & 0xFF] = false; return;
    case WM_MOUSEMOVE: break;
    default: return;
    }
    H.cursor_x = PointParamX(m.lparam);
    H.cursor_y = PointParamY(m.lparam);
}

// ---- start and exit ----------------------------------------------------------------

static std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char buf[PATH_MAX];
    if (!getcwd(buf, sizeof buf)) return path;
    return std::string(buf) + "/" + path;
}

static bool Init(const PlatOptions& opt) {
    Reset();
    H.opt = opt;
    // The game folder becomes the current folder later: fix the output now.
    H.opt.frame_out = Absolute(opt.frame_out);
    if (!opt.events_file.empty()) {
        std::ifstream f(opt.events_file, std::ios::binary);
        if (!f) {
            fprintf(stderr, "orva: cannot read the events file %s\n", opt.events_file.c_str());
            PlatExit(2);
        }
        std::stringstream text;
        text << f.rdbuf();
        std::string error;
        if (!HeadlessParseEvents(text.str(), opt.events_file.c_str(), &H.events, &error)) {
            H.events.clear();
            fprintf(stderr, "orva: %s\n", error.c_str());
            PlatExit(2);
        }
        for (HeadlessEvent& e : H.events)
            if (e.kind == EvMenuDump || e.kind == EvDebugDump) e.text = Absolute(e.text);
        std::stable_sort(H.events.begin(), H.events.end(),
                         [](const HeadlessEvent& a, const HeadlessEvent& b) { return a.time < b.time; });
    }
    return true;
}

static void BeforeExit() {
    if (!AudioOutPath.empty()) {
        OpenAudioOut();  // an empty wave when no sound device was opened
        FinishAudioOut();
    }
    if (H.opt.frame_out.empty()) return;
    if (H.frame.empty()) {
        fprintf(stderr, "orva: no frame was presented; %s not written\n", H.opt.frame_out.c_str());
    } else if (!WriteBmp24(H.opt.frame_out.c_str(), H.frame.data(), H.frame_w, H.frame_h)) {
        fprintf(stderr, "orva: cannot write %s\n", H.opt.frame_out.c_str());
    }
}

static void Shutdown() {}

// ---- window ------------------------------------------------------------------------

static void CreateWindow(int w, int h) {
    H.window.created = true;
    H.window.client_w = w;
    H.window.client_h = h;
    H.window.left = H.desktop_w / 2 - w / 2;
    H.window.top = H.desktop_h / 2 - h / 2;
}

static void DesktopSize(int* w, int* h) {
    *w = H.desktop_w;
    *h = H.desktop_h;
}

static int BitsPerPixel() { return 24; }

static void MoveWindow(int left, int top, int w, int h) {
    H.window.left = left;
    H.window.top = top;
    H.window.client_w = w;
    H.window.client_h = h;
}

static void ShowWindow(bool show) {
    H.window.shown = show;
    if (show) H.window.minimized = false;
}

static void MinimizeWindow() { H.window.minimized = true; }
static bool IsForeground() { return true; }
static void SetCaption(const char* cp932) { H.window.caption = cp932; }
static void SetFullScreen(bool on) { H.window.full_screen = on; }
static bool IsFullScreen() { return H.window.full_screen; }

// A frame shown takes a millisecond of virtual time, as drawing it takes
// real time in a window, unless the clock moved since the frame before
// (the program waited or polled meanwhile): so a loop that only draws
// until the clock reaches a time ends after a bounded number of passes,
// and loops that wait as they draw keep their pace.
enum : uint32_t { PresentMs = 1 };

static void PresentTakesTime() {
    if (std::this_thread::get_id() != UiThread) return;
    if (Elapsed == LastPresentAt) Advance(PresentMs);
    LastPresentAt = Elapsed;
}

static void Present(const uint8_t* bits, int w, int h) {
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    H.frame.assign(bits, bits + stride * (size_t)h);
    H.frame_w = w;
    H.frame_h = h;
    H.window.presents++;
    PresentTakesTime();
}

// The whole last frame is kept: a rectangle of a frame of the same size
// replaces its rows, anything else the whole frame.
static void PresentRect(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom) {
    if (H.frame.empty() || H.frame_w != w || H.frame_h != h) {
        Present(bits, w, h);
        return;
    }
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    for (int y = top; y <= bottom; y++) {
        size_t at = (size_t)(h - 1 - y) * stride + (size_t)left * 3;
        memcpy(H.frame.data() + at, bits + at, (size_t)(right - left + 1) * 3);
    }
    H.window.presents++;
    PresentTakesTime();
}

static bool SetCustomCursor(const uint32_t* argb, int w, int h, int hot_x, int hot_y) {
    H.window.cursor_argb.assign(argb, argb + (size_t)w * h);
    H.window.cursor_w = w;
    H.window.cursor_h = h;
    H.window.cursor_hot_x = hot_x;
    H.window.cursor_hot_y = hot_y;
    if (!argb) H.window.custom_cursor_used = false;
    return true;
}

static void UseCustomCursor(bool on) { H.window.custom_cursor_used = on && H.window.cursor_w > 0; }

static void ReadJoypad(int32_t*) {}  // no controllers: all zeros

// ---- clock and input ---------------------------------------------------------------

static void Idle() { Advance(1); }
static uint32_t Ticks() { return Base + (uint32_t)Elapsed; }

// Other threads (the sound thread) sleep for real and leave the clock alone,
// so that runs repeat whatever they do.
static void Sleep(uint32_t ms) {
    if (std::this_thread::get_id() == UiThread) Advance(ms);
    else std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
// A blocked wait: the clock moves to the deadline, or to the next event of
// the events file when that comes first.
static void WaitEvent(uint32_t deadline, bool) {
    if (std::this_thread::get_id() != UiThread) return;
    int32_t left = (int32_t)(deadline - Ticks());
    if (left <= 0) return;
    uint64_t to = Elapsed + (uint64_t)left;
    if (H.next_event < H.events.size() && H.events[H.next_event].time < to)
        to = std::max<uint64_t>(H.events[H.next_event].time, Elapsed);
    Advance(to - Elapsed);
}
static void Wake() {}
static bool KeyDown(int vk) { return H.keys[vk & 0xFF]; }
static bool KeyHeldCtrl() { return KeyDown(VK_CONTROL); }

static void CursorPos(int* x, int* y) {
    *x = H.cursor_x;
    *y = H.cursor_y;
}

static void ShowCursor(bool show) { H.window.cursor_shown = show; }

static void WarpCursor(int x, int y) {
    H.cursor_x = x;
    H.cursor_y = y;
}

static bool ClickWaits() { return H.opt.click_waits; }

// ---- message boxes -----------------------------------------------------------------

// A queued answer fitted to the box's buttons (yes and ok, no and cancel
// stand for each other; an OK box has only OK).
static int FitAnswer(int answer, uint32_t flags) {
    switch (flags & 0xF) {
    case MB_YESNO: return answer == IDNO || answer == IDCANCEL ? IDNO : IDYES;
    case MB_OKCANCEL: return answer == IDNO || answer == IDCANCEL ? IDCANCEL : IDOK;
    default: return IDOK;
    }
}

static std::string Escaped(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

template <class Queue>
static bool WaitForAnswer(const Queue& q, HeadlessEventKind kind, HeadlessEventKind also);

static int MessageBox(const char* text, const char* caption, uint32_t flags, bool owned) {
    int answer = DefaultBoxAnswer(flags);
    if (WaitForAnswer(H.answers, EvAnswer, EvAnswer)) {
        answer = FitAnswer(H.answers.front(), flags);
        H.answers.erase(H.answers.begin());
    }
    if (H.echo_boxes)
        fprintf(stderr, "%s: %s\n", Cp932ToUtf8(caption).c_str(), Escaped(Cp932ToUtf8(text)).c_str());
    HeadlessBox box;
    box.caption = caption;
    box.text = text;
    box.flags = flags;
    box.owned = owned;
    box.answer = answer;
    H.boxes.push_back(box);
    return answer;
}

// ---- audio device ---------------------------------------------------------------------

static bool OpenAudio(PlatAudioFill fill, void* user) {
    if (H.audio_open) return true;
    H.audio_open = true;
    AudioFill = fill;
    AudioUser = user;
    AudioOpenedAt = Elapsed;
    AudioFrames = 0;
    OpenAudioOut();
    return true;
}
static void CloseAudio() {
    H.audio_open = false;
    AudioFill = nullptr;
    FinishAudioOut();
}
static void LockAudio() { AudioMutex.lock(); }
// The virtual device renders on: its frames keep to the clock.
static void PauseAudio(bool) {}
static void UnlockAudio() { AudioMutex.unlock(); }

const PlatBackend HeadlessBackend = {
    "headless", Init, Shutdown, BeforeExit,
    CreateWindow, DesktopSize, BitsPerPixel, MoveWindow, ShowWindow, MinimizeWindow,
    IsForeground, SetCaption, SetFullScreen, IsFullScreen, Present,
    PumpEvents, Idle, OnTake, Ticks, Sleep,
    KeyDown, CursorPos, ShowCursor, WarpCursor, ClickWaits,
    MessageBox,
    OpenAudio, CloseAudio, LockAudio, UnlockAudio, PauseAudio,
    PresentRect, SetCustomCursor, UseCustomCursor, ReadJoypad,
    WaitEvent, Wake, KeyHeldCtrl,
};

// ---- test hooks ------------------------------------------------------------------------

// ---- menu and dialogs --------------------------------------------------------------

void HeadlessSetMenu(const std::vector<PlatMenuEntry>& entries, bool attached) {
    H.menu = entries;
    H.menu_attached = attached;
}

const std::vector<PlatMenuEntry>& HeadlessMenu() { return H.menu; }
bool HeadlessMenuAttached() { return H.menu_attached; }

std::string HeadlessMenuText() {
    std::string t = H.menu_attached ? "" : "(detached)\n";
    for (const PlatMenuEntry& e : H.menu) {
        t += std::string((size_t)(e.depth > 0 ? e.depth : 0) * 2, ' ') + Cp932ToUtf8(e.caption);
        t += e.command ? " = " + std::to_string(e.command) + (e.checked ? " *" : "") : std::string(" >");
        t += "\n";
    }
    return t;
}

// An answer of this kind is still to come.
static bool AnswerToCome(HeadlessEventKind kind, HeadlessEventKind also) {
    for (size_t i = H.next_event; i < H.events.size(); i++)
        if (H.events[i].kind == kind || H.events[i].kind == also) return true;
    return false;
}

// Waits for an answer of its kind (an event `kind` or `also`) as a dialog's
// own loop would, the clock moving to the next event a pass; what comes due
// meanwhile is posted, but for the player's input, which the dialog keeps from the game.
// false when none is due and none is to come.
template <class Queue>
static bool WaitForAnswer(const Queue& q, HeadlessEventKind kind, HeadlessEventKind also) {
    PumpEvents();  // due before the dialog opened
    H.modal = true;
    while (q.empty() && AnswerToCome(kind, also)) {
        uint64_t at = H.events[H.next_event].time;
        Advance(at > Elapsed ? at - Elapsed : 1);
        PumpEvents();
    }
    H.modal = false;
    return !q.empty();
}

static void NoteDialog(const char* kind, const char* caption, const std::string& text, const std::string& answer) {
    HeadlessDialog d;
    d.kind = kind;
    d.caption = caption ? caption : "";
    d.text = text;
    d.answer = answer;
    H.dialogs.push_back(d);
    if (H.echo_boxes)
        fprintf(stderr, "orva: %s dialog \"%s\" answered %s\n", kind, Cp932ToUtf8(d.caption).c_str(),
                Cp932ToUtf8(answer).c_str());
}

int HeadlessInputDialog(const char* caption, const char* prompt, std::string* text, int limit, bool can_cancel) {
    std::pair<bool, std::string> a;
    for (;;) {
        if (!WaitForAnswer(H.inputs, EvInput, EvInputCancel) && can_cancel && !H.input_defaulted) {
            // A dialog that can be cancelled holds a default and closes
            // with it, as Cancel does; reopened after that it has nothing
            // more to answer with.
            H.input_defaulted = true;
            NoteDialog("input", caption, prompt ? prompt : "", "(default)");
            return IDCANCEL;
        }
        if (H.inputs.empty()) {
            fprintf(stderr, "orva: the input dialog \"%s\" has no answer in the events file\n",
                    Cp932ToUtf8(caption ? caption : "").c_str());
            NoteDialog("input", caption, prompt ? prompt : "", "(none)");
            PlatMarkFailure();
            PlatExit(0);
        }
        a = H.inputs.front();
        H.inputs.erase(H.inputs.begin());
        if (!a.first || can_cancel) break;
        // Esc in a dialog that cannot be cancelled: it stays open.
        NoteDialog("input", caption, prompt ? prompt : "", "(cancel ignored)");
    }
    H.input_defaulted = false;
    NoteDialog("input", caption, prompt ? prompt : "", a.first ? "(cancel)" : a.second);
    if (a.first) return IDCANCEL;
    *text = a.second;
    if (limit >= 0 && text->size() > (size_t)limit) text->resize(Cp932Cut(text->data(), text->size(), (size_t)limit));
    return IDOK;
}

void HeadlessSliderDialog(const char* caption, PlatSlider* sliders, int count,
                          void (*moved)(const PlatSlider*, int, void*), void* user) {
    std::string answer;
    if (WaitForAnswer(H.sliders, EvSlider, EvSlider)) {
        std::vector<int> v = H.sliders.front();
        H.sliders.erase(H.sliders.begin());
        for (int i = 0; i < count && i < (int)v.size(); i++) {
            if (sliders[i].disabled) continue;
            int x = v[(size_t)i];
            sliders[i].value = x < sliders[i].min ? sliders[i].min : x > sliders[i].max ? sliders[i].max : x;
        }
        if (moved) moved(sliders, count, user);
    }
    for (int i = 0; i < count; i++) answer += (i ? " " : "") + std::to_string(sliders[i].value);
    NoteDialog("slider", caption, "", answer);
}

// The next list answer: an entry number, -1 for cancel (also when none
// comes), ListTyped with the text typed in *typed.
static int TakeListAnswer(std::string* typed) {
    int n = -1;
    if (WaitForAnswer(H.lists, EvList, EvListText)) {
        n = H.lists.front();
        H.lists.erase(H.lists.begin());
    }
    if (n == ListTyped) {
        *typed = H.list_texts.front();
        H.list_texts.erase(H.list_texts.begin());
    }
    return n;
}

int HeadlessListDialog(const char* caption, int count) {
    std::string typed;
    int n = TakeListAnswer(&typed);
    if (n >= count || n == ListTyped) n = -1;
    NoteDialog("list", caption, "", std::to_string(n));
    return n;
}

int HeadlessComboDialog(const char* caption, const char* const* items, int count, std::string* text,
                        int limit) {
    std::string typed;
    int n = TakeListAnswer(&typed);
    if (n == ListTyped) {
        if (limit >= 0 && typed.size() > (size_t)limit) typed.resize(Cp932Cut(typed.data(), typed.size(), (size_t)limit));
        n = count;
        for (int i = 0; i < count; i++)
            if (items[i] && typed == items[i]) n = i;
        if (n == count) *text = typed;
    } else if (n >= count) {
        n = -1;
    }
    NoteDialog("list", caption, "", n == count ? typed : std::to_string(n));
    return n;
}

void HeadlessTextFieldOpen(const char* text) {
    H.field_open = true;
    H.field_text = text ? text : "";
    H.field_keys.clear();
}
std::string HeadlessTextFieldText() { return H.field_text; }
void HeadlessTextFieldSetText(const char* text) { H.field_text = text ? text : ""; }
int HeadlessTextFieldKey() {
    PumpEvents();
    if (H.field_keys.empty()) return 0;
    int k = H.field_keys.front();
    H.field_keys.erase(H.field_keys.begin());
    return k;
}
void HeadlessTextFieldClose() {
    H.field_open = false;
    H.field_keys.clear();
}
bool HeadlessTextFieldIsOpen() { return H.field_open; }
void HeadlessSetClipboard(const std::string& utf8) { H.clipboard = utf8; }

void HeadlessDebugWindowOpen(int left, int top, const char* caption, const char* check_label,
                             void (*changed)(bool, bool)) {
    H.debug = HeadlessDebugWindowState();
    H.debug.open = true;
    H.debug.left = left;
    H.debug.top = top;
    H.debug.caption = caption;
    H.debug.check_label = check_label;
    H.debug_changed = changed;
}
void HeadlessDebugWindowText(const char* cp932) {
    if (H.debug.open) H.debug.text = cp932;
}
void HeadlessDebugWindowClose() {
    H.debug.open = false;
    H.debug_changed = nullptr;
}
const HeadlessDebugWindowState& HeadlessDebugWindow() { return H.debug; }

// The client area's corner less the bar above it (as high as the SDL GUI's).
void HeadlessWindowPosition(int* left, int* top) {
    enum { BarHeight = 20 };
    *left = H.window.left;
    *top = H.window.top - (H.menu_attached && !H.menu.empty() && !H.window.full_screen ? BarHeight : 0);
}
const std::string& HeadlessClipboard() { return H.clipboard; }
const std::vector<HeadlessDialog>& HeadlessDialogs() { return H.dialogs; }

void HeadlessClearDialogs() {
    H.input_defaulted = false;
    H.dialogs.clear();
    H.inputs.clear();
    H.sliders.clear();
    H.lists.clear();
    H.list_texts.clear();
}

const std::vector<HeadlessBox>& HeadlessBoxes() { return H.boxes; }
void HeadlessClearBoxes() { H.boxes.clear(); }
void HeadlessQueueAnswer(int id) { H.answers.push_back(id); }
void HeadlessEchoBoxes(bool on) { H.echo_boxes = on; }
void HeadlessAdvance(uint32_t ms) { Advance(ms); }
uint64_t HeadlessElapsed() { return Elapsed; }
void HeadlessSetSoundStep(uint32_t (*step)()) {
    SoundStep = step;
    SoundStepDue = Elapsed;
}
void HeadlessSetAudioOut(const char* path) { AudioOutPath = path ? path : ""; }
int64_t HeadlessAudioFrames() { return AudioFill ? (int64_t)AudioFrames : -1; }
void HeadlessSetTicks(uint32_t ticks) { Base = ticks - (uint32_t)Elapsed; }
const HeadlessWindowState& HeadlessWindow() { return H.window; }

void HeadlessSetDesktopSize(int w, int h) {
    H.desktop_w = w;
    H.desktop_h = h;
    QueuePost(WM_DISPLAYCHANGE, 24, MakePointParam(w, h));
}

bool HeadlessLastFrame(const uint8_t** bits, int* w, int* h) {
    if (H.frame.empty()) return false;
    if (bits) *bits = H.frame.data();
    if (w) *w = H.frame_w;
    if (h) *h = H.frame_h;
    return true;
}
