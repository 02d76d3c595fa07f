// offscreen_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/offscreen_commands.h"

#include "core/dispatch.h"

void Cmd_bgcopy() { Cmd_Unbuilt(); }
void Cmd_bgcpy() { Cmd_Unbuilt(); }
void Cmd_blt() { Cmd_Unbuilt(); }
void Cmd_draw() { Cmd_Unbuilt(); }
void Cmd_drawbg() { Cmd_Unbuilt(); }
void Cmd_drawbg2() { Cmd_Unbuilt(); }
void Cmd_drawclear() { Cmd_Unbuilt(); }
void Cmd_drawfill() { Cmd_Unbuilt(); }
void Cmd_drawsp() { Cmd_Unbuilt(); }
void Cmd_drawsp2() { Cmd_Unbuilt(); }
void Cmd_drawsp3() { Cmd_Unbuilt(); }
void Cmd_drawtext() { Cmd_Unbuilt(); }
void Cmd_ofscopy() { Cmd_Unbuilt(); }
void Cmd_ofscpy() { Cmd_Unbuilt(); }
