// cursor_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/cursor_commands.h"

#include "core/dispatch.h"

void Cmd_defaultspeed() { Cmd_Unbuilt(); }
void Cmd_getcursorpos() { Cmd_Unbuilt(); }
void Cmd_getcursorpos2() { Cmd_Unbuilt(); }
void Cmd_getnextline() { Cmd_Unbuilt(); }
void Cmd_gettext() { Cmd_Unbuilt(); }
void Cmd_getwindowsize() { Cmd_Unbuilt(); }
void Cmd_linepage() { Cmd_Unbuilt(); }
void Cmd_linepage2() { Cmd_Unbuilt(); }
void Cmd_locate() { Cmd_Unbuilt(); }
void Cmd_settextspeed() { Cmd_Unbuilt(); }
void Cmd_textspeed() { Cmd_Unbuilt(); }
void Cmd_textspeeddefault() { Cmd_Unbuilt(); }
void Cmd_toplain() { Cmd_Unbuilt(); }
void Cmd_zenkakko() { Cmd_Unbuilt(); }
