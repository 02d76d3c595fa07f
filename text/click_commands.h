// click_commands.h - script commands.
#pragma once

void Cmd_abssetcursor();
void Cmd_automode_time();
void Cmd_automode_time2();
void Cmd_click();
void Cmd_clickpos();
void Cmd_lrclick();
void Cmd_setcursor();
