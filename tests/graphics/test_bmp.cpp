// BMP reading and writing: round trips at 8 and 24 bits, the written form
// byte for byte, and header checks that turn bad files into no picture.
#include <gtest/gtest.h>

#include "graphics/bmp.h"
#include "tests/archive/arcpack.h"
#include "tests/graphics/gfx_fixture.h"

using arcpack::Hex;

namespace {

// The 5 x 3 picture of the SPB example, as the writer gives it.
const char kBmp5x3[] =
    "42 4D 66 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 05 00 00 00 03 00 00 00 01 00 18 00"
    " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
    " 0D 6E 08 0D 6F 0B 0E 6F 0B 0B D3 0B 0F 6F 0B 00"
    " 0E AD 0F 0C 6D 07 0B 6E 80 0B 65 FF 0A 74 00 00"
    " 0A 64 FA 0A 61 04 0A 65 24 0A 63 05 0A 64 0A 00";

void Le32(std::string* s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) (*s)[at + i] = (char)(v >> (8 * i));
}

}  // namespace

class BmpTest : public GfxTest {};

TEST_F(BmpTest, ReadsAndWritesTheExampleByteForByte) {
    std::string bmp = Hex(kBmp5x3);
    Dib d = {};
    ASSERT_TRUE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size()));
    EXPECT_EQ(d.width, 5);
    EXPECT_EQ(d.height, 3);
    EXPECT_EQ(d.imageBytes, 48);
    const uint8_t* top = d.bits + GetRowOffset(&d, 0);
    EXPECT_EQ(top[0], 0x0A);
    EXPECT_EQ(top[2], 0xFA);
    std::vector<uint8_t> out;
    EncodeBmp(&d, &out);
    EXPECT_EQ(ToBytes(out), bmp);
    uint32_t offBits = d.fileHeader.offBits, size = d.fileHeader.size;  // packed fields
    EXPECT_EQ(offBits, 54u);
    EXPECT_EQ(size, 102u);
    FreeDib(&d);
}

TEST_F(BmpTest, RoundTrip24) {
    for (int w : {1, 2, 3, 4, 5, 7}) {
        Surface s;
        Make24(&s, w, 3, [](int x, int y) { return Bgr{(uint8_t)(x * 40), (uint8_t)(y * 70), (uint8_t)(x + y)}; });
        SaveSurfaceBmp(&s, "rt24.bmp");
        std::string bytes;
        ASSERT_TRUE(ReadGameFileBytes(dir, "rt24.bmp", &bytes));
        EXPECT_EQ(bytes.size(), 54 + (size_t)DibStride(24, w) * 3);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        Dib d = {};
        ASSERT_EQ(ReadBmpFile("rt24.bmp", &d), 1);
        ASSERT_TRUE(d.info);
        EXPECT_EQ(memcmp(d.bits, s.dib.bits, (size_t)s.dib.imageBytes), 0);
        FreeDib(&d);
        DestroySurface(&s);
    }
}

TEST_F(BmpTest, RoundTrip8KeepsDepthAndPalette) {
    Surface s;
    std::vector<Bgr> pal;
    for (int i = 0; i < 256; i++) pal.push_back(Bgr{(uint8_t)i, (uint8_t)(255 - i), 7});
    Make8(&s, 5, 2, pal, [](int x, int y) { return x * 50 + y; });
    s.dib.infoHeader.clrUsed = 0;  // 0: the full 256 entries
    SaveSurfaceBmp(&s, "rt8.bmp");
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "rt8.bmp", &bytes));
    ASSERT_EQ(bytes.size(), 1078u + 16);
    EXPECT_EQ((uint8_t)bytes[10] | ((uint8_t)bytes[11] << 8), 1078);  // offset of the bits
    Dib d = {};
    ASSERT_EQ(ReadBmpFile("rt8.bmp", &d), 1);
    ASSERT_TRUE(d.info);
    EXPECT_EQ(d.infoHeader.bitCount, 8);
    EXPECT_EQ(d.paletteEntries, 256);
    EXPECT_EQ(memcmp(d.palette, s.dib.palette, 1024), 0);
    EXPECT_EQ(memcmp(d.bits, s.dib.bits, (size_t)s.dib.imageBytes), 0);
    FreeDib(&d);

    // A short palette (colours used 3) is written with its 3 entries.
    s.dib.infoHeader.clrUsed = 3;
    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    EXPECT_EQ(out.size(), 54u + 12 + 16);
    ASSERT_TRUE(ReadBmpMemory(&d, out.data(), out.size()));
    EXPECT_EQ(d.infoHeader.clrUsed, 3u);
    EXPECT_EQ(d.palette[4 * 2], 2);
    EXPECT_EQ(d.palette[4 * 3], 0);  // entries past the used ones read as black
    FreeDib(&d);
    DestroySurface(&s);
}

TEST_F(BmpTest, WriterNormalisesTheHeader) {
    Surface s;
    Fill24(&s, 2, 2, Bgr{1, 2, 3});
    s.dib.infoHeader.clrUsed = 77;
    s.dib.infoHeader.clrImportant = 5;
    s.dib.infoHeader.sizeImage = 1234;
    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    ASSERT_EQ(out.size(), 54u + 16);
    EXPECT_EQ(out[14 + 20], 0);  // image size written as 0
    EXPECT_EQ(out[14 + 32], 0);  // colours used 0 at 24 bits
    EXPECT_EQ(out[14 + 36], 0);
    EXPECT_EQ(s.dib.infoHeader.clrUsed, 0u);  // the Dib's header follows
    DestroySurface(&s);
}

TEST_F(BmpTest, TopDownFilesAreTurnedBottomUp) {
    std::string bmp = Hex(kBmp5x3);
    Le32(&bmp, 22, (uint32_t)-3);
    // Swap the stored rows so that the picture stays the same.
    std::string rows = bmp.substr(54);
    bmp = bmp.substr(0, 54) + rows.substr(32, 16) + rows.substr(16, 16) + rows.substr(0, 16);
    Dib d = {}, want = {};
    std::string orig = Hex(kBmp5x3);
    ASSERT_TRUE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size()));
    ASSERT_TRUE(ReadBmpMemory(&want, (const uint8_t*)orig.data(), orig.size()));
    EXPECT_EQ(d.height, 3);
    EXPECT_EQ(d.infoHeader.height, 3);
    EXPECT_EQ(memcmp(d.bits, want.bits, 48), 0);
    FreeDib(&d);
    FreeDib(&want);
}

TEST_F(BmpTest, CompressedFileGivesABlankPicture) {
    std::string bmp = Hex(kBmp5x3);
    Le32(&bmp, 30, 1);  // BI_RLE8
    bmp.resize(60);     // the bits need not be there
    Dib d = {};
    ASSERT_TRUE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size()));
    for (int i = 0; i < d.imageBytes; i++) ASSERT_EQ(d.bits[i], 0);
    FreeDib(&d);
}

// Bits a few bytes short of the last row (writers that leave out its
// padding) read with the missing bytes as zero, stored either way up.
TEST_F(BmpTest, BitsShortOfTheLastRowReadAsZero) {
    struct Case {
        const char* what;
        bool top_down;
        size_t cut;  // bytes missing at the end of the file
    } cases[] = {
        {"padding left out", false, 1},
        {"three bytes short", false, 3},
        {"all but a byte of the row", false, 15},
        {"top-down, padding left out", true, 1},
        {"top-down, a pixel and padding short", true, 4},
    };
    std::string whole = Hex(kBmp5x3);
    Dib full = {};
    ASSERT_TRUE(ReadBmpMemory(&full, (const uint8_t*)whole.data(), whole.size()));
    for (const Case& c : cases) {
        std::string bmp = whole;
        if (c.top_down) {
            Le32(&bmp, 22, (uint32_t)-3);
            std::string rows = bmp.substr(54);
            bmp = bmp.substr(0, 54) + rows.substr(32, 16) + rows.substr(16, 16) + rows.substr(0, 16);
        }
        bmp.resize(bmp.size() - c.cut);
        Dib d = {};
        ASSERT_TRUE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size())) << c.what;
        // The file's last row is the top row bottom-up, the bottom row top-down.
        int missing_row = c.top_down ? 2 : 0;
        for (int y = 0; y < 3; y++) {
            const uint8_t* got = d.bits + GetRowOffset(&d, y);
            const uint8_t* want = full.bits + GetRowOffset(&full, y);
            for (int x = 0; x < 16; x++) {
                bool gone = y == missing_row && x >= 16 - (int)c.cut;
                EXPECT_EQ(got[x], gone ? 0 : want[x]) << c.what << " row " << y << " byte " << x;
            }
        }
        FreeDib(&d);
    }
    FreeDib(&full);
}

TEST_F(BmpTest, BadHeadersGiveNoPicture) {
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;  // written little-endian at `at` (4 bytes)
        size_t size;     // file cut to this size (0: whole)
    } cases[] = {
        {"zero width", 18, 0, 0},
        {"negative width", 18, (uint32_t)-5, 0},
        {"huge width", 18, 70000, 0},
        {"width above the bound", 18, MaxPictureSide + 1, 0},
        {"zero height", 22, 0, 0},
        {"height above the bound", 22, MaxPictureSide + 1, 0},
        {"most negative height", 22, 0x80000000u, 0},
        {"unknown depth", 28, 0x00000011, 0},
        {"depth 0", 28, 0, 0},
        {"short header", 0, 0, 40},
        {"bits a whole row short", 0, 0, 86},
        {"width that overruns the bits by a row", 18, 7, 0},
    };
    for (const Case& c : cases) {
        std::string bmp = Hex(kBmp5x3);
        if (c.size) bmp.resize(c.size);
        else if (c.at == 28) { bmp[28] = (char)(c.value & 0xFF); bmp[29] = (char)(c.value >> 8); }
        else Le32(&bmp, c.at, c.value);
        Dib d = {};
        EXPECT_FALSE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size())) << c.what;
        EXPECT_EQ(d.info, nullptr) << c.what;
    }
    // 8 bits: more colours than the depth holds, or a palette cut short.
    Surface s;
    Make8(&s, 2, 2, {Bgr{1, 1, 1}}, [](int, int) { return 0; });
    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    std::string bmp = ToBytes(out);
    Le32(&bmp, 46, 257);
    Dib d = {};
    EXPECT_FALSE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size()));
    Le32(&bmp, 46, 0);  // 256 entries: the file holds only 1
    EXPECT_FALSE(ReadBmpMemory(&d, (const uint8_t*)bmp.data(), bmp.size()));
    DestroySurface(&s);
}

TEST_F(BmpTest, MissingFileIsZeroAndBadFileIsOneWithoutPicture) {
    Dib d = {};
    EXPECT_EQ(ReadBmpFile("none.bmp", &d), 0);
    Write("bad.bmp", "BM12345");
    EXPECT_EQ(ReadBmpFile("bad.bmp", &d), 1);
    EXPECT_EQ(d.info, nullptr);
}
