// background_commands.cpp - not built yet: each command ends the game naming itself.
#include "graphics/background_commands.h"

#include "core/dispatch.h"

void Cmd_bg() { Cmd_Unbuilt(); }
void Cmd_bgalia() { Cmd_Unbuilt(); }
void Cmd_noteraseman() { Cmd_Unbuilt(); }
void Cmd_getbgname() { Cmd_Unbuilt(); }
void Cmd_print() { Cmd_Unbuilt(); }
void Cmd_repaint() { Cmd_Unbuilt(); }
