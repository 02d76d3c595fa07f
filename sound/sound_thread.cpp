// sound_thread.cpp - (being built) the sound thread and loop music.
#include "sound/sound_thread.h"

std::recursive_mutex SoundLock;
volatile int32_t SoundThreadStop = 0;
uint8_t SoundThreadPending = 1;
uint32_t DuckLastStep = 0;
volatile int32_t LoopBgmState = 0;
LoopBgmFileSet LoopBgmFiles;

void StartSoundThread() { SoundThreadPending = 0; }
uint32_t SoundThreadPass() { return 50; }
void PlayLoopBgm(const char*, const char*) {}
void StopLoopBgm() {}
void FadeOutLoopBgm() {}
