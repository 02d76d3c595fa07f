// lookback_commands.cpp - the lookback-viewer commands (stubs until built).
#include "text/lookback_commands.h"

#include "core/dispatch.h"

void Cmd_lookbacksp() { Cmd_Unbuilt(); }
void Cmd_lookbackbutton() { Cmd_Unbuilt(); }
void Cmd_lookbackcolor() { Cmd_Unbuilt(); }
