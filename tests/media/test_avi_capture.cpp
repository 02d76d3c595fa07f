// AVI capture in a whole game: the file aviwriteopen, aviwrite and
// aviwriteclose make, compared byte for byte with the AVI 1.0 layout built
// here from its fields; frames indexed in index order whatever the order
// they were written in, the same index written twice (the later write is
// the frame), indices never written, the length as the larger of the count
// given and the frames up to the highest index, and a file still open at the
// end closed with its index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/game_folder.h"

namespace {

struct Bytes {
    std::string b;
    void cc(const char* s) { b.append(s, 4); }
    void u32(uint32_t v) { for (int i = 0; i < 4; i++) b += (char)(v >> (8 * i)); }
    void u16(uint16_t v) { b += (char)v, b += (char)(v >> 8); }
};

// One chunk of the movie list: a frame's bits, or "" for the empty chunk.
// One entry of the index: the chunk it names (-1 for the empty one, which
// follows the others).
std::string ExpectedAvi(int w, int h, int rate, uint32_t length, const std::vector<std::string>& chunks,
                        const std::vector<int>& index, const std::string& strf) {
    uint32_t size = (uint32_t)chunks[0].size();
    bool gap = std::count(index.begin(), index.end(), -1) > 0;
    Bytes movi;
    std::vector<uint32_t> at;
    for (const std::string& c : chunks) at.push_back(4 + (uint32_t)movi.b.size()), movi.cc("00db"), movi.u32(size), movi.b += c;
    uint32_t gap_at = 4 + (uint32_t)movi.b.size();
    if (gap) movi.cc("00db"), movi.u32(0);
    uint32_t n = (uint32_t)index.size();
    Bytes x;
    x.cc("RIFF");
    x.u32(4 + (8 + 4 + 64 + 8 + 4 + 64 + 48 + 18) + (8 + 4 + (uint32_t)movi.b.size()) + 8 + 16 * n);
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
    x.cc("idx1"), x.u32(16 * n);
    for (int c : index) {
        x.cc("00db");
        if (c < 0)
            x.u32(0), x.u32(gap_at), x.u32(0);
        else
            x.u32(0x10), x.u32(at[c]), x.u32(size);
    }
    return x.b;
}

// The bits of a 640 x 480 screen of one colour (blue, green, red).
std::string Screen(const char* bgr) {
    std::string frame;
    for (int i = 0; i < 640 * 480; i++) frame.append(bgr, 3);
    return frame;
}

TEST(AviCapture, FileLayoutByteForByte) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "aviwriteopen \"cap.avi\",15,3\n"
                "bg #102030,1\naviwrite 0\nbg #405060,1\naviwrite 0\n"  // rewritten: the file holds both
                "bg #708090,1\naviwrite 7\nbg #a0b0c0,1\naviwrite 1\n"  // 2 to 6 never written
                "aviwriteclose\naviwriteclose\n"
                "aviwriteopen \"ord.avi\",10,2\n"
                "bg #102030,1\naviwrite 0\nbg #405060,1\naviwrite 2\nbg #708090,1\naviwrite 1\n"
                "aviwriteclose\n"
                "aviwriteopen \"Open.avi\",30,5\naviwrite 0\n"      // closed by the end
                "end\n");
    RunResult r = RunGame(dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string a = Screen("\x30\x20\x10"), b = Screen("\x60\x50\x40"), c = Screen("\x90\x80\x70"),
                d = Screen("\xc0\xb0\xa0");
    ASSERT_EQ(a.size(), 921600u);
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
    struct {
        const char* file;
        int rate;
        uint32_t length;
        std::vector<std::string> chunks;
        std::vector<int> index;
    } cases[] = {
        // Frames by index: 0 the second write, 1 the last, 7 the third.
        {"cap.avi", 15, 8, {a, b, c, d}, {1, 3, -1, -1, -1, -1, -1, 2}},
        {"ord.avi", 10, 3, {a, b, c}, {0, 2, 1}},
        {"Open.avi", 30, 5, {c}, {0}},
    };
    for (const auto& k : cases) {
        ASSERT_TRUE(ReadGameFileBytes(dir, k.file, &got)) << k.file;
        std::string want = ExpectedAvi(640, 480, k.rate, k.length, k.chunks, k.index, strf);
        ASSERT_EQ(got.size(), want.size()) << k.file;
        EXPECT_EQ(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin(), (long)got.size())
            << k.file;
    }
}

}  // namespace
