// textbtn.cpp - text buttons: drawing and hit test.
#include "text/textbtn.h"

#include "text/display.h"
#include "text/textwindow.h"

int32_t TextButtonsActive = 0;

void DrawTextButton(int32_t, int) {}
bool TextButtonContains(int32_t, int32_t, int32_t) { return false; }
int32_t TextButtonAt(int32_t, int32_t) { return -1; }
