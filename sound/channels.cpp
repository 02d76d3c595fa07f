// channels.cpp - the channel table over the mixer's buffer voices: loading a
// wave or Ogg file whole into a channel, volumes in hundredths of a dB,
// playing from the current position, and the end of a one-shot play
// consumed once by whoever tests it first.  Loads, plays and stops are made
// under SoundLock, as the sound thread's take of an end and its release of
// the channel are (a decode is not: the lock is held for the table only).
#include "sound/channels.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "sound/decode_ffmpeg.h"
#include "sound/decode_pcm.h"
#include "sound/decode_riff.h"
#include "sound/decode_vorbis.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"

SoundChannelTable SoundChannels;

static void MixerFill(int16_t* frames, int count, void*) { MixerRender(frames, count); }

int StartDirectSound() {
    if (SoundChannels.SoundStarted) return 1;
    if (!PlatOpenAudio(MixerFill, nullptr)) return 0;
    SoundChannels.SoundStarted = 1;
    for (auto& v : SoundChannels.ChannelVolumes) v = 0;
    SoundTrace("device start rate=%d", MixerRate);
    return 1;
}

// Stops and drops what a channel holds; the flags as the callers set them.
// With SoundLock held.
static void ReleaseBuffer(int ch) {
    if (!SoundChannels.ChannelBufferReady[ch]) return;
    SoundChannels.ChannelBufferReady[ch] = 0;
    MixerReleaseBuffer(ch);
    SoundTrace("ch=%d release", ch);
}

static bool EndsInOgg(const char* path) {
    size_t n = strlen(path);
    return n >= 3 && memcmp(path + n - 3, "ogg", 3) == 0;
}

// Decodes a whole file's bytes; false when it is no sound we can read.
static bool DecodeChannelSound(const uint8_t* b, size_t size, bool ogg, MixerSound* out,
                               std::string* what) {
    char desc[128];
    if (ogg) {
        int rate = 0;
        int64_t frames = 0;
        if (!DecodeOggWhole(b, size, out, &rate, &frames)) return false;
        // A sound shorter than one second gets a one-second buffer: it
        // plays, and ends, as one second long.
        PadSound(out, MixerRate);
        snprintf(desc, sizeof desc, "ogg rate=%d frames=%lld", rate, (long long)frames);
        *what = desc;
        return true;
    }
    RiffWave w;
    if (!ScanRiffWave(b, size, &w)) return false;
    const uint8_t* data = b + w.data_offset;
    bool ok = w.tag == WaveFormatPcm ? PcmToMixer(w, data, out) : DecodeCompressedWave(w, data, out);
    if (!ok) return false;
    snprintf(desc, sizeof desc, "%s tag=%d ch=%d rate=%u bits=%d bytes=%zu",
             w.tag == WaveFormatPcm ? "pcm" : "acm", w.tag, w.channels, w.rate, w.bits, w.data_size);
    *what = desc;
    return true;
}

static int LoadDecoded(const uint8_t* b, size_t size, bool ogg, int ch, const char* name) {
    if (!SoundChannels.SoundStarted && !StartDirectSound()) return 0;
    StopChannel(ch);
    auto sound = std::make_shared<MixerSound>();
    std::string what;
    if (!DecodeChannelSound(b, size, ogg, sound.get(), &what)) {
        SoundTrace("ch=%d load \"%s\" failed", ch, name);
        return 0;
    }
    SoundLockHold hold;
    MixerLoadBuffer(ch, std::move(sound));
    MixerSetBufferGain(ch, 0);  // a new buffer plays at full level until a volume is set
    MixerResetBufferEnd(ch);
    SoundChannels.ChannelBufferReady[ch] = 1;
    SoundTrace("ch=%d load \"%s\" %s", ch, name, what.c_str());
    return 1;
}

int LoadChannelFile(const char* path, int ch) {
    if (!ChannelInRange(ch) || !path) return 0;
    if (!SoundChannels.SoundStarted && !StartDirectSound()) return 0;
    std::vector<uint8_t> bytes;
    if (!PlatReadFile(path, false, &bytes)) {
        StopChannel(ch);
        SoundTrace("ch=%d load \"%s\" missing", ch, path);
        return 0;
    }
    bool ogg = EndsInOgg(path);
    // Ogg is decoded here for the decoder library; a game that ships either
    // Ogg plug-in has its intro-and-loop music and the sounds the plug-in
    // refuses decoded here too.  A game with none of the three cannot play
    // the sound.
    if (ogg && !OggDecoderLoaded && !OggPluginActive && !OggPlugin2Active)
        ScriptError(CapSoundError, MsgOggDecoderMissing);
    return LoadDecoded(bytes.data(), bytes.size(), ogg, ch, path);
}

int LoadChannelMemory(const uint8_t* data, size_t size, bool ogg, int ch) {
    if (!ChannelInRange(ch) || (!data && size)) return 0;
    return LoadDecoded(data, size, ogg, ch, "(memory)");
}

int32_t ChannelMillibels(int a) {
    if (a >= 100) return MixerSilentMb;
    if (a <= 0) return 0;  // a gain above full level is never applied
    return -25 * a;
}

void SetChannelVolume(int a, int ch) {
    if (!ChannelInRange(ch)) return;
    SoundChannels.ChannelVolumes[ch] = a;
    if (!SoundChannels.ChannelBufferReady[ch]) return;
    MixerSetBufferGain(ch, ChannelMillibels(a));
    SoundTrace("ch=%d vol %d", ch, (int)ChannelMillibels(a));
}

void PlayChannel(int ch, int loop) {
    if (!ChannelInRange(ch)) return;
    SoundLockHold hold;
    MixerResetBufferEnd(ch);
    SoundChannels.ChannelLooping[ch] = loop;
    if (ch == VoiceChannel) SetChannelVolume(VoiceVolume, ch);
    else if (ch < BgmIntroChannel) SetChannelVolume(SeVolume, ch);
    // An empty channel is not marked playing: no end would ever come, and
    // voice waits, ducking and the loop hand-over would wait for it forever.
    if (!SoundChannels.ChannelBufferReady[ch]) {
        SoundChannels.ChannelPlaying[ch] = 0;
        SoundTrace("ch=%d play loop=%d empty", ch, loop ? 1 : 0);
        return;
    }
    SoundChannels.ChannelPlaying[ch] = 1;
    MixerPlayBuffer(ch, loop != 0);
    SoundTrace("ch=%d play loop=%d", ch, loop ? 1 : 0);
    if (ch == VoiceChannel) WakeSoundThread();  // the music may have to duck
}

void StopChannel(int ch) {
    if (!ChannelInRange(ch)) return;
    SoundLockHold hold;
    SoundChannels.ChannelPlaying[ch] = 0;
    ReleaseBuffer(ch);
}

bool TakeChannelEnd(int ch) { return ChannelInRange(ch) && MixerTakeBufferEnd(ch); }
void ResetChannelEnd(int ch) {
    if (ChannelInRange(ch)) MixerResetBufferEnd(ch);
}

int PollChannelPlaying(int ch) {
    if (!ChannelInRange(ch)) return 0;
    SoundLockHold hold;
    if (!SoundChannels.SoundStarted || !SoundChannels.ChannelPlaying[ch] || SoundChannels.ChannelLooping[ch])
        return 0;
    if (!TakeChannelEnd(ch)) return 1;
    StopChannel(ch);
    return 0;
}

void StopLoopingChannels() {
    SoundLockHold hold;
    for (int ch = 0; ch < ChannelCount; ch++) {
        if (SoundChannels.ChannelLooping[ch] != 1) continue;
        SoundChannels.ChannelPlaying[ch] = 0;
        ReleaseBuffer(ch);
    }
}

void ShutdownDirectSound() {
    SoundThreadStop = 1;
    WakeSoundThread();
    WaitSoundThreadEnd();
    if (!SoundChannels.SoundStarted) return;
    for (int ch = 0; ch < ChannelCount; ch++) StopChannel(ch);
    PlatCloseAudio();
    MixerFreeSpent();
    SoundChannels.SoundStarted = 0;
    SoundTrace("device stop");
}
