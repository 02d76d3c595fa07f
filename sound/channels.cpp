// channels.cpp - (being built) the channel table.
#include "sound/channels.h"

#include "platform/platform.h"
#include "sound/sound_thread.h"

SoundChannelTable SoundChannels;

static void MixSilence(int16_t* frames, int count, void*) {
    for (int i = 0; i < count * 2; i++) frames[i] = 0;
}

int StartDirectSound() {
    if (SoundChannels.SoundStarted) return 1;
    if (!PlatOpenAudio(MixSilence, nullptr)) return 0;
    SoundChannels.SoundStarted = 1;
    return 1;
}
int LoadChannelFile(const char*, int) { return 0; }
int LoadChannelMemory(const uint8_t*, size_t, bool, int) { return 0; }
int32_t ChannelMillibels(int a) { return a >= 100 ? -10000 : a <= 0 ? 0 : -25 * a; }
void SetChannelVolume(int a, int ch) { if (ChannelInRange(ch)) SoundChannels.ChannelVolumes[ch] = a; }
void PlayChannel(int, int) {}
void StopChannel(int) {}
int PollChannelPlaying(int) { return 0; }
bool TakeChannelEnd(int) { return false; }
void ResetChannelEnd(int) {}
void StopLoopingChannels() {}
void ShutdownDirectSound() {
    SoundThreadStop = 1;
    if (!SoundChannels.SoundStarted) return;
    PlatCloseAudio();
    SoundChannels.SoundStarted = 0;
}
