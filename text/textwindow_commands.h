// textwindow_commands.h - script commands (not built yet: see textwindow_commands.cpp).
#pragma once

void Cmd_erasetextwindow();
void Cmd_menusetwindow();
void Cmd_mode_brin();
void Cmd_setwindow();
void Cmd_setwindow2();
void Cmd_setwindow3();
void Cmd_textclear();
void Cmd_textcommit();
void Cmd_texthide();
void Cmd_textmode();
void Cmd_textoff();
void Cmd_texton();
void Cmd_textshow();
void Cmd_windowback();
void Cmd_windowchip();
void Cmd_windoweffect();
