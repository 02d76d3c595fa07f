// decode_riff.h - the wave file scanner.  Looks byte by byte for "fmt " and
// then "data" without checking the "RIFF" and "WAVE" words, as games' wave
// files are read: a byte that breaks a partial match is not itself tried as
// the start of a new match.  The format record keeps at most 146 bytes of the
// "fmt " chunk (the rest is skipped); the data size is clamped to the bytes
// the file has left.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t RiffFormatBytes = 146;
constexpr uint16_t WaveFormatPcm = 1;

struct RiffWave {
    uint8_t format[RiffFormatBytes];  // the "fmt " chunk's start, zero-filled
    uint32_t format_length = 0;       // as the chunk states it
    uint16_t tag = 0, channels = 0, bits = 0, block_align = 0;
    uint32_t rate = 0, bytes_per_second = 0;
    size_t data_offset = 0;           // first data byte
    size_t data_size = 0;             // clamped to the file
    uint32_t data_size_stated = 0;
};

// false when the bytes end before either chunk (or its length) is found.
bool ScanRiffWave(const uint8_t* bytes, size_t size, RiffWave* out);
