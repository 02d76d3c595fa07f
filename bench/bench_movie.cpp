// bench_movie.cpp - playing a 1280x720 MPEG-1 movie: the time per picture of
// the movie player (decode, scale into the window's rectangle, present)
// beside FFmpeg decoding the same pictures alone, in the same run.  The
// movie (120 pictures of a moving texture at 30 a second) is encoded at
// start with FFmpeg's built-in MPEG-1 encoder.  Both decode on one thread,
// as the player does.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "bench/bench_support.h"
#include "core/script.h"
#include "sound/movie.h"

namespace {

constexpr int W = 1280, H = 720, Frames = 120, Fps = 30;

void Encode(AVFormatContext* oc, AVCodecContext* c, AVStream* st, AVFrame* f) {
    avcodec_send_frame(c, f);
    AVPacket* pkt = av_packet_alloc();
    while (avcodec_receive_packet(c, pkt) == 0) {
        av_packet_rescale_ts(pkt, c->time_base, st->time_base);
        pkt->stream_index = st->index;
        av_interleaved_write_frame(oc, pkt);
    }
    av_packet_free(&pkt);
}

// The movie file, made once: a textured picture that moves every frame,
// so that every picture costs the decoder real work.
const std::string& MoviePath() {
    static std::string path;
    if (!path.empty()) return path;
    path = (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + std::string("/orva-bench-") +
           std::to_string(getpid()) + ".mpg";
    AVFormatContext* oc = nullptr;
    avformat_alloc_output_context2(&oc, nullptr, "mpeg", path.c_str());
    const AVCodec* vc = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
    AVStream* st = avformat_new_stream(oc, nullptr);
    AVCodecContext* c = avcodec_alloc_context3(vc);
    c->width = W;
    c->height = H;
    c->time_base = AVRational{1, Fps};
    c->framerate = AVRational{Fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->gop_size = 15;
    c->max_b_frames = 2;
    c->bit_rate = 8000000;
    avcodec_open2(c, vc, nullptr);
    avcodec_parameters_from_context(st->codecpar, c);
    st->time_base = c->time_base;
    avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (avformat_write_header(oc, nullptr) < 0) {
        fprintf(stderr, "bench_movie: cannot write %s\n", path.c_str());
        exit(1);
    }
    for (int i = 0; i < Frames; i++) {
        AVFrame* f = av_frame_alloc();
        f->format = c->pix_fmt;
        f->width = W;
        f->height = H;
        av_frame_get_buffer(f, 0);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                f->data[0][y * f->linesize[0] + x] =
                    (uint8_t)(((x + 3 * i) ^ (y + i)) + ((x * y) >> 7));
        for (int p = 1; p < 3; p++)
            for (int y = 0; y < H / 2; y++)
                for (int x = 0; x < W / 2; x++)
                    f->data[p][y * f->linesize[p] + x] = (uint8_t)(128 + ((x + y * p + i) & 63) - 32);
        f->pts = i;
        Encode(oc, c, st, f);
        av_frame_free(&f);
    }
    Encode(oc, c, st, nullptr);
    av_write_trailer(oc);
    avcodec_free_context(&c);
    avio_closep(&oc->pb);
    avformat_free_context(oc);
    return path;
}

// FFmpeg alone: demux and decode every picture, one thread.
struct PlainDecoder {
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;
    bool drained = false;
    void Open() {
        avformat_open_input(&fmt, MoviePath().c_str(), nullptr, nullptr);
        avformat_find_stream_info(fmt, nullptr);
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        dec = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(dec, fmt->streams[stream]->codecpar);
        dec->thread_count = 1;
        avcodec_open2(dec, codec, nullptr);
        drained = false;
    }
    void Close() {
        avcodec_free_context(&dec);
        avformat_close_input(&fmt);
    }
    bool Next() {
        for (;;) {
            int r = avcodec_receive_frame(dec, frame);
            if (r == 0) return true;
            if (r != AVERROR(EAGAIN) || drained) return false;
            if (av_read_frame(fmt, pkt) < 0) {
                drained = true;
                avcodec_send_packet(dec, nullptr);
                continue;
            }
            if (pkt->stream_index == stream) avcodec_send_packet(dec, pkt);
            av_packet_unref(pkt);
        }
    }
};

void BM_DecodeAlone(benchmark::State& state) {
    MoviePath();
    PlainDecoder d;
    d.Open();
    for (auto _ : state) {
        if (!d.Next()) {
            state.PauseTiming();
            d.Close();
            d.Open();
            state.ResumeTiming();
            d.Next();
        }
        benchmark::DoNotOptimize(d.frame->data[0]);
    }
    d.Close();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeAlone)->Unit(benchmark::kMillisecond);

// The player: decode, scale to the window's rectangle (the movie's own size
// here: 1280x720 into a 1280x720 screen, and 800x450 into it), present.
void BM_DecodeScalePresent(benchmark::State& state) {
    StartHeadlessOnce();
    ScreenWidth = W;
    ScreenHeight = H;
    int w = (int)state.range(0), h = w * 9 / 16;
    MoviePtr m = OpenMovie(MoviePath().c_str(), 0, 0, w, h, false);
    if (!m) {
        state.SkipWithError("the movie does not open");
        return;
    }
    for (auto _ : state) {
        if (!DecodeNextMovieFrame(m.get(), true)) {
            state.PauseTiming();
            RewindMovie(m.get());
            state.ResumeTiming();
            DecodeNextMovieFrame(m.get(), true);
        }
    }
    CloseMovie(&m);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeScalePresent)->Arg(W)->Arg(800)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    unlink(MoviePath().c_str());
    return 0;
}
