// ogg_channels.h - the built-in Ogg plug-in's channels (what "ovogg2.dll"
// offers a game): 200 channels, each an Ogg Vorbis sound decoded whole when
// opened, played once or looping (from the start or from a loop point), with
// a volume and a linear fade in hundredths of a dB (0 full, -10000 silent).
// All channels are summed on one mixer stream, opened with the first channel
// and closed by OggCloseAll, so fades and ends follow the mixer's clock (the
// virtual one in headless runs).  Numbers outside 0..OggChannelCount-1 are
// ignored here; the callers check them.
#pragma once
#include <cstdint>
#include <vector>

enum { OggChannelCount = 200 };

// Opens `name` (CP932) on the channel, which is closed first: a file in the
// game folder, else an ov2 entry, else an ova entry.  -1 when none holds the
// name, 0 when the bytes are no Ogg Vorbis (the channel stays closed), 1 when
// open (stopped, at 0 dB).
int OggOpenFile(int channel, const char* name);
// The same over bytes already read; false when they are no Ogg Vorbis.
bool OggOpenBytes(int channel, const char* name, const std::vector<uint8_t>& bytes);
// Plays from the start; loop wraps the end to the start.
void OggPlay(int channel, bool loop);
// Plays from the start and wraps the end to `seconds` (a point outside the
// sound wraps to the start).
void OggPlay2(int channel, double seconds);
void OggClose(int channel);             // stops and forgets the sound
// Sets the volume and ends a running fade; a fade that closes the channel
// runs on instead, as if it had started from `mb`, and closes it.
void OggVolume(int channel, int32_t mb);
// A volume that leaves a running fade going: a fade that closes the channel
// runs on untouched, any other one ends at `mb` instead of its own end.
void OggDuckVolume(int channel, int32_t mb);
// Sets `from`, then moves linearly to `to` over ms milliseconds; with close
// the channel closes when the fade ends.  ms <= 0, or a channel that does not play, gets `to` (and
// the close) at once.
void OggFade(int channel, int32_t from, int32_t to, int32_t ms, bool close);
bool OggIsPlaying(int channel);
bool OggIsOpen(int channel);
int32_t OggVolumeOf(int channel);       // the current volume (during a fade too)
int64_t OggPositionOf(int channel);     // frames into the sound
// Every channel closed and the mixer stream released (resets, tests).
void OggCloseAll();
