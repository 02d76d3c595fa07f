// menu.h - the window menu as a tree: the built-in bar, the script's own
// bar made by resetmenu and insertmenu, check marks by command number, the
// font items from fontconfig, and the copy the platform draws.
#pragma once
#include <cstdint>

enum { MenuNodeLimit = 1024, MenuCaptionSize = 256 };

// A node: an item (command != 0) or a submenu, with its first child and its
// next sibling (-1 for none).  Node 0 is the bar itself.
struct MenuNode {
    char caption[MenuCaptionSize];
    uint32_t command;
    bool submenu, checked;
    int32_t child, next;
};
extern MenuNode MenuNodes[MenuNodeLimit];

// resetmenu was given (the bar is the script's own).
extern int32_t MenuWasReset;
// The submenu made by insertmenu with the keyword font (-1 none).
extern int32_t CustomFontMenu;
extern int32_t TaveloMode;

// The built-in bar ("IDR_MENU"), attached.
void BuildDefaultMenu();
// An empty bar (resetmenu).
void ClearMenu();
// Inserts at position 0 of `parent` (a submenu or the bar); the new node,
// or -1 when the tree is full.
int InsertMenuNode(int parent, const char* caption, uint32_t command, bool submenu);
// The first child of `parent` when it is a submenu, else -1.
int FirstSubmenu(int parent);
// Removes the entry at position n of the bar; false when there is none.
bool DeleteTopMenuEntry(int n);
// The command of a keyword of insertmenu (case-blind), -1 when unknown.
int32_t FindMenuKeyword(const char* word);
// Lists the fixed-pitch Japanese fonts in front of the item 40004 of the
// font submenu (`into` -1: the one of the built-in bar).
void EnumerateMenuFonts(int into);
// Hands the tree to the platform again (after each change).
void PublishMenu();
