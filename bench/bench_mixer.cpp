// The mixer: one second of 44.1 kHz stereo from 32 playing channels with
// volume changes, beside the floor (a plain loop that only sums the same
// samples); and decoding 3-minute Ogg and MP3 files made in the set-up
// (seconds of decoding per minute of audio in the "s_per_min" counter).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include "sound/decode_ffmpeg.h"
#include "sound/decode_vorbis.h"
#include "sound/mixer.h"
#include "tests/sound/sound_test_files.h"

enum { Voices = 32, Second = MixerRate, Chunk = 1024 };

static std::vector<std::shared_ptr<MixerSound>>& Sounds() {
    static std::vector<std::shared_ptr<MixerSound>> s;
    if (s.empty()) {
        for (int v = 0; v < Voices; v++) {
            auto m = std::make_shared<MixerSound>();
            m->frames = 2 * Second + v * 37;  // lengths differ, so the ends differ
            m->samples.resize((size_t)m->frames * 2);
            for (int64_t i = 0; i < m->frames * 2; i++)
                m->samples[(size_t)i] = 0.02f * (float)std::sin(0.001 * (double)(i * (v + 1)));
            s.push_back(m);
        }
    }
    return s;
}

static void BM_Mix32Channels(benchmark::State& state) {
    MixerResetForTests();
    auto& sounds = Sounds();
    for (int v = 0; v < Voices; v++) {
        MixerLoadBuffer(v, sounds[(size_t)v]);
        MixerSetBufferGain(v, -25 * v);
        MixerPlayBuffer(v, true);
    }
    std::vector<int16_t> out(Chunk * 2);
    int step = 0;
    for (auto _ : state) {
        for (int done = 0; done < Second; done += Chunk) {
            // A volume change on four channels every device buffer.
            for (int k = 0; k < 4; k++) MixerSetBufferGain((step + k) % Voices, -25 * ((step + k) % 100));
            step++;
            int n = Second - done < Chunk ? Second - done : Chunk;
            MixerRender(out.data(), n);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["core_percent"] =
        benchmark::Counter((double)state.iterations() / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    MixerResetForTests();
}
BENCHMARK(BM_Mix32Channels)->Unit(benchmark::kMicrosecond);

// The floor: the same samples summed into a float buffer and nothing else.
static void BM_SumFloor(benchmark::State& state) {
    auto& sounds = Sounds();
    std::vector<float> acc(Chunk * 2);
    std::vector<int16_t> out(Chunk * 2);
    int64_t pos = 0;
    for (auto _ : state) {
        for (int done = 0; done < Second; done += Chunk) {
            int n = Second - done < Chunk ? Second - done : Chunk;
            std::fill(acc.begin(), acc.begin() + n * 2, 0.0f);
            for (int v = 0; v < Voices; v++) {
                const float* s = sounds[(size_t)v]->samples.data() + (pos % Second) * 2;
                for (int i = 0; i < n * 2; i++) acc[(size_t)i] += s[i];
            }
            pos += n;
            benchmark::DoNotOptimize(acc.data());
        }
    }
    state.counters["core_percent"] =
        benchmark::Counter((double)state.iterations() / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SumFloor)->Unit(benchmark::kMicrosecond);

// ---- decoding ----

enum { Minutes = 3 };

static const std::string& OggFile() {
    static std::string ogg = ToneOgg(Minutes * 60.0, 440, 44100, 2, 0.5);
    return ogg;
}

static void BM_DecodeOgg3Min(benchmark::State& state) {
    const std::string& ogg = OggFile();
    for (auto _ : state) {
        MixerSound s;
        int rate;
        int64_t frames;
        if (!DecodeOggWhole((const uint8_t*)ogg.data(), ogg.size(), &s, &rate, &frames)) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::DoNotOptimize(s.samples.data());
    }
    state.counters["s_per_min"] =
        benchmark::Counter((double)Minutes * (double)state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeOgg3Min)->Unit(benchmark::kMillisecond);

// A 3-minute 128 kbit/s MP3 of a tone through FFmpeg's encoder; "" without one.
static std::string MakeMp3() {
    const AVCodec* c = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (!c) return "";
    std::string path = "/tmp/orva-bench-" + std::to_string(getpid()) + ".mp3";
    AVFormatContext* oc = nullptr;
    if (avformat_alloc_output_context2(&oc, nullptr, "mp3", path.c_str()) < 0) return "";
    AVStream* st = avformat_new_stream(oc, nullptr);
    AVCodecContext* enc = avcodec_alloc_context3(c);
    enc->sample_fmt = c->sample_fmts ? c->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    enc->sample_rate = 44100;
    AVChannelLayout st2 = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&enc->ch_layout, &st2);
    enc->bit_rate = 128000;
    if (avcodec_open2(enc, c, nullptr) < 0 || avcodec_parameters_from_context(st->codecpar, enc) < 0 ||
        avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(oc, nullptr) < 0)
        return "";
    AVFrame* f = av_frame_alloc();
    AVPacket* pkt = av_packet_alloc();
    int64_t total = (int64_t)Minutes * 60 * 44100, done = 0;
    auto drain = [&] {
        while (avcodec_receive_packet(enc, pkt) == 0) {
            av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
            pkt->stream_index = st->index;
            av_interleaved_write_frame(oc, pkt);
        }
    };
    while (done < total) {
        f->format = enc->sample_fmt;
        f->nb_samples = enc->frame_size;
        av_channel_layout_copy(&f->ch_layout, &enc->ch_layout);
        f->sample_rate = 44100;
        av_frame_get_buffer(f, 0);
        for (int i = 0; i < f->nb_samples; i++) {
            float v = 0.5f * (float)std::sin(2 * M_PI * 440 * (double)(done + i) / 44100);
            for (int ch = 0; ch < 2; ch++) {
                switch (f->format) {
                case AV_SAMPLE_FMT_FLTP: ((float*)f->data[ch])[i] = v; break;
                case AV_SAMPLE_FMT_S16P: ((int16_t*)f->data[ch])[i] = (int16_t)(v * 32767); break;
                case AV_SAMPLE_FMT_S32P: ((int32_t*)f->data[ch])[i] = (int32_t)(v * 2147483647.0); break;
                default: break;
                }
            }
        }
        f->pts = done;
        done += f->nb_samples;
        avcodec_send_frame(enc, f);
        av_frame_unref(f);
        drain();
    }
    avcodec_send_frame(enc, nullptr);
    drain();
    av_write_trailer(oc);
    avio_closep(&oc->pb);
    av_frame_free(&f);
    av_packet_free(&pkt);
    avcodec_free_context(&enc);
    avformat_free_context(oc);
    return path;
}

static void BM_DecodeMp33Min(benchmark::State& state) {
    static std::string path = MakeMp3();
    if (path.empty()) {
        state.SkipWithError("no MP3 encoder in this FFmpeg");
        return;
    }
    for (auto _ : state) {
        std::unique_ptr<MixerSource> s = OpenFfmpegFile(path.c_str());
        if (!s) {
            state.SkipWithError("decode failed");
            return;
        }
        MixerSound m;
        ReadWholeSource(s.get(), &m, (int64_t)Minutes * 61 * MixerRate);
        benchmark::DoNotOptimize(m.samples.data());
    }
    state.counters["s_per_min"] =
        benchmark::Counter((double)Minutes * (double)state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeMp33Min)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    unlink(("/tmp/orva-bench-" + std::to_string(getpid()) + ".mp3").c_str());
    return 0;
}
