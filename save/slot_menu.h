// slot_menu.h - the built-in save/load slot menu drawn over the game screen
// and the save/load dialog, both opened by the system actions.
#pragma once
#include <cstdint>

enum { SaveMenuCaptionSize = 260 };

extern int32_t SaveDialogMode;  // 1: the dialog opens for saving, 0 for loading

// Lists the slots (mode nonzero: save, 0: load) and lets the player pick
// one.  Returns the slot index from 0 (save number index + 1) and copies its
// caption into caption (SaveMenuCaptionSize bytes), or -1 when cancelled or
// a reset was requested.
int32_t RunSaveLoadMenu(int mode, char* caption);
// The modal save/load dialog in the mode SaveDialogMode names.
void RunSaveLoadDialog();
