// click_commands.h - script commands, and the click wait they and the Lua
// side share.
#pragma once

// The click wait of click, clickpos and OVClick: right clicks and Esc do
// nothing during it.
void ClickWaitNoRightClick();
// After a script's own wait: a system-menu reset asked for meanwhile runs,
// and a game loaded meanwhile no longer counts.
void EndScriptWait();

void Cmd_abssetcursor();
void Cmd_automode_time();
void Cmd_automode_time2();
void Cmd_click();
void Cmd_clickpos();
void Cmd_lrclick();
void Cmd_setcursor();
