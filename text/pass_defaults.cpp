// pass_defaults.cpp - the text and interaction settings of each start-up
// pass.  Each fills in as its part of the text subsystem is built.
#include "text/pass_defaults.h"

#include <cstring>

#include "core/script.h"
#include "core/startup.h"
#include "text/kinsoku.h"

void SetDefaultLineBreakTables() { SetDefaultKinsokuLists(); }
void ClearTextPassFlags() {}
void SetTextPassDefaults() {}
void SetMenuPassDefaults() {}
void SetTextLoadDefaults() {}
void RebuildTextColorSurface() {
    if (GlyphLayer) memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
}
void UpdateMenuForPass(bool) {}
void EnumerateFontsForMenu() {}
void LoadLookbackArrows() {}
bool DefineRebuiltMenu() { return false; }
