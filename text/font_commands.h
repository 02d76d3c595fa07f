// font_commands.h - script commands (not built yet: see font_commands.cpp).
#pragma once

void Cmd_defaultfont();
void Cmd_dllfont();
void Cmd_font();
void Cmd_mojitype();
void Cmd_setcolor();
void Cmd_setfont();
void Cmd_shadedistance();
void Cmd_tateyoko();
void Cmd_textcolor();
