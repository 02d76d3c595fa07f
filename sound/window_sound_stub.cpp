// window_sound_stub.cpp - the window's sound steps do nothing until the
// channels, CD, MIDI and movies are built (then this file goes).
#include "sound/window_sound.h"

int32_t SoundOn = 1;
int32_t CdOn = 1;
int32_t CdTrack = -1;
int32_t CdLooping = 0;
int32_t MovieGraphActive = 0;
int32_t MovieAsync = 0;

void RestoreDuckedBgm() {}
void ReleaseStoppedChannels() {}
void ReplayLoopingCd() {}
void RestartLoopingMidi() {}
void ReplayLoopingBgm() {}
void ReplayLoopingMciWave() {}
void RewindLoopingMovie() {}
void PlayCdTrackFromMenu() {}
void CloseCdAudio() {}
void StopMciVoiceAtClick() {}
void ReleaseMovieForClose() {}
void StopModalMovieForDestroy() {}
