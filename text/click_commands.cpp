// click_commands.cpp - the commands around the click wait: click, clickpos,
// lrclick, setcursor, abssetcursor, automode_time, automode_time2.
#include "text/click_commands.h"

#include <string>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/return_value.h"
#include "core/variables.h"
#include "graphics/anim.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "text/clickwait.h"
#include "text/display_messages.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/system_actions.h"

void ClickWaitNoRightClick() {
    int32_t mode = RightClickMode;
    RightClickMode = RightNothing;
    struct Restore {
        int32_t mode;
        ~Restore() { RightClickMode = mode; }
    } restore{mode};
    ClickWait();
}

void EndScriptWait() {
    if (MenuResetRequested) ResetToStart();
    GameLoaded = 0;
}

void Cmd_click() {
    ClickWaitNoRightClick();
    EndScriptWait();
}

void Cmd_clickpos() {
    int vx = ReadIntTarget("clickpos", SufFirstInt);
    ExpectComma();
    int vy = ReadIntTarget("clickpos", SufSecondInt);
    ClickWaitNoRightClick();
    IntVariables[vx] = MouseX;
    IntVariables[vy] = MouseY;
    ClampIntVars();
    EndScriptWait();
}

// lrclick: 1 for a left click, 0 for a right click, in getret.
void Cmd_lrclick() {
    Clicked = RightClicked = 0;
    bool answered = PlatClickWaitsAnswered();
    for (;;) {
        if (answered) {
            ReturnValue = 1;
            break;
        }
        bool handled = PumpMessageOrIdle(IdleNoLimit);
        if (handled && Clicked) {
            ReturnValue = 1;
            break;
        }
        if (RightClicked) {
            ReturnValue = 0;
            break;
        }
        if (ResetRequested) break;
        AdvanceAnimation();
    }
    Clicked = RightClicked = 0;
    EndScriptWait();
}

static void CursorCommand(bool relative) {
    int32_t n = ReadIntExpr();
    if (n != 0 && n != 1) ScriptError(CapError, MsgCursorNumber);
    ExpectComma();
    std::string tag(StrValueSize, '\0');
    ReadStrExpr(&tag[0], StrValueSize);
    ExpectComma();
    int32_t x = ReadIntExpr();
    ExpectComma();
    int32_t y = ReadIntExpr();
    SetWaitCursor(n, tag.c_str(), x, y, relative);
}

void Cmd_setcursor() { CursorCommand(true); }
void Cmd_abssetcursor() { CursorCommand(false); }

void Cmd_automode_time() { AutoModeWait = ReadIntExpr(); }

void Cmd_automode_time2() {
    int32_t lo = ReadIntExpr();
    ExpectComma();
    int32_t ms = ReadIntExpr();
    ExpectComma();
    int32_t hi = ReadIntExpr();
    AutoSpeedDialogMin = lo;
    AutoModeWait = ms;
    AutoSpeedDialogMax = hi;
}
