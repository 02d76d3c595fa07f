// mixer.cpp - the voice table and rendering.  Buffer voices are mixed under
// one short mutex; each stream voice decodes under its own lock, after the
// table lock is left, so a slow decoder never holds up the engine.  Nothing
// is freed on the rendering thread: buffer sounds are swapped out under the
// lock and freed by the caller, closed streams are freed by the engine.
#include "sound/mixer.h"

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/decode_ffmpeg.h"

namespace {

struct BufferVoice {
    std::shared_ptr<const MixerSound> sound;
    int64_t pos = 0;
    bool playing = false, loop = false;
    float gain = 1.0f;
    std::atomic<bool> ended{false};
};

struct StreamVoice {
    std::mutex decode;  // held while the source is read
    std::unique_ptr<MixerSource> source;
    // Written under decode; read without it when the device may rest.
    std::atomic<bool> playing{false};
    bool loop = false, ended = false;
    float gain = 1.0f;
    int64_t pos = 0;
};

std::mutex Mu;
BufferVoice Buffers[MixerBufferVoices];
std::shared_ptr<StreamVoice> Streams[MixerStreamVoices];
std::atomic<int64_t> Rendered{0};
// A render holds copies of the stream voices (under Mu).  A stream closed
// meanwhile goes to Spent instead of being dropped, so that the render's
// copy is never the last one: the engine's thread frees it afterwards (the
// decoder, a CD play's buffer, the MIDI player), never the audio callback.
bool Rendering = false;
std::vector<std::shared_ptr<StreamVoice>> Spent;
std::atomic<bool> SpentWaiting{false};
// The device was paused because nothing played (under Mu).  A render that
// finds nothing playing pauses it; whatever starts a voice resumes it in
// the same hold of Mu in which it starts it, or after it, so no start is
// missed.
bool DeviceResting = false;
// The last render ended with nothing playing (under Mu).  The device rests
// only after a second such render, wholly silent, has pushed out what the
// device's own buffering still held of the last sound.
bool QuietRender = false;

constexpr int Chunk = 1024;
float Acc[Chunk * 2];
float StreamBuf[Chunk * 2];

bool ValidBuffer(int v) { return v >= 0 && v < MixerBufferVoices; }

// The table's entry is read under Mu: the sound thread sets the music's
// gain while the engine opens and closes streams.
std::shared_ptr<StreamVoice> StreamAt(int h) {
    if (h < 0 || h >= MixerStreamVoices) return nullptr;
    std::lock_guard<std::mutex> hold(Mu);
    return Streams[h];
}

// acc += src * gain over n stereo frames.  Blocks of 16 values with a fixed
// count, so the compiler turns them into vector code at any optimisation
// level; the rest one by one.
inline void MixInto(float* __restrict acc, const float* __restrict src, int n, float g) {
    int count = n * 2, i = 0;
    for (; i + 16 <= count; i += 16)
        for (int k = 0; k < 16; k++) acc[i + k] += src[i + k] * g;
    for (; i < count; i++) acc[i] += src[i] * g;
}

// Float to 16 bits, clamped and rounded to nearest, in blocks as above.
inline int16_t ToSample(float v) {
    v *= 32768.0f;
    v = v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v;
    return (int16_t)(v < 0.0f ? v - 0.5f : v + 0.5f);
}

inline void ToSamples(int16_t* __restrict out, const float* __restrict in, int count) {
    int i = 0;
    for (; i + 16 <= count; i += 16)
        for (int k = 0; k < 16; k++) out[i + k] = ToSample(in[i + k]);
    for (; i < count; i++) out[i] = ToSample(in[i]);
}

// Mixes n frames of buffer voices into Acc; the voices that reached their
// end are noted in ends[] (count in *nends).
void MixBuffers(int n, int* ends, int* nends) {
    for (int v = 0; v < MixerBufferVoices; v++) {
        BufferVoice& b = Buffers[v];
        if (!b.playing || !b.sound) continue;
        const MixerSound& s = *b.sound;
        int done = 0;
        while (done < n) {
            if (s.frames <= 0) {
                b.playing = false;
                b.ended = true;
                ends[(*nends)++] = v;
                break;
            }
            int64_t left = s.frames - b.pos;
            int take = left < n - done ? (int)left : n - done;
            if (b.gain > 0.0f) MixInto(Acc + done * 2, s.samples.data() + b.pos * 2, take, b.gain);
            b.pos += take;
            done += take;
            if (b.pos >= s.frames) {
                if (b.loop) {
                    b.pos = 0;
                } else {
                    b.playing = false;
                    b.ended = true;
                    ends[(*nends)++] = v;
                    break;
                }
            }
        }
    }
}

void MixStream(StreamVoice& s, int n) {
    std::lock_guard<std::mutex> hold(s.decode);
    if (!s.playing || !s.source) return;
    int done = 0;
    bool rewound = false;
    while (done < n) {
        int got = s.source->Read(StreamBuf, n - done);
        if (got > 0) {
            if (s.gain > 0.0f) MixInto(Acc + done * 2, StreamBuf, got, s.gain);
            done += got;
            s.pos += got;
            rewound = false;
            continue;
        }
        // The end: a looping stream starts again (once per gap, so an empty
        // one cannot spin), a one-shot stream ends.
        if (s.loop && !rewound && s.source->Rewind()) {
            rewound = true;
            s.pos = 0;
            continue;
        }
        s.playing = false;
        s.ended = true;
        break;
    }
}

void RenderChunk(int16_t* out, int n) {
    memset(Acc, 0, sizeof(float) * 2 * (size_t)n);
    int ends[MixerBufferVoices];
    int nends = 0;
    std::shared_ptr<StreamVoice> live[MixerStreamVoices];
    {
        std::lock_guard<std::mutex> hold(Mu);
        MixBuffers(n, ends, &nends);
        for (int i = 0; i < MixerStreamVoices; i++) live[i] = Streams[i];
        Rendering = true;
    }
    for (auto& s : live)
        if (s) MixStream(*s, n);
    for (auto& s : live) s.reset();  // never the last reference (see Spent)
    {
        std::lock_guard<std::mutex> hold(Mu);
        Rendering = false;
    }
    ToSamples(out, Acc, n * 2);
    Rendered += n;
    for (int i = 0; i < nends; i++) SoundTrace("ch=%d end", ends[i]);
}

// With Mu held: a stream voice taken out of the table is kept for the
// engine to free while a render may hold a copy of it.
void DropStreamLocked(std::shared_ptr<StreamVoice>* gone) {
    if (!*gone || !Rendering) return;
    Spent.push_back(std::move(*gone));
    SpentWaiting = true;
}

// With Mu held: some voice plays (a stream whose source has nothing to
// play does not count).
bool SomethingPlays() {
    for (const BufferVoice& b : Buffers)
        if (b.playing && b.sound) return true;
    for (const auto& s : Streams)
        if (s && s->playing && !s->source->Idle()) return true;
    return false;
}

// With Mu held.
void WakeDeviceLocked() {
    QuietRender = false;
    if (!DeviceResting) return;
    DeviceResting = false;
    PlatPauseAudio(false);
}

// ---- trace ----
FILE* TraceFile;
int TraceState = -1;  // -1 not looked at, 0 off, 1 on
std::mutex TraceMu;
uint32_t TraceBase;

}  // namespace

void MixerRender(int16_t* out, int count) {
    while (count > 0) {
        int n = count < Chunk ? count : Chunk;
        RenderChunk(out, n);
        out += n * 2;
        count -= n;
    }
    // Nothing left to play: after one silent render more, the device rests
    // until the next start.
    std::lock_guard<std::mutex> hold(Mu);
    bool quiet_before = QuietRender;
    QuietRender = !SomethingPlays();
    if (!QuietRender || !quiet_before) return;
    DeviceResting = true;
    PlatPauseAudio(true);
}

void MixerWake() {
    std::lock_guard<std::mutex> hold(Mu);
    WakeDeviceLocked();
}

bool MixerDeviceResting() {
    std::lock_guard<std::mutex> hold(Mu);
    return DeviceResting;
}

int64_t MixerRenderedFrames() { return Rendered; }

void MixerResetForTests() {
    std::shared_ptr<StreamVoice> gone[MixerStreamVoices];
    {
        std::lock_guard<std::mutex> hold(Mu);
        for (auto& b : Buffers) {
            b.sound.reset();
            b.pos = 0;
            b.playing = b.loop = false;
            b.gain = 1.0f;
            b.ended = false;
        }
        for (int i = 0; i < MixerStreamVoices; i++) {
            gone[i].swap(Streams[i]);
            DropStreamLocked(&gone[i]);
        }
        Rendered = 0;
    }
    MixerFreeSpent();
}

bool MixerHasSpent() { return SpentWaiting; }

void MixerFreeSpent() {
    if (!SpentWaiting) return;
    std::vector<std::shared_ptr<StreamVoice>> gone;
    {
        std::lock_guard<std::mutex> hold(Mu);
        if (Rendering) return;  // its copies may be the others: a later call
        gone.swap(Spent);
        SpentWaiting = false;
    }
}  // freed here, after the lock

float MixerGainOf(int32_t mb) {
    if (mb <= MixerSilentMb) return 0.0f;
    if (mb >= 0) return 1.0f;
    return std::pow(10.0f, (float)mb / 2000.0f);
}

// ---- buffer voices ----

void MixerLoadBuffer(int v, std::shared_ptr<const MixerSound> sound) {
    if (!ValidBuffer(v)) return;
    std::shared_ptr<const MixerSound> old;
    std::lock_guard<std::mutex> hold(Mu);
    BufferVoice& b = Buffers[v];
    old.swap(b.sound);
    b.sound = std::move(sound);
    b.pos = 0;
    b.playing = false;
}

void MixerReleaseBuffer(int v) {
    if (!ValidBuffer(v)) return;
    std::shared_ptr<const MixerSound> old;
    std::lock_guard<std::mutex> hold(Mu);
    old.swap(Buffers[v].sound);
    Buffers[v].pos = 0;
    Buffers[v].playing = false;
}

bool MixerBufferLoaded(int v) {
    if (!ValidBuffer(v)) return false;
    std::lock_guard<std::mutex> hold(Mu);
    return Buffers[v].sound != nullptr;
}

void MixerPlayBuffer(int v, bool loop) {
    if (!ValidBuffer(v)) return;
    std::lock_guard<std::mutex> hold(Mu);
    BufferVoice& b = Buffers[v];
    if (!b.sound) return;
    b.loop = loop;
    if (b.pos >= b.sound->frames) b.pos = 0;
    b.playing = true;
    WakeDeviceLocked();
}

void MixerStopBuffer(int v) {
    if (!ValidBuffer(v)) return;
    std::lock_guard<std::mutex> hold(Mu);
    Buffers[v].playing = false;
}

void MixerSetBufferGain(int v, int32_t mb) {
    if (!ValidBuffer(v)) return;
    float g = MixerGainOf(mb);
    std::lock_guard<std::mutex> hold(Mu);
    Buffers[v].gain = g;
}

bool MixerBufferPlaying(int v) {
    if (!ValidBuffer(v)) return false;
    std::lock_guard<std::mutex> hold(Mu);
    return Buffers[v].playing;
}

int64_t MixerBufferPosition(int v) {
    if (!ValidBuffer(v)) return 0;
    std::lock_guard<std::mutex> hold(Mu);
    return Buffers[v].pos;
}

bool MixerTakeBufferEnd(int v) { return ValidBuffer(v) && Buffers[v].ended.exchange(false); }
void MixerResetBufferEnd(int v) {
    if (ValidBuffer(v)) Buffers[v].ended = false;
}

// ---- stream voices ----

int MixerOpenSource(std::unique_ptr<MixerSource> source) {
    MixerFreeSpent();
    if (!source) return -1;
    auto s = std::make_shared<StreamVoice>();
    s->source = std::move(source);
    std::lock_guard<std::mutex> hold(Mu);
    for (int i = 0; i < MixerStreamVoices; i++) {
        if (!Streams[i]) {
            Streams[i] = s;
            return i;
        }
    }
    return -1;
}

int MixerOpenStream(const char* path) { return MixerOpenSource(OpenFfmpegFile(path)); }

void MixerCloseStream(int h) {
    MixerFreeSpent();
    std::shared_ptr<StreamVoice> gone;
    {
        std::lock_guard<std::mutex> hold(Mu);
        if (h < 0 || h >= MixerStreamVoices) return;
        gone.swap(Streams[h]);
        DropStreamLocked(&gone);
    }
    // Freed here, unless a render under way holds it: then it waits in
    // Spent for MixerFreeSpent.
}

void MixerPlayStream(int h, bool loop) {
    auto s = StreamAt(h);
    if (!s) return;
    {
        std::lock_guard<std::mutex> hold(s->decode);
        s->loop = loop;
        s->ended = false;
        s->playing = true;
    }
    MixerWake();
}

void MixerStopStream(int h) {
    auto s = StreamAt(h);
    if (!s) return;
    std::lock_guard<std::mutex> hold(s->decode);
    s->playing = false;
}

bool MixerRewindStream(int h) {
    auto s = StreamAt(h);
    if (!s) return false;
    std::lock_guard<std::mutex> hold(s->decode);
    s->ended = false;
    s->pos = 0;
    return s->source->Rewind();
}

void MixerSetStreamGain(int h, int32_t mb) {
    auto s = StreamAt(h);
    if (!s) return;
    float g = MixerGainOf(mb);
    std::lock_guard<std::mutex> hold(s->decode);
    s->gain = g;
}

bool MixerStreamPlaying(int h) {
    auto s = StreamAt(h);
    if (!s) return false;
    std::lock_guard<std::mutex> hold(s->decode);
    return s->playing;
}

bool MixerStreamEnded(int h) {
    auto s = StreamAt(h);
    if (!s) return false;
    std::lock_guard<std::mutex> hold(s->decode);
    return s->ended;
}

int64_t MixerStreamPosition(int h) {
    auto s = StreamAt(h);
    if (!s) return 0;
    std::lock_guard<std::mutex> hold(s->decode);
    return s->pos;
}

// ---- trace ----

bool SoundTraceOn() {
    std::lock_guard<std::mutex> hold(TraceMu);
    if (TraceState < 0) {
        const char* e = getenv("ORVA_SOUND_TRACE");
        TraceState = e && *e && strcmp(e, "0") != 0;
        if (TraceState) {
            TraceFile = strcmp(e, "1") == 0 ? stderr : fopen(e, "w");
            if (!TraceFile) TraceState = 0;
        }
        TraceBase = PlatTicks();
    }
    return TraceState == 1;
}

void SoundTrace(const char* fmt, ...) {
    if (!SoundTraceOn()) return;
    char line[1024];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(line, sizeof line, fmt, ap);
    va_end(ap);
    std::lock_guard<std::mutex> hold(TraceMu);
    uint32_t now = PlatIsHeadless() ? (uint32_t)HeadlessElapsed() : PlatTicks() - TraceBase;
    fprintf(TraceFile, "t=%u %s\n", now, line);
    fflush(TraceFile);
}
