// filter_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/filter_commands.h"

#include "core/dispatch.h"

void Cmd_bar() { Cmd_Unbuilt(); }
void Cmd_barclear() { Cmd_Unbuilt(); }
void Cmd_monocro() { Cmd_Unbuilt(); }
void Cmd_nega() { Cmd_Unbuilt(); }
void Cmd_prnum() { Cmd_Unbuilt(); }
void Cmd_prnumclear() { Cmd_Unbuilt(); }
