// Pictures survive a save: the frame a loaded game shows equals the frame
// shown when it was saved (background colour, sprites, a standing picture).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/game_folder.h"

namespace {

// A 24-bit BMP of w x h: a solid colour with a frame of another one.
std::string Bmp(int w, int h, uint32_t inner, uint32_t border) {
    int stride = (w * 3 + 3) & ~3;
    std::string b(54 + size_t(stride) * h, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; i++) b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, uint32_t(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            put(54 + size_t(y) * stride + size_t(x) * 3, edge ? border : inner, 3);
        }
    return b;
}

}  // namespace

TEST(SlotFrames, LoadedGameShowsTheFrameItSavedWith) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "a.bmp", Bmp(40, 30, 0x00ff00, 0x0000ff));
    WriteGameFile(dir, "b.bmp", Bmp(60, 90, 0xff0000, 0xffffff));
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "savefileexist %5,1\n"
                "if %5 = 1 loadgame 1\n"
                "bg \"#336699\",1\n"
                "lsp 5,\":c;a.bmp\",100,120\n"
                "lsp 6,\"b.bmp\",300,50\n"
                "ld l,\"b.bmp\",1\n"
                "savegame 1\n"
                "end\n");
    RunOptions opt;
    opt.frame_out = dir + "/saved.bmp";
    RunResult r = RunGame(dir, opt);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;

    // The second run loads before drawing anything and ends right there.
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "savefileexist %5,1\n"
                "if %5 = 1 loadgame 1\n"
                "bg \"white\",1\n"
                "lsp 5,\"b.bmp\",0,0\n"
                "lsp 6,\"b.bmp\",0,0\n"
                "ld r,\"a.bmp\",1\n"
                "savegame 2\n"
                "end\n");
    opt.frame_out = dir + "/loaded.bmp";
    r = RunGame(dir, opt);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;

    std::string saved, loaded;
    ASSERT_TRUE(ReadGameFileBytes(dir, "saved.bmp", &saved));
    ASSERT_TRUE(ReadGameFileBytes(dir, "loaded.bmp", &loaded));
    ASSERT_EQ(saved.size(), loaded.size());
    EXPECT_TRUE(saved == loaded) << "the loaded frame differs";
    // And the frame is not the background alone: a sprite's green is there.
    EXPECT_NE(saved.find(std::string("\x00\xff\x00", 3)), std::string::npos);
}

// getscreenshot shrinks the shown picture; savescreenshot writes it.
TEST(SlotFrames, ScreenshotOfTheShownPicture) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\ngame\n*start\n"
                "bg \"#102030\",1\n"
                "getscreenshot 64,48\n"
                "savescreenshot2 \"a.bmp\"\n"
                "savescreenshot \"b.bmp\"\n"
                "savescreenshot \"c.bmp\"\n"
                "end\n");
    RunResult r = RunGame(dir);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
    std::string a, b, c;
    ASSERT_TRUE(ReadGameFileBytes(dir, "a.bmp", &a));
    ASSERT_TRUE(ReadGameFileBytes(dir, "b.bmp", &b));
    EXPECT_FALSE(ReadGameFileBytes(dir, "c.bmp", &c));  // released by the first savescreenshot
    EXPECT_EQ(a, b);
    ASSERT_GT(a.size(), 54u);
    EXPECT_EQ(uint8_t(a[18]), 64);
    EXPECT_EQ(uint8_t(a[22]), 48);
    EXPECT_EQ(a.substr(54, 3), std::string("\x30\x20\x10", 3));
}
