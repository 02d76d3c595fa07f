// define_end.h - what the command game (the end of the *define block) asks of
// the window, its menu and the fonts, in the order game calls them.
#pragma once

// With deletemenu: resizes the window for the screen without a menu (in full
// screen topmost at 0,0) and removes the menu.
void DropDeletedMenu();
// Copies DefaultFont into SelectedFont and TextFontFace.
void TakeDefaultFont();
// With resetmenu: attaches the menu again (not in full screen) and posts the
// menu commands that make its check marks match the settings.
void RestoreResetMenu();
