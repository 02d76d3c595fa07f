// cursor_commands.h - script commands.
#pragma once

void Cmd_defaultspeed();
void Cmd_getcursorpos();
void Cmd_getcursorpos2();
void Cmd_getnextline();
void Cmd_gettext();
void Cmd_getwindowsize();
void Cmd_linepage();
void Cmd_linepage2();
void Cmd_locate();
void Cmd_settextspeed();
void Cmd_textspeed();
void Cmd_textspeeddefault();
void Cmd_toplain();
void Cmd_zenkakko();
