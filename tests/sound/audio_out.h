// audio_out.h - what the headless runner's --audio-out wrote: the 16-bit
// stereo samples of its wave file, where sound first starts, the RMS level
// of a stretch of one side and the amplitude of one tone in it.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The interleaved stereo samples of the file; its header must state the
// data that follows it.
inline std::vector<int16_t> ReadAudioOut(const std::string& wav) {
    std::ifstream f(wav, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples;
    EXPECT_GE(bytes.size(), 44u) << wav;
    if (bytes.size() < 44) return samples;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    uint32_t stated = (uint8_t)bytes[40] | (uint8_t)bytes[41] << 8 | (uint8_t)bytes[42] << 16 |
                      (uint32_t)(uint8_t)bytes[43] << 24;
    EXPECT_EQ(stated, bytes.size() - 44) << "the header states the data written";
    samples.resize((bytes.size() - 44) / 2);
    memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

// The first frame with a sample other than 0 (the frame count when none).
inline size_t FirstSound(const std::vector<int16_t>& s) {
    for (size_t i = 0; i < s.size(); i++)
        if (s[i]) return i / 2;
    return s.size() / 2;
}

// RMS of one side over frames [from, to).
inline double Rms(const std::vector<int16_t>& s, size_t from, size_t to, int side) {
    double sum = 0;
    for (size_t i = from; i < to; i++) sum += (double)s[2 * i + side] * s[2 * i + side];
    return std::sqrt(sum / (double)(to - from));
}

// Amplitude (0..32768) of the sine at hz in one side over frames [from, to)
// (Goertzel): tells one piece from another playing with it.
inline double ToneAmplitude(const std::vector<int16_t>& s, size_t from, size_t to, int side, double hz) {
    const double pi = 3.14159265358979323846;
    double c = 2 * std::cos(2 * pi * hz / 44100), s1 = 0, s2 = 0;
    for (size_t i = from; i < to; i++) {
        double s0 = s[2 * i + side] + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2 * std::sqrt(power > 0 ? power : 0) / (double)(to - from);
}
