// pass_defaults.h - the text and interaction settings set at every pass of
// the start-up loop, in the order the loop sets them.
#pragma once

void SetDefaultLineBreakTables();  // KinsokuStart, KinsokuEnd
void ClearTextPassFlags();         // the texec2 flag (the menu's flags: UpdateMenuForPass)
void SetTextPassDefaults();        // link colours, text speeds and the speed chosen,
                                   // spfont cleared, window erasing allowed, input flags
void SetMenuPassDefaults();        // selection and system-menu colours, WindowEffect
void SetTextLoadDefaults();        // pointer shown, RightClickMode, lookback colour, clickstr
void SetArrowCursor();             // the standard arrow, before the window shows
void RebuildTextColorSurface();    // TextColorSurface black, GlyphLayer cleared
void UpdateMenuForPass(bool restart);  // check the default font, put the menu back
void EnumerateFontsForMenu();
void LoadLookbackArrows();
bool DefineRebuiltMenu();          // resetmenu or deletemenu ran in *define
