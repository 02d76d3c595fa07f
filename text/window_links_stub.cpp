// window_links_stub.cpp - storage of the menu, font, button-wait and trap
// settings the window procedure uses, until their modules own them (then
// this file goes).
#include "text/window_links.h"

int32_t MenuDeleted = 0;
void SetMenuAttached(bool) {}
void SetMenuCheck(uint32_t, bool) {}

char FontMenuNames[FontMenuLimit][FontNameSize];
int32_t FontMenuCount = 0;
uint32_t SelectedFontItem = 40004;

int32_t PageAtATime = 0;
int32_t TextSpeedIndex = 1;

