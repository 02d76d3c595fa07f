// layer_commands.h - the plug-in commands: exec_dll (run an exec plug-in
// once), getret (its results), setlayer (bind a layer plug-in) and
// layermessage (send a layer a text).
#pragma once

// The instance and window handles an exec plug-in is given (opaque tokens).
struct OrvaInstance;
struct OrvaWindow;
OrvaInstance* PluginInstanceHandle();
OrvaWindow* PluginWindowHandle();

void Cmd_exec_dll();
void Cmd_getret();
void Cmd_setlayer();
void Cmd_layermessage();
