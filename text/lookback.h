// lookback.h - the lookback viewer (the committed backlog pages read again
// inside the text window's rectangle) and the text-layer backup the system
// menus keep while they draw over the screen.
#pragma once

// Opens the viewer: 0 when there is no committed page or a reset request
// ended it, 1 when the player closed it.
int ShowLookback();
void ClearLookbackShown();      // LookbackShown = 0 (on every way out)
void BackupTextLayer();         // keeps TextColorSurface and GlyphLayer
void RestoreTextLayer();        // puts them back
void ClearSystemMenuActive();   // SystemMenuActive = 0 (on every way out)
