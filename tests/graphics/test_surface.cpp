// Surface and Dib basics: ProductTable, strides, cell widths, the
// transparency test, creation bounds, fills and rectangle copies.
#include <gtest/gtest.h>

#include "graphics/draw.h"
#include "graphics/screen.h"
#include "graphics/surface.h"
#include "core/script.h"
#include "tests/graphics/gfx_fixture.h"

TEST(ProductTable, EntriesAndArithmeticForm) {
    EXPECT_EQ(ProductTable[255][255], 255);
    EXPECT_EQ(ProductTable[255][128], 128);
    EXPECT_EQ(ProductTable[128][128], 64);
    EXPECT_EQ(ProductTable[1][254], 0);
    EXPECT_EQ(ProductTable[0][200], 0);
    // The row loops compute the products without the table: every pair.
    for (int a = 0; a < 256; a++)
        for (int b = 0; b < 256; b++) {
            ASSERT_EQ(ProductTable[a][b], a * b / 255) << a << "," << b;
            ASSERT_EQ(MulDiv255(a, b), (uint32_t)ProductTable[a][b]) << a << "," << b;
        }
    BuildProductTable();
    EXPECT_EQ(ProductTable[254][254], 253);
}

TEST(Dib, StrideAndRowOffsets) {
    struct { int bpp, width, stride; } cases[] = {
        {24, 1, 4}, {24, 3, 12}, {24, 4, 12}, {24, 5, 16}, {8, 1, 4}, {8, 4, 4}, {8, 5, 8},
        {1, 1, 4}, {1, 33, 8}, {4, 9, 8}, {16, 3, 8}, {32, 3, 12},
    };
    for (auto& c : cases) EXPECT_EQ(DibStride(c.bpp, c.width), c.stride) << c.bpp << "x" << c.width;
    Dib d = {};
    ASSERT_TRUE(CreateDib(&d, 3, 5));
    EXPECT_EQ(d.imageBytes, 60);
    EXPECT_EQ(d.paletteEntries, 0);
    EXPECT_EQ(d.infoHeader.size, 40u);
    EXPECT_EQ(d.infoHeader.bitCount, 24);
    EXPECT_EQ(d.infoHeader.sizeImage, 60u);
    EXPECT_EQ(GetRowOffset(&d, 0), 48);  // the top row is stored last
    EXPECT_EQ(GetRowOffset(&d, 4), 0);
    for (int i = 0; i < d.imageBytes; i++) ASSERT_EQ(d.bits[i], 0);
    FreeDib(&d);
}

TEST(Dib, SizesOutsideTheBoundAreRefused) {
    struct { int w, h; bool ok; } cases[] = {
        {1, 1, true}, {MaxPictureSide, 1, true}, {1, MaxPictureSide, true}, {0, 5, false},
        {5, 0, false}, {-3, 5, false}, {MaxPictureSide + 1, 1, false}, {1, MaxPictureSide + 1, false},
        {65535, 65535, false},
    };
    for (auto& c : cases) {
        Surface s;
        InitSurface(&s);
        EXPECT_EQ(CreateSurface(&s, c.w, c.h), c.ok) << c.w << "x" << c.h;
        EXPECT_EQ(HasPicture(&s), c.ok);
        DestroySurface(&s);
    }
}

TEST(Surface, LifeCycle) {
    Surface s;
    InitSurface(&s);
    EXPECT_EQ(s.transMode, TransCopy);
    EXPECT_EQ(s.alpha, -1);
    EXPECT_EQ(s.cellCount, 1);
    EXPECT_EQ(s.cellStep, 1);
    EXPECT_FALSE(HasPicture(&s));
    // Releasing an empty surface keeps its tag; one with a picture loses it.
    strcpy(s.tag, "keep.bmp");
    ReleaseSurface(&s);
    EXPECT_STREQ(s.tag, "keep.bmp");
    ASSERT_TRUE(CreateSurface(&s, 4, 4));
    EXPECT_STREQ(s.tag, "keep.bmp");
    s.isStringSprite = 1;
    ReleaseSurface(&s);
    EXPECT_STREQ(s.tag, "");
    EXPECT_EQ(s.isStringSprite, 0);
    ASSERT_TRUE(CreateSurface(&s, 4, 4));
    s.cellCount = 3;
    s.cell = 2;
    s.alpha = 40;
    s.transMode = TransAlpha;
    s.cellTime = -1;
    s.cellTimes = (int32_t*)malloc(12);
    ResetSurface(&s);
    EXPECT_FALSE(HasPicture(&s));
    EXPECT_EQ(s.cellCount, 1);
    EXPECT_EQ(s.cell, 0);
    EXPECT_EQ(s.alpha, -1);
    EXPECT_EQ(s.transMode, TransCopy);
    EXPECT_EQ(s.cellTime, 0);
    EXPECT_EQ(s.cellTimes, nullptr);
    DestroySurface(&s);
}

TEST(Surface, CellWidths) {
    Surface s;
    Fill24(&s, 300, 2, Bgr{0, 0, 0});
    s.cellCount = 3;
    EXPECT_EQ(GetCellWidth(&s), 100);
    s.transMode = TransAlpha;
    EXPECT_EQ(GetCellWidth(&s), 50);
    s.cellCount = 0;  // a count below 1 counts as 1
    EXPECT_EQ(GetCellWidth(&s), 150);
    s.cellCount = -4;
    s.transMode = TransCopy;
    EXPECT_EQ(GetCellWidth(&s), 300);
    DestroySurface(&s);
}

TEST(Surface, IsTransparentAtByMode) {
    // 4 cells of 2 x 2; the top-left pixel is red, the top-right blue.
    const Bgr red{0, 0, 255}, blue{255, 0, 0}, grey{9, 9, 9};
    Surface s;
    Make24(&s, 8, 2, [&](int x, int y) {
        if (y == 0 && x == 0) return red;
        if (y == 0 && x == 7) return blue;
        if (y == 1 && (x == 3 || x == 5)) return red;
        if (y == 1 && x == 6) return blue;
        return grey;
    });
    s.cellCount = 4;
    struct { int mode, cell, x, y, want; } cases[] = {
        {TransCopy, 0, 0, 0, 0},
        {TransLeftUp, 0, 0, 0, 1}, {TransLeftUp, 1, 1, 1, 1}, {TransLeftUp, 2, 1, 1, 1},
        {TransLeftUp, 3, 0, 1, 0}, {TransLeftUp, 1, 0, 1, 0},
        {TransRightUp, 3, 0, 1, 1}, {TransRightUp, 3, 1, 0, 1}, {TransRightUp, 1, 1, 1, 0},
        {TransLeftUp, 0, 2, 0, 0},  // outside the cell
    };
    for (auto& c : cases) {
        s.transMode = c.mode;
        s.cell = c.cell;
        EXPECT_EQ(IsTransparentAt(&s, c.x, c.y), c.want) << c.mode << " cell " << c.cell << " " << c.x << "," << c.y;
    }
    s.transMode = TransColorKey;
    s.keyRed = 255; s.keyGreen = 0; s.keyBlue = 0;
    s.cell = 1;
    EXPECT_EQ(IsTransparentAt(&s, 1, 1), 1);
    EXPECT_EQ(IsTransparentAt(&s, 0, 1), 0);
    DestroySurface(&s);

    // Alpha mode reads the mask half's blue byte: above 240 is transparent.
    Surface a;
    Make24(&a, 4, 1, [](int x, int) {
        return x == 2 ? Bgr{241, 0, 0} : x == 3 ? Bgr{240, 255, 255} : Bgr{1, 2, 3};
    });
    a.transMode = TransAlpha;
    EXPECT_EQ(IsTransparentAt(&a, 0, 0), 1);
    EXPECT_EQ(IsTransparentAt(&a, 1, 0), 0);
    DestroySurface(&a);

    // 8-bit: the index is compared; alpha mode on 8 bits answers 0.
    Surface p;
    Make8(&p, 3, 1, {Bgr{0, 0, 0}, Bgr{1, 1, 1}, Bgr{2, 2, 2}}, [](int x, int) { return x == 2 ? 0 : x; });
    p.transMode = TransLeftUp;
    EXPECT_EQ(IsTransparentAt(&p, 2, 0), 1);
    EXPECT_EQ(IsTransparentAt(&p, 1, 0), 0);
    p.transMode = TransColorKey;
    p.keyIndex = 1;
    EXPECT_EQ(IsTransparentAt(&p, 1, 0), 1);
    p.transMode = TransAlpha;
    EXPECT_EQ(IsTransparentAt(&p, 0, 0), 0);
    DestroySurface(&p);

    // Other depths answer 0.
    Surface q;
    InitSurface(&q);
    ASSERT_TRUE(CreateDibOfDepth(&q.dib, 2, 2, 32));
    q.transMode = TransLeftUp;
    EXPECT_EQ(IsTransparentAt(&q, 0, 0), 0);
    DestroySurface(&q);
}

TEST(Surface, FillClearsTheTagAndClips) {
    Surface s;
    Fill24(&s, 4, 3, Bgr{0, 0, 0});
    strcpy(s.tag, "x.bmp");
    FillSurfaceRect(&s, -5, 1, 2, 9, 0x00332211);  // colour 0x00bbggrr
    EXPECT_STREQ(s.tag, "");
    EXPECT_EQ(PixelAt(s, 0, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(PixelAt(s, 1, 1), (Bgr{0x33, 0x22, 0x11}));
    EXPECT_EQ(PixelAt(s, 1, 2), (Bgr{0x33, 0x22, 0x11}));
    EXPECT_EQ(PixelAt(s, 2, 2), (Bgr{0, 0, 0}));
    DestroySurface(&s);
}

TEST(Surface, BltCopiesClippedAndExpandsPalettes) {
    Surface src, dst;
    Make24(&src, 3, 2, [](int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 7}; });
    Fill24(&dst, 4, 4, Bgr{9, 9, 9});
    BltToSurface(&dst, 2, 3, 3, 2, &src, 0, 0);  // only (0,0) and (1,0) fit
    EXPECT_EQ(PixelAt(dst, 2, 3), (Bgr{0, 0, 7}));
    EXPECT_EQ(PixelAt(dst, 3, 3), (Bgr{1, 0, 7}));
    EXPECT_EQ(PixelAt(dst, 2, 2), (Bgr{9, 9, 9}));
    BltToSurface(&dst, -1, -1, 3, 3, &src, 0, 0);
    EXPECT_EQ(PixelAt(dst, 0, 0), (Bgr{1, 1, 7}));
    Surface pal;
    Make8(&pal, 2, 1, {Bgr{10, 20, 30}, Bgr{40, 50, 60}}, [](int x, int) { return x; });
    BltToSurface(&dst, 0, 2, 2, 1, &pal, 0, 0);
    EXPECT_EQ(PixelAt(dst, 0, 2), (Bgr{10, 20, 30}));
    EXPECT_EQ(PixelAt(dst, 1, 2), (Bgr{40, 50, 60}));
    DestroySurface(&src);
    DestroySurface(&dst);
    DestroySurface(&pal);
}

TEST(ScreenSurfaces, RebuiltAtTheScreenSize) {
    ScreenWidth = 64;
    ScreenHeight = 48;
    RebuildScreenSurfaces();
    for (Surface* s : {&DestSurface, &SrcSurface, &BgSurface, &WorkSurface}) {
        EXPECT_EQ(s->dib.width, 64);
        EXPECT_EQ(s->dib.height, 48);
        EXPECT_EQ(s->dib.infoHeader.bitCount, 24);
    }
    EXPECT_EQ(GlyphSurface.dib.width, 128);
    EXPECT_EQ(GlyphSurface.dib.height, 128);
    strcpy(BgSurface.tag, "bg.bmp");
    ScreenWidth = 80;
    RebuildScreenSurfaces();
    EXPECT_EQ(DestSurface.dib.width, 80);
    EXPECT_STREQ(BgSurface.tag, "");
    ScreenWidth = 640;
    ScreenHeight = 480;
}
