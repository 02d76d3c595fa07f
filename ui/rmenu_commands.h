// rmenu_commands.h - the right-click menu and system-action commands.
#pragma once

void Cmd_rmode();
void Cmd_rgosub();
void Cmd_rlookback();
void Cmd_roff();
void Cmd_rmenu();
void Cmd_systemcall();
