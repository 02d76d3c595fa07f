// queue.cpp - the message queue, window timers, accelerators and the pumps.
//
// Posted messages wait in a fixed ring in arrival order.  PlatGetMessage
// first lets the backend bring its device events in, then hands out queued
// messages, and only when none is left a WM_TIMER for a due timer (one per
// call, as the low-priority timer messages of Windows).  PumpMessage adds the
// translation step: accelerator keys become WM_COMMAND, character keys give
// a WM_CHAR that is taken next.  An open window menu takes its keys and
// clicks as they leave the queue (menubar.cpp).  PlatWaitEvent blocks until
// the next message, the first due timer or a deadline.
#include <mutex>

#include "platform/common/backend.h"
#include "platform/common/menubar.h"

enum { QueueLimit = 4096, TimerLimit = 32, AccelLimit = 64 };
enum : uint32_t { TimerMinimum = 10 };  // shortest period, as USER_TIMER_MINIMUM

struct Timer {
    bool used;
    uint32_t id;
    uint32_t period;
    uint32_t last;  // tick of the start or of the last WM_TIMER
};

static std::mutex QueueMutex;  // posting may come from another thread
static PlatMsg Queue[QueueLimit];
static int QueueHead, QueueCount;
static Timer Timers[TimerLimit];
static int NextTimer;  // where the next search for a due timer starts
static PlatWndProc WindowProc;
static uint32_t AccelKeys[AccelLimit];
static uint16_t AccelCommands[AccelLimit];
static int AccelCount;
// The keys held as of the last key message taken (GetKeyState's view):
// translation reads the modifiers of the moment the key was pressed, not of
// the moment the program gets to it.
static bool SyncKeys[256];

static PlatMsg& QueueAt(int i) { return Queue[(QueueHead + i) % QueueLimit]; }

// Removes the i-th queued message; the caller holds QueueMutex.
static PlatMsg QueueTake(int i) {
    PlatMsg m = QueueAt(i);
    if (i == 0) {
        QueueHead = (QueueHead + 1) % QueueLimit;
    } else {
        for (int k = i; k + 1 < QueueCount; k++) QueueAt(k) = QueueAt(k + 1);
    }
    QueueCount--;
    return m;
}

bool QueuePost(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    {
        std::lock_guard<std::mutex> g(QueueMutex);
        if (QueueCount == QueueLimit) return false;
        PlatMsg& m = QueueAt(QueueCount);
        m.message = message;
        m.wparam = wparam;
        m.lparam = lparam;
        QueueCount++;
    }
    Backend->wake();  // a post from another thread ends a blocked wait
    return true;
}

static bool QueuePostFront(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    std::lock_guard<std::mutex> g(QueueMutex);
    if (QueueCount == QueueLimit) return false;
    QueueHead = (QueueHead + QueueLimit - 1) % QueueLimit;
    QueueCount++;
    PlatMsg& m = QueueAt(0);
    m.message = message;
    m.wparam = wparam;
    m.lparam = lparam;
    return true;
}

bool QueueMergeMouseMove(intptr_t lparam) {
    std::lock_guard<std::mutex> g(QueueMutex);
    if (QueueCount == 0) return false;
    PlatMsg& m = QueueAt(QueueCount - 1);
    if (m.message != WM_MOUSEMOVE) return false;
    m.lparam = lparam;
    return true;
}

bool QueueHas(uint32_t message) {
    std::lock_guard<std::mutex> g(QueueMutex);
    for (int i = 0; i < QueueCount; i++)
        if (QueueAt(i).message == message) return true;
    return false;
}

bool QueueEmpty() {
    std::lock_guard<std::mutex> g(QueueMutex);
    return QueueCount == 0;
}

void QueueReset() {
    std::lock_guard<std::mutex> g(QueueMutex);
    QueueHead = QueueCount = 0;
    for (Timer& t : Timers) t = Timer();
    NextTimer = 0;
    WindowProc = nullptr;
    AccelCount = 0;
    for (bool& k : SyncKeys) k = false;
}

void PlatSetWindowProc(PlatWndProc proc) { WindowProc = proc; }
bool QueueHasWindowProc() { return WindowProc != nullptr; }

void PlatPostMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    QueuePost(message, wparam, lparam);
}

intptr_t PlatSendMessage(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return WindowProc ? WindowProc(message, wparam, lparam) : 0;
}

bool PlatPeekRemove(uint32_t message, PlatMsg* out) {
    Backend->pump_events();
    PlatMsg m;
    bool found = false;
    {
        std::lock_guard<std::mutex> g(QueueMutex);
        for (int i = 0; i < QueueCount; i++)
            if (QueueAt(i).message == message) {
                m = QueueTake(i);
                found = true;
                break;
            }
    }
    if (!found) return false;
    Backend->on_take(m);
    if (out) *out = m;
    return true;
}

void PlatRemoveAll(uint32_t message) {
    Backend->pump_events();
    PlatMsg taken[64];
    for (;;) {
        int n = 0;
        {
            std::lock_guard<std::mutex> g(QueueMutex);
            for (int i = 0; i < QueueCount && n < 64;)
                if (QueueAt(i).message == message) taken[n++] = QueueTake(i);
                else i++;
        }
        for (int i = 0; i < n; i++) Backend->on_take(taken[i]);
        if (n < 64) return;
    }
}

// A due timer as WM_TIMER; false when none is due.
static bool TakeDueTimer(PlatMsg* out) {
    uint32_t now = Backend->ticks();
    std::lock_guard<std::mutex> g(QueueMutex);
    for (int k = 0; k < TimerLimit; k++) {
        int i = (NextTimer + k) % TimerLimit;
        Timer& t = Timers[i];
        if (!t.used || (uint32_t)(now - t.last) < t.period) continue;
        t.last = now;
        NextTimer = (i + 1) % TimerLimit;
        out->message = WM_TIMER;
        out->wparam = t.id;
        out->lparam = 0;
        return true;
    }
    return false;
}

bool PlatGetMessage(PlatMsg* out) {
    if (PlatSignalPending) PlatDeliverSignal();
    Backend->pump_events();
    PlatMsg m;
    bool found = false;
    for (;;) {
        {
            std::lock_guard<std::mutex> g(QueueMutex);
            found = QueueCount > 0;
            if (found) m = QueueTake(0);
        }
        if (!found) break;
        Backend->on_take(m);
        if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) SyncKeys[m.wparam & 0xFF] = m.message == WM_KEYDOWN;
        // The open window menu takes keys and clicks before the window.
        if (!MenuBarTakeMessage(m)) break;
        found = false;
    }
    if (!found && !TakeDueTimer(&m)) {
        Backend->idle();
        return false;
    }
    if (out) *out = m;
    return true;
}

void PlatSetTimer(uint32_t id, uint32_t period_ms) {
    if (period_ms < TimerMinimum) period_ms = TimerMinimum;
    uint32_t now = Backend->ticks();
    std::lock_guard<std::mutex> g(QueueMutex);
    Timer* slot = nullptr;
    for (Timer& t : Timers)
        if (t.used && t.id == id) slot = &t;
    if (!slot)
        for (Timer& t : Timers)
            if (!t.used) {
                slot = &t;
                break;
            }
    if (!slot) return;  // table full: the timer is not set
    slot->used = true;
    slot->id = id;
    slot->period = period_ms;
    slot->last = now;
}

void PlatKillTimer(uint32_t id) {
    std::lock_guard<std::mutex> g(QueueMutex);
    for (Timer& t : Timers)
        if (t.used && t.id == id) t = Timer();
}

void PlatSetAccelerators(const uint32_t* keys, const uint16_t* commands, int count) {
    if (count < 0 || !keys || !commands) count = 0;
    if (count > AccelLimit) count = AccelLimit;
    for (int i = 0; i < count; i++) {
        AccelKeys[i] = keys[i];
        AccelCommands[i] = commands[i];
    }
    AccelCount = count;
}

// The character a key gives (0 for none), as TranslateMessage on a US layout:
// letters by the shift state, Ctrl+letter the control code; digits, space,
// Enter, Esc, Tab and Backspace.  Alt gives no WM_CHAR.
static int KeyChar(int vk, bool shift, bool ctrl, bool alt) {
    if (alt) return 0;
    if (vk >= 'A' && vk <= 'Z') return ctrl ? vk - 'A' + 1 : shift ? vk : vk + 32;
    if (ctrl) return vk == VK_RETURN ? 10 : 0;
    if (vk >= '0' && vk <= '9') return vk;
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    case VK_TAB: return 9;
    case VK_BACK: return 8;
    }
    return 0;
}

bool PumpMessage() {
    PlatMsg m;
    if (!PlatGetMessage(&m)) return false;
    if (m.message == WM_KEYDOWN) {
        bool shift = SyncKeys[VK_SHIFT];
        bool ctrl = SyncKeys[VK_CONTROL];
        bool alt = SyncKeys[VK_MENU];
        uint32_t key = (uint32_t)(m.wparam & 0xFF) | (shift ? (uint32_t)ACCEL_SHIFT : 0u) |
                       (ctrl ? (uint32_t)ACCEL_CONTROL : 0u) | (alt ? (uint32_t)ACCEL_ALT : 0u);
        for (int i = 0; i < AccelCount; i++)
            if (AccelKeys[i] == key) {
                PlatSendMessage(WM_COMMAND, AccelCommands[i], 0);
                return true;
            }
        int ch = KeyChar((int)(m.wparam & 0xFF), shift, ctrl, alt);
        if (ch) QueuePostFront(WM_CHAR, (uintptr_t)ch, m.lparam);
    }
    PlatSendMessage(m.message, m.wparam, m.lparam);
    return true;
}

bool PumpMessageOrSleep() {
    if (PumpMessage()) return true;
    Backend->sleep(5);
    return false;
}

void PlatWaitEvent(uint32_t deadline, bool timers) {
    if (PlatSignalPending) return;  // the next PlatGetMessage delivers it
    uint32_t now = Backend->ticks();
    bool exact = true;
    {
        std::lock_guard<std::mutex> g(QueueMutex);
        if (QueueCount > 0) return;
        for (const Timer& t : Timers) {
            uint32_t due = t.last + t.period;
            if (timers && t.used && (int32_t)(due - deadline) < 0) {
                deadline = due;
                exact = false;
            }
        }
    }
    if ((int32_t)(deadline - now) <= 0) return;
    Backend->wait_event(deadline, exact);
}
