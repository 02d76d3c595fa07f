// slot_commands.cpp - not built yet: each command ends the game naming itself.
#include "save/slot_commands.h"

#include "core/dispatch.h"

void Cmd_autosaveoff() { Cmd_Unbuilt(); }
void Cmd_deletescreenshot() { Cmd_Unbuilt(); }
void Cmd_errorsave() { Cmd_Unbuilt(); }
void Cmd_getsavestr() { Cmd_Unbuilt(); }
void Cmd_getscreenshot() { Cmd_Unbuilt(); }
void Cmd_loadgame() { Cmd_Unbuilt(); }
void Cmd_loadgosub() { Cmd_Unbuilt(); }
void Cmd_savedir() { Cmd_Unbuilt(); }
void Cmd_savefileexist() { Cmd_Unbuilt(); }
void Cmd_savegame() { Cmd_Unbuilt(); }
void Cmd_savegame2() { Cmd_Unbuilt(); }
void Cmd_saveoff() { Cmd_Unbuilt(); }
void Cmd_saveon() { Cmd_Unbuilt(); }
void Cmd_savepoint() { Cmd_Unbuilt(); }
void Cmd_savescreenshot() { Cmd_Unbuilt(); }
void Cmd_savescreenshot2() { Cmd_Unbuilt(); }
void Cmd_savetime() { Cmd_Unbuilt(); }
void Cmd_savetime2() { Cmd_Unbuilt(); }
