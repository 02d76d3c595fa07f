// cd_commands.h - the CD commands and the music stops they share with MIDI:
// play / playonce ("*N" a CD track, any other name MIDI), playstop, stop,
// cdfadeout and the CD volume commands.
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
