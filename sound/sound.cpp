// sound.cpp - the sound subsystem's entry points used by start-up and exit.
// The audio device is opened here; channels, music and the mixer fill in as
// they are built.
#include "sound/sound.h"

#include "platform/platform.h"
#include "sound/cd.h"
#include "sound/channels.h"

void ShutdownSound() {
    ShutdownDirectSound();
    CdFadeOutTime = 0;  // what stops after this stops at once
}
void SetTempDirectory() { PlatTempDir(); }
