// Fuzzes the wave scanner and the PCM conversion behind it: whatever the
// bytes, a found data chunk lies inside them, the format record is bounded,
// and an accepted PCM sound has exactly as many frames as its data and rate
// give.
#include <cstdint>
#include <cstdlib>

#include "sound/decode_pcm.h"
#include "sound/decode_riff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RiffWave w;
    if (!ScanRiffWave(data, size, &w)) return 0;
    if (w.data_offset > size || w.data_size > size - w.data_offset) abort();
    if (w.data_size > w.data_size_stated) abort();
    if (w.tag != WaveFormatPcm || w.channels == 0 || w.bits == 0) return 0;
    // Keep conversions small: the rate bounds allow 2000 times the input.
    if (w.rate < MinSourceRate || w.rate > MaxSourceRate) return 0;
    int64_t frames = (int64_t)w.data_size / ((w.bits / 8 ? w.bits / 8 : 1) * w.channels);
    if (ConvertedFrames(frames, (int)w.rate) > 200000) return 0;
    MixerSound s;
    if (!PcmToMixer(w, data + w.data_offset, &s)) return 0;
    if ((int64_t)s.samples.size() != s.frames * 2) abort();
    int64_t expect = ConvertedFrames(frames, (int)w.rate);
    if (s.frames != expect) abort();
    return 0;
}
