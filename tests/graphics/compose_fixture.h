// compose_fixture.h - helpers of the sprite and composition tests: BMP files
// made pixel by pixel, tiny games played to their last frame, and that frame
// read back pixel by pixel.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/game_folder.h"

typedef std::array<uint8_t, 3> Bgr;  // blue, green, red

// A 24-bit bottom-up BMP file whose pixel (x, y) (from the top) is f(x, y).
inline std::string Bmp24(int w, int h, const std::function<Bgr(int, int)>& f) {
    int stride = (w * 3 + 3) / 4 * 4;
    std::string out(54 + (size_t)stride * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) { memcpy(&out[at], &v, 4); };
    auto put16 = [&](size_t at, uint16_t v) { memcpy(&out[at], &v, 2); };
    out[0] = 'B', out[1] = 'M';
    put32(2, (uint32_t)out.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)w);
    put32(22, (uint32_t)h);
    put16(26, 1);
    put16(28, 24);
    put32(34, (uint32_t)stride * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            Bgr c = f(x, y);
            memcpy(&out[54 + (size_t)(h - 1 - y) * stride + 3 * x], c.data(), 3);
        }
    return out;
}
inline std::string SolidBmp(int w, int h, Bgr c) {
    return Bmp24(w, h, [c](int, int) { return c; });
}

// Colours of the tests (blue, green, red).
inline constexpr Bgr kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{0, 0, 255},
    kGreen{0, 255, 0}, kBlue{255, 0, 0}, kGrey{128, 128, 128};

// The last frame of a run, as --frame-out wrote it.
struct Frame {
    int w = 0, h = 0;
    std::string bmp;
    Bgr At(int x, int y) const {
        uint32_t off;
        memcpy(&off, &bmp[10], 4);
        int stride = (w * 3 + 3) / 4 * 4;
        const char* p = &bmp[off + (size_t)(h - 1 - y) * stride + 3 * x];
        return Bgr{(uint8_t)p[0], (uint8_t)p[1], (uint8_t)p[2]};
    }
};

struct FramedRun {
    RunResult run;
    Frame frame;
};

// Runs the game of dir with opt, its last frame written and read back.
inline FramedRun RunFramed(const std::string& dir, RunOptions opt) {
    opt.frame_out = dir + "/frame.bmp";
    FramedRun r;
    r.run = RunGame(dir, opt);
    std::string bytes;
    if (ReadGameFileBytes(dir, "frame.bmp", &bytes) && bytes.size() > 54) {
        memcpy(&r.frame.w, &bytes[18], 4);
        memcpy(&r.frame.h, &bytes[22], 4);
        r.frame.bmp = bytes;
    }
    return r;
}

// Plays the script (UTF-8) with the files beside it and reads the last frame.
inline FramedRun PlayFramed(const std::string& script,
                            const std::vector<std::pair<std::string, std::string>>& files = {}) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    for (const auto& f : files) WriteGameFile(dir, f.first, f.second);
    return RunFramed(dir, RunOptions());
}

// A run that ended quietly: status 0 and no message box.
inline void ExpectQuiet(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

// The first box of a run, without the script position lines.
inline std::string FirstBox(const RunResult& r) {
    if (r.boxes.empty()) return "<no box>";
    return r.boxes[0].substr(0, r.boxes[0].find("\\n"));
}
