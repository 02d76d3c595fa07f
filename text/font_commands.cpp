// font_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/font_commands.h"

#include "core/dispatch.h"

void Cmd_defaultfont() { Cmd_Unbuilt(); }
void Cmd_dllfont() { Cmd_Unbuilt(); }
void Cmd_font() { Cmd_Unbuilt(); }
void Cmd_mojitype() { Cmd_Unbuilt(); }
void Cmd_setcolor() { Cmd_Unbuilt(); }
void Cmd_setfont() { Cmd_Unbuilt(); }
void Cmd_shadedistance() { Cmd_Unbuilt(); }
void Cmd_tateyoko() { Cmd_Unbuilt(); }
void Cmd_textcolor() { Cmd_Unbuilt(); }
