// slotmenu_commands.cpp - the save/load menu commands (stubs until built).
#include "save/slotmenu_commands.h"

#include "core/dispatch.h"

void Cmd_savenumber() { Cmd_Unbuilt(); }
void Cmd_savename() { Cmd_Unbuilt(); }
