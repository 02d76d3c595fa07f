// cd_commands.h - the CD audio commands (stubs until built).
#pragma once

void Cmd_play();
void Cmd_playonce();
void Cmd_stop();
void Cmd_playstop();
void Cmd_cdfadeout();
void Cmd_getcdvol();
void Cmd_setcdvol();
void Cmd_setcdrestorevol();
void Cmd_resetcdrestorevol();
void Cmd_restorecdvol();
