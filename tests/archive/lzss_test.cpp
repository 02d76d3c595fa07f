// Tests of the LZSS decoder: known streams, round trips, agreement with the
// step-by-step reference decoder, the output bound and the ring's start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "archive/lzss.h"
#include "tests/archive/arcpack.h"

using arcpack::Hex;

// A stream gives at most 17 bytes per 13 bits, so the output room need not
// pass 11 bytes per input byte however large the bound.
static std::string Decode(const std::string& in, size_t cap) {
    cap = std::min(cap, in.size() * 11 + 17);
    std::vector<uint8_t> out(cap);
    size_t n = LzssDecode((const uint8_t*)in.data(), in.size(), out.data(), cap);
    EXPECT_LE(n, cap);
    return std::string((const char*)out.data(), n);
}

TEST(Lzss, KnownStreams) {
    struct Case {
        const char* hex;
        const char* text;
    } cases[] = {
        {"00 00", "  "},                                     // ring position 0, length 2
        {"B0 D8 AC 6E F7 AC 56 6B 40", "abcabcabcabcXYZ"},   // overlapping copy
        {"B0 D8 AC 6E F7 AC 56 6B 5F", "abcabcabcabcXYZ"},   // padding bits set
        {"00 05 A2 D2", "  hi"},
        {"", ""},
        {"80", ""},                                          // a literal cut short
        {"C0 80", "\x81"},                                   // literal, then a cut flag
    };
    for (const Case& c : cases) {
        std::string in = Hex(c.hex);
        EXPECT_EQ(Decode(in, 64), c.text) << c.hex;
        EXPECT_EQ(arcpack::LzssReference(in, 64), c.text) << c.hex;
    }
}

TEST(Lzss, RoundTrips) {
    std::mt19937 rng(7);
    std::string text;
    for (int i = 0; i < 3000; i++) text += "the quick brown fox " + std::to_string(rng() % 97) + "\n";
    std::string random(70000, 0);
    for (char& c : random) c = (char)rng();
    std::string runs;
    for (int i = 0; i < 500; i++) runs += std::string(1 + rng() % 40, (char)('a' + rng() % 3));
    const std::string inputs[] = {"", "a", "ab", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", text, random, runs,
                                  std::string(100000, '\0'), std::string(5000, ' ')};
    for (const std::string& data : inputs) {
        std::string packed = arcpack::LzssEncode(data);
        EXPECT_EQ(Decode(packed, data.size()), data) << data.size();
        EXPECT_EQ(arcpack::LzssReference(packed, data.size()), data) << data.size();
    }
}

// Any byte string is a token stream; the fast decoder must give exactly
// what the reference gives, for every output bound.
TEST(Lzss, AgreesWithReferenceOnRandomStreams) {
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; round++) {
        size_t len = round < 2000 ? rng() % 64 : rng() % 4000;
        std::string in(len, 0);
        // Mostly zero-heavy bytes so that back-references dominate.
        for (char& c : in) c = (char)(rng() % 3 ? rng() & rng() : rng());
        size_t cap = rng() % 2 ? 1 << 20 : rng() % 300;
        std::string want = arcpack::LzssReference(in, cap);
        ASSERT_EQ(Decode(in, cap), want) << "round " << round;
    }
}

// The decoder never writes past its bound: the output buffer is exactly
// the bound (AddressSanitizer watches), and the result is cut there.
TEST(Lzss, StopsAtTheBound) {
    std::string data(1000, 'x');
    for (size_t i = 0; i < data.size(); i += 7) data[i] = (char)('a' + i % 26);
    std::string packed = arcpack::LzssEncode(data);
    for (size_t cap : {0u, 1u, 2u, 16u, 17u, 23u, 24u, 25u, 500u, 999u}) {
        std::vector<uint8_t> exact(cap);
        size_t n = LzssDecode((const uint8_t*)packed.data(), packed.size(), exact.data(), cap);
        ASSERT_EQ(n, cap);
        EXPECT_EQ(std::string((const char*)exact.data(), n), data.substr(0, cap));
    }
    // A long run of copies into a small bound.
    std::string zeros(1000, '\0');
    EXPECT_EQ(Decode(zeros, 10), std::string(10, ' '));
}

// The ring starts anew for every entry: its last 17 bytes read as 0, even
// right after another entry filled the ring with other bytes.
TEST(Lzss, RingStartsAnewEachTime) {
    std::string first = arcpack::LzssEncode(std::string(600, 'Q'));
    EXPECT_EQ(Decode(first, 600), std::string(600, 'Q'));
    // Copy from ring position 239, length 17: 0 bit, 11101111, 1111.
    arcpack::BitWriter w;
    w.Put(0, 1);
    w.Put(239, 8);
    w.Put(15, 4);
    w.Put(0, 1);      // then from position 0, length 2: two spaces
    w.Put(0, 8);
    w.Put(0, 4);
    std::string want = std::string(17, '\0') + "  ";
    EXPECT_EQ(Decode(w.bytes, 100), want);
    EXPECT_EQ(arcpack::LzssReference(w.bytes, 100), want);
}

TEST(Lzss, DecodesToFile) {
    std::string data = "archived text\n" + std::string(300, '-') + "end";
    std::string packed = arcpack::LzssEncode(data);
    FILE* f = tmpfile();
    ASSERT_TRUE(f);
    EXPECT_EQ(LzssDecodeToFile((const uint8_t*)packed.data(), packed.size(), data.size(), f),
              (long long)data.size());
    rewind(f);
    std::string back(data.size() + 10, 0);
    back.resize(fread(&back[0], 1, back.size(), f));
    fclose(f);
    EXPECT_EQ(back, data);
}
