// reset.cpp - ResetToStart: back to *start with the call stack emptied and the
// local variables cleared.  The full reset of the game state (text window,
// pictures, sound, backlog, traps ...) comes with the subsystems it touches.
#include "core/reset.h"

#include "core/callstack.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/variables.h"
#include "text/input_state.h"

void ResetToStart() {
    MenuResetRequested = 0;
    for (int n = 0; n < GlobalBorder && n < VariableCount; n++) {
        IntVariables[n] = 0;
        AssignString(&StrVariables[n], "");
    }
    JumpToLabel("start");
    CallStackDepth = 0;
}

void ServiceResetRequest() {
    if (!ResetRequested) return;
    ResetToStart();
    ResetRequested = 0;
}
