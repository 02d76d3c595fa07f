// savepoint_stub.cpp - empty savepoints until the save slots are built (then
// this file goes).
#include "save/savepoint.h"

int SaveOn = 1;
int NoCommandSavepoints = 0;
int ErrorSave = 0;

void TakeSavepoint() {}
void SaveGame(int) {}
