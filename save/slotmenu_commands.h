// slotmenu_commands.h - the save/load menu commands (stubs until built).
#pragma once

void Cmd_savenumber();
void Cmd_savename();
