// Pictures that are not 24-bit RGB: 8-bit pictures and masks merged by the
// 'm' option, fills of every depth, and CMYK JPEG files with and without
// the Adobe marker that says the inks are stored inverted.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/bmp.h"
#include "graphics/imagetag.h"
#include "tests/graphics/gfx_fixture.h"
#include "tests/graphics/image_encoders.h"

namespace {

Bgr Picture(int x, int y) { return Bgr{(uint8_t)(40 * x), (uint8_t)(100 + y), 7}; }
Bgr MaskAt(int x, int y) { return Bgr{(uint8_t)(200 - 50 * x - y), 9, 3}; }

// A BMP file of depth 8 or 24 whose pixel (x, y) is f(x, y); the 8-bit one
// holds each pixel's colour in its palette.
std::string BmpOfDepth(int depth, int w, int h, Bgr (*f)(int, int)) {
    Surface s;
    InitSurface(&s);
    if (depth == 24) {
        Make24(&s, w, h, f);
    } else {
        std::vector<Bgr> palette;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) palette.push_back(f(x, y));
        Make8(&s, w, h, palette, [w](int x, int y) { return y * w + x; });
    }
    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    DestroySurface(&s);
    return ToBytes(out);
}

// w * h CMYK pixels, all (c, m, y, k), as a JPEG file.
std::string CmykJpeg(int w, int h, const uint8_t cmyk[4], bool adobe_marker) {
    std::vector<uint8_t> pixels((size_t)w * h * 4);
    for (size_t i = 0; i < (size_t)w * h; i++) memcpy(&pixels[4 * i], cmyk, 4);
    return EncodeJpegPixels(w, h, pixels, 4, JCS_CMYK, 100, adobe_marker);
}

}  // namespace

class Depths : public GfxTest {};

TEST_F(Depths, MaskMergeOfEightBitPicturesAndMasks) {
    struct Case {
        int picture, mask;
    } cases[] = {{8, 8}, {24, 8}, {8, 24}};
    for (const Case& c : cases) {
        Write("p.bmp", BmpOfDepth(c.picture, 3, 2, Picture));
        Write("m.bmp", BmpOfDepth(c.mask, 3, 2, MaskAt));
        Surface s;
        InitSurface(&s);
        LoadSurface(&s, ":mm.bmp;p.bmp");
        ASSERT_TRUE(HasPicture(&s));
        EXPECT_EQ(s.dib.infoHeader.bitCount, 24);
        ASSERT_EQ(s.dib.width, 6);
        EXPECT_EQ(s.transMode, TransAlpha);
        for (int y = 0; y < 2; y++)
            for (int x = 0; x < 3; x++) {
                EXPECT_EQ(PixelAt(s, x, y), Picture(x, y)) << c.picture << "/" << c.mask;
                EXPECT_EQ(PixelAt(s, 3 + x, y), MaskAt(x, y)) << c.picture << "/" << c.mask;
            }
        DestroySurface(&s);
    }
}

TEST_F(Depths, FillsOfEveryDepth) {
    const std::vector<Bgr> palette = {Bgr{0, 0, 0}, Bgr{250, 10, 10}, Bgr{10, 250, 10}};
    struct Case {
        int depth;
        bool changes;  // 1, 4 and 16 bits are left as they are
    } cases[] = {{8, true}, {24, true}, {32, true}, {16, false}, {4, false}, {1, false}};
    for (const Case& c : cases) {
        Surface s;
        InitSurface(&s);
        ASSERT_TRUE(CreateDibOfDepth(&s.dib, 5, 3, c.depth));
        if (c.depth == 8)
            for (size_t i = 0; i < palette.size(); i++) memcpy(s.dib.palette + 4 * i, palette[i].data(), 3);
        std::vector<uint8_t> before(s.dib.bits, s.dib.bits + s.dib.imageBytes);
        // COLORREF 0x00BBGGRR: green 240, near palette entry 2.
        FillSurfaceRect(&s, 1, 1, 4, 3, 0x0000F005);
        for (int y = 0; y < 3; y++) {
            const uint8_t* row = DibRow(&s.dib, y);
            for (int x = 0; x < 5; x++) {
                bool inside = c.changes && x >= 1 && x < 4 && y >= 1;
                if (c.depth == 8) {
                    EXPECT_EQ(row[x], inside ? 2 : 0) << x << "," << y;
                } else if (c.depth == 24 || c.depth == 32) {
                    const uint8_t* p = row + (c.depth / 8) * x;
                    EXPECT_EQ(Bgr({p[0], p[1], p[2]}), inside ? Bgr({0, 240, 5}) : Bgr({0, 0, 0}))
                        << c.depth << " " << x << "," << y;
                }
            }
        }
        if (!c.changes) {
            EXPECT_EQ(std::vector<uint8_t>(s.dib.bits, s.dib.bits + s.dib.imageBytes), before) << c.depth;
        }
        DestroySurface(&s);
    }
}

// CMYK: blue = Y x K / 255, green = M x K / 255, red = C x K / 255 with the
// inks as stored when the Adobe marker says they are inverted, and with each
// ink turned round (255 - v) without it.
TEST_F(Depths, CmykJpegWithAndWithoutTheAdobeMarker) {
    struct Case {
        uint8_t cmyk[4];
        bool adobe;
        Bgr want;
    } cases[] = {
        {{255, 255, 255, 255}, true, {255, 255, 255}},
        {{255, 0, 255, 255}, true, {255, 0, 255}},
        {{200, 100, 50, 128}, true, {25, 50, 100}},
        {{0, 0, 0, 0}, false, {255, 255, 255}},
        {{0, 255, 0, 0}, false, {255, 0, 255}},
        {{55, 155, 205, 127}, false, {25, 50, 100}},
    };
    for (const Case& c : cases) {
        Write("c.jpg", CmykJpeg(16, 8, c.cmyk, c.adobe));
        Surface s;
        InitSurface(&s);
        LoadSurface(&s, ":c;c.jpg");
        ASSERT_TRUE(HasPicture(&s));
        EXPECT_EQ(s.dib.width, 16);
        Bgr got = PixelAt(s, 5, 3);
        for (int i = 0; i < 3; i++)
            EXPECT_NEAR(got[i], c.want[i], 3) << (c.adobe ? "Adobe " : "plain ") << i;
        DestroySurface(&s);
    }
}
