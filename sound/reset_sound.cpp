// reset_sound.cpp - the sound state of a new game.  Stops the sound so far;
// the rest of the list in reset_sound.h joins as the sound subsystem is
// built.
#include "sound/reset_sound.h"

#include "sound/sound.h"

void ResetSoundState() { StopAllSound(true); }
