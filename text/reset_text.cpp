// reset_text.cpp - the text and interaction state of a new game, restored
// in the order reset_text.h lists.
#include "text/reset_text.h"

#include "text/backlog.h"
#include "ui/buttons.h"
#include "text/clickwait.h"
#include "text/display.h"
#include "ui/input_state.h"
#include "text/pass_defaults.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/system_actions.h"
#include "ui/traps.h"
#include "ui/window_links.h"

void ResetTextState() {
    TagHandled = 0;
    SkipMode = 0;
    AutoMode = 0;
    AutoClickOn = 0;
    LeftPressSeen = RightPressSeen = 0;
    MenuResetRequested = 0;
    RightClickOn = 1;
    Traps.label[0] = 0;
    Traps.timer_label[0] = 0;
    TrapValueVariable = -1;  // lr_trap_value off
    ResetTextDisplay();  // line-break switch, indent, textgosub state
    ClearBacklog();
    LookbackOn = 1;
    ResetTextWindow();  // the window record, its cursor and flags
    RebuildTextColorSurface();
    ResetWaitCursors();
    ResetButtonWait();
}
