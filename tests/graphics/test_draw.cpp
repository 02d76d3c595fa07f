// Drawing: DrawSurface for every transparency mode with and without alpha,
// cells, clipping and 8-bit sources; DrawSurfaceRotated and
// DrawSurfaceAffine with their exact arithmetic.  Spot values come from the
// formulas by hand; wider checks compare with a plain per-pixel model that
// uses ProductTable as the formulas are written.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "graphics/draw.h"
#include "tests/graphics/gfx_fixture.h"

namespace {

uint8_t P(int a, int b) { return ProductTable[a][b]; }

// ---- a model of DrawSurface, pixel by pixel ----

void ModelDraw(const Surface& src, Surface* dst, int x, int y, const DrawClip* clip) {
    const Dib& sd = src.dib;
    int L = 0, T = 0, R = dst->dib.width - 1, B = dst->dib.height - 1;
    if (clip) {
        L = std::max(0, clip->left); T = std::max(0, clip->top);
        R = std::min(R, clip->right); B = std::min(B, clip->bottom);
    }
    int n = std::max(1, src.cellCount);
    int cell = std::min<int>(src.cell, n - 1);
    int cw = GetCellWidth(&src), cs = cell * (sd.width / n);
    int alpha = src.alpha < -1 ? 0 : std::min<int>(255, src.alpha);
    bool pal = sd.infoHeader.bitCount == 8;
    auto color = [&](int cx, int cy) {
        const uint8_t* row = DibRow(&sd, cy);
        if (pal) return Bgr{sd.palette[4 * row[cx]], sd.palette[4 * row[cx] + 1], sd.palette[4 * row[cx] + 2]};
        return Bgr{row[3 * cx], row[3 * cx + 1], row[3 * cx + 2]};
    };
    for (int j = 0; j < sd.height; j++)
        for (int i = 0; i < cw; i++) {
            int dx = x + i, dy = y + j;
            if (dx < L || dx > R || dy < T || dy > B) continue;
            Bgr s = color(cs + i, j), d = PixelAt(*dst, dx, dy), o = d;
            int mode = src.transMode;
            if (mode == TransAlpha) {
                if (pal) continue;
                int m = color(cs + cw + i, j)[0];
                for (int k = 0; k < 3; k++) {
                    if (src.isStringSprite)
                        o[k] = (uint8_t)std::min(255, P(d[k], m) + (alpha < 0 ? s[k] : P(alpha, s[k])));
                    else if (alpha < 0) o[k] = (uint8_t)(P(s[k], 255 - m) + P(d[k], m));
                    else {
                        int a = P(255 - m, alpha);
                        o[k] = (uint8_t)(P(s[k], a) + P(d[k], 255 - a));
                    }
                }
            } else if (mode == TransLeftUp || mode == TransRightUp || mode == TransColorKey) {
                bool key;
                if (pal) {
                    int idx = DibRow(&sd, j)[cs + i];
                    int k = mode == TransColorKey ? src.keyIndex : DibRow(&sd, 0)[mode == TransRightUp ? sd.width - 1 : 0];
                    key = idx == k;
                } else {
                    Bgr k = mode == TransColorKey ? Bgr{(uint8_t)src.keyBlue, (uint8_t)src.keyGreen, (uint8_t)src.keyRed}
                                                  : color(mode == TransRightUp ? sd.width - 1 : 0, 0);
                    key = s == k;
                }
                if (key) continue;
                for (int k = 0; k < 3; k++) o[k] = alpha < 0 ? s[k] : (uint8_t)(P(d[k], 255 - alpha) + P(s[k], alpha));
            } else {
                for (int k = 0; k < 3; k++) o[k] = alpha < 0 ? s[k] : (uint8_t)(P(s[k], alpha) + P(d[k], 255 - alpha));
            }
            SetPixel(dst, dx, dy, o);
        }
}

void ExpectSame(const Surface& a, const Surface& b, const std::string& what) {
    ASSERT_EQ(a.dib.imageBytes, b.dib.imageBytes);
    for (int y = 0; y < a.dib.height; y++)
        for (int x = 0; x < a.dib.width; x++)
            ASSERT_EQ(PixelAt(a, x, y), PixelAt(b, x, y)) << what << " at " << x << "," << y;
}

}  // namespace

// Spot values, one destination pixel each.
TEST(DrawSurface, FormulaSpotValues) {
    struct Case {
        const char* what;
        int mode, alpha, stringSprite;
        Bgr src, mask, dst, want;
    } cases[] = {
        {"copy", TransCopy, -1, 0, {10, 20, 30}, {}, {200, 200, 200}, {10, 20, 30}},
        {"copy alpha 128", TransCopy, 128, 0, {10, 20, 30}, {}, {200, 100, 0},
         {(uint8_t)(P(10, 128) + P(200, 127)), (uint8_t)(P(20, 128) + P(100, 127)), P(30, 128)}},
        {"copy alpha 0", TransCopy, 0, 0, {10, 20, 30}, {}, {200, 100, 0}, {P(200, 255), P(100, 255), 0}},
        {"unknown mode copies", 9, -1, 0, {1, 2, 3}, {}, {50, 50, 50}, {1, 2, 3}},
        {"alpha mask 0", TransAlpha, -1, 0, {10, 20, 30}, {0, 0, 0}, {200, 200, 200}, {10, 20, 30}},
        {"alpha mask 255", TransAlpha, -1, 0, {10, 20, 30}, {255, 0, 0}, {200, 201, 202}, {200, 201, 202}},
        {"alpha mask 128", TransAlpha, -1, 0, {100, 150, 255}, {128, 1, 1}, {200, 50, 0},
         {(uint8_t)(P(100, 127) + P(200, 128)), (uint8_t)(P(150, 127) + P(50, 128)), P(255, 127)}},
        {"alpha mask 55 alpha 100", TransAlpha, 100, 0, {100, 150, 255}, {55, 0, 0}, {200, 50, 0},
         {(uint8_t)(P(100, 78) + P(200, 177)), (uint8_t)(P(150, 78) + P(50, 177)), P(255, 78)}},
        {"alpha reads only the mask's blue", TransAlpha, -1, 0, {10, 20, 30}, {0, 255, 255}, {1, 1, 1}, {10, 20, 30}},
        {"string sprite on white, mask 255", TransAlpha, -1, 1, {0, 0, 0}, {255, 0, 0}, {255, 255, 255}, {255, 255, 255}},
        {"string sprite adds, capped", TransAlpha, -1, 1, {200, 10, 0}, {100, 0, 0}, {200, 200, 200},
         {255, (uint8_t)(P(200, 100) + 10), P(200, 100)}},
        {"string sprite alpha", TransAlpha, 50, 1, {200, 10, 0}, {100, 0, 0}, {200, 200, 200},
         {(uint8_t)(P(200, 100) + P(50, 200)), (uint8_t)(P(200, 100) + P(50, 10)), P(200, 100)}},
    };
    for (const Case& c : cases) {
        Pic src, dst;
        bool alphaMode = c.mode == TransAlpha;
        Make24(&src.s, alphaMode ? 2 : 1, 1, [&](int x, int) { return x ? c.mask : c.src; });
        src.s.transMode = c.mode;
        src.s.alpha = c.alpha;
        src.s.isStringSprite = c.stringSprite;
        Fill24(&dst.s, 1, 1, c.dst);
        DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
        EXPECT_EQ(PixelAt(dst.s, 0, 0), c.want) << c.what;
    }
}

TEST(DrawSurface, KeyedModes) {
    // A 3 x 1 picture: top-left red, middle green, top-right blue.
    const Bgr red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0}, grey{50, 60, 70};
    struct Case {
        const char* what;
        int mode, alpha;
        int keyR, keyG, keyB;
        Bgr want[3];
    } cases[] = {
        {"leftup", TransLeftUp, -1, 0, 0, 0, {grey, green, blue}},
        {"rightup", TransRightUp, -1, 0, 0, 0, {red, green, grey}},
        {"colour key", TransColorKey, -1, 0, 255, 0, {red, grey, blue}},
        {"colour key matching nothing", TransColorKey, -1, 1, 2, 3, {red, green, blue}},
        {"leftup alpha 200", TransLeftUp, 200, 0, 0, 0,
         {grey, Bgr{P(50, 55), (uint8_t)(P(60, 55) + P(255, 200)), P(70, 55)},
          Bgr{(uint8_t)(P(50, 55) + P(255, 200)), P(60, 55), P(70, 55)}}},
    };
    for (const Case& c : cases) {
        Pic src, dst;
        Make24(&src.s, 3, 1, [&](int x, int) { return x == 0 ? red : x == 1 ? green : blue; });
        src.s.transMode = c.mode;
        src.s.alpha = c.alpha;
        src.s.keyRed = c.keyR; src.s.keyGreen = c.keyG; src.s.keyBlue = c.keyB;
        Fill24(&dst.s, 3, 1, grey);
        DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
        for (int x = 0; x < 3; x++) EXPECT_EQ(PixelAt(dst.s, x, 0), c.want[x]) << c.what << " x=" << x;
    }
}

TEST(DrawSurface, KeysComeFromTheWholePicture) {
    // Two cells; the key of leftup is cell 0's corner even for cell 1, that
    // of rightup the last cell's top-right corner even for cell 0.
    Pic src, dst;
    const Bgr k0{1, 1, 1}, k1{2, 2, 2}, o{9, 9, 9};
    Make24(&src.s, 4, 1, [&](int x, int) { return x == 0 ? k0 : x == 3 ? k1 : x == 2 ? k0 : k1; });
    src.s.cellCount = 2;
    src.s.cell = 1;
    src.s.transMode = TransLeftUp;
    Fill24(&dst.s, 2, 1, o);
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), o);   // cell 1's k0 is the key
    EXPECT_EQ(PixelAt(dst.s, 1, 0), k1);
    src.s.cell = 0;
    src.s.transMode = TransRightUp;
    Fill24(&dst.s, 2, 1, o);
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), k0);
    EXPECT_EQ(PixelAt(dst.s, 1, 0), o);
}

TEST(DrawSurface, CellsAndCellClamp) {
    Pic src, dst;
    Make24(&src.s, 6, 2, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 0}; });
    src.s.cellCount = 3;
    src.s.cell = 1;
    Fill24(&dst.s, 4, 4, Bgr{99, 99, 99});
    DrawSurface(&src.s, &dst.s, 1, 1, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 1, 1), (Bgr{2, 0, 0}));
    EXPECT_EQ(PixelAt(dst.s, 2, 2), (Bgr{3, 1, 0}));
    EXPECT_EQ(PixelAt(dst.s, 3, 1), (Bgr{99, 99, 99}));
    // A cell index at the count draws the last cell and stays there.
    src.s.cell = 3;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(src.s.cell, 2);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), (Bgr{4, 0, 0}));
    // A negative cell draws cell 0.
    src.s.cell = -5;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 1, 0), (Bgr{1, 0, 0}));

    // Alpha mode: 3 cells of 4 columns, colour then mask.
    Pic a;
    Make24(&a.s, 12, 1, [](int x, int) {
        bool mask = (x % 4) >= 2;
        return mask ? Bgr{(uint8_t)(x == 10 ? 0 : 255), 0, 0} : Bgr{(uint8_t)(100 + x), 0, 0};
    });
    a.s.transMode = TransAlpha;
    a.s.cellCount = 3;
    a.s.cell = 2;
    Fill24(&dst.s, 4, 4, Bgr{7, 7, 7});
    DrawSurface(&a.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), (Bgr{108, 0, 0}));
    EXPECT_EQ(PixelAt(dst.s, 1, 0), (Bgr{7, 7, 7}));
    EXPECT_EQ(PixelAt(dst.s, 2, 0), (Bgr{7, 7, 7}));  // only the visible half is drawn
}

TEST(DrawSurface, ClippingToRectangleAndDestination) {
    Pic src, dst;
    Make24(&src.s, 20, 3, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 1}; });
    Fill24(&dst.s, 8, 4, Bgr{0, 0, 0});
    // A sprite at x = -10 shows its column 10 at column 0.
    DrawSurface(&src.s, &dst.s, -10, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), (Bgr{10, 0, 1}));
    EXPECT_EQ(PixelAt(dst.s, 7, 2), (Bgr{17, 2, 1}));
    EXPECT_EQ(PixelAt(dst.s, 0, 3), (Bgr{0, 0, 0}));
    // The clip rectangle is inclusive and cut to the destination, which is
    // smaller than the screen.
    Fill24(&dst.s, 8, 4, Bgr{0, 0, 0});
    DrawClip clip{2, 1, 3, 100};
    DrawSurface(&src.s, &dst.s, 0, 0, &clip);
    EXPECT_EQ(PixelAt(dst.s, 1, 1), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(dst.s, 2, 1), (Bgr{2, 1, 1}));
    EXPECT_EQ(PixelAt(dst.s, 3, 2), (Bgr{3, 2, 1}));
    EXPECT_EQ(PixelAt(dst.s, 4, 2), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(dst.s, 2, 0), (Bgr{0, 0, 0}));
    // Entirely outside, or an empty rectangle: nothing.
    Fill24(&dst.s, 8, 4, Bgr{5, 5, 5});
    DrawSurface(&src.s, &dst.s, 8, 0, nullptr);
    DrawSurface(&src.s, &dst.s, -20, 0, nullptr);
    DrawSurface(&src.s, &dst.s, 0, 2147483647, nullptr);
    DrawSurface(&src.s, &dst.s, -2147483647, -2147483647, nullptr);
    DrawClip empty{5, 0, 4, 3};
    DrawSurface(&src.s, &dst.s, 0, 0, &empty);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(PixelAt(dst.s, x, y), (Bgr{5, 5, 5}));
}

TEST(DrawSurface, AlphaOutsideTheRangeIsClamped) {
    struct { int alpha; int as; } cases[] = {{300, 255}, {256, 255}, {-2, 0}, {-100000, 0}, {2147483647, 255}};
    for (auto& c : cases) {
        for (int mode : {TransCopy, TransAlpha, TransLeftUp}) {
            Pic src, got, want;
            Make24(&src.s, 4, 2, [](int x, int y) { return Bgr{(uint8_t)(x * 60), (uint8_t)(y * 90), (uint8_t)(x == 3 ? 128 : 7)}; });
            src.s.transMode = mode;
            Fill24(&got.s, 4, 2, Bgr{100, 150, 200});
            Fill24(&want.s, 4, 2, Bgr{100, 150, 200});
            src.s.alpha = c.as;
            DrawSurface(&src.s, &want.s, 0, 0, nullptr);
            src.s.alpha = c.alpha;
            DrawSurface(&src.s, &got.s, 0, 0, nullptr);
            ExpectSame(got.s, want.s, "alpha " + std::to_string(c.alpha));
        }
    }
}

TEST(DrawSurface, EightBitSources) {
    std::vector<Bgr> pal = {{0, 0, 0}, {10, 20, 30}, {40, 50, 60}};
    Pic src, dst;
    Make8(&src.s, 3, 1, pal, [](int x, int) { return x; });
    Fill24(&dst.s, 3, 1, Bgr{9, 9, 9});
    src.s.transMode = TransCopy;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 1, 0), pal[1]);
    Fill24(&dst.s, 3, 1, Bgr{9, 9, 9});
    src.s.transMode = TransLeftUp;  // index 0 is the key
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), (Bgr{9, 9, 9}));
    EXPECT_EQ(PixelAt(dst.s, 2, 0), pal[2]);
    Fill24(&dst.s, 3, 1, Bgr{9, 9, 9});
    src.s.transMode = TransColorKey;
    src.s.keyIndex = 2;
    src.s.alpha = 128;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 1, 0), (Bgr{(uint8_t)(P(9, 127) + P(10, 128)), (uint8_t)(P(9, 127) + P(20, 128)), (uint8_t)(P(9, 127) + P(30, 128))}));
    EXPECT_EQ(PixelAt(dst.s, 2, 0), (Bgr{9, 9, 9}));
    // An index past the used palette entries draws black.
    DibRow(&src.s.dib, 0)[1] = 200;
    src.s.transMode = TransCopy;
    src.s.alpha = -1;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 1, 0), (Bgr{0, 0, 0}));
    // Alpha mode on 8 bits draws nothing.
    Fill24(&dst.s, 3, 1, Bgr{9, 9, 9});
    src.s.transMode = TransAlpha;
    DrawSurface(&src.s, &dst.s, 0, 0, nullptr);
    EXPECT_EQ(PixelAt(dst.s, 0, 0), (Bgr{9, 9, 9}));
}

TEST(DrawSurface, SelfDrawReadsTheOldPixels) {
    Pic s;
    Make24(&s.s, 6, 1, [](int x, int) { return Bgr{(uint8_t)(x * 10), 0, 0}; });
    s.s.alpha = 100;
    DrawSurface(&s.s, &s.s, 2, 0, nullptr);
    EXPECT_EQ(PixelAt(s.s, 2, 0)[0], P(0, 100) + P(20, 155));
    EXPECT_EQ(PixelAt(s.s, 5, 0)[0], P(30, 100) + P(50, 155));
}

namespace {

// Random pictures, modes, cells, alphas, positions and clips against the
// model; `wide` rows are long, with masks in runs of 0, 255, mixed values
// and non-grey bytes, to walk the blocks of the mask kernels.
void CompareWithModel(uint32_t seed, int cases, bool wide) {
    std::mt19937 rng(seed);
    for (int iter = 0; iter < cases; iter++) {
        int mode = (int)(rng() % 6);  // 5: an unknown mode
        if (wide && rng() % 2) mode = TransAlpha;
        bool pal = rng() % 4 == 0;
        int cells = 1 + (int)(rng() % 3);
        int cellW = wide ? 2 * (20 + (int)(rng() % 120)) : 2 + (int)(rng() % 9);
        int w = cells * cellW + (int)(rng() % 2), h = 1 + (int)(rng() % 7);
        Pic src, got, want;
        if (pal) {
            std::vector<Bgr> palette;
            for (int i = 0; i < 6; i++) palette.push_back(Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()});
            Make8(&src.s, w, h, palette, [&](int, int) { return (int)(rng() % 6); });
        } else {
            int run = 0;
            Bgr runColour{};
            Make24(&src.s, w, h, [&](int, int) {
                if (run-- > 0) return runColour;
                run = (int)(rng() % (wide ? 100 : 3));
                int r = (int)(rng() % 6);
                runColour = r == 0 ? Bgr{0, 0, 0} : r == 1 ? Bgr{255, 255, 255} : r == 2 ? Bgr{0, 9, 200}
                          : r == 3 ? Bgr{255, 0, 255} : Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()};
                if (r == 5) run = 0;
                return runColour;
            });
            SetPixel(&src.s, 1, h - 1, PixelAt(src.s, 0, 0));  // some key pixels
        }
        src.s.transMode = mode;
        src.s.cellCount = cells;
        src.s.cell = (int)(rng() % (cells + 1));
        src.s.alpha = rng() % 3 == 0 ? -1 : (int)(rng() % 256);
        src.s.isStringSprite = (int)(rng() % 2);
        src.s.keyRed = 0; src.s.keyGreen = 0; src.s.keyBlue = 0;
        src.s.keyIndex = (int)(rng() % 6);
        int dw = wide ? 1 + (int)(rng() % 300) : 1 + (int)(rng() % 20), dh = 1 + (int)(rng() % 10);
        auto back = [](int x, int y) { return Bgr{(uint8_t)(x * 13), (uint8_t)(y * 29), (uint8_t)(x ^ y)}; };
        Make24(&got.s, dw, dh, back);
        Make24(&want.s, dw, dh, back);
        int x = (int)(rng() % 30) - 10, y = (int)(rng() % 16) - 5;
        DrawClip clip{(int)(rng() % 8) - 2, (int)(rng() % 6) - 2, (int)(rng() % (dw + 10)), (int)(rng() % 14)};
        bool useClip = rng() % 2;
        Surface copy = src.s;
        copy.cell = std::min<int>(src.s.cell, cells - 1);
        ModelDraw(copy, &want.s, x, y, useClip ? &clip : nullptr);
        DrawSurface(&src.s, &got.s, x, y, useClip ? &clip : nullptr);
        ExpectSame(got.s, want.s, "case " + std::to_string(iter) + (wide ? " (long rows)" : ""));
    }
}

}  // namespace

TEST(DrawSurface, MatchesThePixelModel) {
    for (bool wideKernels : {true, false}) {
        if (!SelectDrawKernels(wideKernels)) continue;  // no 256-bit registers here
        CompareWithModel(12345, 300, false);
        CompareWithModel(777, 200, true);
    }
    SelectDrawKernels(true);
}

// Rows built of runs whose lengths fall on either side of the 16-pixel
// blocks of the wide kernels: masks of 0 (opaque), 255 (clear), partial and
// not-grey values; colour-keyed rows of key pixels, near-key pixels (one
// byte off) and others.  Every width from 1 to 3 blocks and beyond, drawn at
// offsets that clip on the left and the right, with and without alpha, by
// both kernel sets, against the per-pixel model.
TEST(DrawSurface, RunsAcrossBlockEdgesMatchThePixelModel) {
    const int widths[] = {1, 2, 5, 15, 16, 17, 31, 32, 33, 47, 48, 49, 63, 95, 161};
    const int xs[] = {-7, 0, 3, 120};
    const int runLengths[] = {1, 2, 3, 7, 13, 15, 16, 17, 20, 31, 32, 33, 48, 50};
    const Bgr key{10, 20, 30};
    for (bool wideKernels : {true, false}) {
        if (!SelectDrawKernels(wideKernels)) continue;  // no 256-bit registers here
        std::mt19937 rng(99);
        for (int mode : {(int)TransAlpha, (int)TransColorKey, (int)TransLeftUp}) {
            for (int w : widths) {
                const int h = 4;
                // Run classes per row: 0 opaque / key, 1 clear / near key,
                // 2 partial / other, 3 not grey / other.
                std::vector<int> cls((size_t)w * h);
                for (int y = 0, i = 0; y < h; y++)
                    for (int x = 0; x < w;) {
                        int len = runLengths[rng() % (sizeof runLengths / sizeof runLengths[0])];
                        int c = (int)(rng() % 4);
                        for (int k = 0; k < len && x < w; k++, x++, i++) cls[(size_t)y * w + x] = c;
                    }
                Pic src;
                int pw = mode == TransAlpha ? 2 * w : w;
                Make24(&src.s, pw, h, [&](int x, int y) {
                    if (mode == TransAlpha && x >= w) {
                        switch (cls[(size_t)y * w + x - w]) {
                        case 0: return Bgr{0, 0, 0};
                        case 1: return Bgr{255, 255, 255};
                        case 2: { uint8_t m = (uint8_t)(1 + rng() % 254); return Bgr{m, m, m}; }
                        default: return rng() % 2 ? Bgr{0, 7, 0} : Bgr{255, 255, 254};
                        }
                    }
                    int c = cls[(size_t)y * w + x];
                    if (mode == TransAlpha) return Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()};
                    if (c == 0 || (mode == TransLeftUp && x == 0 && y == 0)) return key;
                    if (c == 1) {
                        Bgr near = key;
                        near[rng() % 3] ^= (uint8_t)(1 << (rng() % 8));
                        return near;
                    }
                    return Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()};
                });
                src.s.transMode = mode;
                src.s.keyBlue = key[0]; src.s.keyGreen = key[1]; src.s.keyRed = key[2];
                if (mode == TransAlpha) src.s.cellCount = 1;
                for (int x : xs)
                    for (int alpha : {-1, 0, 77, 255}) {
                        src.s.alpha = alpha;
                        Pic got, want;
                        auto back = [](int x, int y) { return Bgr{(uint8_t)(x * 7), (uint8_t)(y * 40 + x), (uint8_t)(255 - x)}; };
                        Make24(&got.s, 150, h + 2, back);
                        Make24(&want.s, 150, h + 2, back);
                        ModelDraw(src.s, &want.s, x, 1, nullptr);
                        DrawSurface(&src.s, &got.s, x, 1, nullptr);
                        ExpectSame(got.s, want.s, "mode " + std::to_string(mode) + " width " + std::to_string(w) +
                                                      " at " + std::to_string(x) + " alpha " + std::to_string(alpha) +
                                                      (wideKernels ? " wide" : " baseline"));
                    }
            }
        }
    }
    SelectDrawKernels(true);
}

// ---- rotated ----

namespace {

// Draws src rotated and expects it to equal a plain copy of the cell centred
// on (cx, cy).
void ExpectPlainCopy(Surface* src, int cx, int cy, int degrees, int dw, int dh) {
    Pic got, want;
    Fill24(&got.s, dw, dh, Bgr{1, 2, 3});
    Fill24(&want.s, dw, dh, Bgr{1, 2, 3});
    int vw = GetCellWidth(src), h = src->dib.height;
    int saved = src->alpha;
    src->alpha = -1;
    DrawSurface(src, &want.s, cx - vw / 2, cy - h / 2, nullptr);
    src->alpha = saved;
    DrawSurfaceRotated(src, &got.s, cx, cy, 100, 100, degrees, BlendNormal);
    ExpectSame(got.s, want.s, "rotation " + std::to_string(degrees));
}

}  // namespace

TEST(DrawSurfaceRotated, UnrotatedCopiesPixelForPixel) {
    Pic src;
    Make24(&src.s, 10, 6, [](int x, int y) { return Bgr{(uint8_t)(x * 20), (uint8_t)(y * 40), (uint8_t)(x + y)}; });
    src.s.alpha = 255;
    for (int deg : {0, 360, 720, -360})
        ExpectPlainCopy(&src.s, 12, 9, deg, 24, 20);
}

TEST(DrawSurfaceRotated, QuarterTurns) {
    Pic src, a, b;
    Make24(&src.s, 6, 4, [](int x, int y) { return Bgr{(uint8_t)(x * 30 + 1), (uint8_t)(y * 50 + 1), 9}; });
    src.s.alpha = 255;
    Fill24(&a.s, 20, 20, Bgr{0, 0, 0});
    Fill24(&b.s, 20, 20, Bgr{0, 0, 0});
    DrawSurfaceRotated(&src.s, &a.s, 10, 10, 100, 100, -90, BlendNormal);
    DrawSurfaceRotated(&src.s, &b.s, 10, 10, 100, 100, 270, BlendNormal);
    ExpectSame(a.s, b.s, "-90 against 270");
    // 90 degrees turns the 6 x 4 picture into a 4 x 6 one around the centre
    // (rows become columns); the square drawn, from cy - R to cy + R - 1 with
    // R = 3, leaves out its last row.
    Fill24(&a.s, 20, 20, Bgr{0, 0, 0});
    DrawSurfaceRotated(&src.s, &a.s, 10, 10, 100, 100, 90, BlendNormal);
    int drawn = 0;
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++)
            if (PixelAt(a.s, x, y) != (Bgr{0, 0, 0})) drawn++;
    EXPECT_EQ(drawn, 20);
    // Neighbours along a destination column differ in the source's x.
    for (int y = 7; y < 13; y++) {
        Bgr p = PixelAt(a.s, 9, y);
        if (p == (Bgr{0, 0, 0})) continue;
        Bgr q = PixelAt(a.s, 9, y + 1);
        if (q == (Bgr{0, 0, 0})) continue;
        EXPECT_EQ(p[1], q[1]);
        EXPECT_NE(p[0], q[0]);
    }
}

TEST(DrawSurfaceRotated, BlendsByMode) {
    // One source pixel scaled up covers the middle of a 5 x 5 destination.
    struct Case {
        const char* what;
        int mode, alpha, blend, bpp;
        Bgr want;
    } cases[] = {
        // copy, 24-bit: alpha 255 copies, else mixes
        {"copy normal 255", TransCopy, 255, BlendNormal, 24, {100, 20, 250}},
        {"copy normal 100", TransCopy, 100, BlendNormal, 24,
         {(uint8_t)(P(155, 60) + P(100, 100)), (uint8_t)(P(155, 60) + P(100, 20)), (uint8_t)(P(155, 60) + P(100, 250))}},
        {"copy add", TransCopy, 100, BlendAdd, 24,
         {(uint8_t)(60 + P(100, 100)), (uint8_t)(60 + P(100, 20)), (uint8_t)std::min(255, 60 + P(100, 250))}},
        {"copy subtract", TransCopy, 255, BlendSubtract, 24, {0, 40, 0}},
        {"copy unknown blend", TransCopy, 255, 7, 24, {60, 60, 60}},
        // 8-bit copy and keyed pictures are darkened by alpha, not mixed
        {"copy 8-bit normal", TransCopy, 100, BlendNormal, 8, {P(100, 100), P(100, 20), P(100, 250)}},
        {"keyed normal", TransColorKey, 100, BlendNormal, 24, {P(100, 100), P(100, 20), P(100, 250)}},
        {"keyed add", TransColorKey, 255, BlendAdd, 24, {160, 80, 255}},
        {"keyed unknown blend subtracts", TransColorKey, 255, 9, 24, {0, 40, 0}},
        // alpha mode with the mask 55
        {"alpha normal 255", TransAlpha, 255, BlendNormal, 24,
         {(uint8_t)(P(55, 60) + P(200, 100)), (uint8_t)(P(55, 60) + P(200, 20)), (uint8_t)(P(55, 60) + P(200, 250))}},
        {"alpha normal 128", TransAlpha, 128, BlendNormal, 24,
         {(uint8_t)(P(255 - P(200, 128), 60) + P(P(200, 128), 100)), (uint8_t)(P(255 - P(200, 128), 60) + P(P(200, 128), 20)),
          (uint8_t)(P(255 - P(200, 128), 60) + P(P(200, 128), 250))}},
        {"alpha add", TransAlpha, 255, BlendAdd, 24, {(uint8_t)(60 + P(200, 100)), (uint8_t)(60 + P(200, 20)), (uint8_t)std::min(255, 60 + P(200, 250))}},
        {"alpha subtract", TransAlpha, 255, BlendSubtract, 24, {(uint8_t)std::max(0, 60 - P(200, 100)), (uint8_t)(60 - P(200, 20)), 0}},
        {"alpha unknown blend", TransAlpha, 255, 3, 24, {60, 60, 60}},
        {"alpha 8-bit draws nothing", TransAlpha, 255, BlendNormal, 8, {60, 60, 60}},
        {"mode 5 draws nothing", 5, 255, BlendNormal, 24, {60, 60, 60}},
    };
    const Bgr colour{100, 20, 250};
    for (const Case& c : cases) {
        Pic src, dst;
        if (c.bpp == 8) {
            Make8(&src.s, 2, 1, {colour, Bgr{55, 0, 0}}, [](int x, int) { return x; });
        } else if (c.mode == TransAlpha) {
            Make24(&src.s, 2, 1, [&](int x, int) { return x ? Bgr{55, 0, 0} : colour; });
        } else {
            Make24(&src.s, 1, 1, [&](int, int) { return colour; });
        }
        src.s.transMode = c.mode;
        src.s.alpha = c.alpha;
        src.s.keyRed = 1;  // no pixel is the key
        Fill24(&dst.s, 5, 5, Bgr{60, 60, 60});
        DrawSurfaceRotated(&src.s, &dst.s, 2, 2, 300, 300, 0, c.blend);
        EXPECT_EQ(PixelAt(dst.s, 2, 2), c.want) << c.what;
    }
}

TEST(DrawSurfaceRotated, KeysAreTheCurrentCellsCorners) {
    // Two 2 x 1 cells: cell 1 = (k, x), and cell 0's corner is another colour.
    const Bgr k{1, 1, 1}, a{2, 2, 2}, o{3, 3, 3}, bg{50, 50, 50};
    Pic src, dst;
    Make24(&src.s, 4, 1, [&](int x, int) { return x == 0 ? a : x == 1 ? o : x == 2 ? k : a; });
    src.s.cellCount = 2;
    src.s.cell = 1;
    src.s.alpha = 255;
    src.s.transMode = TransLeftUp;
    Fill24(&dst.s, 4, 4, bg);
    DrawSurfaceRotated(&src.s, &dst.s, 2, 2, 100, 100, 0, BlendNormal);
    EXPECT_EQ(PixelAt(dst.s, 1, 2), bg);  // k, the cell's top-left, is keyed out
    EXPECT_EQ(PixelAt(dst.s, 2, 2), a);
    src.s.transMode = TransRightUp;        // now a, the cell's top-right
    Fill24(&dst.s, 4, 4, bg);
    DrawSurfaceRotated(&src.s, &dst.s, 2, 2, 100, 100, 0, BlendNormal);
    EXPECT_EQ(PixelAt(dst.s, 1, 2), k);
    EXPECT_EQ(PixelAt(dst.s, 2, 2), bg);
}

TEST(DrawSurfaceRotated, RepeatedSampleReusesTheColour) {
    // Scaled 300 %, the one source pixel lands on columns and rows 2 and 3;
    // the later ones get the colour blended over the first one's
    // destination, not over their own.
    Pic src, dst;
    Make24(&src.s, 1, 1, [](int, int) { return Bgr{200, 200, 200}; });
    src.s.alpha = 100;
    Make24(&dst.s, 5, 5, [](int x, int) { return Bgr{(uint8_t)(x * 50), 0, 0}; });
    DrawSurfaceRotated(&src.s, &dst.s, 2, 2, 300, 300, 0, BlendNormal);
    uint8_t first = (uint8_t)(P(155, 100) + P(100, 200));
    EXPECT_EQ(PixelAt(dst.s, 1, 2)[0], 50);
    EXPECT_EQ(PixelAt(dst.s, 2, 2)[0], first);
    EXPECT_EQ(PixelAt(dst.s, 3, 2)[0], first);
    EXPECT_EQ(PixelAt(dst.s, 2, 3)[0], first);  // the memory lasts across rows
    EXPECT_EQ(PixelAt(dst.s, 4, 2)[0], 200);
}

TEST(DrawSurfaceRotated, ZeroScaleAndEdgesDrawNothingOrStayInside) {
    Pic src, dst;
    Make24(&src.s, 8, 8, [](int x, int y) { return Bgr{(uint8_t)(x + 1), (uint8_t)(y + 1), 1}; });
    src.s.alpha = 255;
    Fill24(&dst.s, 6, 6, Bgr{0, 0, 0});
    DrawSurfaceRotated(&src.s, &dst.s, 3, 3, 0, 100, 30, BlendNormal);
    DrawSurfaceRotated(&src.s, &dst.s, 3, 3, 100, 0, 30, BlendNormal);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 6; x++) ASSERT_EQ(PixelAt(dst.s, x, y), (Bgr{0, 0, 0}));
    // Far outside, huge scales, tiny and negative ones: no fault.
    for (int sc : {1, 5, -100, 100000, 2147483647, -2147483647})
        for (int deg : {0, 45, -2147483647 - 1, 2147483647}) {
            DrawSurfaceRotated(&src.s, &dst.s, 3, 3, sc, sc, deg, BlendNormal);
            DrawSurfaceRotated(&src.s, &dst.s, -2147483647, 2147483647, sc, 100, deg, BlendAdd);
        }
}

TEST(DrawSurfaceRotated, MatchesTheWrittenArithmetic) {
    // A direct transcription of the steps, in doubles and 16.16 integers.
    std::mt19937 rng(77);
    for (int iter = 0; iter < 60; iter++) {
        Pic src, got, want;
        int w = 3 + (int)(rng() % 12), h = 2 + (int)(rng() % 10);
        Make24(&src.s, w, h, [&](int, int) { return Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()}; });
        src.s.transMode = TransCopy;
        src.s.alpha = 255;
        int sx = 30 + (int)(rng() % 300), sy = 30 + (int)(rng() % 300), deg = (int)(rng() % 1000) - 500;
        int cx = (int)(rng() % 30), cy = (int)(rng() % 24);
        Fill24(&got.s, 30, 24, Bgr{0, 0, 0});
        Fill24(&want.s, 30, 24, Bgr{0, 0, 0});
        DrawSurfaceRotated(&src.s, &got.s, cx, cy, sx, sy, deg, BlendNormal);

        double phi = -(deg - 360 * (deg / 360)) * 3.14159265358979 / 180;
        double kx1 = cos(phi) * 100 / sx, kx2 = sin(phi) * 100 / sx, ky1 = -sin(phi) * 100 / sy, ky2 = cos(phi) * 100 / sy;
        int ix1 = (int)(kx1 * 65536), ix2 = (int)(kx2 * 65536), iy1 = (int)(ky1 * 65536), iy2 = (int)(ky2 * 65536);
        int R = (int)(0.5 * sqrt(pow(w * sx / 100.0, 2) + pow(h * sy / 100.0, 2)));
        int left = std::max(0, cx - R), right = std::min(cx + R, 30) - 1;
        int top = std::max(0, cy - R), bottom = std::min(cy + R, 24) - 1;
        int X0 = (int)((kx1 * (left - cx) + kx2 * (top - cy) + w / 2) * 65536);
        int Y0 = (int)((ky1 * (left - cx) + ky2 * (top - cy) + h / 2) * 65536);
        for (int y = top; y <= bottom; y++, X0 += ix2, Y0 += iy2) {
            int X = X0, Y = Y0;
            for (int x = left; x <= right; x++, X += ix1, Y += iy1)
                if (X >= 0 && X < w * 65536 && Y >= 0 && Y < h * 65536)
                    SetPixel(&want.s, x, y, PixelAt(src.s, X >> 16, Y >> 16));
        }
        ExpectSame(got.s, want.s, "case " + std::to_string(iter));
    }
}

namespace {

// A transcription of the rotated draw's steps: the 16.16 stepping, the
// bounding square, the repeated-sample memory, the keys of the current
// cell, the blends; 8-bit sources through their palette.
void ModelRotated(const Surface& src, Surface* want, int cx, int cy, int sx, int sy, int deg, int blend) {
    const Dib& sd = src.dib;
    bool pal = sd.infoHeader.bitCount == 8;
    int mode = src.transMode;
    if (mode < 0 || mode > 4 || sx == 0 || sy == 0 || (pal && mode == TransAlpha)) return;
    if (blend < 0 || blend > 2) {
        if (mode == TransAlpha || mode == TransCopy) return;
        blend = 2;
    }
    int cells = std::max(1, src.cellCount), cw = sd.width / cells;
    int cell = src.cell < 0 ? 0 : std::min<int>(src.cell, cells - 1);
    int vw = GetCellWidth(&src), h = sd.height, cs = cell * cw;
    int alpha = src.alpha < -1 ? 0 : std::min<int>(255, src.alpha);
    if (alpha < 0) alpha = 255;
    auto index = [&](int x, int y) { return (int)DibRow(&sd, y)[x]; };
    auto color = [&](int x, int y) {
        if (!pal) return PixelAt(src, x, y);
        const uint8_t* c = sd.palette + 4 * index(x, y);
        return Bgr{c[0], c[1], c[2]};
    };
    int W = want->dib.width, H = want->dib.height;
    double phi = -(deg - 360 * (deg / 360)) * 3.14159265358979 / 180;
    double kx1 = cos(phi) * 100 / sx, kx2 = sin(phi) * 100 / sx, ky1 = -sin(phi) * 100 / sy, ky2 = cos(phi) * 100 / sy;
    if ((deg - 360 * (deg / 360)) == 0) kx1 = ky2 = 100.0 / 100, kx2 = ky1 = 0;  // exact, as the draw keeps them
    long long ix1 = (int)(kx1 * 65536), ix2 = (int)(kx2 * 65536), iy1 = (int)(ky1 * 65536), iy2 = (int)(ky2 * 65536);
    int R = (int)(0.5 * sqrt(pow(vw * sx / 100.0, 2) + pow(h * sy / 100.0, 2)));
    int left = std::max(0, cx - R), right = std::min(cx + R, W) - 1;
    int top = std::max(0, cy - R), bottom = std::min(cy + R, H) - 1;
    long long X0 = (long long)((kx1 * (left - cx) + kx2 * (top - cy) + vw / 2) * 65536);
    long long Y0 = (long long)((ky1 * (left - cx) + ky2 * (top - cy) + h / 2) * 65536);
    int keyCol = mode == TransRightUp ? cs + cw - 1 : cs;
    bool keyBytes = src.keyRed >= 0 && src.keyRed <= 255 && src.keyGreen >= 0 && src.keyGreen <= 255 &&
                    src.keyBlue >= 0 && src.keyBlue <= 255;
    Bgr key = mode == TransColorKey ? Bgr{(uint8_t)src.keyBlue, (uint8_t)src.keyGreen, (uint8_t)src.keyRed}
                                    : color(keyCol, 0);
    int keyIndex = mode == TransColorKey ? src.keyIndex : pal ? index(keyCol, 0) : -1;
    long long lastX = -1, lastY = -1;
    bool lastSkip = false;
    Bgr last{};
    for (int y = top; y <= bottom; y++, X0 += ix2, Y0 += iy2) {
        long long X = X0, Y = Y0;
        for (int x = left; x <= right; x++, X += ix1, Y += iy1) {
            if (X < 0 || X >= (long long)vw * 65536 || Y < 0 || Y >= (long long)h * 65536) continue;
            int px = (int)(X >> 16), py = (int)(Y >> 16);
            if (px == lastX && py == lastY) {
                if (!lastSkip) SetPixel(want, x, y, last);
                continue;
            }
            lastX = px;
            lastY = py;
            Bgr sp = color(cs + px, py), dp = PixelAt(*want, x, y), o;
            int a = alpha;
            if (mode == TransAlpha) {
                int m = PixelAt(src, cs + px + cw / 2, py)[0];
                a = alpha == 255 ? 255 - m : P(255 - m, alpha);
            } else if (mode != TransCopy &&
                       (pal ? index(cs + px, py) == keyIndex
                            : (mode != TransColorKey || keyBytes) && sp == key)) {
                lastSkip = true;
                continue;
            }
            lastSkip = false;
            for (int k = 0; k < 3; k++) {
                int sa = P(a, sp[k]);
                if (blend == 1) o[k] = (uint8_t)std::min(255, dp[k] + sa);
                else if (blend == 2) o[k] = (uint8_t)std::max(0, dp[k] - sa);
                else if (mode == TransAlpha) o[k] = (uint8_t)(P(255 - a, dp[k]) + sa);
                else if (mode == TransCopy && !pal) o[k] = alpha == 255 ? sp[k] : (uint8_t)(P(255 - alpha, dp[k]) + sa);
                else o[k] = (uint8_t)sa;
            }
            last = o;
            SetPixel(want, x, y, o);
        }
    }
}

}  // namespace

TEST(DrawSurfaceRotated, MatchesAModelOfEveryModeAndBlend) {
    // Blends with the repeated-sample memory, keys of the current cell and
    // mirrored (negative) scales, against a transcription of the steps.
    std::mt19937 rng(4242);
    for (int iter = 0; iter < 200; iter++) {
        int mode = (int)(rng() % 5), blend = (int)(rng() % 4), cells = 1 + (int)(rng() % 3);
        int cw = 2 * (1 + (int)(rng() % 6)), w = cells * cw, h = 1 + (int)(rng() % 8);
        Pic src, got, want;
        Make24(&src.s, w, h, [&](int x, int) {
            int r = (int)(rng() % 4);
            if (mode == TransAlpha && (x % cw) >= cw / 2) return Bgr{(uint8_t)(r == 0 ? 0 : r == 1 ? 255 : rng()), 0, 0};
            return r == 0 ? Bgr{7, 7, 7} : Bgr{(uint8_t)rng(), (uint8_t)rng(), (uint8_t)rng()};
        });
        SetPixel(&src.s, cw - 1, 0, Bgr{7, 7, 7});
        src.s.transMode = mode;
        src.s.cellCount = cells;
        src.s.cell = (int)(rng() % cells);
        src.s.alpha = rng() % 3 ? 255 : (int)(rng() % 256);
        src.s.keyRed = src.s.keyGreen = src.s.keyBlue = 7;
        int sx = (int)(rng() % 400) - 200, sy = (int)(rng() % 400) - 200;
        if (sx == 0) sx = 50;
        if (sy == 0) sy = -70;
        int deg = (int)(rng() % 1440) - 720;
        if (deg % 90 == 0) deg += 7;
        int cx = (int)(rng() % 20), cy = (int)(rng() % 16);
        auto back = [](int x, int y) { return Bgr{(uint8_t)(x * 11), (uint8_t)(y * 17), 99}; };
        Make24(&got.s, 20, 16, back);
        Make24(&want.s, 20, 16, back);
        DrawSurfaceRotated(&src.s, &got.s, cx, cy, sx, sy, deg, blend);
        ModelRotated(src.s, &want.s, cx, cy, sx, sy, deg, blend);
        ExpectSame(got.s, want.s, "case " + std::to_string(iter));
    }
}

// Unturned at 100 % the rotated draw takes the upright path (or a plain row
// loop for the blends and pictures the upright draw does not give): the
// frames stay those of the stepping arithmetic over every mode, 24 and 8
// bits, alphas, blends, cells and places, the edges of the destination and
// the bounding square's cut (a picture one pixel high loses its last column)
// included.
TEST(DrawSurfaceRotated, UnturnedFramesMatchTheModel) {
    struct Pictures {
        int mode, bits, w, h;  // w: the whole picture, 2 cells
    } pictures[] = {
        {TransAlpha, 24, 20, 5}, {TransCopy, 24, 10, 5}, {TransLeftUp, 24, 10, 5}, {TransRightUp, 24, 10, 5},
        {TransColorKey, 24, 10, 5}, {TransCopy, 8, 10, 5}, {TransLeftUp, 8, 10, 5}, {TransRightUp, 8, 10, 5},
        {TransColorKey, 8, 10, 5}, {TransCopy, 24, 18, 1}, {TransAlpha, 24, 36, 1},
    };
    const int alphas[] = {-1, 0, 100, 255, 300};
    const int cells[] = {0, 1, 5, -1};
    const int places[][2] = {{8, 6}, {0, 0}, {15, 11}, {-2, 6}, {8, -1}, {17, 6}, {8, 12}, {40, 40}};
    std::vector<Bgr> palette;
    for (int i = 0; i < 256; i++) palette.push_back(Bgr{(uint8_t)(i * 7), (uint8_t)(255 - i), (uint8_t)(i * 3)});
    std::mt19937 rng(99);
    for (const Pictures& p : pictures) {
        Pic src;
        int cw = p.w / 2;
        auto pick = [&](int x, int) {  // a quarter key-coloured, the mask half from 0 to 255
            int r = (int)(rng() % 4);
            if (p.mode == TransAlpha && (x % cw) >= cw / 2) return r == 0 ? 0 : r == 1 ? 255 : (int)(rng() % 256);
            return r == 0 ? 7 : (int)(rng() % 256);
        };
        if (p.bits == 8) {
            Make8(&src.s, p.w, p.h, palette, pick);
        } else {
            Make24(&src.s, p.w, p.h, [&](int x, int y) {
                int v = pick(x, y);
                if (v == 7) return Bgr{7, 7, 7};
                if (p.mode == TransAlpha && (x % cw) >= cw / 2) return Bgr{(uint8_t)v, (uint8_t)v, (uint8_t)v};
                return Bgr{(uint8_t)v, (uint8_t)rng(), (uint8_t)rng()};
            });
        }
        src.s.transMode = p.mode;
        src.s.cellCount = 2;
        src.s.keyRed = src.s.keyGreen = src.s.keyBlue = 7;
        src.s.keyIndex = 7;
        for (int alpha : alphas)
            for (int blend = 0; blend < 4; blend++)
                for (int cell : cells)
                    for (const auto& at : places)
                        for (int deg : {0, 360, -720}) {
                            src.s.alpha = alpha;
                            src.s.cell = cell;
                            Pic got, want;
                            auto back = [](int x, int y) { return Bgr{(uint8_t)(x * 13), (uint8_t)(y * 19), 140}; };
                            Make24(&got.s, 16, 12, back);
                            Make24(&want.s, 16, 12, back);
                            DrawSurfaceRotated(&src.s, &got.s, at[0], at[1], 100, 100, deg, blend);
                            ModelRotated(src.s, &want.s, at[0], at[1], 100, 100, deg, blend);
                            EXPECT_EQ(src.s.cell, cell);  // never stored back
                            ExpectSame(got.s, want.s,
                                       "mode " + std::to_string(p.mode) + "/" + std::to_string(p.bits) +
                                           " bits, " + std::to_string(p.w) + "x" + std::to_string(p.h) +
                                           ", alpha " + std::to_string(alpha) + ", blend " + std::to_string(blend) +
                                           ", cell " + std::to_string(cell) + ", at " + std::to_string(at[0]) +
                                           "," + std::to_string(at[1]) + ", " + std::to_string(deg) + " degrees");
                            if (HasFatalFailure()) return;
                        }
    }
    // A string sprite draws as any alpha-mode picture here.
    Pic src, got, want;
    Make24(&src.s, 8, 3, [](int x, int y) { return x >= 4 ? Bgr{(uint8_t)(x * 60), 0, 0} : Bgr{(uint8_t)(y * 90), 50, 200}; });
    src.s.transMode = TransAlpha;
    src.s.isStringSprite = 1;
    src.s.alpha = 255;
    auto back = [](int x, int y) { return Bgr{(uint8_t)(x * 13), (uint8_t)(y * 19), 140}; };
    Make24(&got.s, 8, 6, back);
    Make24(&want.s, 8, 6, back);
    DrawSurfaceRotated(&src.s, &got.s, 3, 3, 100, 100, 0, BlendNormal);
    ModelRotated(src.s, &want.s, 3, 3, 100, 100, 0, BlendNormal);
    ExpectSame(got.s, want.s, "string sprite");
}

// ---- affine ----

TEST(DrawSurfaceAffine, IdentityDrawsTheCellCentred) {
    // Alpha-mode picture 4 x 3 (colour 2 x 3, mask 2 x 3).
    Pic src, got, want;
    Make24(&src.s, 4, 3, [](int x, int y) {
        return x >= 2 ? Bgr{(uint8_t)(y == 1 && x == 3 ? 255 : 0), 0, 0} : Bgr{(uint8_t)(10 + x), (uint8_t)(20 + y), 30};
    });
    src.s.transMode = TransAlpha;
    src.s.alpha = 255;
    Fill24(&got.s, 8, 8, Bgr{5, 5, 5});
    Fill24(&want.s, 8, 8, Bgr{5, 5, 5});
    DrawSurfaceAffine(&src.s, &got.s, 4, 4, 1000, 0, 0, 1000);
    src.s.alpha = -1;
    DrawSurface(&src.s, &want.s, 4 - 1, 4 - 1, nullptr);
    ExpectSame(got.s, want.s, "identity");
}

TEST(DrawSurfaceAffine, SingularMatricesDrawNothingAndModeBecomesAlpha) {
    Pic src, dst;
    Make24(&src.s, 4, 4, [](int, int) { return Bgr{200, 200, 200}; });
    src.s.alpha = 255;
    Fill24(&dst.s, 8, 8, Bgr{5, 5, 5});
    int mats[][4] = {{0, 0, 0, 0}, {1000, 1000, 1000, 1000}, {30, 0, 0, 30}};
    for (auto& m : mats) DrawSurfaceAffine(&src.s, &dst.s, 4, 4, m[0], m[1], m[2], m[3]);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(PixelAt(dst.s, x, y), (Bgr{5, 5, 5}));
    EXPECT_EQ(src.s.transMode, TransCopy);  // nothing was drawn
    DrawSurfaceAffine(&src.s, &dst.s, 4, 4, 1000, 0, 0, 1000);
    EXPECT_EQ(src.s.transMode, TransAlpha);
}

TEST(DrawSurfaceAffine, AlphaBlend) {
    Pic src, dst;
    Make24(&src.s, 2, 1, [](int x, int) { return x ? Bgr{40, 0, 0} : Bgr{100, 150, 200}; });
    src.s.transMode = TransAlpha;
    src.s.alpha = 90;
    Fill24(&dst.s, 3, 3, Bgr{10, 20, 30});
    DrawSurfaceAffine(&src.s, &dst.s, 1, 1, 1000, 0, 0, 1000);
    int a = P(215, 90);
    EXPECT_EQ(PixelAt(dst.s, 1, 1), (Bgr{(uint8_t)(P(255 - a, 10) + P(a, 100)), (uint8_t)(P(255 - a, 20) + P(a, 150)),
                                        (uint8_t)(P(255 - a, 30) + P(a, 200))}));
    EXPECT_EQ(PixelAt(dst.s, 0, 1), (Bgr{10, 20, 30}));
    // Extreme matrices stay inside the pictures.
    for (int m : {1, -1, 2147483647, -2147483647})
        DrawSurfaceAffine(&src.s, &dst.s, 1, 1, m, 7, -3, m);
}
