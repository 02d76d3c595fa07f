// picture_tools.cpp - not built yet: each command ends the game naming itself.
#include "graphics/picture_tools.h"

#include "core/dispatch.h"

void Cmd_bmpcut() { Cmd_Unbuilt(); }
void Cmd_bw2a() { Cmd_Unbuilt(); }
void Cmd_bw2a2() { Cmd_Unbuilt(); }
void Cmd_bw2a3() { Cmd_Unbuilt(); }
void Cmd_chainbmp() { Cmd_Unbuilt(); }
void Cmd_convgif() { Cmd_Unbuilt(); }
void Cmd_grptest() { Cmd_Unbuilt(); }
void Cmd_sp_rgb_gradation() { Cmd_Unbuilt(); }
