// What a player would hear, through the headless runner: the mixer's output
// written by --audio-out (the level of a tone at a known attenuation, mono on
// both sides, loud sums clamped) and the sound trace (a channel's end on the
// virtual clock, the loop hand-over).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sound/audio_out.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/game_folder.h"

namespace {

struct Output {
    RunResult run;
    std::vector<int16_t> samples;  // interleaved stereo
    std::vector<std::string> trace;
};

Output PlayAndRecord(const std::string& dir, const std::string& script) {
    WriteScript(dir, script);
    Output o;
    std::string wav = dir + "/../" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    std::string trace = wav + ".trace";
    setenv("ORVA_SOUND_TRACE", trace.c_str(), 1);
    o.run = RunOrva({"--headless", "--audio-out", wav, "--max-ms", "20000", dir}, dir);
    unsetenv("ORVA_SOUND_TRACE");
    o.samples = ReadAudioOut(wav);
    std::ifstream t(trace);
    for (std::string line; std::getline(t, line);) o.trace.push_back(line);
    return o;
}

// The virtual ms of the first trace line containing `what`; -1 when none.
long TraceMs(const Output& o, const std::string& what) {
    for (const std::string& l : o.trace)
        if (l.find(what) != std::string::npos) return atol(l.c_str() + 2);
    return -1;
}

TEST(MixerOutput, ToneLevelFollowsTheAttenuation) {
    // sevol N sets the effect attenuation 100 - N: -25 hundredths of a dB a unit.
    struct {
        int sevol;
        double gain;
    } cases[] = {{100, 1.0}, {50, std::pow(10.0, -1250 / 2000.0)}, {20, std::pow(10.0, -2000 / 2000.0)}};
    for (auto c : cases) {
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "tone.wav", ToneWave(1.0, 1000, 22050, 1, 0.5));
        Output o = PlayAndRecord(dir, "*define\ngame\n*start\nsevol " + std::to_string(c.sevol) +
                                          "\ndwave 1,\"tone.wav\"\nwait 1500\nend\n");
        ASSERT_EQ(o.run.status, 0) << o.run.err;
        size_t start = FirstSound(o.samples);
        ASSERT_LT(start + 44100, o.samples.size() / 2);
        double expected = 0.5 * 32767 * c.gain / std::sqrt(2.0);
        for (int side : {0, 1})
            EXPECT_NEAR(Rms(o.samples, start + 4410, start + 39690, side), expected, expected * 0.01)
                << "sevol " << c.sevol << " side " << side;
        EXPECT_LT(Rms(o.samples, start + 44200, start + 44100 + 4410, 0), 1.0) << "silent after its end";
    }
}

TEST(MixerOutput, LoudSumsAreClampedNotWrapped) {
    std::string dir = MakeGameFolder();
    std::string d;
    for (int i = 0; i < 22050; i++) PutLe16(&d, (uint16_t)30000);
    WriteGameFile(dir, "dc.wav", WaveFile(FormatRecord(1, 1, 22050, 16, 2), d));
    Output o = PlayAndRecord(dir, "*define\ngame\n*start\ndwave 1,\"dc.wav\"\ndwave 2,\"dc.wav\"\n"
                                  "dwave 3,\"dc.wav\"\nwait 1200\nend\n");
    ASSERT_EQ(o.run.status, 0) << o.run.err;
    size_t start = FirstSound(o.samples);
    ASSERT_LT(start + 1000, o.samples.size() / 2);
    for (size_t i = start + 10; i < start + 1000; i++) ASSERT_EQ(o.samples[2 * i], 32767) << i;
}

TEST(MixerOutput, TraceShowsEndsAndTheHandOverOnTheVirtualClock) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "se.wav", ToneWave(0.5, 440, 22050, 1, 0.5));
    WriteGameFile(dir, "intro.wav", ToneWave(0.3, 440, 44100, 2, 0.5));
    WriteGameFile(dir, "loop.wav", ToneWave(0.2, 880, 44100, 2, 0.5));
    Output o = PlayAndRecord(dir, "*define\ngame\n*start\ndwave 1,\"se.wav\"\nwait 700\n"
                                  "loopbgm \"intro.wav\",\"loop.wav\"\nwait 1000\nloopbgmstop\nend\n");
    ASSERT_EQ(o.run.status, 0) << o.run.err;
    long play = TraceMs(o, "ch=1 play loop=0"), end = TraceMs(o, "ch=1 end");
    ASSERT_GE(play, 0);
    EXPECT_EQ(end - play, 500);
    long intro = TraceMs(o, "ch=198 play loop=0"), intro_end = TraceMs(o, "ch=198 end");
    long loop = TraceMs(o, "ch=199 play loop=1");
    ASSERT_GE(intro, 0);
    EXPECT_EQ(intro_end - intro, 300);
    EXPECT_GE(loop - intro_end, 0);
    EXPECT_LE(loop - intro_end, 5) << "within one pass of the sound thread";
    EXPECT_EQ(TraceMs(o, "ch=199 release"), intro + 1000) << "looping until loopbgmstop";
}

TEST(MixerOutput, NoSoundDeviceStillGivesAnEmptyWave) {
    std::string dir = MakeGameFolder();
    Output o = PlayAndRecord(dir, "*define\ngame\n*start\nend\n");
    ASSERT_EQ(o.run.status, 0) << o.run.err;
}

TEST(MixerOutput, AudioOutNeedsHeadless) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\nend\n");
    RunResult r = RunOrva({"--audio-out", dir + "/../x.wav", dir}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("need --headless"), std::string::npos) << r.err;
}

}  // namespace
