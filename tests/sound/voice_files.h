// voice_files.h - generated sound files for the music and voice tests.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

// A 16-bit PCM RIFF wave of a sine tone at half level.
inline std::string ToneWav(double seconds, double hz, int rate, int channels) {
    int frames = (int)(seconds * rate);
    uint32_t data = (uint32_t)(frames * channels * 2);
    std::string w;
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; i++) w += (char)(v >> (8 * i)); };
    auto u16 = [&](uint16_t v) { w += (char)v; w += (char)(v >> 8); };
    w += "RIFF";
    u32(36 + data);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16((uint16_t)channels);
    u32((uint32_t)rate);
    u32((uint32_t)(rate * channels * 2));
    u16((uint16_t)(channels * 2));
    u16(16);
    w += "data";
    u32(data);
    for (int i = 0; i < frames; i++) {
        int16_t s = (int16_t)(16383 * std::sin(2 * M_PI * hz * i / rate));
        for (int c = 0; c < channels; c++) u16((uint16_t)s);
    }
    return w;
}
