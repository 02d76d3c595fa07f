// input_state.h - the input and control flags the window procedure, the
// system menu and the waits set, and the interpreter loop reads between
// statements; the last message the window procedure received; the
// foreground-gated key queries.
#pragma once
#include <atomic>
#include <cstdint>

extern int Clicked;             // a left click not yet taken by a wait
extern int RightClicked;        // a right click not yet taken
extern int MiddleClicked;       // a middle click not yet taken
extern int WheelDelta;          // signed delta of the last wheel message (> 0 up)
extern int MouseX, MouseY;      // client position of the last button message
extern int LeftPressSeen, RightPressSeen;
extern int SkipMode;            // skip mode on
extern int AutoMode;            // click waits end by themselves
extern int AutoClickOn, AutoClickTime;
extern int ResetRequested;      // the window menu asked for a reset
extern std::atomic<int> QuitRequested;  // the game is ending (the sound thread reads it)
extern int MenuResetRequested;  // the system menu asked for a reset
extern int MouseCursorHidden;
extern int CtrlAltSkip;         // the skip key is Ctrl+Alt
extern int UseWheel, UseEscSpace;

// The window procedure's record of the last message (waits read these right
// after they pump): its number; x of a mouse message, the character of
// WM_CHAR, the wheel delta, or the text field's notification; y of a mouse
// message.
extern uint32_t LastMessage;
extern int32_t LastX, LastY;

// The asynchronous state of a key (VK code) while the window is in front,
// else 0; 0x8000 when held.
int GetForegroundKeyState(int vk);
// 0x8000 while the skip key (Ctrl, or Ctrl+Alt with ctrlalt) is held and the
// window is in front, else 0.
int IsSkipKeyDown();
