// decode_pcm.h - sounds brought to the mixer's form: interleaved stereo float
// at MixerRate.  Mono plays at full level on both sides; of more channels the
// first two are kept.  Rates are converted with libswresample.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/decode_riff.h"
#include "sound/mixer.h"

// The bounds of a whole sound: source rates of 100 Hz to 200 kHz, and at most
// 15 minutes once converted (a longer one is a failed load, not gigabytes).
constexpr int MinSourceRate = 100, MaxSourceRate = 200000;
constexpr int64_t MaxSoundFrames = (int64_t)15 * 60 * MixerRate;
// Frames at MixerRate that `frames` at `rate` become.
inline int64_t ConvertedFrames(int64_t frames, int rate) { return rate > 0 ? frames * MixerRate / rate : 0; }

// Interleaved float of `channels` channels to stereo (in place of *out).
void ToStereo(const float* in, int channels, int64_t frames, std::vector<float>* out);
// Stereo float at `rate` to MixerRate; false when the rate is out of bounds
// or the result too long.
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
