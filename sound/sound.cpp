// sound.cpp - the sound subsystem's entry points used by start-up and exit.
// The audio device is opened here; channels, music and the mixer fill in as
// they are built.
#include "sound/sound.h"

#include "platform/platform.h"

static void MixSilence(int16_t* frames, int count, void*) {
    for (int i = 0; i < count * 2; i++) frames[i] = 0;
}

void StartDirectSound() { PlatOpenAudio(MixSilence, nullptr); }
void StopAllSound(bool) {}
void ShutdownSound() { PlatCloseAudio(); }
void RestoreCdVolumeAtExit() {}
void SetTempDirectory() { PlatTempDir(); }
void ClearDwaveSetting() {}
void FindCdMixerControls() {}
void SetSoundPassDefaults() {}
void SetSoundLoadDefaults() {}
void ClearSoundPressPlugins() {}
