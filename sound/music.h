// music.h - background music: one piece at a time on a mixer stream (any
// format the decoders read), its fades in quarter-dB steps that double when a
// step runs late, the stop of every music source, and the window timer's
// replay of looping music.  The Ogg plug-in paths are not taken: the music
// always goes through the stream.
#pragma once
#include <cstdint>
#include <string>

#include "sound/sound_temp.h"

extern std::string BgmName;          // CP932 file name of the music, "" none
extern int32_t BgmLooping;           // the window timer replays it
extern int32_t BgmLoopPointSet;      // started with a loop point "(t)file"
extern std::string BgmLoopPointText; // the text between the parentheses
extern int32_t BgmGraphActive;       // the music stream exists and plays
extern int32_t Mp3VoiceMode;         // an "mv" voice played; never cleared
extern int32_t OggBgmPlaying;        // always 0: no Ogg plug-in carries music
extern int32_t OggBgmChannel;        // 199; kept for the saved state
extern int BgmStream;                // mixer stream of the music, -1 none
extern TempFileRecord BgmTempFile;   // the music was extracted to this file

// Stops the music and starts `name` (CP932), looping through the window
// timer when loop is set; the loop point is only kept (no plug-in).
void PlayBgm(const char* name, int loop, int loop_point_set, double loop_point);
// Stops the music, fading when BgmFadeOutTime is set (not in Mp3VoiceMode).
void StopBgm();
void FadeOutBgm();
// Ramps the music from silence to `target`.
void FadeInBgm(int32_t target);
// The fade time of F ms: F / 8 while skipping.
int32_t FadeTimeNow(int32_t ms);
