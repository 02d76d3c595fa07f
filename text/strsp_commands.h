// strsp_commands.h - the string-sprite commands: logsp, logsph, logsp2,
// logsph2, strsp, strsph, spfont, font2bmp and createdummy.
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
