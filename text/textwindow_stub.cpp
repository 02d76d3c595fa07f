// textwindow_stub.cpp - the text window until it is built (then this file
// goes): never shown, so nothing to hide or compose.
#include "text/textwindow.h"

int32_t WindowKeptForHumans;
int32_t TextWindowComposed;
int32_t WindowBackOn;
int32_t BrinMode;
int32_t WindowEraseActive;

void HideTextWindow() {}
void ComposeTextWindow(const ScreenRect*) {}
