// picture_tools.h - script commands (not built yet: see picture_tools.cpp).
#pragma once

void Cmd_bmpcut();
void Cmd_bw2a();
void Cmd_bw2a2();
void Cmd_bw2a3();
void Cmd_chainbmp();
void Cmd_convgif();
void Cmd_grptest();
void Cmd_sp_rgb_gradation();
