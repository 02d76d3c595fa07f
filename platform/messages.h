// messages.h - the window-message, key, button and message-box numbers the
// engine compares against.  They keep their Windows values so that command
// numbers and saved settings mean the same thing everywhere.
#pragma once
#include <cstdint>

enum : uint32_t {
    WM_DESTROY = 0x0002,
    WM_SIZE = 0x0005,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_DISPLAYCHANGE = 0x007E,  // the desktop's size: lparam as a point (width, height)
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
    WM_USER = 0x0400,
    MM_MCINOTIFY = 0x03B9,  // a media device's completion notice
};
enum : uintptr_t { MCI_NOTIFY_SUCCESSFUL = 1 };  // wparam of MM_MCINOTIFY
enum : uint32_t { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1 };  // wparam of WM_SIZE

// Mouse messages carry the client position in lparam: x in the low 16 bits,
// y in the high 16 bits.  WM_MOUSEWHEEL carries the signed delta (multiples
// of 120, positive away from the user) in the high 16 bits of wparam, and,
// unlike Windows, the pointer's client position in lparam.  The low bits of
// wparam of mouse messages hold the MK_ state after the event.
inline intptr_t MakePointParam(int x, int y) {
    return (intptr_t)(((uint32_t)(uint16_t)y << 16) | (uint16_t)x);
}
inline int PointParamX(intptr_t l) { return (int16_t)(l & 0xFFFF); }
inline int PointParamY(intptr_t l) { return (int16_t)((l >> 16) & 0xFFFF); }

enum : uint32_t { MK_LBUTTON = 0x01, MK_RBUTTON = 0x02, MK_SHIFT = 0x04, MK_CONTROL = 0x08, MK_MBUTTON = 0x10 };

enum : int {
    VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04,
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10,
    VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
    VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
    VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    // '0'..'9' and 'A'..'Z' are their ASCII codes.
    VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9,
    VK_F10, VK_F11, VK_F12,
};

// Accelerator key modifiers (or-ed into the key of an accelerator entry).
enum : uint32_t { ACCEL_SHIFT = 0x10000, ACCEL_CONTROL = 0x20000, ACCEL_ALT = 0x40000 };

enum : uint32_t {
    MB_OK = 0x00, MB_OKCANCEL = 0x01, MB_YESNO = 0x04,
    MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
