// decode_ffmpeg.cpp - a MixerSource over libavformat and libavcodec.  Frames
// are converted by libswresample to float at MixerRate in their own channel
// count, then mapped to stereo (mono at full level on both sides).
#include "sound/decode_ffmpeg.h"

#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "sound/decode_pcm.h"

namespace {

struct MemInput {
    std::vector<uint8_t> bytes;
    int64_t pos = 0;
};

int MemRead(void* opaque, uint8_t* buf, int size) {
    MemInput* m = (MemInput*)opaque;
    int64_t left = (int64_t)m->bytes.size() - m->pos;
    if (left <= 0) return AVERROR_EOF;
    int n = size < left ? size : (int)left;
    memcpy(buf, m->bytes.data() + m->pos, (size_t)n);
    m->pos += n;
    return n;
}

int64_t MemSeek(void* opaque, int64_t off, int whence) {
    MemInput* m = (MemInput*)opaque;
    int64_t size = (int64_t)m->bytes.size();
    if (whence == AVSEEK_SIZE) return size;
    whence &= ~AVSEEK_FORCE;
    int64_t at = whence == SEEK_SET ? off : whence == SEEK_CUR ? m->pos + off : size + off;
    if (at < 0 || at > size) return -1;
    m->pos = at;
    return at;
}

struct FfmpegSource : MixerSource {
    MemInput mem;
    AVIOContext* io = nullptr;
    AVFormatContext* fmt = nullptr;
    AVCodecContext* dec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* pkt = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
    int channels = 0;
    bool eof = false;
    std::vector<float> flat;     // swr output, `channels` wide
    std::vector<float> pending;  // stereo frames not yet read
    size_t pending_at = 0;       // in floats

    ~FfmpegSource() override {
        av_frame_free(&frame);
        av_packet_free(&pkt);
        swr_free(&swr);
        avcodec_free_context(&dec);
        avformat_close_input(&fmt);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }

    bool Open(const char* path) {
        if (!path) {
            const int size = 32768;
            uint8_t* buf = (uint8_t*)av_malloc(size);
            if (!buf) return false;
            io = avio_alloc_context(buf, size, 0, &mem, MemRead, nullptr, MemSeek);
            if (!io) {
                av_free(buf);
                return false;
            }
            fmt = avformat_alloc_context();
            if (!fmt) return false;
            fmt->pb = io;
            fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        }
        if (avformat_open_input(&fmt, path ? path : "", nullptr, nullptr) < 0) {
            fmt = nullptr;  // freed by the failed open
            return false;
        }
        if (avformat_find_stream_info(fmt, nullptr) < 0) return false;
        const AVCodec* codec = nullptr;
        stream = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream < 0 || !codec) return false;
        dec = avcodec_alloc_context3(codec);
        if (!dec || avcodec_parameters_to_context(dec, fmt->streams[stream]->codecpar) < 0) return false;
        if (avcodec_open2(dec, codec, nullptr) < 0) return false;
        if (dec->ch_layout.nb_channels <= 0 || dec->sample_rate <= 0) return false;
        channels = dec->ch_layout.nb_channels;
        if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&dec->ch_layout, channels);
        if (swr_alloc_set_opts2(&swr, &dec->ch_layout, AV_SAMPLE_FMT_FLT, MixerRate, &dec->ch_layout,
                                dec->sample_fmt, dec->sample_rate, 0, nullptr) < 0 ||
            swr_init(swr) < 0)
            return false;
        pkt = av_packet_alloc();
        frame = av_frame_alloc();
        return pkt && frame;
    }

    // Converts one decoded frame (or drains with null) into `pending`.
    void Take(const AVFrame* f) {
        int room = swr_get_out_samples(swr, f ? f->nb_samples : 0) + (int)swr_get_delay(swr, MixerRate) + 32;
        flat.resize((size_t)room * channels);
        uint8_t* o = (uint8_t*)flat.data();
        int got = swr_convert(swr, &o, room, f ? (const uint8_t**)f->extended_data : nullptr,
                              f ? f->nb_samples : 0);
        if (got <= 0) return;
        std::vector<float> st;
        ToStereo(flat.data(), channels, got, &st);
        pending.insert(pending.end(), st.begin(), st.end());
    }

    // Decodes until some frames are pending or the stream ends.
    void Fill() {
        while (pending.size() == pending_at && !eof) {
            pending.clear();
            pending_at = 0;
            int r = avcodec_receive_frame(dec, frame);
            if (r == 0) {
                Take(frame);
                av_frame_unref(frame);
                continue;
            }
            if (r == AVERROR_EOF) {
                Take(nullptr);
                eof = true;
                break;
            }
            r = av_read_frame(fmt, pkt);
            if (r < 0) {
                avcodec_send_packet(dec, nullptr);
                continue;
            }
            if (pkt->stream_index == stream) avcodec_send_packet(dec, pkt);
            av_packet_unref(pkt);
        }
    }

    int Read(float* out, int count) override {
        int done = 0;
        while (done < count) {
            Fill();
            size_t avail = (pending.size() - pending_at) / 2;
            if (avail == 0) break;
            size_t n = avail < (size_t)(count - done) ? avail : (size_t)(count - done);
            memcpy(out + (size_t)done * 2, pending.data() + pending_at, n * 2 * sizeof(float));
            pending_at += n * 2;
            done += (int)n;
        }
        return done;
    }

    bool Rewind() override {
        if (av_seek_frame(fmt, stream, 0, AVSEEK_FLAG_BACKWARD) < 0 &&
            avformat_seek_file(fmt, -1, INT64_MIN, 0, 0, 0) < 0)
            return false;
        avcodec_flush_buffers(dec);
        swr_init(swr);
        pending.clear();
        pending_at = 0;
        eof = false;
        return true;
    }
};

}  // namespace

// FFmpeg's own complaints about bad files stay off standard error: a file
// that cannot be decoded is a failed load, reported by the callers.
static void Quiet() {
    static bool done = (av_log_set_level(AV_LOG_QUIET), true);
    (void)done;
}

std::unique_ptr<MixerSource> OpenFfmpegFile(const char* path) {
    Quiet();
    std::unique_ptr<FfmpegSource> s(new FfmpegSource);
    if (!path || !s->Open(path)) return nullptr;
    return s;
}

std::unique_ptr<MixerSource> OpenFfmpegMemory(std::vector<uint8_t> bytes) {
    Quiet();
    std::unique_ptr<FfmpegSource> s(new FfmpegSource);
    s->mem.bytes = std::move(bytes);
    if (!s->Open(nullptr)) return nullptr;
    return s;
}

void ReadWholeSource(MixerSource* s, MixerSound* out, int64_t max_frames) {
    out->samples.clear();
    float buf[4096 * 2];
    while (out->frames < max_frames) {
        int n = s->Read(buf, 4096);
        if (n <= 0) break;
        out->samples.insert(out->samples.end(), buf, buf + n * 2);
        out->frames += n;
    }
    out->frames = (int64_t)(out->samples.size() / 2);
}

static void PutLe32(std::vector<uint8_t>* v, uint32_t x) {
    for (int i = 0; i < 4; i++) v->push_back((uint8_t)(x >> (8 * i)));
}

bool DecodeCompressedWave(const RiffWave& w, const uint8_t* data, MixerSound* out) {
    // A plain wave file around the scanned format and data, for FFmpeg's
    // wave reader and the decoder the format tag names.
    uint32_t flen = w.format_length < RiffFormatBytes ? w.format_length : (uint32_t)RiffFormatBytes;
    if (flen < 16) flen = 16;
    std::vector<uint8_t> file;
    file.reserve(w.data_size + flen + 28);
    file.insert(file.end(), {'R', 'I', 'F', 'F'});
    PutLe32(&file, (uint32_t)(4 + 8 + flen + 8 + w.data_size));
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe32(&file, flen);
    file.insert(file.end(), w.format, w.format + flen);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    PutLe32(&file, (uint32_t)w.data_size);
    file.insert(file.end(), data, data + w.data_size);
    std::unique_ptr<MixerSource> s = OpenFfmpegMemory(std::move(file));
    if (!s) return false;
    ReadWholeSource(s.get(), out, MaxSoundFrames + 1);
    if (out->frames > MaxSoundFrames) return false;
    return out->frames > 0 || w.data_size == 0;
}
