// sound_test_files.h - sound files made in the tests: wave files of any
// format record, tones, and Ogg Vorbis through libvorbisenc.
#pragma once
#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

inline void PutLe16(std::string* w, uint16_t v) {
    *w += (char)v;
    *w += (char)(v >> 8);
}
inline void PutLe32(std::string* w, uint32_t v) {
    for (int i = 0; i < 4; i++) *w += (char)(v >> (8 * i));
}

// A 16-byte PCM format record (plus `extra` bytes when given).
inline std::string FormatRecord(uint16_t tag, int channels, int rate, int bits, int block_align,
                                const std::string& extra = "") {
    std::string f;
    PutLe16(&f, tag);
    PutLe16(&f, (uint16_t)channels);
    PutLe32(&f, (uint32_t)rate);
    PutLe32(&f, (uint32_t)(rate * block_align));
    PutLe16(&f, (uint16_t)block_align);
    PutLe16(&f, (uint16_t)bits);
    return f + extra;
}

// "RIFF" size "WAVE" "fmt " chunk, "data" chunk (stated size given or true).
inline std::string WaveFile(const std::string& fmt, const std::string& data, int64_t stated = -1) {
    std::string w = "RIFF";
    PutLe32(&w, (uint32_t)(4 + 8 + fmt.size() + 8 + data.size()));
    w += "WAVEfmt ";
    PutLe32(&w, (uint32_t)fmt.size());
    w += fmt;
    w += "data";
    PutLe32(&w, stated < 0 ? (uint32_t)data.size() : (uint32_t)stated);
    return w + data;
}

// 16-bit samples of a sine at `level` (0..1) of full scale, `channels` alike.
inline std::string ToneSamples(int frames, double hz, int rate, int channels, double level) {
    std::string d;
    for (int i = 0; i < frames; i++) {
        int16_t s = (int16_t)std::lrint(32767 * level * std::sin(2 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; c++) PutLe16(&d, (uint16_t)s);
    }
    return d;
}

inline std::string ToneWave(double seconds, double hz, int rate, int channels, double level) {
    int frames = (int)std::lrint(seconds * rate);
    return WaveFile(FormatRecord(1, channels, rate, 16, channels * 2),
                    ToneSamples(frames, hz, rate, channels, level));
}

// An Ogg Vorbis file of a sine tone (level 0..1), silent for its first
// `silent_lead` seconds.
inline std::string ToneOgg(double seconds, double hz, int rate, int channels, double level,
                           double silent_lead = 0) {
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    ogg_page og;
    ogg_packet op, hdr, hdr_comm, hdr_code;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, 0.4f) != 0) abort();
    vorbis_comment_init(&vc);
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_init(&os, 1);
    std::string out;
    auto flush_pages = [&](bool all) {
        while (all ? ogg_stream_flush(&os, &og) : ogg_stream_pageout(&os, &og)) {
            out.append((const char*)og.header, (size_t)og.header_len);
            out.append((const char*)og.body, (size_t)og.body_len);
        }
    };
    vorbis_analysis_headerout(&vd, &vc, &hdr, &hdr_comm, &hdr_code);
    ogg_stream_packetin(&os, &hdr);
    ogg_stream_packetin(&os, &hdr_comm);
    ogg_stream_packetin(&os, &hdr_code);
    flush_pages(true);
    long frames = std::lrint(seconds * rate), done = 0, lead = std::lrint(silent_lead * rate);
    while (true) {
        long n = frames - done < 1024 ? frames - done : 1024;
        if (n > 0) {
            float** buf = vorbis_analysis_buffer(&vd, (int)n);
            for (long i = 0; i < n; i++) {
                float s = done + i < lead ? 0.0f
                                          : (float)(level * std::sin(2 * M_PI * hz * (double)(done + i) / rate));
                for (int c = 0; c < channels; c++) buf[c][i] = s;
            }
            done += n;
        }
        vorbis_analysis_wrote(&vd, (int)(n > 0 ? n : 0));
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                flush_pages(false);
            }
        }
        if (n <= 0) break;
    }
    flush_pages(true);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}
