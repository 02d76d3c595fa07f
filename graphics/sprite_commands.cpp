// sprite_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/sprite_commands.h"

#include "core/dispatch.h"

void Cmd_lsp() { Cmd_Unbuilt(); }
void Cmd_lsph() { Cmd_Unbuilt(); }
void Cmd_lsp2() { Cmd_Unbuilt(); }
void Cmd_lsph2() { Cmd_Unbuilt(); }
void Cmd_lsp2add() { Cmd_Unbuilt(); }
void Cmd_lsph2add() { Cmd_Unbuilt(); }
void Cmd_lsp2sub() { Cmd_Unbuilt(); }
void Cmd_lsph2sub() { Cmd_Unbuilt(); }
void Cmd_csp() { Cmd_Unbuilt(); }
void Cmd_csp2() { Cmd_Unbuilt(); }
void Cmd_vsp() { Cmd_Unbuilt(); }
void Cmd_vsp2() { Cmd_Unbuilt(); }
void Cmd_msp() { Cmd_Unbuilt(); }
void Cmd_amsp() { Cmd_Unbuilt(); }
void Cmd_msp2() { Cmd_Unbuilt(); }
void Cmd_amsp2() { Cmd_Unbuilt(); }
void Cmd_allsphide() { Cmd_Unbuilt(); }
void Cmd_allspresume() { Cmd_Unbuilt(); }
void Cmd_allsp2hide() { Cmd_Unbuilt(); }
void Cmd_allsp2resume() { Cmd_Unbuilt(); }
void Cmd_sphide() { Cmd_Unbuilt(); }
void Cmd_spresume() { Cmd_Unbuilt(); }
void Cmd_spreload() { Cmd_Unbuilt(); }
void Cmd_getspmode() { Cmd_Unbuilt(); }
void Cmd_getsppos() { Cmd_Unbuilt(); }
void Cmd_getspsize() { Cmd_Unbuilt(); }
void Cmd_ld() { Cmd_Unbuilt(); }
void Cmd_cl() { Cmd_Unbuilt(); }
void Cmd_tal() { Cmd_Unbuilt(); }
void Cmd_humanz() { Cmd_Unbuilt(); }
void Cmd_humanorder() { Cmd_Unbuilt(); }
void Cmd_humanpos() { Cmd_Unbuilt(); }
void Cmd_underline() { Cmd_Unbuilt(); }
void Cmd_transmode() { Cmd_Unbuilt(); }
