// reset_save.cpp - the save state of a new game.  GameLoaded joins when the
// save slots are built.
#include "save/reset_save.h"

#include "save/savepoint.h"

void ResetSaveState() { SaveOn = 1; }
