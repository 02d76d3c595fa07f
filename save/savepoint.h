// savepoint.h - the savepoint control the interpreter loop and ScriptError
// use: taking a savepoint, the errorsave slot.
#pragma once

extern int SaveOn;               // 1 after every reset; savepoints are taken
extern int NoCommandSavepoints;  // autosaveoff
extern int ErrorSave;            // errorsave: ScriptError saves to slot 999

void TakeSavepoint();
void SaveGame(int slot);
