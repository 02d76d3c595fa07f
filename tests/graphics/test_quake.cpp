// Screen shakes and distortions: shifted frames with their black strips,
// the random shake's draws and steps, the decreasing shakes' frame counts
// and timing (negative durations instant), frames caught mid-shake in
// games, flushout's white end state, and the cylinder warp that leaves the
// displayed picture alone.
#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"
#include "graphics/quake_commands.h"
#include "platform/headless/headless.h"
#include "tests/graphics/screenfx_fixture.h"

namespace {

Bgr Gradient(int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 7}; }

class QuakeTest : public ScreenFxTest {
protected:
    void SetUp() override {
        ScreenFxTest::SetUp();
        Make24(&DestSurface, 64, 48, Gradient);
    }
    // The last presented frame's pixel.
    static Bgr Shown(int x, int y) {
        const uint8_t* bits;
        int w, h;
        if (!HeadlessLastFrame(&bits, &w, &h) || x >= w || y >= h) return Bgr{1, 2, 3};
        const uint8_t* p = bits + (size_t)((w * 3 + 3) & ~3) * (h - 1 - y) + 3 * x;
        return Bgr{p[0], p[1], p[2]};
    }
    static void ExpectShownShifted(int dx, int dy) {
        for (int y = 0; y < 48; y++)
            for (int x = 0; x < 64; x++) {
                int sx = x - dx, sy = y - dy;
                Bgr want = sx >= 0 && sx < 64 && sy >= 0 && sy < 48 ? Gradient(sx, sy) : kBlack;
                ASSERT_EQ(Shown(x, y), want) << dx << "," << dy << " at " << x << "," << y;
            }
    }
    static void ExpectShownIsDest() { ExpectShownShifted(0, 0); }
    static int Presents() { return HeadlessWindow().presents; }
};

TEST_F(QuakeTest, ShiftedFramesBlackOutTheUncoveredStrips) {
    const int offsets[][2] = {{0, 0}, {5, 0}, {-5, 0}, {0, 3}, {0, -3}, {4, -2},
                              {-6, 7}, {64, 0}, {-100, 0}, {0, 48}, {0, -1000}};
    for (const auto& o : offsets) {
        PresentShifted(o[0], o[1]);
        ExpectShownShifted(o[0], o[1]);
    }
    EXPECT_EQ(PixelAt(DestSurface, 0, 0), Gradient(0, 0));  // the picture stays
}

TEST_F(QuakeTest, RandomShakeDrawsTwoValuesPerStep) {
    struct Case {
        int32_t duration, steps;
    } cases[] = {{99, 0}, {100, 1}, {350, 3}, {1000, 10}, {-500, 0}};
    for (const Case& c : cases) {
        SeedRandom(1234);
        for (int i = 0; i < 2 * c.steps; i++) NextRandom();
        uint32_t expected = RandomState;
        SeedRandom(1234);
        HeadlessAdvance(1);  // a fresh millisecond for the first frame
        int presents = Presents();
        uint32_t t0 = PlatTicks();
        Quake(3, c.duration);
        EXPECT_EQ(RandomState, expected) << c.duration;
        EXPECT_EQ(Presents() - presents, c.steps + 1) << c.duration;
        EXPECT_EQ(PlatTicks() - t0, 100u * c.steps) << c.duration;
        ExpectShownIsDest();
    }
}

TEST_F(QuakeTest, DecreasingShakesFramesAndTiming) {
    struct Case {
        bool x;
        int32_t amplitude, duration;
        int frames;
        uint32_t ms;
    } cases[] = {
        {true, 1, 800, 16, 800},  {true, 2, 800, 32, 800},  {true, 0, 800, 0, 0},
        {true, -3, 800, 0, 0},    {true, 2, -800, 32, 32},  {true, 3, 100, 48, 96},
        {false, 1, 160, 16, 160}, {false, 2, 0, 32, 32},
    };
    // Without time of their own the frames are shown back to back, and each
    // after the first (the end's too) takes a millisecond.
    for (const Case& c : cases) {
        HeadlessAdvance(1);  // a fresh millisecond for the first frame
        int presents = Presents();
        uint32_t t0 = PlatTicks();
        (c.x ? QuakeX : QuakeY)(c.amplitude, c.duration);
        EXPECT_EQ(Presents() - presents, c.frames + 1) << c.amplitude << "," << c.duration;
        EXPECT_EQ(PlatTicks() - t0, c.ms) << c.amplitude << "," << c.duration;
        ExpectShownIsDest();
    }
}

TEST_F(QuakeTest, CommandsReadAmplitudeAndDuration) {
    uint32_t t0 = PlatTicks();
    EXPECT_TRUE(Run(Cmd_quakex, "1, 80 * 2"));
    EXPECT_TRUE(Run(Cmd_quakey, "1,160"));
    EXPECT_TRUE(Run(Cmd_quake, "4,200"));
    EXPECT_EQ(PlatTicks() - t0, 520u);
}

TEST_F(QuakeTest, FlushOutEndsAllWhite) {
    strcpy(BgSurface.tag, "bg.bmp");
    strcpy(DestSurface.tag, "x");
    AssignString(&BgName, "bg.bmp");
    DirtyRect = ScreenRect{1, 2, 3, 4};
    int presents = Presents();
    uint32_t t0 = PlatTicks();
    EXPECT_TRUE(Run(Cmd_flushout, "270"));
    EXPECT_EQ(Presents() - presents, 29);  // 28 frames and the white end
    EXPECT_EQ(PlatTicks() - t0, 280u);     // 28 frames of 270 / 27 ms
    for (Surface* s : {&DestSurface, &SrcSurface, &BgSurface}) {
        EXPECT_EQ(s->tag[0], 0);
        for (int y = 0; y < 48; y += 7)
            for (int x = 0; x < 64; x += 7) ASSERT_EQ(PixelAt(*s, x, y), kWhite);
    }
    EXPECT_EQ(Shown(5, 5), kWhite);
    EXPECT_STREQ(BgName.text ? BgName.text : "", "bg.bmp");
    EXPECT_EQ(WorkSurface.transMode, TransCopy);
    EXPECT_EQ(WorkSurface.alpha, 64);
    EXPECT_EQ(DirtyRect.right, 3);
    EXPECT_EQ(DirtyRect.bottom, 4);

    // A negative duration waits no time, its frames shown back to back
    // taking a millisecond each after the first; yugami is the same command.
    HeadlessAdvance(1);
    t0 = PlatTicks();
    EXPECT_TRUE(Run(Cmd_yugami, "-1"));
    EXPECT_EQ(PlatTicks() - t0, 28u);
}

TEST_F(QuakeTest, PanoramaWarpsOnlyWhatIsShown) {
    Make24(&BgSurface, 64, 48, [](int x, int y) { return Bgr{(uint8_t)(y * 5), (uint8_t)x, 0}; });
    DirtyRect = ScreenRect{1, 2, 3, 4};
    EXPECT_TRUE(Run(Cmd_panoramatest, ""));
    EXPECT_EQ(DirtyRect.left, 1);
    EXPECT_EQ(DirtyRect.bottom, 4);
    EXPECT_EQ(PixelAt(DestSurface, 0, 0), Gradient(0, 0));
    // The centre column is untouched; the edge columns lose
    // |trunc((1 - cos(-32 * 3.14 / 64)) * 64 / 24)| = 2 lines at each end
    // and are stretched.
    for (int y = 0; y < 48; y++) ASSERT_EQ(Shown(32, y), (Bgr{(uint8_t)(y * 5), 32, 0})) << y;
    EXPECT_GE(Shown(0, 0)[0], 5);
    EXPECT_LE(Shown(0, 47)[0], 230);
    EXPECT_EQ(Shown(0, 0)[1], 0);
    // A next paint shows the picture again.
    PlatPresent(DestSurface.dib.bits, 64, 48);
    ExpectShownIsDest();
}

TEST_F(QuakeTest, PanoramaOnAFlatScreen) {
    ScreenWidth = 640, ScreenHeight = 3;
    RebuildScreenSurfaces();
    FillSurfaceRect(&BgSurface, 0, 0, 640, 3, 0xFFFFFF);
    PanoramaTest();  // edge columns would lose more lines than there are
    EXPECT_EQ(Shown(0, 1), kWhite);
}

// Games caught mid-shake through their last frame: the shake starts a few
// ms after the start-up's half second and a timed wait of one second.
const long long kShakeStart = 1500;
struct Caught {
    int dx, dy;
};
Caught CatchShake(const std::string& command, long long at_ms) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "grad.bmp", Bmp24(320, 240, [](int x, int y) {
                      return Bgr{(uint8_t)(x % 200), (uint8_t)(y % 200), 7};
                  }));
    WriteScript(dir, ";mode320\n*define\ngame\n*start\nbg \"grad.bmp\",1\nwait 1000\n" +
                         command + "\nend\n");
    RunOptions opt;
    opt.frame_out = dir + "/frame.bmp";
    opt.max_ms = at_ms;
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 124) << r.err;
    std::string bmp;
    if (!ReadGameFileBytes(dir, "frame.bmp", &bmp) || bmp.size() < 54) return Caught{999, 999};
    Frame f;
    f.w = 320, f.h = 240, f.bmp = bmp;
    Bgr centre = f.At(100, 100);
    Caught c{100 - centre[0], 100 - centre[1]};
    // The strips the shifted picture leaves are black.
    if (c.dx > 0) {
        EXPECT_EQ(f.At(c.dx - 1, 120), kBlack);
    }
    if (c.dx < 0) {
        EXPECT_EQ(f.At(320 + c.dx, 120), kBlack);
    }
    if (c.dy > 0) {
        EXPECT_EQ(f.At(160, c.dy - 1), kBlack);
    }
    if (c.dy < 0) {
        EXPECT_EQ(f.At(160, 240 + c.dy), kBlack);
    }
    return c;
}

TEST(QuakeGames, FramesMidShake) {
    // quakex 1,800: frames of 50 ms at 0, 4, 8, 12, 16, 12, 8, 4, 0, -4 ...
    struct Case {
        std::string command;
        int frame, dx, dy;
    } cases[] = {
        {"quakex 1,800", 2, 8, 0},   {"quakex 1,800", 4, 16, 0}, {"quakex 1,800", 12, -16, 0},
        {"quakex 2,1600", 17, 4, 0},  // second pass, step 4
        {"quakey 1,800", 3, 0, 9},   {"quakey 1,800", 13, 0, -9},
    };
    for (const Case& c : cases) {
        Caught got = CatchShake(c.command, kShakeStart + 50 * c.frame + 25);
        EXPECT_EQ(got.dx, c.dx) << c.command << " frame " << c.frame;
        EXPECT_EQ(got.dy, c.dy) << c.command << " frame " << c.frame;
    }
    // quake 2: offsets in -6..6 in steps of 2.
    for (long long at : {kShakeStart + 50, kShakeStart + 150, kShakeStart + 250}) {
        Caught got = CatchShake("quake 2,1000", at);
        EXPECT_TRUE(got.dx % 2 == 0 && got.dx >= -6 && got.dx <= 6) << got.dx;
        EXPECT_TRUE(got.dy % 2 == 0 && got.dy >= -6 && got.dy <= 6) << got.dy;
    }
}

TEST(QuakeGames, FlushOutFramesGrowBrighter) {
    // Frames of 100 ms: each the centre brightened by 8 i laid over the
    // last at 64 / 255, so a flat grey brightens step by step to white.
    int last = 100;
    for (int frame : {0, 1, 5, 20}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, ";mode320\n*define\ngame\n*start\nbg \"#646464\",1\nwait 1000\n"
                         "flushout 2700\nend\n");
        RunOptions opt;
        opt.frame_out = dir + "/frame.bmp";
        opt.max_ms = kShakeStart + 100 * frame + 50;
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, 124) << r.err;
        std::string bmp;
        ASSERT_TRUE(ReadGameFileBytes(dir, "frame.bmp", &bmp));
        Frame f;
        f.w = 320, f.h = 240, f.bmp = bmp;
        Bgr p = f.At(160, 120);
        EXPECT_EQ(p, f.At(3, 3)) << frame;  // flat all over
        EXPECT_GT((int)p[0], last) << frame;
        EXPECT_LT((int)p[0], 255) << frame;
        last = p[0];
    }
}

}  // namespace
