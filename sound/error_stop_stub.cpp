// error_stop_stub.cpp - until the channels are built only StopAllSound runs
// (then this file goes).
#include "sound/error_stop.h"

#include "sound/sound.h"

void StopSoundForError() { StopAllSound(true); }
