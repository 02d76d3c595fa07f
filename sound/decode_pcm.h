// decode_pcm.h - sounds brought to the mixer's form: interleaved stereo float
// at MixerRate.  Mono plays at full level on both sides; of more channels the
// first two are kept.  Rates are converted with libswresample.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/decode_riff.h"
#include "sound/mixer.h"

// Interleaved float of `channels` channels to stereo (in place of *out).
void ToStereo(const float* in, int channels, int64_t frames, std::vector<float>* out);
// Stereo float at `rate` to MixerRate; false when the rate is unusable.
bool ResampleStereo(const std::vector<float>& in, int rate, MixerSound* out);
// Integer PCM (8-bit unsigned, 16, 24 or 32-bit signed) as a wave file's
// format record states it; false for an unusable format.
bool PcmToMixer(const RiffWave& wave, const uint8_t* data, MixerSound* out);
// Pads a sound with silence to at least `frames` frames.
void PadSound(MixerSound* s, int64_t frames);

// Rate conversion as a stream: Feed stereo float at the source rate, take
// stereo float at MixerRate.
struct StereoResampler {
    void* swr = nullptr;
    int rate = 0;
    ~StereoResampler();
    bool Open(int source_rate);
    // Appends the converted frames of `frames` input frames (null with 0 to
    // drain) to *out.
    void Convert(const float* in, int frames, std::vector<float>* out);
};
