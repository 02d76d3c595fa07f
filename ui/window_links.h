// window_links.h - what the window procedure reads and calls of the menu,
// the fonts, the button wait, the traps and the Lua hooks, and the settings
// its menu commands switch.  Their owners fill them in.
#pragma once
#include <cstdint>

// The window menu: deletemenu ran (the menu never comes back), the menu
// bar on or off the window, and the check mark of a command.
extern int32_t MenuDeleted;
void SetMenuAttached(bool on);
void SetMenuCheck(uint32_t command, bool checked);

// Font items of the menu: FontMenuCount names (at most FontMenuLimit); the
// selected face and the checked item (a command number: 40004 or
// FontCommandBase + N).
enum { FontMenuLimit = 180, FontNameSize = 64 };
enum : uint32_t { FontCommandBase = 50000 };
extern char FontMenuNames[FontMenuLimit][FontNameSize];
extern int32_t FontMenuCount;
extern char DefaultFont[256];   // with the glyph renderer (text/glyph.h)
extern char SelectedFont[256];
extern uint32_t SelectedFontItem;

// Display settings of the menu: one page at a time, and the text speed.
extern int32_t PageAtATime;
extern int32_t TextSpeedIndex;  // 0, 1 or 2

// The button wait's options: Enter is a key of its own (getenter), F10 is
// reported and never reaches the menu (getfunction).
extern int32_t ButtonGetEnter, ButtonGetFunction;

// lr_trap_value: the numeric variable a click stores into, -1 when disarmed.
extern int32_t TrapValueVariable;

// A Lua hook that answers true or false: 1 true, 0 anything else, -1 when
// the call failed.
int CallLuaBoolHook(const char* function);
