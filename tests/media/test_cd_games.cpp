// CD audio in whole games: a generated track folder played, looped by the
// completion notice, clamped to the last track, faded through the virtual
// volume control and restored; a game without the folder; a track that does
// not decode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/media/media_run.h"
#include "tests/sound/voice_files.h"

namespace {

// Tracks 2 (300 ms), 3 (200 ms) and 5 (200 ms); 1 and 4 are data tracks.
std::string GameWithDisc(const std::string& folder = "cd") {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, folder + "/track02.wav", ToneWav(0.3, 330, 22050, 1));
    WriteGameFile(dir, folder + "/Track03.WAV", ToneWav(0.2, 440, 22050, 2));
    WriteGameFile(dir, folder + "/track05.wav", ToneWav(0.2, 550, 22050, 1));
    WriteGameFile(dir, folder + "/notes.txt", "not a track");
    return dir;
}

TEST(CdGames, PlayLoopClampFadeAndRestore) {
    std::string dir = GameWithDisc();
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\n"
                                 "getcdvol %1\nif %1 != 65535 fail_initial_volume\n"
                                 "play \"*2\"\nwait 700\n"
                                 "play \"*2\"\n"                 // the same track playing: nothing
                                 "cdfadeout 0\nplayonce \"*9\"\nwait 400\n"  // track 5, once
                                 "play \"*4\"\nwait 50\nplay \"*-1\"\n"  // a data track, no track: silence
                                 "setcdvol -5\ngetcdvol %2\nif %2 != 0 fail_negative\n"
                                 "setcdvol 30000\nplay \"*3\"\nwait 50\n"
                                 "cdfadeout 1000\nplay \"*0\"\n"  // fades 99 steps, 1 s, restores
                                 "getcdvol %3\nif %3 != 30000 fail_restored\n"
                                 "setcdrestorevol 1234\nrestorecdvol\n"
                                 "getcdvol %4\nif %4 != 1234 fail_restorecdvol\n"
                                 "resetcdrestorevol\nrestorecdvol\nsetcdvol 500\n"
                                 "setcdrestorevol 777\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> plays = TraceLines(t, "cd play");
    std::vector<std::string> expected = {
        "cd play track=2 loop=1 file=\"track02.wav\"",  // and again at each end
        "cd play track=2 loop=1 file=\"track02.wav\"",
        "cd play track=2 loop=1 file=\"track02.wav\"",
        "cd play track=5 loop=0 file=\"track05.wav\"",
        "cd play track=4 none",
        "cd play track=-1 none",
        "cd play track=3 loop=1 file=\"Track03.WAV\"",
    };
    EXPECT_EQ(plays, expected);
    // The loop restarts at the track's end (the notice), not 330 ms later (the timer).
    int first = TraceTime(t, expected[0], 0), second = TraceTime(t, expected[0], 1);
    EXPECT_GE(second - first, 300);
    EXPECT_LE(second - first, 310);
    EXPECT_EQ(TraceLines(t, "cd end").size(), 3u);  // two loop ends and track 5's
    // The fade: 99 steps of v*k/100 about 10 ms apart, the stop, a second, the value back.
    std::vector<std::string> mix = TraceLines(t, "cdmix set");
    ASSERT_GE(mix.size(), 103u);
    EXPECT_EQ(mix[0], "cdmix set 0");
    EXPECT_EQ(mix[1], "cdmix set 30000");
    EXPECT_EQ(mix[2], "cdmix set 29700");
    EXPECT_EQ(mix[100], "cdmix set 300");
    EXPECT_EQ(mix[101], "cdmix set 30000");
    EXPECT_EQ(mix[102], "cdmix set 1234");
    int fade_start = TraceTime(t, "cdmix set 29700"), fade_end = TraceTime(t, "cdmix set 300");
    EXPECT_GE(fade_end - fade_start, 980);
    EXPECT_LE(fade_end - fade_start, 1000);
    EXPECT_EQ(TraceTime(t, "cdmix set 30000", 1) - fade_end, 1010);
    // The restore value set last is written at exit.
    EXPECT_EQ(mix.back(), "cdmix set 777");
}

TEST(CdGames, WithoutDiscNothingPlaysAndTheVolumeIsZero) {
    std::string dir = MakeGameFolder();
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\n"
                                 "play \"*2\"\nsetcdvol 100\ngetcdvol %1\nif %1 != 0 fail_volume\n"
                                 "cdfadeout 1000\nplaystop\nstop\nend\n");
    EXPECT_QUIET_END(t);
    // The play looks for the disc 51 times, 10 ms apart, then gives up.
    std::vector<std::string> lines = TraceLines(t, "cd");
    EXPECT_EQ(lines, std::vector<std::string>(51, "cd open failed"));
    EXPECT_EQ(TraceTime(t, "cd open failed", 50) - TraceTime(t, "cd open failed", 0), 500);
}

// A track file that exists but does not decode is the refused play.
TEST(CdGames, UndecodableTrackIsFatal) {
    std::string dir = GameWithDisc();
    WriteGameFile(dir, "cd/track06.ogg", "not an ogg file at all");
    TracedRun t = PlayTracedGame(dir, "*define\ngame\n*start\nplay \"*6\"\nend\n");
    EXPECT_EQ(t.run.status, 1);
    ASSERT_EQ(t.run.boxes.size(), 1u) << t.run.err;
    EXPECT_EQ(t.run.boxes[0].substr(0, t.run.boxes[0].find("\\n")),
              "CD-DA再生エラー: track file cd/track06.ogg cannot be decoded");
}

}  // namespace
