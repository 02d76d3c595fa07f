// slotmenu_commands.h - the slot menu's define-block settings: savenumber
// (slots listed) and savename (the save title, the load title, the label).
#pragma once

void Cmd_savenumber();
void Cmd_savename();
