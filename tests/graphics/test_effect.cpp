// Transitions run in-process on small screens under the virtual clock: the
// pixels of chosen middle frames (caught by a message that arrives at a
// given time and copies the frame shown) and of the end state of every
// kind, the durations under the speed modes and the skip rules, clicks that
// cut a transition short, and the fatal errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/effect_kernels.h"
#include "graphics/screen.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"
#include "ui/traps.h"

namespace {

enum : uint32_t { SnapMessage = WM_USER + 0x321 };

// The frames caught while a transition runs, in the order caught.
std::vector<std::vector<uint8_t>> Snaps;

intptr_t EffectProc(uint32_t message, uintptr_t, intptr_t) {
    if (message == SnapMessage) {
        const uint8_t* bits;
        int w, h;
        if (HeadlessLastFrame(&bits, &w, &h))
            Snaps.emplace_back(bits, bits + (size_t)DibStride(24, w) * h);
    } else if (message == WM_LBUTTONDOWN) {
        Clicked = 1;
    }
    return 0;
}

Bgr PixelOf(const Dib& d, int x, int y) {
    const uint8_t* p = DibRow(&d, y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}
Bgr PixelOf(const std::vector<uint8_t>& frame, int x, int y) {
    const uint8_t* p = frame.data() + (size_t)DibStride(24, ScreenWidth) * (ScreenHeight - 1 - y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}

// Old picture: red 100, blue = x, green = y; new picture: red 200.
Bgr OldAt(int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 100}; }
Bgr NewAt(int x, int y) { return Bgr{(uint8_t)x, (uint8_t)y, 200}; }

void Paint(Surface* s, const std::function<Bgr(int, int)>& f) {
    for (int y = 0; y < ScreenHeight; y++)
        for (int x = 0; x < ScreenWidth; x++) memcpy(DibRow(&s->dib, y) + 3 * x, f(x, y).data(), 3);
}

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        PlatSetWindowProc(EffectProc);
        while (PlatGetMessage(nullptr)) {}
        Snaps.clear();
        EffectSpeed = 0, EffectSkip = 1, EffectCut = 0, EffectBlank = 30;
        SkipMode = 0, Clicked = 0;
        Traps.label[0] = 0;
        ClearDirtyRect();
        Screen(32, 16, OldAt, NewAt);
    }
    void TearDown() override {
        while (PlatGetMessage(nullptr)) {}
        PlatSetWindowProc(nullptr);
        ScreenWidth = 640, ScreenHeight = 480;
        SkipMode = 0, Clicked = 0;
        EffectSpeed = 0, EffectSkip = 1, EffectCut = 0, EffectBlank = 30;
        Traps.label[0] = 0;
        ClearDirtyRect();
    }
    // A screen of that size showing the old picture, the new one composed.
    void Screen(int w, int h, std::function<Bgr(int, int)> old_at,
                std::function<Bgr(int, int)> new_at) {
        ScreenWidth = w, ScreenHeight = h;
        RebuildScreenSurfaces();
        Paint(&DestSurface, old_at);
        Paint(&SrcSurface, new_at);
        PlatPresent(DestSurface.dib.bits, w, h);
    }
    // Runs the transition with frames caught at these ms after its start;
    // the virtual ms it lasted.
    uint64_t Run(int kind, int duration, const ScreenRect* rect = nullptr,
                 std::vector<uint64_t> snaps = {}, const char* rule = "") {
        // A frame shown in the virtual millisecond of the frame before takes
        // a millisecond: each run starts in a fresh one.
        HeadlessAdvance(1);
        uint64_t start = HeadlessElapsed();
        for (uint64_t t : snaps) HeadlessInjectAt(start + t, SnapMessage, 0, 0);
        RunEffect(rule, kind, duration, rect);
        return HeadlessElapsed() - start;
    }
    void ExpectFrame(const std::vector<uint8_t>& frame, const std::function<Bgr(int, int)>& want,
                     const std::string& what) {
        int bad = 0;
        for (int y = 0; y < ScreenHeight && bad < 3; y++)
            for (int x = 0; x < ScreenWidth && bad < 3; x++) {
                Bgr got = PixelOf(frame, x, y), w = want(x, y);
                if (got != w) {
                    bad++;
                    ADD_FAILURE() << what << " at (" << x << "," << y << "): got " << (int)got[0]
                                  << "," << (int)got[1] << "," << (int)got[2] << " want "
                                  << (int)w[0] << "," << (int)w[1] << "," << (int)w[2];
                }
            }
    }
    std::vector<uint8_t> DestBytes() {
        return std::vector<uint8_t>(DestSurface.dib.bits,
                                    DestSurface.dib.bits + DestSurface.dib.imageBytes);
    }
};

// Old or new by a test of the pixel.
std::function<Bgr(int, int)> NewWhere(std::function<bool(int, int)> is_new) {
    return [is_new](int x, int y) { return is_new(x, y) ? NewAt(x, y) : OldAt(x, y); };
}

// Middle frames of the line kinds on a 64 x 32 screen: the frame shown just
// after step `step` was drawn, each step `interval` ms long.
TEST_F(EffectTest, LineKindsMiddleFrames) {
    struct Case {
        int kind, duration, interval, step;
        std::function<bool(int, int)> is_new;
    } cases[] = {
        // blinds: 16 steps of duration / 16; columns or rows s, s+16, ...
        {2, 160, 10, 2, [](int x, int) { return x % 16 <= 2; }},
        {3, 160, 10, 2, [](int x, int) { return x % 16 >= 13; }},
        {4, 160, 10, 4, [](int, int y) { return y % 16 <= 4; }},
        {5, 160, 10, 0, [](int, int y) { return y % 16 == 15; }},
        // horizontal curtain (W = 64): steps p = 0, 24, 48, ... copy the
        // columns p - 23i; interval 64 * 4800 / 30720 = 10
        {6, 4800, 10, 2, [](int x, int) { return x == 0 || x == 1 || x == 2 || x == 24 || x == 25 || x == 48; }},
        // right to left from L = 64 * 1170 / 640 - 1 = 116: p = 116, 92
        {7, 4800, 10, 1, [](int x, int) { return x == 47 || x == 24 || x == 1 || x == 46 || x == 23 || x == 0; }},
        // vertical curtain (H = 32): L = 32 * 1010 / 480 - 1 = 66, interval
        // 32 * 6300 / 20160 = 10; p = 0, 24: rows 0, 24, 1
        {8, 6300, 10, 1, [](int, int y) { return y == 0 || y == 24 || y == 1; }},
        // p = 66, 42: rows 66 - 23i = 20 and 42 - 23i = 19
        {9, 6300, 10, 1, [](int, int y) { return y == 20 || y == 19; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        Screen(64, 32, OldAt, NewAt);
        Snaps.clear();
        Run(c.kind, c.duration, nullptr, {(uint64_t)(c.interval * c.step)});
        ASSERT_EQ(Snaps.size(), 1u);
        ExpectFrame(Snaps[0], NewWhere(c.is_new), "middle frame");
        // DestSurface kept the old picture until the finish, which shows it all.
        ExpectFrame(DestBytes(), NewAt, "end state");
    }
}

// The blinds over a rectangle touch only its columns, and the finish only
// the rectangle; an area reaching past the screen is cut at its edge.
TEST_F(EffectTest, BlindsInsideTheRectangle) {
    ScreenRect r{3, 2, 40, 20};  // right and bottom past the 32 x 16 screen
    Run(2, 160, &r, {10});
    ASSERT_EQ(Snaps.size(), 1u);
    auto in = [](int x, int y) { return x >= 3 && y >= 2; };
    ExpectFrame(Snaps[0], NewWhere([&](int x, int y) { return in(x, y) && (x - 3) % 16 <= 1; }),
                "step 1");
    ExpectFrame(DestBytes(), NewWhere(in), "end state");
}

// Scrolls move the whole screen whatever the rectangle: 8 columns or 6 rows
// a step, the new strip coming in at the uncovered edge.
TEST_F(EffectTest, ScrollsMoveTheWholeScreen) {
    struct Case {
        int kind, duration, step;
        std::function<Bgr(int, int)> want;
    } cases[] = {
        // 32 x 16: interval 32 * 16000 / 51200 = 10; after 2 steps the new
        // columns 16..31 stand at 0..15 and the old 0..15 at 16..31.
        {11, 16000, 1, [](int x, int y) { return x < 16 ? NewAt(x + 16, y) : OldAt(x - 16, y); }},
        {12, 16000, 1, [](int x, int y) { return x >= 16 ? NewAt(x - 16, y) : OldAt(x + 16, y); }},
        // interval 16 * 24000 / 38400 = 10; 6 rows a step from y = 10, 4
        {13, 24000, 0, [](int x, int y) { return y < 6 ? NewAt(x, y + 10) : OldAt(x, y - 6); }},
        // y = 0, 6: after 2 steps rows 0..3 show old rows 12..15
        {14, 24000, 1, [](int x, int y) { return y < 4 ? OldAt(x, y + 12) : NewAt(x, y - 4); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind));
        Screen(32, 16, OldAt, NewAt);
        Snaps.clear();
        ScreenRect small{0, 0, 1, 1};
        Run(c.kind, c.duration, &small, {(uint64_t)(10 * c.step)});
        ASSERT_EQ(Snaps.size(), 1u);
        ExpectFrame(Snaps[0], c.want, "middle frame");
        // Only the rectangle reaches DestSurface.
        EXPECT_EQ(PixelOf(DestSurface.dib, 1, 1), NewAt(1, 1));
        EXPECT_EQ(PixelOf(DestSurface.dib, 5, 5), OldAt(5, 5));
    }
}

// The crossfade: new 255 and old 0 make every byte the level it was blended
// at.  2560 ms: the level grows by 1 every 10 ms (duration / 256), odd
// bytes in even frames, even bytes in odd frames.
TEST_F(EffectTest, CrossfadeLevelsAndParity) {
    Screen(8, 4, [](int, int) { return kBlack; }, [](int, int) { return kWhite; });
    uint64_t lasted = Run(10, 2560, nullptr, {40, 50});
    ASSERT_EQ(Snaps.size(), 2u);
    // Frame 4 is level 5 on odd bytes, even bytes still at level 4 (frame 3).
    const uint8_t* row = Snaps[0].data();
    EXPECT_EQ(row[0], 4);
    EXPECT_EQ(row[1], 5);
    EXPECT_EQ(row[2], 4);
    EXPECT_EQ(row[23], 5);
    EXPECT_EQ(Snaps[1][0], 6);
    EXPECT_EQ(Snaps[1][1], 5);
    // Level 255 is reached at frame 254; then the finish (a frame shown in
    // the millisecond of the last step's, which takes one more) and the pause.
    EXPECT_EQ(lasted, 2540u + 1u + 30u);
    ExpectFrame(DestBytes(), [](int, int) { return kWhite; }, "end state");
}

// Blend values are ProductTable's: PT[level][new] + PT[255 - level][old].
TEST_F(EffectTest, CrossfadeBlendsThroughTheProductTable) {
    for (uint32_t a = 0; a < 256; a++)
        for (uint32_t b = 0; b < 256; b++) ASSERT_EQ(Div255Product(a, b), ProductTable[a][b]);
    Screen(4, 2, [](int, int) { return Bgr{10, 100, 250}; }, [](int, int) { return Bgr{200, 30, 7}; });
    CrossfadeStep(&WorkSurface.dib, &SrcSurface.dib, &DestSurface.dib, 0, 0, 4, 2, 77, 0);
    const uint8_t* p = DibRow(&WorkSurface.dib, 0);
    EXPECT_EQ(p[0], ProductTable[77][200] + ProductTable[178][10]);
    EXPECT_EQ(p[1], 0);  // odd bytes untouched in an even frame
    EXPECT_EQ(p[2], ProductTable[77][7] + ProductTable[178][250]);
}

// A rule picture of 16 x 4 whose blue byte is 16x + y, repeated over the
// 32 x 16 screen.
std::string RuleBmp() {
    return Bmp24(16, 4, [](int x, int y) { return Bgr{(uint8_t)(16 * x + y), 0, 0}; });
}
int RuleAt(int x, int y) { return 16 * (x % 16) + y % 4; }

class RuleEffectTest : public EffectTest {
protected:
    void SetUp() override {
        EffectTest::SetUp();
        saved = PlatGameDir();
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "rule.bmp", RuleBmp());
        PlatSetGameDir(dir.c_str());
        Screen(32, 16, [](int, int) { return kBlack; }, [](int, int) { return kWhite; });
    }
    void TearDown() override {
        PlatSetGameDir(saved.c_str());
        EffectTest::TearDown();
    }
    std::string saved;
};

// Rule wipe over 2560 ms: the threshold grows by 1 every 10 ms; a pixel
// switches when its rule value is at most the threshold.
TEST_F(RuleEffectTest, RuleWipeThresholds) {
    uint64_t lasted = Run(15, 2560, nullptr, {0, 200}, "rule.bmp");
    ASSERT_EQ(Snaps.size(), 2u);
    ExpectFrame(Snaps[0], [](int x, int y) { return RuleAt(x, y) <= 1 ? kWhite : kBlack; }, "threshold 1");
    ExpectFrame(Snaps[1], [](int x, int y) { return RuleAt(x, y) <= 21 ? kWhite : kBlack; }, "threshold 21");
    EXPECT_EQ(lasted, 2540u + 30u);
    ExpectFrame(DestBytes(), [](int, int) { return kWhite; }, "end state");
}

// Rule soft fade over 5120 ms: the level grows by 1 every 10 ms; a pixel is
// level - rule of the way to the new colour (here that many steps of 255).
TEST_F(RuleEffectTest, RuleFadeLevels) {
    uint64_t lasted = Run(18, 5120, nullptr, {300, 3000}, "rule.bmp");
    ASSERT_EQ(Snaps.size(), 2u);
    auto level = [](int lv) {
        return [lv](int x, int y) {
            int d = std::clamp(lv - RuleAt(x, y), 0, 255);
            return Bgr{(uint8_t)d, (uint8_t)d, (uint8_t)d};
        };
    };
    ExpectFrame(Snaps[0], level(31), "level 31");
    ExpectFrame(Snaps[1], level(301), "level 301");
    EXPECT_EQ(lasted, 5110u + 30u);
    ExpectFrame(DestBytes(), [](int, int) { return kWhite; }, "end state");
}

TEST_F(RuleEffectTest, RuleKindsNeedARulePicture) {
    for (int kind : {15, 18})
        EXPECT_EQ(FatalBoxOf([&] { RunEffect("", kind, 100, nullptr); }, true),
                  "エラー: エフェクトの三番目の画像指定がありません。");
    // At speed 2 every kind is instant and needs none.
    EffectSpeed = 2;
    EXPECT_EQ(Run(15, 100), 0u);
    ExpectFrame(DestBytes(), [](int, int) { return kWhite; }, "end state");
}

// Mosaics: blocks from the bottom-left corner, each of its own bottom-left
// pixel's colour (old picture blue = x, green = y).
Bgr MosaicAt(int s, int x, int y, int h, Bgr (*pic)(int, int)) {
    return pic(x / s * s, h - 1 - (h - 1 - y) / s * s);
}

TEST_F(EffectTest, MosaicOutKeepsTheMosaic) {
    // W < 640: blocks 5, 10, 20, 40, 80 with the interval doubled to 20.
    Clicked = 0;
    uint64_t lasted = Run(16, 100, nullptr, {20});
    ASSERT_EQ(Snaps.size(), 1u);
    ExpectFrame(Snaps[0], [](int x, int y) { return MosaicAt(10, x, y, 16, OldAt); }, "blocks of 10");
    EXPECT_EQ(lasted, 5u * 20u + 30u);
    // No finish: DestSurface keeps the coarsest mosaic, the screen is dirty.
    ExpectFrame(DestBytes(), [](int x, int y) { return MosaicAt(80, x, y, 16, OldAt); }, "end state");
    EXPECT_EQ(DirtyRect.left, 0);
    EXPECT_EQ(DirtyRect.top, 0);
    EXPECT_EQ(DirtyRect.right, 31);
    EXPECT_EQ(DirtyRect.bottom, 15);
}

TEST_F(EffectTest, MosaicInResolvesTheNewPicture) {
    ScreenRect small{2, 2, 3, 3};  // the whole screen in any case
    Run(17, 100, &small, {20});
    ASSERT_EQ(Snaps.size(), 1u);
    ExpectFrame(Snaps[0], [](int x, int y) { return MosaicAt(40, x, y, 16, NewAt); }, "blocks of 40");
    ExpectFrame(DestBytes(), NewAt, "end state");
}

TEST_F(EffectTest, HoldKeepsTheOldPicture) {
    HeadlessInjectAt(HeadlessElapsed() + 5, WM_LBUTTONDOWN, 0, 0);
    uint64_t lasted = Run(90, 500);
    EXPECT_EQ(lasted, 500u + 30u);  // clicks do not end it
    ExpectFrame(DestBytes(), OldAt, "end state");
    EXPECT_EQ(DirtyRect.right, 31);
}

// Kind 0 does nothing; kind 1 shows the rectangle without the pause; the
// empty rectangle runs over the pixel at (0, 0).
TEST_F(EffectTest, NoneInstantAndEmptyRectangle) {
    DirtyRect = ScreenRect{1, 1, 2, 2};
    EXPECT_EQ(Run(0, 100), 0u);
    EXPECT_EQ(DirtyRect.right, 2);
    ExpectFrame(DestBytes(), OldAt, "after kind 0");
    ScreenRect empty{};
    EXPECT_EQ(Run(1, 100, &empty), 0u);
    EXPECT_EQ(DirtyRect.right, 0);
    ExpectFrame(DestBytes(), NewWhere([](int x, int y) { return x == 0 && y == 0; }), "after kind 1");
}

// How long a 800 ms blinds transition lasts under each setting.
TEST_F(EffectTest, SpeedAndSkipRules) {
    struct Case {
        int speed, skip, cut, skipping, blank;
        uint64_t lasts;
    } cases[] = {
        {0, 1, 0, 0, 30, 16 * 50 + 30},
        {1, 1, 0, 0, 30, 16 * 25 + 30},   // half the duration
        {2, 1, 0, 0, 30, 0},              // instant, no pause
        {0, 1, 0, 1, 30, 16 * 6 + 30},    // skipping: 800 / 8 = 100
        {0, 1, 1, 1, 30, 0},              // skipping with effectcut: instant
        {0, 0, 1, 1, 30, 16 * 50 + 30},   // effectskip off: skipping changes nothing
        {1, 1, 0, 1, 30, 16 * 3 + 30},    // 800 / 2 / 8 = 50
        {0, 1, 0, 0, -5, 16 * 50},        // a negative pause is none
        {0, 1, 0, 0, 0, 16 * 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "speed " << c.speed << " skip " << c.skip << " cut "
                                          << c.cut << " skipping " << c.skipping << " blank " << c.blank);
        EffectSpeed = c.speed, EffectSkip = c.skip, EffectCut = c.cut, SkipMode = c.skipping;
        EffectBlank = c.blank;
        Screen(32, 16, OldAt, NewAt);
        EXPECT_EQ(Run(2, 800), c.lasts);
        ExpectFrame(DestBytes(), NewAt, "end state");
    }
}

// Durations that come to 0 or below are instant for every kind that would
// divide by them or pause by them.
TEST_F(EffectTest, NoTimeLeftIsInstant) {
    for (int kind : {2, 4, 6, 8, 10, 11, 13, 17})
        for (int duration : {0, 1, -1000}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " duration " << duration);
            EffectSpeed = 1;
            Screen(32, 16, OldAt, NewAt);
            EXPECT_EQ(Run(kind, duration), 0u);
            ExpectFrame(DestBytes(), NewAt, "end state");
        }
}

// Intervals are worked out in 64 bits: 32 x 2e9 / 51200 ms a scroll step
// (the product overflows 32 bits); a click ends it after the first step,
// the finish's frame following the step's in its millisecond.
TEST_F(EffectTest, LongIntervalsDoNotOverflow) {
    HeadlessInjectAt(HeadlessElapsed() + 10, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(Run(11, 2000000000), 1250000u + 1u + 30u);
    ExpectFrame(DestBytes(), NewAt, "end state");
}

// A click ends a transition while effectskip is on; the finish uses it up
// unless a trap label is armed.  With effectskip off it runs to its end.
TEST_F(EffectTest, ClicksCutTransitionsShort) {
    struct Case {
        int skip;
        const char* trap;
        uint64_t lasts;
        int clicked_after;
    } cases[] = {
        // The step at 150 takes the click and ends; the finish's frame
        // follows the step's in its millisecond and takes one more.
        {1, "", 150 + 1 + 30, 0},
        {1, "trap", 150 + 1 + 30, 1},  // the trap label keeps the click
        {0, "", 800 + 30, 0},      // not cut; the click is used up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "skip " << c.skip << " trap " << c.trap);
        EffectSkip = c.skip;
        snprintf(Traps.label, sizeof Traps.label, "%s", c.trap);
        Screen(32, 16, OldAt, NewAt);
        HeadlessInjectAt(HeadlessElapsed() + 105, WM_LBUTTONDOWN, 0, 0);
        EXPECT_EQ(Run(2, 800), c.lasts);
        EXPECT_EQ(Clicked, c.clicked_after);
        ExpectFrame(DestBytes(), NewAt, "end state");
        Clicked = 0;
    }
}

TEST_F(EffectTest, FatalKinds) {
    EXPECT_EQ(FatalBoxOf([] { RunEffect("", -1, 100, nullptr); }, true),
              "エラー: 未定義のエフェクトを使いました");
    for (int kind : {19, 50, 89, 91, 100, -2})
        EXPECT_EQ(FatalBoxOf([&] { RunEffect("", kind, 100, nullptr); }, true),
                  "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。")
            << kind;
    // At speed 2 even an invalid kind is instant.
    EffectSpeed = 2;
    EXPECT_EQ(Run(50, 100), 0u);
}

// Kind 99 goes to the plug-in runner, which shows the area and pauses;
// at speed 2 it is instant.
TEST_F(EffectTest, PluginKind) {
    // The plug-in the text names is not there (the plug-in tests load one).
    EXPECT_EQ(FatalBoxOf([&] { Run(99, 500, nullptr, {}, "fx/a"); }, true),
              "エラー: エフェクトに指定したDLLが不正です");
    EffectSpeed = 2;
    Screen(32, 16, OldAt, NewAt);
    EXPECT_EQ(Run(99, 500, nullptr, {}, "fx/a"), 0u);
    ExpectFrame(DestBytes(), NewAt, "end state");
}

}  // namespace

namespace {

// The vector loops of the crossfade give ProductTable's sums for every
// level, at every byte position and parity, rows of any length.
TEST(EffectKernels, CrossfadeMatchesTheProductTable) {
    const int w = 45, h = 3;  // 135 bytes a row: vector blocks and a tail
    Dib src, old, work;
    ASSERT_TRUE(CreateDib(&src, w, h) && CreateDib(&old, w, h) && CreateDib(&work, w, h));
    uint32_t seed = 12345;
    auto next = [&] { return (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16); };
    for (int y = 0; y < h; y++)
        for (int i = 0; i < 3 * w; i++) DibRow(&src, y)[i] = next(), DibRow(&old, y)[i] = next();
    for (int level = 0; level < 256; level++)
        for (int parity : {0, 1, 2}) {
            memset(work.bits, 0x5A, (size_t)work.imageBytes);
            CrossfadeStep(&work, &src, &old, 1, 1, w - 1, 2, level, parity);
            for (int y = 0; y < h; y++)
                for (int i = 0; i < 3 * w; i++) {
                    int k = i - 3;  // offset from the area's first byte
                    bool in = y >= 1 && k >= 0 && (parity == 2 || (k & 1) == parity);
                    int want = in ? ProductTable[level][DibRow(&src, y)[i]] +
                                        ProductTable[255 - level][DibRow(&old, y)[i]]
                                  : 0x5A;
                    ASSERT_EQ(DibRow(&work, y)[i], want)
                        << "level " << level << " parity " << parity << " row " << y << " byte " << i;
                }
        }
    for (Dib* d : {&src, &old, &work}) FreeDib(d);
}

}  // namespace

namespace {

// The rule wipe's vector loop against the rule itself: every pixel whose
// blue rule byte is at most the threshold, and no other, takes the new
// colour, and only its blue rule byte becomes 255.
TEST(EffectKernels, RuleWipeSwitchesExactlyThePixelsAtOrBelowTheThreshold) {
    const int w = 37, h = 2;  // two blocks of 16 pixels and a tail, from x = 1
    Dib src, dest, rule;
    ASSERT_TRUE(CreateDib(&src, w, h) && CreateDib(&dest, w, h) && CreateDib(&rule, w, h));
    uint32_t seed = 99;
    auto next = [&] { return (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16); };
    for (int threshold : {0, 1, 77, 128, 254, 255}) {
        std::vector<uint8_t> r0, d0;
        for (Dib* d : {&src, &dest, &rule})
            for (int i = 0; i < d->imageBytes; i++) d->bits[i] = next();
        r0.assign(rule.bits, rule.bits + rule.imageBytes);
        d0.assign(dest.bits, dest.bits + dest.imageBytes);
        RuleWipeStep(&dest, &src, &rule, 1, 0, w - 1, h, threshold);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                size_t at = (size_t)GetRowOffset(&rule, y) + 3 * x;
                bool on = x >= 1 && r0[at] <= threshold;
                for (int c = 0; c < 3; c++) {
                    ASSERT_EQ(dest.bits[at + c], on ? src.bits[at + c] : d0[at + c])
                        << "threshold " << threshold << " (" << x << "," << y << ")";
                    ASSERT_EQ(rule.bits[at + c], on && c == 0 ? 255 : r0[at + c]);
                }
            }
    }
    for (Dib* d : {&src, &dest, &rule}) FreeDib(d);
}

}  // namespace

namespace {

// The kernels at every vector width this machine has, then back at its
// widest.
struct VectorWidths : ::testing::TestWithParam<int> {
    void SetUp() override {
        if (SetEffectVectorBits(GetParam()) != GetParam()) GTEST_SKIP() << "no " << GetParam() << "-bit vectors";
    }
    void TearDown() override { SetEffectVectorBits(512); }
};
INSTANTIATE_TEST_SUITE_P(EffectKernels, VectorWidths, ::testing::Values(512, 256, 128, 0));

// Every level against every byte value on both sides: byte pairs 2v, 2v + 1
// of a 171-pixel row hold v (new) and a permutation of v (old), so each
// parity meets all 256 values, in full vector blocks and the tail.
TEST_P(VectorWidths, CrossfadeProductsAreExactForEveryLevelAndByte) {
    const int w = 171;  // 513 bytes
    Dib src, old, work;
    ASSERT_TRUE(CreateDib(&src, w, 1) && CreateDib(&old, w, 1) && CreateDib(&work, w, 1));
    for (int i = 0; i < 3 * w; i++) {
        int v = (i >> 1) & 255;
        src.bits[i] = (uint8_t)v, old.bits[i] = (uint8_t)((v * 97 + 13) & 255);
    }
    for (int level = 0; level < 256; level++)
        for (int parity : {0, 1, 2}) {
            memset(work.bits, 0xA5, (size_t)work.imageBytes);
            CrossfadeStep(&work, &src, &old, 0, 0, w, 1, level, parity);
            for (int i = 0; i < 3 * w; i++) {
                bool in = parity == 2 || (i & 1) == parity;
                int want = in ? ProductTable[level][src.bits[i]] + ProductTable[255 - level][old.bits[i]]
                              : 0xA5;
                ASSERT_EQ(work.bits[i], want) << "level " << level << " parity " << parity << " byte " << i;
            }
        }
    for (Dib* d : {&src, &old, &work}) FreeDib(d);
}

// A whole frame of a screen-sized area (written around the caches) gives
// the same bytes as the table, on rows that start at every alignment, and
// leaves the row above the area alone.
TEST_P(VectorWidths, LargeCrossfadeFramesMatchTheProductTable) {
    const int w = 1030, h = 1020;  // 1030 x 1019 blended: just above a million pixels
    Dib src, old, work;
    ASSERT_TRUE(CreateDib(&src, w, h) && CreateDib(&old, w, h) && CreateDib(&work, w, h));
    uint32_t seed = 777;
    auto next = [&] { return (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16); };
    for (int i = 0; i < src.imageBytes; i++) src.bits[i] = next(), old.bits[i] = next();
    for (int level : {1, 128, 254, 255}) {
        memset(work.bits, 0x3C, (size_t)work.imageBytes);
        CrossfadeStep(&work, &src, &old, 0, 1, w, h - 1, level, 2);
        for (int y = 0; y < h; y++) {
            const uint8_t *o = DibRow(&work, y), *s = DibRow(&src, y), *d = DibRow(&old, y);
            for (int i = 0; i < 3 * w; i++)
                ASSERT_EQ(o[i], y == 0 ? 0x3C : ProductTable[level][s[i]] + ProductTable[255 - level][d[i]])
                    << "level " << level << " row " << y << " byte " << i;
        }
    }
    for (Dib* d : {&src, &old, &work}) FreeDib(d);
}

// The rule wipe on rows of several 64-pixel blocks and a tail, from an
// even and an odd pixel: pixels whose blue byte sits at the end of one
// vector or spans two switch whole, and nothing else changes.
TEST_P(VectorWidths, RuleWipeOnLongRowsSwitchesWholePixels) {
    const int w = 200, h = 3;
    Dib src, dest, rule;
    ASSERT_TRUE(CreateDib(&src, w, h) && CreateDib(&dest, w, h) && CreateDib(&rule, w, h));
    uint32_t seed = 4242;
    auto next = [&] { return (uint8_t)((seed = seed * 1103515245u + 12345u) >> 16); };
    for (int left : {0, 1})
        for (int threshold : {0, 5, 100, 200, 254, 255}) {
            for (Dib* d : {&src, &dest, &rule})
                for (int i = 0; i < d->imageBytes; i++) d->bits[i] = next();
            std::vector<uint8_t> r0(rule.bits, rule.bits + rule.imageBytes);
            std::vector<uint8_t> d0(dest.bits, dest.bits + dest.imageBytes);
            RuleWipeStep(&dest, &src, &rule, left, 0, w - left, h, threshold);
            for (int y = 0; y < h; y++)
                for (int x = 0; x < w; x++) {
                    size_t at = (size_t)GetRowOffset(&rule, y) + 3 * x;
                    bool on = x >= left && r0[at] <= threshold;
                    for (int c = 0; c < 3; c++) {
                        ASSERT_EQ(dest.bits[at + c], on ? src.bits[at + c] : d0[at + c])
                            << "left " << left << " threshold " << threshold << " (" << x << "," << y << ")";
                        ASSERT_EQ(rule.bits[at + c], on && c == 0 ? 255 : r0[at + c]);
                    }
                }
        }
    for (Dib* d : {&src, &dest, &rule}) FreeDib(d);
}

}  // namespace
