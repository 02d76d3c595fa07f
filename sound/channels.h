// channels.h - the 200 numbered sound channels: voices on 0, sound effects on
// 1..197 (10 is also the system sound channel), intro and loop of the
// intro-and-loop music on 198 and 199.  Each channel holds one whole sound in
// a mixer buffer voice and reports its end once.  Channel numbers outside
// 0..199 are ignored by every operation here.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

constexpr int ChannelCount = 200;
constexpr int VoiceChannel = 0;
constexpr int SystemSoundChannel = 10;
constexpr int BgmIntroChannel = 198;
constexpr int BgmLoopChannel = 199;

// The sound thread reads the flags (ducking, the loop hand-over) and sets
// the music channels' volumes while the engine changes them: every field is
// atomic (sequentially consistent, so a channel seen playing is seen with
// the end flag its play reset).  A load, play or stop of a channel is made
// under SoundLock, under which the sound thread takes a one-shot channel's
// end and releases the channel: a release never hits a sound loaded after
// that end.
struct SoundChannelTable {
    std::atomic<int32_t> SoundStarted{0};                  // the device runs
    std::atomic<int32_t> ChannelVolumes[ChannelCount];     // attenuation 0..100 last set
    std::atomic<int32_t> ChannelBufferReady[ChannelCount]; // loaded
    std::atomic<int32_t> ChannelLooping[ChannelCount];     // last started looping (kept after a stop)
    std::atomic<int32_t> ChannelPlaying[ChannelCount];     // started and its end still watched
};
extern SoundChannelTable SoundChannels;

inline bool ChannelInRange(int channel) { return channel >= 0 && channel < ChannelCount; }

// Starts the device once: 1 running, 0 no device.
int StartDirectSound();
// Loads a file (CP932 path as the game names it, or a real path) into a
// channel without playing it: 1 loaded, 0 not (missing, unreadable, no "fmt "
// or "data", undecodable).  A path ending in exactly "ogg" is Ogg Vorbis;
// when the game ships no Ogg library ("oggdec.dll", "ovogg.dll",
// "ovogg2.dll"), such a file is the fatal error "oggdec.dllがありません。".
int LoadChannelFile(const char* path, int channel);
// The same from bytes in memory; ogg picks the Ogg decoder.
int LoadChannelMemory(const uint8_t* data, size_t size, bool ogg, int channel);
// Attenuation 0..100 stored and applied: 100 -> -10000, v -> -25 v hundredths
// of a dB (values outside 0..100 are applied clamped to -10000..0).
void SetChannelVolume(int attenuation, int channel);
int32_t ChannelMillibels(int attenuation);
// Plays from the current position, once or looping.  Channel 0 takes
// VoiceVolume, 1..197 SeVolume.  An empty channel is not marked playing.
void PlayChannel(int channel, int loop);
// Stops and releases (ChannelLooping kept).  Harmless when empty.
void StopChannel(int channel);
// 1 while a one-shot channel plays; its end is consumed here and the channel
// released.
int PollChannelPlaying(int channel);
// The end event: tested without waiting, consumed by the first taker.
bool TakeChannelEnd(int channel);
void ResetChannelEnd(int channel);
// Stops and releases every channel whose ChannelLooping is 1 (flags kept).
void StopLoopingChannels();
// Stops every channel and closes the device; sets SoundThreadStop.
void ShutdownDirectSound();
