// decode_ffmpeg.h - FFmpeg (libavformat, libavcodec, libswresample) decoding
// music streams of any format it reads, and compressed wave data (ADPCM,
// mu-law, MP3 in a wave, ...) for the channels.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "sound/decode_riff.h"
#include "sound/mixer.h"

// A stream over a file (a real path); null when it cannot be decoded.
std::unique_ptr<MixerSource> OpenFfmpegFile(const char* path);
// A stream over bytes in memory (kept by the stream).
std::unique_ptr<MixerSource> OpenFfmpegMemory(std::vector<uint8_t> bytes);
// A compressed wave: the scanned format record and data, decoded whole.
bool DecodeCompressedWave(const RiffWave& wave, const uint8_t* data, MixerSound* out);
// Every frame of a source (at most max_frames).
void ReadWholeSource(MixerSource* s, MixerSound* out, int64_t max_frames);
