// reset_save.cpp - the save state of a new game.
#include "save/reset_save.h"

#include "save/savepoint.h"

void ResetSaveState() {
    SaveOn = 1;
    GameLoaded = 0;
}
