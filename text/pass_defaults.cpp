// pass_defaults.cpp - the text and interaction settings of each start-up
// pass.
#include "text/pass_defaults.h"

#include <cstring>

#include "core/script.h"
#include "core/startup.h"
#include "platform/platform.h"
#include "text/textwindow.h"
#include "text/display.h"
#include "ui/input_state.h"
#include "text/kinsoku.h"
#include "text/lookback.h"
#include "ui/mainwindow.h"
#include "ui/menu_commands.h"
#include "ui/selections.h"
#include "text/string_sprite.h"
#include "ui/system_actions.h"
#include "text/textline.h"
#include "ui/window_links.h"

void SetDefaultLineBreakTables() { SetDefaultKinsokuLists(); }
void ClearTextPassFlags() { NewPageBeforeText = 0; }
void SetTextPassDefaults() {
    SetDisplayPassDefaults();
    SpriteFontWidth = -1;
    TextSpeedIndex = 1;
    EraseWindowAllowed = 1;
    Clicked = 0;
    RightClicked = 0;
    MenuResetRequested = 0;
    SystemMenuActive = 0;
}
void SetMenuPassDefaults() {
    SetSelectionPassDefaults();
    SetTextWindowPassDefaults();
}
void SetTextLoadDefaults() {
    RightClickMode = RightHideWindow;
    ClickstrChars[0] = 0;
    ClickstrLines = 0;
    LookbackColor = 0xFFFF40;
    MouseCursorHidden = 0;
    PlatShowCursor(true);
}
void SetArrowCursor() { UseArrowCursor(); }
// TextColorSurface follows the screen size; both layers start empty.
void RebuildTextColorSurface() {
    if (GlyphLayer) memset(GlyphLayer, 0, (size_t)ScreenWidth * ScreenHeight);
    if (TextColorSurface.dib.width != ScreenWidth || TextColorSurface.dib.height != ScreenHeight)
        CreateSurface(&TextColorSurface, ScreenWidth, ScreenHeight);
    else
        FillSurfaceRect(&TextColorSurface, 0, 0, ScreenWidth, ScreenHeight, 0);
}
void LoadLookbackArrows() { LoadDefaultLookbackButtons(); }
bool DefineRebuiltMenu() { return MenuRebuilt != 0; }
