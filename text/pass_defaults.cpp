// pass_defaults.cpp - the text and interaction settings of each start-up
// pass.  Each fills in as its part of the text subsystem is built.
#include "text/pass_defaults.h"

void SetDefaultLineBreakTables() {}
void ClearTextPassFlags() {}
void SetTextPassDefaults() {}
void SetMenuPassDefaults() {}
void SetTextLoadDefaults() {}
void RebuildTextColorSurface() {}
void UpdateMenuForPass(bool) {}
void EnumerateFontsForMenu() {}
void LoadLookbackArrows() {}
bool DefineRebuiltMenu() { return false; }
