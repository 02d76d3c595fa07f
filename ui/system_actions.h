// system_actions.h - the right-click action and the system actions
// (lookback, window erase, load, save, reset, skip, end), the right-click
// menu they are chosen from, and the yes/no screen they confirm with.
#pragma once
#include <cstdint>

enum SystemAction : int32_t {
    ActionRightClick = -1,  // the action RightClickMode chooses
    ActionLookback = 0, ActionWindowErase = 1, ActionLoad = 2, ActionSave = 3,
    ActionReset = 4, ActionSkip = 5, ActionSaveDialog = 6, ActionLoadDialog = 7,
    ActionLookback2 = 8, ActionResetBox = 9, ActionEnd = 10
};

// RightClickMode: what a right click (or Esc) in a click wait or selection
// does.
enum { RightHideWindow = 0, RightMenu = 1, RightGosub = 2, RightLookback = -1, RightNothing = -2 };
enum { RmenuLimit = 50, RmenuTextSize = 256, RightGosubLabelSize = 256 };

extern int32_t RightClickMode;     // 0 at every start-up pass
extern int32_t RightClickOn;       // rmode; 1 after a reset; saved with the game
extern char RmenuTexts[RmenuLimit][RmenuTextSize];
extern int32_t RmenuActions[RmenuLimit];
extern int32_t RmenuCount;
extern char RightGosubLabel[RightGosubLabelSize];
extern int32_t SystemCallActive;   // systemcall runs an action

// Runs one action (-1: the right-click action).  Refuses to start again
// while a system menu runs.
void RunSystemAction(int32_t action);
// The yes/no screen: 1 yes, 0 no, -1 cancelled or a reset was requested.
int AskYesNo(const char* question);
// Multiplies SrcSurface by the menu window colour; sets TextWindowShown.
void DrawMenuTint();
// Waits until none of the keys (VK codes, count of them) is held, taking
// messages meanwhile.
void WaitKeysReleased(const int* keys, int count);
