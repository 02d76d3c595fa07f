// textwindow_commands.h - the text window's script commands: its set-up
// (setwindow, setwindow2, setwindow3, menusetwindow), showing and hiding it
// (textoff, texton, texthide, textshow, textmode, erasetextwindow), the page
// (textclear, textcommit), the window effect, window chips, windowback and
// mode_brin.
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
