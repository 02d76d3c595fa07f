// menu_commands.h - the define-block commands that change the window menu.
#pragma once
#include <cstdint>

// resetmenu or deletemenu was given: the start-up font enumeration is
// skipped.
extern int32_t MenuRebuilt;

void Cmd_deletemenu();  // the window has no menu bar from the define block's end on
void Cmd_resetmenu();
void Cmd_insertmenu();
void Cmd_killmenu();
void Cmd_mode_ext();
void Cmd_automode();
void Cmd_english();
void Cmd_englishdialog();
void Cmd_mode_tavelo();
void Cmd_versionstr();
void Cmd_menu_full();
void Cmd_menu_click_page();
void Cmd_menu_automode();
void Cmd_menu_dwavvol();
void Cmd_menu_click_def();
void Cmd_menu_cd_on();
void Cmd_menu_cd_off();
void Cmd_menu_end();
void Cmd_menu_window();
