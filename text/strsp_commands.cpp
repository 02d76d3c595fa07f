// strsp_commands.cpp - the string-sprite commands (stubs until built).
#include "text/strsp_commands.h"

#include "core/dispatch.h"

void Cmd_logsp() { Cmd_Unbuilt(); }
void Cmd_logsp2() { Cmd_Unbuilt(); }
void Cmd_logsph() { Cmd_Unbuilt(); }
void Cmd_logsph2() { Cmd_Unbuilt(); }
void Cmd_strsp() { Cmd_Unbuilt(); }
void Cmd_strsph() { Cmd_Unbuilt(); }
void Cmd_spfont() { Cmd_Unbuilt(); }
void Cmd_font2bmp() { Cmd_Unbuilt(); }
void Cmd_createdummy() { Cmd_Unbuilt(); }
