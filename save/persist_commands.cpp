// persist_commands.cpp - not built yet: each command ends the game naming itself.
#include "save/persist_commands.h"

#include "core/dispatch.h"

void Cmd_globalon() { Cmd_Unbuilt(); }
void Cmd_kidokumode() { Cmd_Unbuilt(); }
void Cmd_kidokuskip() { Cmd_Unbuilt(); }
void Cmd_filelog() { Cmd_Unbuilt(); }
void Cmd_labellog() { Cmd_Unbuilt(); }
