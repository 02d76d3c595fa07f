// SPB decoding: the documented vectors, round trips through the test
// encoder at every group width, wrapping differences, the serpentine scan,
// one-pixel-wide pictures, and bad or cut streams.
#include <gtest/gtest.h>

#include <random>

#include "graphics/bmp.h"
#include "graphics/spb.h"
#include "tests/archive/arcpack.h"
#include "tests/graphics/gfx_fixture.h"
#include "tests/graphics/spb_encoder.h"

using arcpack::Hex;

namespace {

std::vector<uint8_t> RandomPixels(int w, int h, uint32_t seed, int spread) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> px((size_t)w * h * 3);
    uint8_t v = 128;
    for (auto& b : px) {
        v = (uint8_t)(v + (int)(rng() % (2 * spread + 1)) - spread);
        b = v;
    }
    return px;
}

void ExpectPixels(const Dib& d, int w, int h, const std::vector<uint8_t>& px) {
    ASSERT_EQ(d.width, w);
    ASSERT_EQ(d.height, h);
    for (int y = 0; y < h; y++)
        ASSERT_EQ(memcmp(d.bits + GetRowOffset(&d, y), &px[(size_t)y * w * 3], (size_t)w * 3), 0)
            << "row " << y << " of " << w << "x" << h;
}

bool Decode(const std::string& s, Dib* d) {
    return DecodeSpb((const uint8_t*)s.data(), s.size(), d);
}

}  // namespace

TEST(Spb, OneColourTwoByTwo) {
    Dib d = {};
    ASSERT_TRUE(Decode(Hex("00 02 00 02 01 00 40 0C 00"), &d));
    std::vector<uint8_t> want = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3};
    ExpectPixels(d, 2, 2, want);
    FreeDib(&d);
    // The test encoder makes the same stream.
    EXPECT_EQ(EncodeSpb(2, 2, want), Hex("00 02 00 02 01 00 40 0C 00"));
}

TEST(Spb, EveryCodeVector) {
    const char* stream =
        "00 05 00 03 0A 1C BF C2 77 01 90 EF 0B FF A2 2B FF F0 10 1B 4D BD BD BF EA 27 FF C4 E0 0F"
        " F8 00 75 FC A0 00";
    std::vector<uint8_t> want = {
        10, 100, 250, 10, 97, 4, 10, 101, 36, 10, 99, 5, 10, 100, 10,
        14, 173, 15, 12, 109, 7, 11, 110, 128, 11, 101, 255, 10, 116, 0,
        13, 110, 8, 13, 111, 11, 14, 111, 11, 11, 211, 11, 15, 111, 11,
    };
    Dib d = {};
    ASSERT_TRUE(Decode(Hex(stream), &d));
    ExpectPixels(d, 5, 3, want);
    // As a BMP image, byte for byte.
    std::vector<uint8_t> bmp;
    std::string s = Hex(stream);
    ASSERT_TRUE(SpbToBmp((const uint8_t*)s.data(), s.size(), &bmp));
    EXPECT_EQ(ToBytes(bmp),
              Hex("42 4D 66 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 05 00 00 00 03 00 00 00 01 00"
                  " 18 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                  " 0D 6E 08 0D 6F 0B 0E 6F 0B 0B D3 0B 0F 6F 0B 00 0E AD 0F 0C 6D 07 0B 6E 80 0B 65"
                  " FF 0A 74 00 00 0A 64 FA 0A 61 04 0A 65 24 0A 63 05 0A 64 0A 00"));
    FreeDib(&d);
}

TEST(Spb, SmallWidthsMoveByTheirRange) {
    // k = 1: m = 1 adds 1; k = 2: m = 0, 1, 2, 3 give 0, +1, -1, +2.
    SpbBitWriter w;
    w.Put(5, 16); w.Put(1, 16);
    for (int p = 0; p < 3; p++) {
        w.Put(100, 8);
        w.Put(7, 3); w.Put(1, 1);  // k = 2
        w.Put(0, 2); w.Put(1, 2); w.Put(2, 2); w.Put(3, 2);
    }
    Dib d = {};
    ASSERT_TRUE(Decode(w.Finish(), &d));
    const uint8_t* row = d.bits;
    uint8_t want[5] = {100, 100, 101, 100, 102};
    for (int x = 0; x < 5; x++) EXPECT_EQ(row[3 * x], want[x]) << x;
    FreeDib(&d);
}

TEST(Spb, DifferencesWrapModulo256) {
    std::vector<uint8_t> px = {250, 0, 5, 3, 255, 250, 255, 1, 0, 0, 254, 4};
    for (bool widest : {false, true}) {
        Dib d = {};
        ASSERT_TRUE(Decode(EncodeSpb(4, 1, px, widest), &d));
        ExpectPixels(d, 4, 1, px);
        FreeDib(&d);
    }
    // +4 from 254 (k = 3, m = 7) wraps to 2.
    SpbBitWriter w;
    w.Put(2, 16); w.Put(1, 16);
    for (int p = 0; p < 3; p++) { w.Put(254, 8); w.Put(1, 3); w.Put(7, 3); w.Put(0, 9); }
    Dib d = {};
    ASSERT_TRUE(Decode(w.Finish(), &d));
    EXPECT_EQ(d.bits[3], 2);
    FreeDib(&d);
}

TEST(Spb, RoundTripsOverSizesAndSpreads) {
    struct { int w, h, spread; } cases[] = {
        {2, 1, 0}, {2, 2, 1}, {3, 3, 2}, {5, 4, 3}, {7, 5, 6}, {8, 8, 12}, {9, 3, 30},
        {16, 9, 60}, {31, 7, 127}, {33, 17, 4}, {64, 3, 200},
    };
    for (auto& c : cases) {
        std::vector<uint8_t> px = RandomPixels(c.w, c.h, (uint32_t)(c.w * 131 + c.h), c.spread);
        for (bool widest : {false, true}) {
            Dib d = {};
            ASSERT_TRUE(Decode(EncodeSpb(c.w, c.h, px, widest), &d)) << c.w << "x" << c.h;
            ExpectPixels(d, c.w, c.h, px);
            FreeDib(&d);
        }
    }
}

TEST(Spb, OnePixelWideRunsDownTheColumn) {
    for (int h : {1, 2, 5}) {
        std::vector<uint8_t> px = RandomPixels(1, h, (uint32_t)h, 40);
        Dib d = {};
        ASSERT_TRUE(Decode(EncodeSpb(1, h, px), &d)) << h;
        ExpectPixels(d, 1, h, px);
        FreeDib(&d);
    }
}

TEST(Spb, BadStreamsDecodeToNothing) {
    std::vector<uint8_t> px = RandomPixels(6, 5, 9, 50);
    std::string good = EncodeSpb(6, 5, px);
    struct { const char* what; std::string bytes; } cases[] = {
        {"empty", ""},
        {"header cut", good.substr(0, 3)},
        {"zero width", Hex("00 00 00 02 01 00")},
        {"zero height", Hex("00 02 00 00 01 00")},
        {"width above the bound", Hex("40 01 00 02 01 00 40 0C 00")},
        {"height above the bound", Hex("00 02 FF FF 01 00 40 0C 00")},
        {"planes cut", good.substr(0, good.size() / 2)},
        {"last plane cut", good.substr(0, good.size() - 3)},
        // Far too short for its size: refused before any allocation.
        {"largest size, no planes", Hex("40 00 40 00 00 00 00 00")},
    };
    for (auto& c : cases) {
        Dib d = {};
        EXPECT_FALSE(Decode(c.bytes, &d)) << c.what;
        EXPECT_EQ(d.info, nullptr) << c.what;
    }
}

TEST(Spb, TheShortestStreamOfASizeDecodes) {
    // One colour: the first values and then only 3-bit groups of code 0,
    // the least a stream of that size can hold.
    for (int w : {1, 2, 5, 37}) {
        for (int h : {1, 3, 8}) {
            std::vector<uint8_t> px((size_t)w * h * 3);
            for (size_t i = 0; i < px.size(); i++) px[i] = (uint8_t)(50 + i % 3);
            std::string s = EncodeSpb(w, h, px);
            size_t groups = ((size_t)w * h - 1 + 3) / 4;
            ASSERT_EQ(s.size(), (32 + 3 * (8 + 3 * groups) + 7) / 8) << w << "x" << h;
            Dib d = {};
            ASSERT_TRUE(Decode(s, &d)) << w << "x" << h;
            ExpectPixels(d, w, h, px);
            FreeDib(&d);
            EXPECT_FALSE(Decode(s.substr(0, s.size() - 1), &d)) << w << "x" << h;
        }
    }
}

TEST(Spb, TheDroppedTailMayRunPastTheEnd) {
    // 2 x 2 with 8-bit groups: the last group's fourth value is dropped, so
    // a stream that stops before it still decodes.
    std::vector<uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::string s = EncodeSpb(2, 2, px, true);
    // 32 + 3 * (8 + 3 + 32) bits = 161 bits; the last 8 bits are dropped.
    ASSERT_EQ(s.size(), 21u);
    Dib d = {};
    ASSERT_TRUE(Decode(s.substr(0, 20), &d));
    ExpectPixels(d, 2, 2, px);
    FreeDib(&d);
}

class SpbFileTest : public GfxTest {};

TEST_F(SpbFileTest, FileLoads) {
    std::vector<uint8_t> px = RandomPixels(4, 4, 3, 10);
    Write("pic.spb", EncodeSpb(4, 4, px));
    Surface s;
    InitSurface(&s);
    ASSERT_TRUE(LoadSurfaceSpb(&s, "pic.spb"));
    ExpectPixels(s.dib, 4, 4, px);
    EXPECT_FALSE(LoadSurfaceSpb(&s, "none.spb"));
    EXPECT_FALSE(HasPicture(&s));
    DestroySurface(&s);
}
