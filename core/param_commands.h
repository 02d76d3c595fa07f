// param_commands.h - user-defined commands and their arguments: defsub
// (*define only) declares a command that calls the label of its name;
// getparam and getparam2 read the caller's arguments from the script text
// and move the call's return position behind them; gettag reads the
// parameters of the text tag whose routine is running.
#pragma once

void Cmd_defsub();
void Cmd_getparam();
void Cmd_getparam2();
void Cmd_gettag();
