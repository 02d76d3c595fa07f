// slot_menu.h - the built-in save/load slot menu drawn over the game screen
// (its settings, savenumber and savename) and the save/load dialog, both
// opened by the system actions.
#pragma once
#include <cstdint>
#include <string>

enum {
    SaveMenuCaptionSize = 260,
    SaveMenuSlotMax = 20,       // slots the menu lists at most
    SaveMenuTitleSize = 256,    // each savename text, its NUL included
};

extern int32_t SaveMenuSlotCount;  // savenumber; 9 at every start-up pass
// savename: [0] the save title, [1] the load title, [2] the slot label.
extern char SaveMenuTitles[3][SaveMenuTitleSize];
extern int32_t SaveDialogMode;  // 1: the dialog opens for saving, 0 for loading

// SaveMenuSlotCount and SaveMenuTitles as every start-up pass sets them.
void SetSlotMenuPassDefaults();

// The text of slot i (from 0) as the menu lists it: the label, the
// full-width number and the file's time in full-width digits or twelve
// dashes; *exists tells whether the slot's file is there.
std::string SaveMenuSlotText(int i, bool* exists);

// Lists the slots (mode nonzero: save, 0: load) and lets the player pick
// one.  Returns the slot index from 0 (save number index + 1) and copies its
// caption into caption (SaveMenuCaptionSize bytes), or -1 when cancelled or
// a reset was requested.  Runs while SystemMenuActive is set (the first
// string drawn tints the screen).
int32_t RunSaveLoadMenu(int mode, char* caption);

// The dialog procedure of the save/load dialog: DialogInit sets the
// caption and the OK button's text by SaveDialogMode; WM_COMMAND from OK (1)
// or Cancel (2) ends the dialog with 0.  1 when the message was handled.
enum : uint32_t { DialogInit = 0x0110 };
struct SaveLoadDialogState {
    std::string caption, ok;  // CP932
    bool ended = false;
    int result = -1;
};
extern SaveLoadDialogState SaveLoadDialog;
int SaveLoadDialogProc(uint32_t message, uintptr_t wparam, intptr_t lparam);
// The modal save/load dialog in the mode SaveDialogMode names: an empty
// slot list whose buttons both close it; returns its result, 0.
int RunSaveLoadDialog();
