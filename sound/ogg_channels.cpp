// ogg_channels.cpp - the Ogg plug-in's channel table and the mixer source
// that sums it.  The table lives under one mutex taken by the engine's calls
// and by the rendering thread's Read; mixer functions are never called with
// it held (the mixer's own locks are taken outside it).  A closing fade that
// ends in the renderer leaves its sound for the engine's next call to free.
#include "sound/ogg_channels.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "platform/platform.h"
#include "sound/decode_vorbis.h"
#include "sound/mixer.h"

namespace {

struct Channel {
    std::shared_ptr<const MixerSound> sound;  // null: closed
    // The sound of a closing fade that ended in the renderer, kept there so
    // that the audio callback never frees a whole decoded piece; the
    // engine's next call frees it (FreeSpentSounds, OggClose).
    std::shared_ptr<const MixerSound> spent;
    int64_t pos = 0;
    int64_t loop_from = -1;  // frame the end wraps to; -1 plays once
    bool playing = false;
    int32_t mb = 0;
    // A running fade: mb goes from fade_from to fade_to over fade_frames.
    bool fading = false, fade_close = false;
    int32_t fade_from = 0, fade_to = 0;
    int64_t fade_frames = 0, fade_done = 0;
};

std::mutex Mu;
Channel Channels[OggChannelCount];
std::atomic<bool> SpentWaiting{false};  // some channel holds a spent sound
int Stream = -1;  // the mixer stream of all channels

bool Valid(int ch) { return ch >= 0 && ch < OggChannelCount; }

int32_t ClampMb(int32_t mb) { return mb > 0 ? 0 : mb < MixerSilentMb ? MixerSilentMb : mb; }

int32_t FadeMb(const Channel& c) {
    if (!c.fading || c.fade_frames <= 0) return c.mb;
    double t = (double)c.fade_done / (double)c.fade_frames;
    return (int32_t)std::lround(c.fade_from + (c.fade_to - c.fade_from) * t);
}

// With Mu held.  The channel's sounds must have been moved out by the
// caller when it is not to free them itself.
void CloseLocked(Channel* c) { *c = Channel(); }

// The spent sounds freed, outside the lock.
void FreeSpentSounds() {
    if (!SpentWaiting.exchange(false)) return;
    std::vector<std::shared_ptr<const MixerSound>> gone;
    std::lock_guard<std::mutex> hold(Mu);
    for (Channel& c : Channels)
        if (c.spent) gone.push_back(std::move(c.spent));
}  // hold goes before gone: the sounds are freed outside the lock

// Frames mixed at one gain while a fade runs (1.5 ms).
constexpr int FadeBlock = 64;

// Adds up to n frames of channel c into out; what happened goes to *ended
// (a one-shot play reached its end) and *faded (a closing fade ended).
void MixChannel(Channel* c, float* out, int n, bool* ended, bool* faded) {
    int done = 0;
    while (done < n && c->playing) {
        const MixerSound& s = *c->sound;
        if (c->pos >= s.frames) {
            if (c->loop_from < 0 || s.frames == 0) {
                c->playing = false;
                *ended = true;
                break;
            }
            c->pos = c->loop_from < s.frames ? c->loop_from : 0;
        }
        int64_t part = n - done;
        if (part > s.frames - c->pos) part = s.frames - c->pos;
        if (c->fading && part > FadeBlock) part = FadeBlock;
        float g = MixerGainOf(FadeMb(*c));
        if (g > 0.0f) {
            const float* src = s.samples.data() + c->pos * 2;
            float* dst = out + done * 2;
            for (int64_t i = 0; i < part * 2; i++) dst[i] += src[i] * g;
        }
        c->pos += part;
        done += (int)part;
        if (c->fading) {
            c->fade_done += part;
            if (c->fade_done >= c->fade_frames) {
                c->fading = false;
                c->mb = c->fade_to;
                if (c->fade_close) {
                    // The sound is kept for the engine to free.  No spent
                    // sound is there: the channel got this one through
                    // OggClose, which takes the spent one away.
                    std::shared_ptr<const MixerSound> spent = std::move(c->sound);
                    CloseLocked(c);
                    c->spent = std::move(spent);
                    SpentWaiting = true;
                    *faded = true;
                }
            }
        }
    }
}

// Never ends: silence while no channel plays, so the stream stays usable.
struct OggMixSource : MixerSource {
    int Read(float* stereo, int count) override {
        for (int i = 0; i < count * 2; i++) stereo[i] = 0.0f;
        int ended[OggChannelCount], faded[OggChannelCount], nended = 0, nfaded = 0;
        {
            std::lock_guard<std::mutex> hold(Mu);
            for (int ch = 0; ch < OggChannelCount; ch++) {
                Channel* c = &Channels[ch];
                if (!c->playing) continue;
                bool e = false, f = false;
                MixChannel(c, stereo, count, &e, &f);
                if (e) ended[nended++] = ch;
                if (f) faded[nfaded++] = ch;
            }
        }
        for (int i = 0; i < nended; i++) SoundTrace("ogg ch=%d end", ended[i]);
        for (int i = 0; i < nfaded; i++) SoundTrace("ogg ch=%d close (fade)", faded[i]);
        return count;
    }
    bool Rewind() override { return true; }
    bool Idle() override {
        std::lock_guard<std::mutex> hold(Mu);
        for (const Channel& c : Channels)
            if (c.playing) return false;
        return true;
    }
};

// The stream exists and plays; false when no stream voice is free.
bool EnsureStream() {
    if (Stream >= 0 && MixerStreamPlaying(Stream)) return true;
    if (Stream >= 0) MixerCloseStream(Stream);
    Stream = MixerOpenSource(std::unique_ptr<MixerSource>(new OggMixSource));
    if (Stream < 0) return false;
    MixerPlayStream(Stream, false);
    return true;
}

}  // namespace

bool OggOpenBytes(int ch, const char* name, const std::vector<uint8_t>& bytes) {
    if (!Valid(ch)) return false;
    OggClose(ch);
    auto sound = std::make_shared<MixerSound>();
    int rate = 0;
    int64_t frames = 0;
    if (!DecodeOggWhole(bytes.data(), bytes.size(), sound.get(), &rate, &frames) ||
        !EnsureStream()) {
        SoundTrace("ogg ch=%d open \"%s\" failed", ch, name);
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channels[ch].sound = std::move(sound);
    }
    SoundTrace("ogg ch=%d open \"%s\"", ch, name);
    return true;
}

int OggOpenFile(int ch, const char* name) {
    std::vector<uint8_t> bytes;
    Ov2Lookup ov2;
    OvaLookup ova;
    bool read;
    if (PlatExists(name))
        read = PlatReadFile(name, false, &bytes);
    else if (FindOv2Entry(name, &ov2) == 1)
        read = ReadOv2Entry(ov2, &bytes);
    else if (OvaMode && FindOvaEntry(name, &ova) >= 0)
        read = ReadOvaEntry(ova, &bytes);
    else
        return -1;
    if (!read) {
        if (Valid(ch)) OggClose(ch);
        SoundTrace("ogg ch=%d open \"%s\" failed", ch, name);
        return 0;
    }
    return OggOpenBytes(ch, name, bytes) ? 1 : 0;
}

static void Start(int ch, int64_t loop_from) {
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channel* c = &Channels[ch];
        if (!c->sound) return;
        c->pos = 0;
        c->loop_from = loop_from;
        c->playing = true;
    }
    MixerWake();  // the device may rest while no channel plays
}

void OggPlay(int ch, bool loop) {
    if (!Valid(ch) || !OggIsOpen(ch)) return;
    Start(ch, loop ? 0 : -1);
    SoundTrace("ogg ch=%d play loop=%d", ch, loop ? 1 : 0);
}

void OggPlay2(int ch, double seconds) {
    if (!Valid(ch) || !OggIsOpen(ch)) return;
    // Past the end (or not a number) wraps to the start; see MixChannel.
    double at = seconds > 0.0 ? seconds * MixerRate : 0.0;
    Start(ch, at < 9e15 ? (int64_t)at : INT64_MAX);
    SoundTrace("ogg ch=%d play2 loop point=%.3f", ch, seconds);
}

void OggClose(int ch) {
    if (!Valid(ch)) return;
    FreeSpentSounds();
    std::shared_ptr<const MixerSound> gone, spent;  // freed outside the lock
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channel* c = &Channels[ch];
        spent = std::move(c->spent);
        if (!c->sound) return;
        gone = std::move(c->sound);
        CloseLocked(c);
    }
    SoundTrace("ogg ch=%d close", ch);
}

void OggVolume(int ch, int32_t mb) {
    if (!Valid(ch)) return;
    FreeSpentSounds();
    mb = ClampMb(mb);
    bool closing;
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channel* c = &Channels[ch];
        if (!c->sound) return;
        closing = c->fading && c->fade_close;
        if (closing) {
            // A fade that closes the channel runs on, as if it had started
            // from the new level, and closes it at its end: the old piece
            // never outlives it, nor comes back up under the new one.
            c->fade_from = mb;
        } else {
            c->fading = false;
            c->mb = mb;
        }
    }
    if (closing)
        SoundTrace("ogg ch=%d fade from %d", ch, mb);
    else
        SoundTrace("ogg ch=%d vol %d", ch, mb);
}

void OggDuckVolume(int ch, int32_t mb) {
    if (!Valid(ch)) return;
    FreeSpentSounds();
    mb = ClampMb(mb);
    bool fading;
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channel* c = &Channels[ch];
        if (!c->sound || (c->fading && c->fade_close)) return;
        fading = c->fading;
        if (fading)
            c->fade_to = mb;
        else
            c->mb = mb;
    }
    if (fading)
        SoundTrace("ogg ch=%d fade to %d", ch, mb);
    else
        SoundTrace("ogg ch=%d vol %d", ch, mb);
}

void OggFade(int ch, int32_t from, int32_t to, int32_t ms, bool close) {
    if (!Valid(ch)) return;
    FreeSpentSounds();
    from = ClampMb(from);
    to = ClampMb(to);
    bool closed_now = false;
    {
        std::lock_guard<std::mutex> hold(Mu);
        Channel* c = &Channels[ch];
        if (!c->sound) return;
        c->fade_from = from;
        c->fade_to = to;
        c->fade_close = close;
        c->fade_done = 0;
        c->fade_frames = ms > 0 ? (int64_t)ms * MixerRate / 1000 : 0;
        c->fading = c->fade_frames > 0 && c->playing;
        c->mb = c->fading ? from : to;
        // Nothing to ramp (no time, or the channel does not play): the end at once.
        closed_now = !c->fading && close;
    }
    SoundTrace("ogg ch=%d fade %d>%d %dms close=%d", ch, from, to, ms, close ? 1 : 0);
    if (closed_now) OggClose(ch);
}

bool OggIsPlaying(int ch) {
    if (!Valid(ch)) return false;
    FreeSpentSounds();
    std::lock_guard<std::mutex> hold(Mu);
    return Channels[ch].playing;
}

bool OggIsOpen(int ch) {
    if (!Valid(ch)) return false;
    FreeSpentSounds();
    std::lock_guard<std::mutex> hold(Mu);
    return Channels[ch].sound != nullptr;
}

int32_t OggVolumeOf(int ch) {
    if (!Valid(ch)) return MixerSilentMb;
    FreeSpentSounds();
    std::lock_guard<std::mutex> hold(Mu);
    return FadeMb(Channels[ch]);
}

int64_t OggPositionOf(int ch) {
    if (!Valid(ch)) return 0;
    FreeSpentSounds();
    std::lock_guard<std::mutex> hold(Mu);
    return Channels[ch].pos;
}

void OggCloseAll() {
    for (int ch = 0; ch < OggChannelCount; ch++) OggClose(ch);
    if (Stream >= 0) MixerCloseStream(Stream);
    Stream = -1;
}
