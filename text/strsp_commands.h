// strsp_commands.h - the string-sprite commands (stubs until built).
#pragma once

void Cmd_logsp();
void Cmd_logsp2();
void Cmd_logsph();
void Cmd_logsph2();
void Cmd_strsp();
void Cmd_strsph();
void Cmd_spfont();
void Cmd_font2bmp();
void Cmd_createdummy();
