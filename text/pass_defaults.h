// pass_defaults.h - the text and interaction settings set at every pass of
// the start-up loop, in the order the loop sets them.
#pragma once

void SetDefaultLineBreakTables();  // KinsokuStart, KinsokuEnd
void ClearTextPassFlags();         // menu-customised and texec2 flags
void SetTextPassDefaults();        // window chips, link colours, text speeds, input flags
void SetMenuPassDefaults();        // selection and system-menu colours, WindowEffect
void SetTextLoadDefaults();        // cursor setting, RightClickMode, lookback colour, clickstr
void RebuildTextColorSurface();    // TextColorSurface black, GlyphLayer cleared
void UpdateMenuForPass(bool restart);  // check the default font, put the menu back
void EnumerateFontsForMenu();
void LoadLookbackArrows();
bool DefineRebuiltMenu();          // resetmenu or deletemenu ran in *define
