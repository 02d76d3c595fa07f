// input_commands.h - the commands that read or set the input state, the cursor and the window.
#pragma once

void Cmd_mousemode();
void Cmd_mousecursor();
void Cmd_caption();
void Cmd_usewheel();
void Cmd_useescspc();
void Cmd_ctrlalt();
void Cmd_autoclick();
void Cmd_isfull();
void Cmd_skipoff();
void Cmd_isctrl();
void Cmd_isskip();
void Cmd_checkkey();
void Cmd_getjoypad();
void Cmd_movemousecursor();
void Cmd_minimizewindow();
void Cmd_clickclear();
void Cmd_getmousepos();
