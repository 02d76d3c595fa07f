// background_commands.h - the background and screen-update commands.
#pragma once

void Cmd_bg();
void Cmd_bgalia();
void Cmd_noteraseman();
void Cmd_getbgname();
void Cmd_print();
void Cmd_repaint();
