// volumes_stub.cpp - the shared volumes at their start values until the
// music and volume commands define them (then this file goes).
#include "sound/volumes.h"

int32_t VoiceVolume = 0;
int32_t SeVolume = 0;
int32_t BgmVolume = 0;
int32_t BgmBaseVolume = 0;
int32_t BgmFadeRunning = 0;
int32_t BgmDownMode = 0;
int32_t BgmFadeOutTime = 0;
int32_t BgmSaved = 0;

void SetBgmVolume(int32_t v) { BgmVolume = v; }
