// media_files.cpp - the generated MIDI file and movies of the media tests.
#include "tests/media/media_files.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

std::string TinyMidi(int notes, int note_ms) {
    const int division = 96;  // ticks a quarter note of 500 ms
    int ticks = note_ms * division / 500;
    std::string track;
    auto var = [&](uint32_t v) {
        uint8_t b[4];
        int n = 0;
        b[n++] = v & 0x7F;
        while (v >>= 7) b[n++] = (uint8_t)(0x80 | (v & 0x7F));
        while (n) track += (char)b[--n];
    };
    track += std::string("\x00\xC0\x00", 3);  // program 0: piano
    for (int i = 0; i < notes; i++) {
        var(0);
        track += (char)0x90, track += (char)(60 + i), track += (char)100;
        var((uint32_t)ticks);
        track += (char)0x80, track += (char)(60 + i), track += (char)0;
    }
    track += std::string("\x00\xFF\x2F\x00", 4);
    std::string f = "MThd";
    f += std::string("\x00\x00\x00\x06\x00\x00\x00\x01", 8);
    f += (char)(division >> 8), f += (char)(division & 0xFF);
    f += "MTrk";
    uint32_t n = (uint32_t)track.size();
    for (int i = 3; i >= 0; i--) f += (char)(n >> (8 * i));
    return f + track;
}

namespace {

bool Encode(AVFormatContext* oc, AVCodecContext* c, AVStream* st, AVFrame* frame) {
    if (avcodec_send_frame(c, frame) < 0) return false;
    AVPacket* pkt = av_packet_alloc();
    for (;;) {
        int r = avcodec_receive_packet(c, pkt);
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) break;
        if (r < 0) {
            av_packet_free(&pkt);
            return false;
        }
        av_packet_rescale_ts(pkt, c->time_base, st->time_base);
        pkt->stream_index = st->index;
        av_interleaved_write_frame(oc, pkt);
    }
    av_packet_free(&pkt);
    return true;
}

}  // namespace

bool WriteMovie(const std::string& path, const MovieParams& params) {
    AVFormatContext* oc = nullptr;
    if (avformat_alloc_output_context2(&oc, nullptr, params.muxer, path.c_str()) < 0) return false;
    const AVCodec* vc = avcodec_find_encoder(params.mpeg4 ? AV_CODEC_ID_MPEG4 : AV_CODEC_ID_MPEG1VIDEO);
    const AVCodec* ac = params.sound ? avcodec_find_encoder(AV_CODEC_ID_MP2) : nullptr;
    if (!vc || (params.sound && !ac)) {
        avformat_free_context(oc);
        return false;
    }
    AVStream* vs = avformat_new_stream(oc, nullptr);
    AVCodecContext* v = avcodec_alloc_context3(vc);
    v->width = params.width;
    v->height = params.height;
    v->time_base = AVRational{1, params.fps};
    v->framerate = AVRational{params.fps, 1};
    v->pix_fmt = AV_PIX_FMT_YUV420P;
    v->gop_size = 5;
    v->max_b_frames = 0;
    v->bit_rate = 400000;
    if (oc->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    avcodec_open2(v, vc, nullptr);
    avcodec_parameters_from_context(vs->codecpar, v);
    vs->time_base = v->time_base;
    AVStream* as = nullptr;
    AVCodecContext* a = nullptr;
    if (ac) {
        as = avformat_new_stream(oc, nullptr);
        a = avcodec_alloc_context3(ac);
        a->sample_rate = 44100;
        a->sample_fmt = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&a->ch_layout, 2);
        a->bit_rate = 128000;
        a->time_base = AVRational{1, 44100};
        avcodec_open2(a, ac, nullptr);
        avcodec_parameters_from_context(as->codecpar, a);
        as->time_base = a->time_base;
    }
    if (avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(oc, nullptr) < 0) {
        avcodec_free_context(&v);
        avcodec_free_context(&a);
        avformat_free_context(oc);
        return false;
    }
    AVFrame* f = av_frame_alloc();
    f->format = v->pix_fmt;
    f->width = v->width;
    f->height = v->height;
    av_frame_get_buffer(f, 0);
    for (int i = 0; i < params.frames; i++) {
        av_frame_make_writable(f);
        for (int y = 0; y < f->height; y++) memset(f->data[0] + y * f->linesize[0], MovieGrey(i), f->width);
        for (int p = 1; p < 3; p++)
            for (int y = 0; y < f->height / 2; y++) memset(f->data[p] + y * f->linesize[p], 128, f->width / 2);
        f->pts = i;
        Encode(oc, v, vs, f);
    }
    Encode(oc, v, vs, nullptr);
    av_frame_free(&f);
    if (a) {
        int total = (int)(44100LL * params.frames / params.fps);
        AVFrame* s = av_frame_alloc();
        s->format = a->sample_fmt;
        s->nb_samples = a->frame_size;
        s->sample_rate = 44100;
        av_channel_layout_copy(&s->ch_layout, &a->ch_layout);
        av_frame_get_buffer(s, 0);
        for (int at = 0; at < total; at += a->frame_size) {
            av_frame_make_writable(s);
            int16_t* d = (int16_t*)s->data[0];
            for (int k = 0; k < a->frame_size; k++) {
                int16_t x = (int16_t)(8000 * std::sin(2 * M_PI * 440 * (at + k) / 44100.0));
                d[2 * k] = d[2 * k + 1] = x;
            }
            s->pts = at;
            Encode(oc, a, as, s);
        }
        Encode(oc, a, as, nullptr);
        av_frame_free(&s);
    }
    av_write_trailer(oc);
    avcodec_free_context(&v);
    avcodec_free_context(&a);
    avio_closep(&oc->pb);
    avformat_free_context(oc);
    return true;
}
