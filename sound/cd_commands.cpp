// cd_commands.cpp - the CD audio commands (stubs until built).
#include "sound/cd_commands.h"

#include "core/dispatch.h"

void Cmd_play() { Cmd_Unbuilt(); }
void Cmd_playonce() { Cmd_Unbuilt(); }
void Cmd_stop() { Cmd_Unbuilt(); }
void Cmd_playstop() { Cmd_Unbuilt(); }
void Cmd_cdfadeout() { Cmd_Unbuilt(); }
void Cmd_getcdvol() { Cmd_Unbuilt(); }
void Cmd_setcdvol() { Cmd_Unbuilt(); }
void Cmd_setcdrestorevol() { Cmd_Unbuilt(); }
void Cmd_resetcdrestorevol() { Cmd_Unbuilt(); }
void Cmd_restorecdvol() { Cmd_Unbuilt(); }
