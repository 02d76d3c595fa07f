// volumes.h - the sound volumes and switches that channels, the sound thread
// and the music share: attenuations 0 (full) .. 100 (silent).  What the
// sound thread's ducking reads and writes while the engine changes it is
// atomic (sequentially consistent: a step sees each value whole and in the
// order the engine set them); the rest is the engine's thread's alone.
#pragma once
#include <atomic>
#include <cstdint>

extern int32_t VoiceVolume;      // applied to channel 0 at each play
extern int32_t SeVolume;         // applied to channels 1..197 at each play
extern std::atomic<int32_t> BgmVolume;       // the music volume in force (ducked, fading)
extern std::atomic<int32_t> BgmBaseVolume;   // the music volume the script set
extern std::atomic<int32_t> BgmFadeRunning;  // a music fade is in progress
extern std::atomic<int32_t> BgmDownMode;     // bgmdownmode: music lowered under voices
extern int32_t BgmFadeOutTime;   // ms; loop music and music stops fade when set
extern int32_t BgmSaved;         // the music is saved with the game
extern int32_t BgmFadeInTime;    // ms; music starts fade in when set
extern int32_t DelBgmVolume;     // delbgmvol: the volume dialog has no music slider
extern int32_t WaveDemoMode;     // mode_wave_demo: sounds play in skip mode too
extern int32_t NoDwaveError;     // nodv: a missing dwave sound is no error

// Hundredths of a dB of an attenuation: -10000 for 100, else -25 a.  The
// music stream takes -9999 for 100 (GraphMillibels).
int32_t AttenuationMillibels(int32_t attenuation);
int32_t GraphMillibels(int32_t attenuation);

// Applies BgmVolume's value v to the music being heard (music stream, loop
// channels).
void SetBgmVolume(int32_t v);
// The same for the ducking under a voice, which leaves a fade of the
// plug-in's music running (see OggDuckVolume).
void DuckBgmVolume(int32_t v);
