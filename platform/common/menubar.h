// menubar.h - the window menu's state, shared by both backends: the
// entries as PlatSetMenu gave them, which bar entry is highlighted and which
// submenus are open.  Keys reach an open menu as they leave the queue
// (PlatGetMessage), so a key it takes never reaches the window procedure;
// the SDL GUI also opens it with the mouse and draws it.  A key or button
// whose press the menu (or a modal dialog, which the backends mark the same
// way) took reads as up (PlatKeyDown) until it is let go, and its release
// does not reach the window procedure.
#pragma once
#include <vector>

#include "platform/platform.h"

enum { MenuBarLevels = 8 };  // the bar and up to seven submenus shown

struct MenuBarState {
    bool active = false;        // menu mode: a bar entry is highlighted
    int open = 0;               // submenus shown: levels 1 .. open
    int sel[MenuBarLevels] = {  // the highlighted entry of each level
        -1, -1, -1, -1, -1, -1, -1, -1};  // (an index into the entries), -1 none
};

const MenuBarState& MenuBarNow();
const std::vector<PlatMenuEntry>& MenuBarEntries();
// The bar is on the window with entries in it.
bool MenuBarShown();

// PlatSetMenu: the state stays while the tree keeps its shape.
void MenuBarSet(const std::vector<PlatMenuEntry>& entries, bool attached);
void MenuBarClose();
// A modal dialog opens (on) or closes: the menu closes and cannot be used
// until the last one is gone.
void MenuBarBlock(bool on);
bool MenuBarUsable();
// Blocks the menu for the life of a dialog.
struct MenuBarModal {
    MenuBarModal() { MenuBarBlock(true); }
    ~MenuBarModal() { MenuBarBlock(false); }
    MenuBarModal(const MenuBarModal&) = delete;
    MenuBarModal& operator=(const MenuBarModal&) = delete;
};
// Forgets everything (tests).
void MenuBarReset();

// The tree: the entries one level below entry i (the bar's for -1).
bool MenuBarIsSubmenu(int i);
std::vector<int> MenuBarChildren(int i);

// The mouse (SDL GUI): a press on bar entry i opens its submenu (or closes
// it when it is open); the pointer over entry i of the submenu at `level`
// (0: the bar) highlights it and opens what it holds; a release on an item
// chooses it (WM_COMMAND is posted, the menu closes).
void MenuBarPressEntry(int i);
void MenuBarHover(int level, int i);
void MenuBarChoose(int i);

// A message leaving the queue: true when the menu took it.
bool MenuBarTakeMessage(const PlatMsg& m);
// The press of vk (a key or VK_LBUTTON ...) is the menu's or a dialog's.
void MenuBarTakePress(int vk);
// The release of vk: true, and forgotten, when its press was the menu's.
bool MenuBarTakeRelease(int vk);
// A press the menu took is held.
bool MenuBarHolds(int vk);
// The window's default handling of a released Alt or F10 (PlatMenuKey).
void MenuBarKeyReleased(int vk);
