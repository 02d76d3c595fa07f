// offscreen_commands.h - script commands (not built yet: see offscreen_commands.cpp).
#pragma once

void Cmd_bgcopy();
void Cmd_bgcpy();
void Cmd_blt();
void Cmd_draw();
void Cmd_drawbg();
void Cmd_drawbg2();
void Cmd_drawclear();
void Cmd_drawfill();
void Cmd_drawsp();
void Cmd_drawsp2();
void Cmd_drawsp3();
void Cmd_drawtext();
void Cmd_ofscopy();
void Cmd_ofscpy();
