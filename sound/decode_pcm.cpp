// decode_pcm.cpp - channel mapping, rate conversion and integer PCM.
#include "sound/decode_pcm.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

void ToStereo(const float* in, int channels, int64_t frames, std::vector<float>* out) {
    out->resize((size_t)frames * 2);
    float* o = out->data();
    if (channels == 1) {
        for (int64_t i = 0; i < frames; i++) o[2 * i] = o[2 * i + 1] = in[i];
    } else {
        for (int64_t i = 0; i < frames; i++) {
            o[2 * i] = in[i * channels];
            o[2 * i + 1] = in[i * channels + 1];
        }
    }
}

StereoResampler::~StereoResampler() {
    SwrContext* s = (SwrContext*)swr;
    swr_free(&s);
}

bool StereoResampler::Open(int source_rate) {
    if (source_rate < MinSourceRate || source_rate > MaxSourceRate) return false;
    rate = source_rate;
    if (rate == MixerRate) return true;
    AVChannelLayout st = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* s = nullptr;
    if (swr_alloc_set_opts2(&s, &st, AV_SAMPLE_FMT_FLT, MixerRate, &st, AV_SAMPLE_FMT_FLT,
                            source_rate, 0, nullptr) < 0 || swr_init(s) < 0) {
        swr_free(&s);
        return false;
    }
    swr = s;
    return true;
}

void StereoResampler::Convert(const float* in, int frames, std::vector<float>* out) {
    if (!swr) {
        if (in) out->insert(out->end(), in, in + (size_t)frames * 2);
        return;
    }
    SwrContext* s = (SwrContext*)swr;
    // Room for the output of this input and, when draining, for what the
    // filter still holds.
    int room = swr_get_out_samples(s, frames) + (int)swr_get_delay(s, MixerRate) + 32;
    size_t at = out->size();
    out->resize(at + (size_t)room * 2);
    uint8_t* o = (uint8_t*)(out->data() + at);
    const uint8_t* i = (const uint8_t*)in;
    int got = swr_convert(s, &o, room, in ? &i : nullptr, in ? frames : 0);
    out->resize(at + (size_t)(got > 0 ? got : 0) * 2);
}

bool ResampleStereo(const std::vector<float>& in, int rate, MixerSound* out) {
    if (rate < MinSourceRate || rate > MaxSourceRate || ConvertedFrames((int64_t)in.size() / 2, rate) > MaxSoundFrames)
        return false;
    StereoResampler r;
    if (!r.Open(rate)) return false;
    out->samples.clear();
    if (rate == MixerRate) {
        out->samples = in;
    } else {
        // Silence behind the sound pushes its end through the filter; the
        // result is cut to the length the rates give, so a sound lasts as
        // long at MixerRate as it did at its own rate.
        int64_t want = ConvertedFrames((int64_t)in.size() / 2, rate);
        std::vector<float> tail(2 * 256, 0.0f);
        out->samples.reserve((size_t)want * 2 + 1024);
        r.Convert(in.data(), (int)(in.size() / 2), &out->samples);
        r.Convert(tail.data(), 256, &out->samples);
        r.Convert(nullptr, 0, &out->samples);
        out->samples.resize((size_t)want * 2, 0.0f);
    }
    out->frames = (int64_t)(out->samples.size() / 2);
    return true;
}

bool PcmToMixer(const RiffWave& w, const uint8_t* data, MixerSound* out) {
    int bytes = w.bits / 8;
    if (w.channels == 0 || w.channels > 32 || (w.bits != 8 && w.bits != 16 && w.bits != 24 && w.bits != 32))
        return false;
    size_t frame_bytes = (size_t)bytes * w.channels;
    int64_t frames = (int64_t)(w.data_size / frame_bytes);
    if (w.rate < MinSourceRate || w.rate > MaxSourceRate || ConvertedFrames(frames, (int)w.rate) > MaxSoundFrames)
        return false;
    std::vector<float> flat((size_t)frames * w.channels);
    const uint8_t* p = data;
    for (size_t i = 0; i < flat.size(); i++, p += bytes) {
        float v;
        switch (bytes) {
        case 1: v = ((int)p[0] - 128) / 128.0f; break;
        case 2: v = (int16_t)(p[0] | p[1] << 8) / 32768.0f; break;
        case 3: v = (float)((int32_t)((uint32_t)p[0] << 8 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 24) >> 8) / 8388608.0f; break;
        default: v = (float)(int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24) / 2147483648.0f; break;
        }
        flat[i] = v;
    }
    std::vector<float> stereo;
    ToStereo(flat.data(), w.channels, frames, &stereo);
    return ResampleStereo(stereo, (int)w.rate, out);
}

void PadSound(MixerSound* s, int64_t frames) {
    if (s->frames >= frames) return;
    s->samples.resize((size_t)frames * 2, 0.0f);
    s->frames = frames;
}
