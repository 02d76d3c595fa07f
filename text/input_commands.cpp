// input_commands.cpp - not built yet: each command ends the game naming itself.
#include "text/input_commands.h"

#include "core/dispatch.h"

void Cmd_mousemode() { Cmd_Unbuilt(); }
void Cmd_mousecursor() { Cmd_Unbuilt(); }
void Cmd_caption() { Cmd_Unbuilt(); }
void Cmd_usewheel() { Cmd_Unbuilt(); }
void Cmd_useescspc() { Cmd_Unbuilt(); }
void Cmd_ctrlalt() { Cmd_Unbuilt(); }
void Cmd_autoclick() { Cmd_Unbuilt(); }
void Cmd_isfull() { Cmd_Unbuilt(); }
void Cmd_skipoff() { Cmd_Unbuilt(); }
void Cmd_isctrl() { Cmd_Unbuilt(); }
void Cmd_isskip() { Cmd_Unbuilt(); }
void Cmd_checkkey() { Cmd_Unbuilt(); }
void Cmd_getjoypad() { Cmd_Unbuilt(); }
void Cmd_movemousecursor() { Cmd_Unbuilt(); }
void Cmd_minimizewindow() { Cmd_Unbuilt(); }
void Cmd_clickclear() { Cmd_Unbuilt(); }
void Cmd_getmousepos() { Cmd_Unbuilt(); }
