// menu_commands.cpp - the window menu's define-block commands.
#include "text/menu_commands.h"

#include "core/dispatch.h"
#include "text/window_links.h"

int32_t MenuRebuilt = 0;

void Cmd_deletemenu() {
    MenuDeleted = 1;
    MenuRebuilt = 1;
}

void Cmd_resetmenu() { Cmd_Unbuilt(); }
void Cmd_insertmenu() { Cmd_Unbuilt(); }
void Cmd_killmenu() { Cmd_Unbuilt(); }
void Cmd_mode_ext() { Cmd_Unbuilt(); }
void Cmd_automode() { Cmd_Unbuilt(); }
void Cmd_english() { Cmd_Unbuilt(); }
void Cmd_englishdialog() { Cmd_Unbuilt(); }
void Cmd_mode_tavelo() { Cmd_Unbuilt(); }
void Cmd_versionstr() { Cmd_Unbuilt(); }
void Cmd_menu_full() { Cmd_Unbuilt(); }
void Cmd_menu_click_page() { Cmd_Unbuilt(); }
void Cmd_menu_automode() { Cmd_Unbuilt(); }
void Cmd_menu_dwavvol() { Cmd_Unbuilt(); }
void Cmd_menu_click_def() { Cmd_Unbuilt(); }
void Cmd_menu_cd_on() { Cmd_Unbuilt(); }
void Cmd_menu_cd_off() { Cmd_Unbuilt(); }
void Cmd_menu_end() { Cmd_Unbuilt(); }
void Cmd_menu_window() { Cmd_Unbuilt(); }
