// lookback.h - the lookback viewer (the committed backlog pages read again,
// newest first, inside the text window's rectangle, turned with the wheel,
// the arrow and page keys and two page buttons) with its settings, and the
// text-layer backup the system menus keep while they draw over the screen.
#pragma once
#include <cstdint>

#include "graphics/surface.h"

extern uint32_t LookbackColor;       // 0xRRGGBB of the viewer's text; 0xFFFF40
// The page buttons' pictures: older page highlighted, older normal, newer
// highlighted, newer normal (lookbackbutton; "uoncur.bmp" ... by default).
extern Surface LookbackButtons[4];
extern int32_t LookbackSpMode;       // lookbacksp: the buttons are two sprites
extern int32_t LookbackUpSprite, LookbackDownSprite;

// Loads the four default button pictures when none is loaded yet (blank
// when missing).
void LoadDefaultLookbackButtons();

// Opens the viewer: 0 when there is no committed page or a reset request
// ended it, 1 when the player closed it.
int ShowLookback();
// The page the open viewer shows (1 the newest), 0 while it is closed.
int LookbackPageShown();
void ClearLookbackShown();      // LookbackShown = 0 (on every way out)
void BackupTextLayer();         // keeps TextColorSurface and GlyphLayer
void RestoreTextLayer();        // puts them back
void ClearSystemMenuActive();   // SystemMenuActive = 0 (on every way out)
