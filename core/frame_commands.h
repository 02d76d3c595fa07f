// frame_commands.h - the commands that frame a run: end, game (the end of the
// *define block), definereset (a full reload), getversion and reset.
#pragma once

void Cmd_end();
void Cmd_game();
void Cmd_definereset();
void Cmd_getversion();
void Cmd_reset();
