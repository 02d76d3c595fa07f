// voice_commands.cpp - not built yet: each command ends the game naming itself.
#include "sound/voice_commands.h"

#include "core/dispatch.h"

void Cmd_clickvoice() { Cmd_Unbuilt(); }
void Cmd_dsound() { Cmd_Unbuilt(); }
void Cmd_dwave() { Cmd_Unbuilt(); }
void Cmd_dwave_dd() { Cmd_Unbuilt(); }
void Cmd_dwaveload() { Cmd_Unbuilt(); }
void Cmd_dwaveloop() { Cmd_Unbuilt(); }
void Cmd_dwaveplay() { Cmd_Unbuilt(); }
void Cmd_dwaveplayloop() { Cmd_Unbuilt(); }
void Cmd_dwavestop() { Cmd_Unbuilt(); }
void Cmd_lookbackvoice() { Cmd_Unbuilt(); }
void Cmd_menuselectvoice() { Cmd_Unbuilt(); }
void Cmd_selectvoice() { Cmd_Unbuilt(); }
void Cmd_soundpressplgin() { Cmd_Unbuilt(); }
void Cmd_wave() { Cmd_Unbuilt(); }
void Cmd_waveloop() { Cmd_Unbuilt(); }
void Cmd_wavestop() { Cmd_Unbuilt(); }
