// lookback_commands.h - the lookback-viewer commands (stubs until built).
#pragma once

void Cmd_lookbacksp();
void Cmd_lookbackbutton();
void Cmd_lookbackcolor();
