// The lookback viewer in whole games: a wheel turn up in a click wait opens
// it on the newest page, a second turn shows the older one (read from the
// last frame, in the lookback colour), and the click that closes the viewer
// does not end the click wait.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/support/game_folder.h"

namespace {

// 0xRRGGBB of a pixel of a 24-bit bottom-up BMP file's bytes.
uint32_t BmpPixel(const std::string& bmp, int x, int y) {
    int32_t w = 0, h = 0;
    memcpy(&w, &bmp[18], 4);
    memcpy(&h, &bmp[22], 4);
    size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3;
    size_t at = 54 + (size_t)(h - 1 - y) * stride + 3 * (size_t)x;
    if (at + 3 > bmp.size()) return 0xFFFFFFFF;
    return (uint32_t)(uint8_t)bmp[at + 2] << 16 | (uint32_t)(uint8_t)bmp[at + 1] << 8 | (uint8_t)bmp[at];
}

// Two pages ("■■" the older, "いい" the newer), then a click wait.
const char* kStory =
    "*define\nlookbackcolor #20c0f0\ngame\n*start\n"
    "■■\\\nいい\\\n"
    "resettimer\nう@\ngettimer %0\n"
    "if %0 < 350 fail_the_viewer_click_ended_the_wait\n"
    "end\n";

TEST(LookbackGames, WheelOpensAndTurnsToTheOlderPage) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, kStory);
    RunOptions o;
    o.events = "1000 click 5 5\n1100 click 5 5\n1300 wheel 1\n1400 wheel 1\n";
    o.max_ms = 1600;
    o.frame_out = dir + "/frame.bmp";
    RunResult r = RunGame(dir, o);
    EXPECT_EQ(r.status, 124) << r.err;  // still in the viewer
    std::string bmp;
    ASSERT_TRUE(ReadGameFileBytes(dir, "frame.bmp", &bmp));
    // The middle of the first cell (origin 21, 16, cells of 26).
    EXPECT_EQ(BmpPixel(bmp, 21 + 13, 16 + 13), 0x20C0F0u);
}

TEST(LookbackGames, TheClosingClickDoesNotEndTheWait) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, kStory);
    RunOptions o;
    // Opened at 1300, closed by the click at 1400; the wait ends at 1600.
    o.events = "1000 click 5 5\n1100 click 5 5\n1300 wheel 1\n1400 click 5 5\n1600 click 5 5\n";
    o.max_ms = 5000;
    RunResult r = RunGame(dir, o);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

}  // namespace
