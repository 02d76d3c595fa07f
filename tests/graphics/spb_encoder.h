// spb_encoder.h - an SPB encoder for tests, fuzz seeds and benchmarks:
// three planes (blue, green, red), each its first value and then groups of
// four values in the serpentine scan, every group with the smallest code
// that holds its differences (or, on request, the widest one).  Header-only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct SpbBitWriter {
    std::string out;
    uint32_t acc = 0;
    int n = 0;
    void Put(uint32_t v, int bits) {
        for (int i = bits - 1; i >= 0; i--) {
            acc = (acc << 1) | ((v >> i) & 1);
            if (++n == 8) {
                out.push_back((char)acc);
                acc = 0;
                n = 0;
            }
        }
    }
    std::string Finish() {
        if (n) out.push_back((char)(acc << (8 - n)));
        n = 0;
        return out;
    }
};

// Smallest k (0..8) whose range holds every difference of the group.
inline int SpbGroupWidth(uint8_t prev, const uint8_t* v) {
    int d[4];
    bool same = true;
    for (int j = 0; j < 4; j++) {
        d[j] = (int8_t)(uint8_t)(v[j] - prev);
        if (d[j] != 0) same = false;
        prev = v[j];
    }
    if (same) return 0;
    for (int k = 1; k <= 7; k++) {
        int hi = 1 << (k - 1), lo = -(hi - 1);
        bool fits = true;
        for (int j = 0; j < 4; j++)
            if (d[j] < lo || d[j] > hi) fits = false;
        if (fits) return k;
    }
    return 8;
}

// pixels: width * height * 3 bytes, rows from the top, blue, green, red.
// widest: every group with k = 8.
inline std::string EncodeSpb(int width, int height, const std::vector<uint8_t>& pixels,
                             bool widest = false) {
    SpbBitWriter w;
    w.Put((uint32_t)width, 16);
    w.Put((uint32_t)height, 16);
    size_t n = (size_t)width * height;
    std::vector<uint8_t> seq(n);
    for (int p = 0; p < 3; p++) {
        for (size_t i = 0; i < n; i++) {
            size_t row = i / width, col = i % width;
            if (row & 1) col = width - 1 - col;
            seq[i] = pixels[(row * width + col) * 3 + p];
        }
        uint8_t prev = seq[0];
        w.Put(prev, 8);
        for (size_t i = 1; i < n; i += 4) {
            uint8_t v[4];
            for (int j = 0; j < 4; j++) v[j] = i + j < n ? seq[i + j] : (j ? v[j - 1] : prev);
            int k = widest ? 8 : SpbGroupWidth(prev, v);
            if (k == 0) w.Put(0, 3);
            else if (k == 1) { w.Put(7, 3); w.Put(0, 1); }
            else if (k == 2) { w.Put(7, 3); w.Put(1, 1); }
            else w.Put((uint32_t)(k - 2), 3);
            for (int j = 0; j < 4 && k; j++) {
                if (k == 8) {
                    w.Put(v[j], 8);
                } else {
                    int d = (int8_t)(uint8_t)(v[j] - prev);
                    w.Put((uint32_t)(d > 0 ? 2 * d - 1 : -2 * d), k);
                }
                prev = v[j];
            }
        }
    }
    return w.Finish();
}
