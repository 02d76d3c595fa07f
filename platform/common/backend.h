// backend.h - the device half of the platform layer as a table of functions.
//
// PlatInit picks one table (SdlBackend or HeadlessBackend); the shared code
// in platform/common calls the device through `Backend` and offers the
// backends the queue operations they need to bring their events in.
#pragma once
#include <cstdint>

#include "platform/platform.h"

struct PlatBackend {
    const char* name;
    bool (*init)(const PlatOptions& opt);   // false: the device cannot be used
    void (*shutdown)();                     // last step of PlatExit (not with a hook)
    void (*before_exit)();                  // every PlatExit, after the at-exit list
    // window
    void (*create_window)(int client_w, int client_h);
    void (*desktop_size)(int* w, int* h);
    int (*bits_per_pixel)();
    void (*move_window)(int left, int top, int client_w, int client_h);
    void (*show_window)(bool show);
    void (*minimize_window)();
    bool (*is_foreground)();
    void (*set_caption)(const char* cp932);
    void (*set_full_screen)(bool on);
    bool (*is_full_screen)();
    void (*present)(const uint8_t* bits, int w, int h);
    // events and clock
    void (*pump_events)();                  // device events into the queue
    void (*idle)();                         // PlatGetMessage found nothing
    void (*on_take)(const PlatMsg& m);      // a message left the queue
    uint32_t (*ticks)();
    void (*sleep)(uint32_t ms);
    // input state
    bool (*key_down)(int vk);
    void (*cursor_pos)(int* x, int* y);
    void (*show_cursor)(bool show);
    void (*warp_cursor)(int x, int y);
    bool (*click_waits)();
    // message boxes
    int (*message_box)(const char* text, const char* caption, uint32_t flags, bool owned);
    // audio
    bool (*open_audio)(PlatAudioFill fill, void* user);
    void (*close_audio)();
    void (*lock_audio)();
    void (*unlock_audio)();
    void (*pause_audio)(bool pause);
    // presenting, cursor pictures and game controllers
    void (*present_rect)(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom);
    bool (*set_custom_cursor)(const uint32_t* argb, int w, int h, int hot_x, int hot_y);
    void (*use_custom_cursor)(bool on);
    void (*read_joypad)(int32_t* out);
    // blocking: PlatWaitEvent once the queue is empty, the deadline already
    // brought forward to the first due timer (then not `exact`: a timer
    // need not fall on its millisecond); wake ends such a wait from another
    // thread (a message was posted)
    void (*wait_event)(uint32_t deadline, bool exact);
    void (*wake)();
    // Ctrl held whatever window has the keyboard, where the desktop tells;
    // elsewhere as key_down(VK_CONTROL)
    bool (*ctrl_held_anywhere)();
};

extern const PlatBackend SdlBackend;
extern const PlatBackend HeadlessBackend;
// The backend in use; the headless one until PlatInit chooses.
extern const PlatBackend* Backend;

// Keeps the copy of the presented pictures that PlatReadWindow reads
// (window.cpp); rectangle inclusive and clamped.  Gives the picture for the
// backend: bits, or the copy when the overlay lies over the rectangle.
const uint8_t* MirrorPresented(const uint8_t* bits, int w, int h, int left, int top, int right, int bottom);

// ---- queue operations for the backends ----------------------------------------

// Appends a message; false when the queue is full.
bool QueuePost(uint32_t message, uintptr_t wparam, intptr_t lparam);
// Replaces the position of a WM_MOUSEMOVE that is the last queued message
// (the pointer moved again before the first move was taken); false when the
// last message is something else.
bool QueueMergeMouseMove(intptr_t lparam);
// True when a message of this kind is queued.
bool QueueHas(uint32_t message);
// True when no message is queued.
bool QueueEmpty();
// Forgets queue, timers, accelerators and window procedure.
void QueueReset();
// A window procedure is set.
bool QueueHasWindowProc();

// ---- signals (signals.cpp) -------------------------------------------------------

// Installs the SIGINT, SIGTERM and SIGHUP handlers (again: a display library
// may have put its own in place).
void InstallSignalHandlers();
// The private temporary folder that a second signal removes before ending.
void NoteTempDirForSignals(const char* path);
// 128 + the number of the signal that asked to close, or 0.
int SignalExitStatus();
void ResetSignalsForTests();

// The default answer of a message box of these flags (IDOK or IDYES).
int DefaultBoxAnswer(uint32_t flags);
