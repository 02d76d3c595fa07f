// input_state.cpp - the input flags and the last-message record the window
// procedure writes and the waits read, and the key queries that see the
// keyboard only while the game window is in front.
#include "ui/input_state.h"

#include "platform/platform.h"

int Clicked = 0;
int RightClicked = 0;
int MiddleClicked = 0;
int WheelDelta = 0;
int MouseX = 0, MouseY = 0;
int LeftPressSeen = 0, RightPressSeen = 0;
int SkipMode = 0;
int AutoMode = 0;
int AutoClickOn = 0, AutoClickTime = 0;
int ResetRequested = 0;
std::atomic<int> QuitRequested{0};
int MenuResetRequested = 0;
int MouseCursorHidden = 0;
int CtrlAltSkip = 0;
int UseWheel = 0, UseEscSpace = 0;
uint32_t LastMessage = 0;
int32_t LastX = 0, LastY = 0;

int GetForegroundKeyState(int vk) {
    return PlatIsForeground() && PlatKeyDown(vk) ? 0x8000 : 0;
}

int IsSkipKeyDown() {
    if (!PlatIsForeground() || !PlatKeyDown(VK_CONTROL)) return 0;
    if (CtrlAltSkip && !PlatKeyDown(VK_MENU)) return 0;
    return 0x8000;
}
