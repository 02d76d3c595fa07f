// menu_commands.h - the define-block commands that change the window menu.
#pragma once
#include <cstdint>

// resetmenu or deletemenu was given: the start-up font enumeration is
// skipped.
extern int32_t MenuRebuilt;

void Cmd_deletemenu();  // the window has no menu bar from the define block's end on
