// Texture blits in-process, pixel for pixel: the blend and additive
// arithmetic over every texel and target value, the clipping of the
// upright blits (the usual clipping and the mended negative source), the
// rotated blit's fixed-point mapping at 0 and 90 degrees, and the quad
// blit's forward sampling with its clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ext/textures.h"
#include "graphics/surface.h"

namespace {

struct TextureFixture : ::testing::Test {
    Surface target;
    Texture tex;
    void SetUp() override { ASSERT_TRUE(CreateSurface(&target, 64, 48)); }
    void TearDown() override {
        DestroySurface(&target);
        FreeTexture(&tex);
    }
    uint8_t* At(int x, int y) { return DibRow(&target.dib, y) + 3 * x; }
    uint32_t Rgb(int x, int y) { return At(x, y)[2] << 16 | At(x, y)[1] << 8 | At(x, y)[0]; }
    void FillTarget(uint32_t rgb) {
        for (int y = 0; y < target.dib.height; y++)
            for (int x = 0; x < target.dib.width; x++) {
                At(x, y)[0] = (uint8_t)rgb, At(x, y)[1] = (uint8_t)(rgb >> 8), At(x, y)[2] = (uint8_t)(rgb >> 16);
            }
    }
    // Texel (x, y) = 0xFF000000 | (x << 8) | y: its column in green, its row
    // in blue, opaque.
    void MakeIndexTexture(int w, int h) {
        ASSERT_TRUE(CreateTexturePicture(&tex, w, h));
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) tex.pixels[y * w + x] = 0xFF000000u | x << 8 | y;
    }
};

// Every (texel value, texel alpha) pair over many target values, at three
// alphas, against the formulas written out with plain division.
TEST_F(TextureFixture, BlendAndAddFollowTheIntegerFormulas) {
    Surface wide;
    ASSERT_TRUE(CreateSurface(&wide, 256, 256));
    ASSERT_TRUE(CreateTexturePicture(&tex, 256, 256));
    for (int alpha : {255, 128, 1}) {
        for (int add = 0; add < 2; add++) {
            for (int y = 0; y < 256; y++)
                for (int x = 0; x < 256; x++) {
                    tex.pixels[y * 256 + x] = (uint32_t)y << 24 | x << 16 | (255 - x) << 8 | (x * 3 & 255);
                    uint8_t* d = DibRow(&wide.dib, y) + 3 * x;
                    d[0] = (uint8_t)(x * 7 + y * 13), d[1] = (uint8_t)(x ^ y), d[2] = (uint8_t)(255 - y);
                }
            // Runs of 253 and 3 pixels: the eight-pixel rows and the ones
            // left over both take part.
            auto blit = add ? AddTexture : BlendTexture;
            blit(&wide, &tex, 0, 0, 253, 256, 0, 0, alpha);
            blit(&wide, &tex, 253, 0, 3, 256, 253, 0, alpha);
            for (int y = 0; y < 256; y++)
                for (int x = 0; x < 256; x++) {
                    int t[3] = {x * 3 & 255, 255 - x, x};
                    int d[3] = {(x * 7 + y * 13) & 255, x ^ y, 255 - y};
                    int a = alpha * y / 255;
                    const uint8_t* got = DibRow(&wide.dib, y) + 3 * x;
                    for (int c = 0; c < 3; c++) {
                        int want = add ? std::min(255, d[c] + t[c] * a / 255) : d[c] + (t[c] - d[c]) * a / 255;
                        ASSERT_EQ(got[c], want) << "alpha " << alpha << " add " << add << " at " << x << "," << y;
                    }
                }
        }
    }
    DestroySurface(&wide);
}

TEST_F(TextureFixture, UprightBlitsClipToTargetAndTexture) {
    MakeIndexTexture(40, 10);
    struct Case {
        int dx, dy, w, h, sx, sy;
        int px, py;        // a target pixel
        int tx, ty;        // the texel it shows; -1: untouched
    } cases[] = {
        // dx = -10, w = 30: the region's last 20 columns at the left edge.
        {-10, 0, 30, 5, 0, 0, 0, 0, 10, 0},
        {-10, 0, 30, 5, 0, 0, 19, 0, 29, 0},
        {-10, 0, 30, 5, 0, 0, 20, 0, -1, -1},
        {0, -3, 5, 8, 2, 0, 0, 0, 2, 3},
        // The region cut at the texture's right edge and the target's bottom.
        {10, 45, 50, 50, 30, 0, 19, 47, 39, 2},
        {10, 45, 50, 50, 30, 0, 20, 45, -1, -1},
        // A source left of or above the texture moves the drawing along.
        {5, 5, 10, 10, -3, -2, 8, 7, 0, 0},
        {5, 5, 10, 10, -3, -2, 7, 7, -1, -1},
        // Nothing at all.
        {64, 0, 10, 10, 0, 0, 63, 0, -1, -1},
        {0, 0, 10, 10, 40, 0, 0, 0, -1, -1},
        {0, 0, -5, 10, 0, 0, 0, 0, -1, -1},
    };
    for (const Case& c : cases) {
        FillTarget(0x123456);
        BlendTexture(&target, &tex, c.dx, c.dy, c.w, c.h, c.sx, c.sy, 255);
        uint32_t want = c.tx < 0 ? 0x123456u : (uint32_t)(c.tx << 8 | c.ty);
        EXPECT_EQ(Rgb(c.px, c.py), want) << c.dx << "," << c.dy << " " << c.w << "x" << c.h << " from "
                                         << c.sx << "," << c.sy << " at " << c.px << "," << c.py;
        FillTarget(0x123456);
        CopyTexture(&target, &tex, c.dx, c.dy, c.w, c.h, c.sx, c.sy);
        EXPECT_EQ(Rgb(c.px, c.py), want) << "copy";
    }
}

TEST_F(TextureFixture, AlphaOutsideItsRangeIsHeld) {
    ASSERT_TRUE(CreateTexturePicture(&tex, 4, 4));
    for (int i = 0; i < 16; i++) tex.pixels[i] = 0xFF804020u;
    FillTarget(0);
    BlendTexture(&target, &tex, 0, 0, 4, 4, 0, 0, 300);
    EXPECT_EQ(Rgb(1, 1), 0x804020u);
    AddTexture(&target, &tex, 0, 0, 4, 4, 0, 0, 1000);
    EXPECT_EQ(Rgb(1, 1), 0xFF8040u);  // red saturates
    FillTarget(0);
    BlendTexture(&target, &tex, 0, 0, 4, 4, 0, 0, -5);
    EXPECT_EQ(Rgb(1, 1), 0u);
}

// Scale 1, angle 0, an 8 x 8 region centred at (30, 20): the square is 13
// wide from column 24, and the texel column is 4 + trunc(i - 5.5) toward
// zero, so texel column 4 shows twice and the region spans 9 columns.
TEST_F(TextureFixture, RotatedBlitAtZeroDegrees) {
    MakeIndexTexture(8, 8);
    FillTarget(0x010101);
    BlendTextureRotated(&target, &tex, 30, 20, 0, 0, 8, 8, 1, 1, 0, 255);
    int want_col[13] = {-1, 0, 1, 2, 3, 4, 4, 5, 6, 7, -1, -1, -1};
    for (int i = 0; i < 13; i++)
        for (int j = 0; j < 13; j++) {
            int tx = want_col[i], ty = want_col[j];
            uint32_t want = tx < 0 || ty < 0 ? 0x010101u : (uint32_t)(tx << 8 | ty);
            ASSERT_EQ(Rgb(24 + i, 14 + j), want) << i << "," << j;
        }
    EXPECT_EQ(Rgb(23, 20), 0x010101u);
}

// A quarter turn: pixel column i shows texel row 4 + trunc(i - 5.5), pixel
// row j texel column 4 + trunc(5.5 - j).
TEST_F(TextureFixture, RotatedBlitAtNinetyDegrees) {
    MakeIndexTexture(8, 8);
    FillTarget(0x010101);
    BlendTextureRotated(&target, &tex, 30, 20, 0, 0, 8, 8, 1, 1, 90, 255);
    auto trunc_half = [](int k) { return (int)(k - 5.5); };
    for (int i = 0; i < 13; i++)
        for (int j = 0; j < 13; j++) {
            int ty = 4 + trunc_half(i), tx = 4 - trunc_half(j);
            bool in = tx >= 0 && tx < 8 && ty >= 0 && ty < 8;
            uint32_t want = in ? (uint32_t)(tx << 8 | ty) : 0x010101u;
            ASSERT_EQ(Rgb(24 + i, 14 + j), want) << i << "," << j;
        }
    // Nothing at a scale of 0; the square clipped at the target's corner.
    FillTarget(0);
    BlendTextureRotated(&target, &tex, 30, 20, 0, 0, 8, 8, 0, 1, 0, 255);
    EXPECT_EQ(Rgb(30, 20), 0u);
    BlendTextureRotated(&target, &tex, 0, 0, 0, 0, 8, 8, 1, 1, 0, 255);
    EXPECT_EQ(Rgb(0, 0), (uint32_t)(4 << 8 | 4));
}

// Corners matching the region: every pixel its own texel.  Added,
// rows that two sampling lines reach get the texel twice.
TEST_F(TextureFixture, QuadBlitSamplesForward) {
    ASSERT_TRUE(CreateTexturePicture(&tex, 10, 10));
    for (int i = 0; i < 100; i++) tex.pixels[i] = 0xFF000000u | (i % 10) << 8 | i / 10;
    FillTarget(0);
    int32_t square[8] = {5, 5, 14, 5, 5, 14, 14, 14};
    BlendTextureQuad(&target, &tex, square, 0, 0, 10, 10, 255);
    // t and s stop at 13 steps of 1 / 13.5: the last row and column of the
    // region are not reached.  The left and right points step by repeated
    // addition, t alike: where a line lands on a whole row, the two may
    // round apart and that row shows the next texel row.
    for (int y = 0; y < 9; y++)
        for (int x = 0; x < 9; x++) {
            uint32_t v = Rgb(5 + x, 5 + y);
            ASSERT_EQ(v >> 8, (uint32_t)x) << x << "," << y;
            ASSERT_TRUE((v & 255) == (uint32_t)y || (v & 255) == (uint32_t)y + 1) << x << "," << y;
        }
    EXPECT_EQ(Rgb(14, 5), 0u);
    EXPECT_EQ(Rgb(5, 14), 0u);

    for (int i = 0; i < 100; i++) tex.pixels[i] = 0xFF0A0A0Au;
    FillTarget(0);
    AddTextureQuad(&target, &tex, square, 0, 0, 10, 10, 255);
    int once = 0, twice = 0;
    for (int y = 5; y < 14; y++)
        for (int x = 5; x < 14; x++) {
            uint32_t v = Rgb(x, y);
            ASSERT_TRUE(v == 0x0A0A0Au || v == 0x141414u) << x << "," << y;
            (v == 0x0A0A0Au ? once : twice)++;
        }
    EXPECT_GT(once, 0);
    EXPECT_GT(twice, 0);
}

// Corners far outside the target and a region outside the texture: only
// pixels on the target are written, only texels in the texture read.
TEST_F(TextureFixture, QuadBlitClipsEachSample) {
    ASSERT_TRUE(CreateTexturePicture(&tex, 4, 4));
    for (int i = 0; i < 16; i++) tex.pixels[i] = 0xFFFFFFFFu;
    FillTarget(0);
    int32_t big[8] = {-50, -40, 100, -40, -50, 90, 100, 90};
    BlendTextureQuad(&target, &tex, big, -4, -2, 8, 8, 255);
    EXPECT_EQ(Rgb(0, 24), 0u);           // a texel column left of the texture
    EXPECT_EQ(Rgb(50, 24), 0xFFFFFFu);   // inside it
    int32_t away[8] = {1000, 1000, 1010, 1000, 1000, 1010, 1010, 1010};
    FillTarget(0);
    BlendTextureQuad(&target, &tex, away, 0, 0, 4, 4, 255);
    EXPECT_EQ(Rgb(63, 47), 0u);
}

// The quad sampling written out as the rules give it, every sample
// visited, for an opaque texture at alpha 255: a blend copies the texel, an
// add sums it.
void ReferenceQuad(Surface* target, const Texture& t, const int32_t k[8], int sx, int sy, int w,
                   int h, bool add) {
    double span = std::max(std::fabs((double)k[5] - k[1]), std::fabs((double)k[7] - k[3]));
    double dt = span > 0 ? 1 / (1.5 * span) : 2;
    double px = k[0], py = k[1], qx = k[2], qy = k[3];
    for (double tt = 0; tt <= 1; tt += dt) {
        int v = (int)(sy + (h - 1) * tt);
        double across = std::fabs(qx - px), ds = across > 0 ? 1 / (1.5 * across) : 2;
        double x = px, y = py;
        long lastx = 0, lasty = 0;
        bool first = true;
        for (double ss = 0; ss <= 1; ss += ds, x += (qx - px) * ds, y += (qy - py) * ds) {
            long ix = (long)x, iy = (long)y;
            if (!first && ix == lastx && iy == lasty) continue;
            first = false, lastx = ix, lasty = iy;
            int u = (int)(sx + (w - 1) * ss);
            if (ix < 0 || iy < 0 || ix >= target->dib.width || iy >= target->dib.height || u < 0 ||
                v < 0 || u >= t.width || v >= t.height)
                continue;
            uint8_t* d = DibRow(&target->dib, (int32_t)iy) + 3 * ix;
            uint32_t c = t.pixels[v * t.width + u];
            for (int i = 0; i < 3; i++) {
                int ci = (int)(c >> (8 * i) & 255);
                d[i] = (uint8_t)(add ? std::min(255, d[i] + ci) : ci);
            }
        }
        px += (k[4] - (double)k[0]) * dt, py += (k[5] - (double)k[1]) * dt;
        qx += (k[6] - (double)k[2]) * dt, qy += (k[7] - (double)k[3]) * dt;
    }
}

// Quads crossing the target's edges, turned, folded and fanned: the
// sampling that passes over what cannot land draws what every sample
// draws.
TEST_F(TextureFixture, QuadBlitOffTheTargetMatchesEverySample) {
    MakeIndexTexture(40, 30);
    Surface expected;
    ASSERT_TRUE(CreateSurface(&expected, 64, 48));
    const int32_t quads[][8] = {
        {-30, -20, 50, -20, -30, 40, 50, 40},        // over the top-left corner
        {20, 10, 140, 10, 20, 90, 140, 90},          // past the right and bottom
        {32, -60, 120, 24, -56, 24, 32, 108},        // a turned square over all edges
        {-200, 30, 250, -10, -180, 70, 260, 20},     // long lines through the middle
        {10, 5, 50, 5, 300, 400, -250, 420},         // a band widening below the target
        {100, -90, 100, -90, -40, 200, 180, 200},    // a fan from a point off the target
        {-20, 60, 90, 60, -20, 70, 90, 70},          // wholly below
        {60, 40, 10, 5, 70, -30, -20, 50},           // folded over itself
    };
    for (bool add : {false, true}) {
        for (const auto& q : quads) {
            FillTarget(0x102030);
            memcpy(expected.dib.bits, target.dib.bits, (size_t)target.dib.imageBytes);
            (add ? AddTextureQuad : BlendTextureQuad)(&target, &tex, q, 3, 2, 30, 25, 255);
            ReferenceQuad(&expected, tex, q, 3, 2, 30, 25, add);
            ASSERT_EQ(memcmp(expected.dib.bits, target.dib.bits, (size_t)target.dib.imageBytes), 0)
                << q[0] << "," << q[1] << " " << q[2] << "," << q[3] << " " << q[4] << "," << q[5]
                << " " << q[6] << "," << q[7] << (add ? " add" : " blend");
        }
    }
    DestroySurface(&expected);
}

// Quads reaching hundreds of thousands and millions of pixels off the
// target draw from the texels at the region's middle: the zoom every
// pixel, the square turned by 45 degrees the pixels its lattice of samples
// (two thirds of a pixel along both diagonals) reaches.
TEST_F(TextureFixture, FarQuadsDrawTheirVisiblePart) {
    MakeIndexTexture(256, 256);
    const struct {
        int32_t corners[8];
        int least_drawn;
    } cases[] = {
        {{-100000, -100000, 100064, -100000, -100000, 100048, 100064, 100048}, 64 * 48},
        {{32, -2000000, 2000032, 24, -1999968, 24, 32, 2000024}, 64 * 48 * 3 / 4},
    };
    for (const auto& c : cases) {
        FillTarget(0);
        BlendTextureQuad(&target, &tex, c.corners, 0, 0, 256, 256, 255);
        int drawn = 0;
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++) {
                uint32_t v = Rgb(x, y), u = v >> 8 & 255, row = v & 255;
                if (v == 0) continue;
                drawn++;
                ASSERT_TRUE(u >= 126 && u <= 128 && row >= 126 && row <= 128)
                    << c.corners[0] << " at " << x << "," << y << ": " << u << "," << row;
            }
        EXPECT_GE(drawn, c.least_drawn) << c.corners[0];
    }
}

// A turned quad some thousand pixels across: the lines and samples it
// jumps over are placed by multiplication rather than by repeated
// addition, which may round a texel or a pixel apart, never more.
TEST_F(TextureFixture, QuadJumpsLandWhereEverySampleDoes) {
    MakeIndexTexture(256, 256);
    Surface expected;
    ASSERT_TRUE(CreateSurface(&expected, 64, 48));
    const int32_t q[8] = {-900, -1300, 1500, -700, -1400, 1100, 1000, 1700};
    FillTarget(0);
    memcpy(expected.dib.bits, target.dib.bits, (size_t)target.dib.imageBytes);
    BlendTextureQuad(&target, &tex, q, 0, 0, 256, 256, 255);
    ReferenceQuad(&expected, tex, q, 0, 0, 256, 256, false);
    int same = 0;
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) {
            const uint8_t* e = DibRow(&expected.dib, y) + 3 * x;
            ASSERT_NE(e[1] | e[0], 0) << x << "," << y;  // the reference reaches every pixel
            EXPECT_LE(std::abs(e[1] - At(x, y)[1]), 1) << x << "," << y;
            EXPECT_LE(std::abs(e[0] - At(x, y)[0]), 1) << x << "," << y;
            same += memcmp(e, At(x, y), 3) == 0;
        }
    EXPECT_GE(same, 64 * 48 * 9 / 10);
    DestroySurface(&expected);
}

TEST(Textures, PicturesRefuseBadSizes) {
    Texture t;
    EXPECT_FALSE(CreateTexturePicture(&t, 0, 5));
    EXPECT_FALSE(CreateTexturePicture(&t, 5, -1));
    EXPECT_FALSE(CreateTexturePicture(&t, MaxPictureSide + 1, 1));
    ASSERT_TRUE(CreateTexturePicture(&t, 3, 2));
    EXPECT_TRUE(TextureLoaded(&t));
    ASSERT_TRUE(CreateTexturePicture(&t, 2, 2));  // the old picture is freed first
    EXPECT_EQ(t.width, 2);
    FreeTexture(&t);
    EXPECT_FALSE(TextureLoaded(&t));
    EXPECT_EQ(t.width, 2);
}

}  // namespace
