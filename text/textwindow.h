// textwindow.h - what the pictures need of the text window: taking it off
// the screen before a change, its composition as the last layer, and the
// switches the compositor reads.
#pragma once
#include <cstdint>

#include "graphics/compose.h"

extern int32_t WindowKeptForHumans;  // ld, cl, tal leave the window on screen
extern int32_t TextWindowComposed;   // the compositor draws the window
extern int32_t WindowBackOn;         // the window lies under the front sprites
extern int32_t BrinMode;             // mode_brin
extern int32_t WindowEraseActive;    // the system menu took the window off

// Takes the text window off the screen with its window effect, unless
// erasing is switched off.
void HideTextWindow();
// Draws the text window over that area of SrcSurface.
void ComposeTextWindow(const ScreenRect* area);
