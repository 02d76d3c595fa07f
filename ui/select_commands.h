// select_commands.h - the selection commands.
#pragma once

void Cmd_select();
void Cmd_selgosub();
void Cmd_selnum();
void Cmd_csel();
void Cmd_cselgoto();
void Cmd_getcselnum();
void Cmd_getcselstr();
void Cmd_nextcsel();
void Cmd_selectcolor();
void Cmd_menuselectcolor();
void Cmd_cselbtn();
