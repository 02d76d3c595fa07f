// display_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/display_commands.h"

#include "core/dispatch.h"

void Cmd_addkinsoku() { Cmd_Unbuilt(); }
void Cmd_br() { Cmd_Unbuilt(); }
void Cmd_clickskippage() { Cmd_Unbuilt(); }
void Cmd_clickstr() { Cmd_Unbuilt(); }
void Cmd_indent() { Cmd_Unbuilt(); }
void Cmd_ispage() { Cmd_Unbuilt(); }
void Cmd_kinsoku() { Cmd_Unbuilt(); }
void Cmd_linkcolor() { Cmd_Unbuilt(); }
void Cmd_pretextgosub() { Cmd_Unbuilt(); }
void Cmd_puttext() { Cmd_Unbuilt(); }
void Cmd_setkinsoku() { Cmd_Unbuilt(); }
void Cmd_texec() { Cmd_Unbuilt(); }
void Cmd_texec2() { Cmd_Unbuilt(); }
void Cmd_textgosub() { Cmd_Unbuilt(); }
void Cmd_rubyoff() { Cmd_Unbuilt(); }
void Cmd_rubyon() { Cmd_Unbuilt(); }
void Cmd_rubyon2() { Cmd_Unbuilt(); }
