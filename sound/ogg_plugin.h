// ogg_plugin.h - the engine's side of the Ogg plug-in (sound/ogg_channels.h):
// which channels it carries, the music lowered for a voice through it and
// brought back, and its start-up binding.  With the newer library
// ("ovogg2.dll") every channel command goes to the plug-in; with the older
// one ("ovogg.dll") only the channels it opened, marked in OggChannels.  A
// channel whose sound the plug-in refused (no Ogg Vorbis) plays through the
// channel table instead, and the routing follows it there.
#pragma once
#include <cstdint>

extern uint8_t OggChannels[200];      // the channel is open in the plug-in
extern int32_t BgmDuckedForVoice;     // the plug-in's music is lowered for a voice
extern int32_t BgmVolumeBeforeDuck;   // BgmVolume when it was lowered

// Either library is in use.
bool OggLibraryActive();
// The channel's commands (play a loaded sound, volumes) go to the plug-in:
// the newer library, or the older one holding the channel, while the
// channel table holds no sound on it.
bool OggCarries(int channel);
// An attenuation applied to the channel: through the plug-in when it
// carries the channel, else in the channel table.
void ApplyChannelVolume(int32_t attenuation, int channel);
// The start-up binding: OggBgmChannel 199, OggChannels and OggBgmPlaying
// cleared.
void BindOggPlugin();
// All 200 plug-in channels closed and OggChannels cleared.
void CloseOggChannels();
// Lowers the plug-in's music for a voice starting on channel 0: 10 dB below
// BgmVolume at once (silent at 100), noting the volume to come back to.
void DuckBgmForVoice();
// (The window timer's RestoreDuckedBgm, sound/window_sound.h, brings it
// back once channel 0 has ended.)
// The reset: the lowered music back to BgmVolumeBeforeDuck at once.
void EndBgmDuckForReset();
