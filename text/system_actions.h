// system_actions.h - the right-click action and the system actions
// (lookback, window erase, load, save, reset, skip, end) and the yes/no
// screen they confirm with.
#pragma once
#include <cstdint>

enum SystemAction : int32_t {
    ActionRightClick = -1,  // the action RightClickMode chooses
    ActionLookback = 0, ActionWindowErase = 1, ActionLoad = 2, ActionSave = 3,
    ActionReset = 4, ActionSkip = 5, ActionSaveDialog = 6, ActionLoadDialog = 7,
    ActionResetBox = 9, ActionEnd = 10
};

// Runs one action (-1: the right-click action).  Refuses to start again
// while a system menu runs.
void RunSystemAction(int32_t action);
// The yes/no screen: 1 yes, 0 no, -1 cancelled or a reset was requested.
int AskYesNo(const char* question);
