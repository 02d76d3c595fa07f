// slot_commands.h - script commands.
#pragma once

void Cmd_autosaveoff();
void Cmd_deletescreenshot();
void Cmd_errorsave();
void Cmd_getsavestr();
void Cmd_getscreenshot();
void Cmd_loadgame();
void Cmd_loadgosub();
void Cmd_savedir();
void Cmd_savefileexist();
void Cmd_savegame();
void Cmd_savegame2();
void Cmd_saveoff();
void Cmd_saveon();
void Cmd_savepoint();
void Cmd_savescreenshot();
void Cmd_savescreenshot2();
void Cmd_savetime();
void Cmd_savetime2();
