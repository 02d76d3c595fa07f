// volumes.cpp - the shared volumes and switches at their start values, and
// the attenuation to hundredths of a dB mappings.
#include "sound/volumes.h"

int32_t VoiceVolume = 0;
int32_t SeVolume = 0;
std::atomic<int32_t> BgmVolume{0};
std::atomic<int32_t> BgmBaseVolume{0};
std::atomic<int32_t> BgmFadeRunning{0};
std::atomic<int32_t> BgmDownMode{0};
int32_t BgmFadeOutTime = 0;
int32_t BgmSaved = 0;
int32_t BgmFadeInTime = 0;
int32_t DelBgmVolume = 0;
int32_t WaveDemoMode = 0;
int32_t NoDwaveError = 0;

int32_t AttenuationMillibels(int32_t a) { return a == 100 ? -10000 : -25 * a; }
int32_t GraphMillibels(int32_t a) { return a == 100 ? -9999 : -25 * a; }
