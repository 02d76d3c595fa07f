// menu_commands.cpp - the window menu's define-block commands.
#include "text/menu_commands.h"

#include "text/window_links.h"

int32_t MenuRebuilt = 0;

void Cmd_deletemenu() {
    MenuDeleted = 1;
    MenuRebuilt = 1;
}
