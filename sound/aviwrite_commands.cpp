// aviwrite_commands.cpp - the AVI capture commands (stubs until built).
#include "sound/aviwrite_commands.h"

#include "core/dispatch.h"

void Cmd_aviwriteopen() { Cmd_Unbuilt(); }
void Cmd_aviwrite() { Cmd_Unbuilt(); }
void Cmd_aviwriteclose() { Cmd_Unbuilt(); }
