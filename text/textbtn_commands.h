// textbtn_commands.h - the text-button commands (stubs until built).
#pragma once

void Cmd_textbtnstart();
void Cmd_textbtnoff();
void Cmd_gettextbtnstr();
void Cmd_erasetextbtn();
