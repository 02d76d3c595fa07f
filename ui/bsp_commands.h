// bsp_commands.h - the bsp button-set commands.
#pragma once

void Cmd_bsp();
void Cmd_bdef();
void Cmd_bclear();
void Cmd_btime();
void Cmd_btrans();
void Cmd_bdown();
void Cmd_bcursor();
void Cmd_bexec();
