// MIDI in whole games: a generated MIDI file played through the
// synthesiser (the trace and a non-silent --audio-out), restarted by the
// window timer while it loops, stopped by playstop; the case-sensitive
// "mid" extension; a file that is not MIDI plays nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/media/media_files.h"
#include "tests/media/media_run.h"

namespace {

// The RMS level (0..32767) of the 16-bit stereo samples between two times.
double LevelBetween(const std::string& wav, double from_s, double to_s) {
    if (wav.size() < 44) return 0;
    const int16_t* s = (const int16_t*)(wav.data() + 44);
    size_t frames = (wav.size() - 44) / 4;
    size_t a = (size_t)(from_s * 44100), b = (size_t)(to_s * 44100);
    if (b > frames) b = frames;
    double sum = 0;
    size_t n = 0;
    for (size_t i = a; i < b; i++, n++) sum += (double)s[2 * i] * s[2 * i];
    return n ? std::sqrt(sum / n) : 0;
}

// One run for the synthesiser (loading the SoundFont is the slow part).
TEST(MidiGames, PlaysLoopsAndStops) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "bgm/t.mid", TinyMidi(2, 250));  // half a second
    WriteGameFile(dir, "x.mid", "not a MIDI file");
    WriteGameFile(dir, "up.MID", TinyMidi(1, 100));
    std::string wav = dir + ".wav";
    TracedRun t = PlayTracedGame(dir,
                                 "*define\nnoloaderror\ngame\n*start\n"
                                 "play \"bgm\\t.mid\"\nwait 1400\n"  // ends at 500 and 1000 and starts again
                                 "playstop\nwait 300\n"               // silence
                                 "playonce \"x.mid\"\nwait 100\n"
                                 "play \"up.MID\"\nwait 10\n"  // needs a sound-press plug-in: none, no error
                                 "end\n",
                                 {"", wav, ""});
    EXPECT_QUIET_END(t);
    std::vector<std::string> midi = TraceLines(t, "midi");
    std::vector<std::string> expected = {"midi play \"bgm\\t.mid\" loop=1", "midi play from 0",
                                         "midi play from 0", "midi stop ; close",
                                         "midi open \"x.mid\" failed"};
    EXPECT_EQ(midi, expected);
    int start = TraceTime(t, expected[0]);
    int again = TraceTime(t, "midi play from 0");
    EXPECT_GE(again - start, 500);  // the piece's end, seen by the 30 ms timer
    EXPECT_LE(again - start, 600);
    std::string out;
    ASSERT_TRUE(ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".wav", &out));
    int base = TraceTime(t, "device start rate=44100");
    double t0 = (TraceTime(t, expected[0]) - base) / 1000.0;
    EXPECT_GT(LevelBetween(out, t0 + 0.05, t0 + 0.4), 300.0);
    double stop = (TraceTime(t, "midi stop ; close") - base) / 1000.0;
    EXPECT_LT(LevelBetween(out, stop + 0.05, stop + 0.25), 1.0);
}

}  // namespace
