// textwindow_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/textwindow_commands.h"

#include "core/dispatch.h"

void Cmd_erasetextwindow() { Cmd_Unbuilt(); }
void Cmd_menusetwindow() { Cmd_Unbuilt(); }
void Cmd_mode_brin() { Cmd_Unbuilt(); }
void Cmd_setwindow() { Cmd_Unbuilt(); }
void Cmd_setwindow2() { Cmd_Unbuilt(); }
void Cmd_setwindow3() { Cmd_Unbuilt(); }
void Cmd_textclear() { Cmd_Unbuilt(); }
void Cmd_textcommit() { Cmd_Unbuilt(); }
void Cmd_texthide() { Cmd_Unbuilt(); }
void Cmd_textmode() { Cmd_Unbuilt(); }
void Cmd_textoff() { Cmd_Unbuilt(); }
void Cmd_texton() { Cmd_Unbuilt(); }
void Cmd_textshow() { Cmd_Unbuilt(); }
void Cmd_windowback() { Cmd_Unbuilt(); }
void Cmd_windowchip() { Cmd_Unbuilt(); }
void Cmd_windoweffect() { Cmd_Unbuilt(); }
