// click_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/click_commands.h"

#include "core/dispatch.h"

void Cmd_abssetcursor() { Cmd_Unbuilt(); }
void Cmd_automode_time() { Cmd_Unbuilt(); }
void Cmd_automode_time2() { Cmd_Unbuilt(); }
void Cmd_click() { Cmd_Unbuilt(); }
void Cmd_clickpos() { Cmd_Unbuilt(); }
void Cmd_lrclick() { Cmd_Unbuilt(); }
void Cmd_setcursor() { Cmd_Unbuilt(); }
