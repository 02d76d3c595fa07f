// Movies in whole games: a tiny generated MPEG-1 movie (64x48, 10 pictures
// at 25 a second, with or without an MP2 tone) played by mpegplay2 with a
// click cutting it short and to its end, a file that does not decode, the
// movie command's rectangle, async and loop, movie stop, a switch of the
// display while a movie plays, and the AVI device.
// What was shown is read from the trace ("movie stop frames=N") and the
// last frame (--frame-out).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/media/media_files.h"
#include "tests/media/media_run.h"
#include "tests/sound/voice_files.h"

namespace {

std::string GameWithMovie(bool sound) {
    std::string dir = MakeGameFolder();
    MovieParams params;
    params.sound = sound;
    EXPECT_TRUE(WriteMovie(dir + "/op.mpg", params));
    return dir;
}

// Pixel (x, y) from the top of a 24-bit bottom-up BMP file: blue, green, red.
std::vector<int> PixelOf(const std::string& bmp, int x, int y) {
    int32_t w, h;
    uint32_t bits;
    memcpy(&w, bmp.data() + 18, 4);
    memcpy(&h, bmp.data() + 22, 4);
    memcpy(&bits, bmp.data() + 10, 4);
    int stride = (w * 3 + 3) & ~3;
    size_t at = bits + (size_t)(h - 1 - y) * stride + (size_t)x * 3;
    return {(uint8_t)bmp[at], (uint8_t)bmp[at + 1], (uint8_t)bmp[at + 2]};
}

// The picture whose grey is nearest to a shown grey (limited-range luma).
int FrameOfGrey(int shown) {
    int best = -1, diff = 1000;
    for (int i = 0; i < 10; i++) {
        int expect = (MovieGrey(i) - 16) * 255 / 219;
        if (std::abs(expect - shown) < diff) diff = std::abs(expect - shown), best = i;
    }
    return best;
}

TEST(MovieGames, Mpegplay2ClickEndAndBrokenFile) {
    std::string dir = GameWithMovie(true);
    WriteGameFile(dir, "bad.mpg", std::string(4000, '\x47'));
    TracedRun t = PlayTracedGame(
        dir,
        "*define\ngame\n*start\n"
        "mpegplay2 %1,\"op.mpg\",1\ngetret %2\n"       // the click at 190 ms ends it
        "if %1 != 1 fail_played\nif %2 != 1 fail_left_click\n"
        "mpegplay2 %3,\"op.mpg\",1\ngetret %4\n"       // a right click ends it
        "if %3 != 1 fail_played2\nif %4 != 0 fail_right_click\n"
        "mpegplay2 %5,\"op.mpg\",0\ngetret %6\n"       // clicks do not end it; it ends by itself
        "if %5 != 1 fail_played3\nif %6 != 1 fail_click_counted\n"
        "mpegplay2 %7,\"op.mpg\",0\ngetret %8\n"
        "if %8 != -1 fail_no_click\n"
        "mpegplay2 %9,\"bad.mpg\",1\nif %9 != 0 fail_broken\n"
        "mpegplay \"op.mpg\",0\n"
        "end\n",
        {At(190, "click 10 10") + At(400, "rclick 10 10") + At(600, "click 5 5"), "", ""});
    EXPECT_QUIET_END(t);
    std::vector<std::string> movie = TraceLines(t, "movie");
    ASSERT_EQ(movie.size(), 11u) << t.run.err;
    EXPECT_EQ(movie[0], "movie open \"op.mpg\" rect=0,0,640,480");
    EXPECT_EQ(movie[1], "movie stop frames=5");   // pictures at 0, 40, ..., 160 ms
    EXPECT_EQ(movie[5], "movie stop frames=10");  // to the end, the click only counted
    EXPECT_EQ(movie[7], "movie stop frames=10");
    EXPECT_EQ(movie[8], "movie open \"bad.mpg\" failed");
    // Played to its end: the 400 ms of pictures and sound, not a 10 ms wait more.
    int open = TraceTime(t, "movie open \"op.mpg\" rect=0,0,640,480", 3);
    int stop = TraceTime(t, "movie stop frames=10", 1);
    EXPECT_GE(stop - open, 400);
    EXPECT_LE(stop - open, 430);
}

TEST(MovieGames, RectangleAsyncLoopAndStop) {
    std::string dir = GameWithMovie(false);
    std::string frame = dir + ".bmp";
    TracedRun t = PlayTracedGame(
        dir,
        "*define\ngame\n*start\n"
        "bg #0000ff,1\n"
        "movie stop\n"                                     // no movie: the word goes too
        "movie \"op.mpg\",pos,100,50,64,48,loop,async\n"  // plays on while the script waits
        "wait 1000\n"
        "movie stop\n"
        "movie \"op.mpg\",position,-32,0,64,48,click\n"    // half off the screen; a click ends it
        "end\n",
        {At(1250, "click 1 1"), "", frame});
    EXPECT_QUIET_END(t);
    std::vector<std::string> movie = TraceLines(t, "movie");
    ASSERT_EQ(movie.size(), 6u) << t.run.err;
    EXPECT_EQ(movie[0], "movie open \"op.mpg\" rect=100,50,64,48");
    EXPECT_EQ(movie[1], "movie rewind");  // at 400 ms and 800 ms, by the window timer
    EXPECT_EQ(movie[2], "movie rewind");
    EXPECT_EQ(movie[3].rfind("movie stop frames=", 0), 0u);
    EXPECT_EQ(movie[4], "movie open \"op.mpg\" rect=-32,0,64,48");
    EXPECT_EQ(movie[5], "movie stop frames=7");
    // After the movie the window shows the screen again: blue everywhere.
    std::string bmp;
    ASSERT_TRUE(ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".bmp", &bmp));
    EXPECT_EQ(PixelOf(bmp, 10, 10), (std::vector<int>{255, 0, 0}));
}

// A switch to full screen and back while a movie plays: the movie pauses
// and leaves the window for each switch, then shows again and plays on to
// its end.
TEST(MovieGames, DisplaySwitchPausesTheMovie) {
    std::string dir = GameWithMovie(true);
    TracedRun t = PlayTracedGame(dir, "*define\ngame\n*start\nmpegplay \"op.mpg\",0\nend\n",
                                 {At(100, "menu 40002") + At(200, "menu 40003"), "", ""});
    EXPECT_QUIET_END(t);
    std::vector<std::string> want = {"movie open \"op.mpg\" rect=0,0,640,480",
                                     "movie pause", "movie run", "movie pause", "movie run",
                                     "movie stop frames=10"};
    EXPECT_EQ(TraceLines(t, "movie"), want);
    int open = TraceTime(t, want[0]);
    EXPECT_NEAR(TraceTime(t, "movie pause") - open, 100, 10);
    EXPECT_NEAR(TraceTime(t, "movie pause", 1) - open, 200, 10);
    EXPECT_EQ(TraceTime(t, "movie run", 1), TraceTime(t, "movie pause", 1));
    int stop = TraceTime(t, want[5]);
    EXPECT_GE(stop - open, 400);
    EXPECT_LE(stop - open, 430);
}

// The last frame while an async movie plays: its picture in the rectangle,
// the screen around it.
TEST(MovieGames, AsyncPictureInItsRectangle) {
    std::string dir = GameWithMovie(false);
    std::string frame = dir + ".bmp";
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbg #00ff00,1\n"
                                 "movie \"op.mpg\",pos,100,50,64,48,async\nwait 275\nend\n",
                                 {"", "", frame});
    EXPECT_QUIET_END(t);
    std::string bmp;
    ASSERT_TRUE(ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".bmp", &bmp));
    std::vector<int> inside = PixelOf(bmp, 130, 70);
    EXPECT_EQ(FrameOfGrey(inside[1]), 6);  // the picture of 240 ms, shown by the timer's last tick
    EXPECT_NEAR(inside[0], inside[2], 3);
    EXPECT_EQ(PixelOf(bmp, 99, 70), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(PixelOf(bmp, 164, 70), (std::vector<int>{0, 255, 0}));
}

// An async movie's picture stays over its rectangle, and only there,
// whatever the engine paints: its first picture leaves what the script drew
// meanwhile around it, the last one stays after the movie ended, until
// movie stop gives the rectangle back.
TEST(MovieGames, AsyncPictureStaysOverThePaintedScreen) {
    struct Case {
        const char* what;
        const char* story;
        int grey_frame;  // the picture inside, -1 for the red screen
    } cases[] = {
        {"playing", "bg #0000ff,1\nmovie \"op.mpg\",pos,0,0,100,100,async\nbg #ff0000,1\nwait 300\n", 7},
        {"ended", "movie \"op.mpg\",pos,0,0,100,100,async\nwait 600\nbg #ff0000,1\nwait 100\n", 9},
        {"stopped", "movie \"op.mpg\",pos,0,0,100,100,async\nwait 600\nmovie stop\nbg #ff0000,1\nwait 100\n", -1},
    };
    for (const Case& c : cases) {
        std::string dir = GameWithMovie(false);
        std::string frame = dir + ".bmp";
        TracedRun t = PlayTracedGame(dir, std::string("*define\ngame\n*start\n") + c.story + "end\n",
                                     {"", "", frame});
        EXPECT_QUIET_END(t);
        std::string bmp;
        ASSERT_TRUE(ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".bmp", &bmp)) << c.what;
        EXPECT_EQ(PixelOf(bmp, 150, 150), (std::vector<int>{0, 0, 255})) << c.what;
        EXPECT_EQ(PixelOf(bmp, 100, 50), (std::vector<int>{0, 0, 255})) << c.what;
        std::vector<int> inside = PixelOf(bmp, 50, 50);
        if (c.grey_frame < 0) {
            EXPECT_EQ(inside, (std::vector<int>{0, 0, 255})) << c.what;
        } else {
            EXPECT_EQ(FrameOfGrey(inside[1]), c.grey_frame) << c.what;
            EXPECT_NEAR(inside[0], inside[2], 3) << c.what;
        }
    }
}

// mpegplay, mpegplay2 and movie play a file of sound alone to its end,
// showing nothing.
TEST(MovieGames, SoundOnlyFilesPlayToTheirEnd) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "tone.wav", ToneWav(0.3, 440, 22050, 1));
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbg #ff0000,1\n"
                                 "mpegplay2 %1,\"tone.wav\",1\nif %1 != 1 fail_played\n"
                                 "mpegplay \"tone.wav\",0\nmovie \"tone.wav\"\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> movie = TraceLines(t, "movie");
    ASSERT_EQ(movie.size(), 6u) << t.run.err;
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(movie[2 * i], "movie open \"tone.wav\" rect=0,0,640,480");
        EXPECT_EQ(movie[2 * i + 1], "movie stop frames=0");
    }
    int first = TraceTime(t, "movie open \"tone.wav\" rect=0,0,640,480", 0);
    int stop = TraceTime(t, "movie stop frames=0", 0);
    int last = TraceTime(t, "movie stop frames=0", 2);
    EXPECT_GE(stop - first, 300);
    EXPECT_LE(stop - first, 340);
    EXPECT_GE(last - first, 900);
}

TEST(MovieGames, AviDevice) {
    std::string dir = MakeGameFolder();
    MovieParams params;
    params.muxer = "avi";
    params.mpeg4 = true;
    ASSERT_TRUE(WriteMovie(dir + "/clip.avi", params));
    WriteGameFile(dir, "broken.avi", "RIFF....AVI LIST");
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\n"
                                 "avi \"clip.avi\",0\n"   // to its end
                                 "avi \"clip.avi\",1\n"   // a click at 600 ms ends it
                                 "avi \"broken.avi\",1\nend\n",
                                 {At(600, "click 1 1"), "", ""});
    EXPECT_EQ(t.run.status, 1);
    std::vector<std::string> avi = TraceLines(t, "avi");
    ASSERT_EQ(avi.size(), 4u) << t.run.err;
    EXPECT_EQ(avi[0], "avi open \"clip.avi\" rect=0,0,640,480");  // any other width gets 800x600
    EXPECT_EQ(avi[1], "avi stop frames=10");
    ASSERT_EQ(t.run.boxes.size(), 1u);
    EXPECT_EQ(t.run.boxes[0].substr(0, t.run.boxes[0].find(':')), "AVI Error 1");
}

}  // namespace
