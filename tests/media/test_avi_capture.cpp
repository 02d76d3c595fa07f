// AVI capture in a whole game: the file aviwriteopen, aviwrite and
// aviwriteclose make, compared byte for byte with the AVI 1.0 layout built
// here from its fields; the same index written twice, the length as the
// larger of the count given and the frames written, and a file still open
// at the end closed with its index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/support/game_folder.h"

namespace {

struct Bytes {
    std::string b;
    void cc(const char* s) { b.append(s, 4); }
    void u32(uint32_t v) { for (int i = 0; i < 4; i++) b += (char)(v >> (8 * i)); }
    void u16(uint16_t v) { b += (char)v, b += (char)(v >> 8); }
};

// The file of `frames` copies of `frame` (the bits of a w x h screen), as
// the capture writes it: strf is the screen's 40-byte info header.
std::string ExpectedAvi(int w, int h, int rate, uint32_t length, int frames, const std::string& frame,
                        const std::string& strf) {
    uint32_t size = (uint32_t)frame.size();
    Bytes movi;
    for (int i = 0; i < frames; i++) movi.cc("00db"), movi.u32(size), movi.b += frame;
    Bytes x;
    x.cc("RIFF");
    x.u32(4 + (8 + 4 + 64 + 8 + 4 + 64 + 48 + 18) + (8 + 4 + (uint32_t)movi.b.size()) + 8 + 16 * frames);
    x.cc("AVI ");
    x.cc("LIST"), x.u32(4 + 64 + 12 + 64 + 48 + 18), x.cc("hdrl");
    x.cc("avih"), x.u32(56);
    x.u32(1000000 / rate), x.u32(0), x.u32(0), x.u32(0x10), x.u32(length), x.u32(0), x.u32(1), x.u32(0);
    x.u32(w), x.u32(h), x.u32(0), x.u32(0), x.u32(0), x.u32(0);
    x.cc("LIST"), x.u32(4 + 64 + 48 + 18), x.cc("strl");
    x.cc("strh"), x.u32(56), x.cc("vids"), x.cc("DIB ");
    x.u32(0), x.u16(0), x.u16(0), x.u32(0), x.u32(1), x.u32(rate), x.u32(0), x.u32(length), x.u32(0);
    x.u32(0xFFFFFFFF), x.u32(0), x.u16(0), x.u16(0), x.u16(w), x.u16(h);
    x.cc("strf"), x.u32(40), x.b += strf;
    x.cc("strn"), x.u32(9), x.b += std::string("Video #1\0\0", 10);
    x.cc("LIST"), x.u32(4 + (uint32_t)movi.b.size()), x.cc("movi");
    x.b += movi.b;
    x.cc("idx1"), x.u32(16 * frames);
    for (int i = 0; i < frames; i++) x.cc("00db"), x.u32(0x10), x.u32(4 + (uint32_t)i * (8 + size)), x.u32(size);
    return x.b;
}

TEST(AviCapture, FileLayoutByteForByte) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "bg #102030,1\n"
                "aviwriteopen \"cap.avi\",15,3\n"
                "aviwrite 0\naviwrite 0\naviwrite 7\naviwrite 1\n"  // four samples in call order
                "aviwriteclose\naviwriteclose\n"
                "aviwriteopen \"Open.avi\",30,5\naviwrite 0\n"      // closed by the end
                "end\n");
    RunResult r = RunGame(dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string frame;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) frame += "\x30\x20\x10";  // blue, green, red
    ASSERT_EQ(frame.size(), 921600u);
    std::string got;
    ASSERT_TRUE(ReadGameFileBytes(dir, "cap.avi", &got));
    ASSERT_GT(got.size(), 200u);
    // The screen's info header: 40 bytes, 640 x 480 bottom-up, 24 bits, no compression.
    std::string strf = got.substr(12 + 12 + 64 + 12 + 64 + 8, 40);
    int32_t v[3];
    memcpy(v, strf.data(), 12);
    EXPECT_EQ(v[0], 40);
    EXPECT_EQ(v[1], 640);
    EXPECT_EQ(v[2], 480);
    EXPECT_EQ(strf.substr(12, 8), std::string("\x01\x00\x18\x00\x00\x00\x00\x00", 8));
    std::string want = ExpectedAvi(640, 480, 15, 4, 4, frame, strf);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_EQ(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin(), (long)got.size());
    ASSERT_TRUE(ReadGameFileBytes(dir, "Open.avi", &got));
    EXPECT_TRUE(got == ExpectedAvi(640, 480, 30, 5, 1, frame, strf));
}

}  // namespace
