// textbtn_commands.h - the text-button commands.
#pragma once

void Cmd_textbtnstart();
void Cmd_textbtnoff();
void Cmd_gettextbtnstr();
void Cmd_erasetextbtn();
