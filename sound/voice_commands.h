// voice_commands.h - script commands.
#pragma once

void Cmd_clickvoice();
void Cmd_dsound();
void Cmd_dwave();
void Cmd_dwave_dd();
void Cmd_dwaveload();
void Cmd_dwaveloop();
void Cmd_dwaveplay();
void Cmd_dwaveplayloop();
void Cmd_dwavestop();
void Cmd_lookbackvoice();
void Cmd_menuselectvoice();
void Cmd_selectvoice();
void Cmd_soundpressplgin();
void Cmd_wave();
void Cmd_waveloop();
void Cmd_wavestop();
