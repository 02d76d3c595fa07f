// font_commands.h - the font and text colour commands: font/setfont,
// defaultfont, dllfont, mojitype, setcolor, shadedistance, tateyoko,
// textcolor.
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
