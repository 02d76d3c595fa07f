// music.h - background music: one piece at a time, through the Ogg plug-in
// when a game ships one and it opens the file (loop points, fades in the
// background with the newer library), else on a mixer stream (any format the
// decoders read); its fades in quarter-dB steps that double when a step runs
// late, the stop of every music source, and the window timer's replay of
// looping music on the stream.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "sound/sound_temp.h"

extern std::string BgmName;          // CP932 file name of the music, "" none
extern int32_t BgmLooping;           // the window timer replays it
extern int32_t BgmLoopPointSet;      // started with a loop point "(t)file"
extern std::string BgmLoopPointText; // the text between the parentheses
// The sound thread's ducking applies the music's volume (SetBgmVolume)
// while the engine changes what carries it: what that reads is atomic, and
// the music stream is let go under SoundLock, which the ducking step holds,
// so that a step never sets the gain of a stream closed (or its handle
// reused) meanwhile.
extern std::atomic<int32_t> BgmGraphActive;  // the music stream exists and plays
extern std::atomic<int32_t> Mp3VoiceMode;    // an "mv" voice played; never cleared
// The music plays through the Ogg plug-in, and on which channel: 199, or 198
// after a stop with the newer library.  The sound thread's ducking reads
// both; a piece's start and the change of channel are made with SoundLock
// held, so that it sees them whole.
extern std::atomic<int32_t> OggBgmPlaying;
extern std::atomic<int32_t> OggBgmChannel;
extern std::atomic<int> BgmStream;   // mixer stream of the music, -1 none
extern TempFileRecord BgmTempFile;   // the music was extracted to this file

// Stops the music and starts `name` (CP932) looping when loop is set: the
// plug-in wraps it to the loop point (seconds) when loop_point_set, the
// stream is replayed from its start by the window timer.
void PlayBgm(const char* name, int loop, int loop_point_set, double loop_point);
// Stops the music, fading when BgmFadeOutTime is set (not in Mp3VoiceMode).
void StopBgm();
void FadeOutBgm();
// Ramps the music from silence to `target`.
void FadeInBgm(int32_t target);
// The fade time of F ms: F / 8 while skipping.
int32_t FadeTimeNow(int32_t ms);
