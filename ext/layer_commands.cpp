// layer_commands.cpp - the plug-in commands (stubs until built).
#include "ext/layer_commands.h"

#include "core/dispatch.h"

void Cmd_exec_dll() { Cmd_Unbuilt(); }
void Cmd_getret() { Cmd_Unbuilt(); }
void Cmd_setlayer() { Cmd_Unbuilt(); }
void Cmd_layermessage() { Cmd_Unbuilt(); }
