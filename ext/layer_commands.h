// layer_commands.h - the plug-in commands (stubs until built).
#pragma once

void Cmd_exec_dll();
void Cmd_getret();
void Cmd_setlayer();
void Cmd_layermessage();
