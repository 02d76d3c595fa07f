// reset_save.h - the save state of a new game, restored by every reset to
// *start (core/reset.cpp): SaveOn 1 (savepoints are taken), GameLoaded 0.
#pragma once

void ResetSaveState();
