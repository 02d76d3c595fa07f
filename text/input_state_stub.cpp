// input_state_stub.cpp - storage of the input flags until the window
// procedure and the input module own them (then this file goes).
#include "text/input_state.h"

int Clicked = 0;
int RightClicked = 0;
int SkipMode = 0;
int ResetRequested = 0;
int QuitRequested = 0;
int MenuResetRequested = 0;
