// Music, voices and the wave device in whole games, checked through the sound
// trace of the headless runner (ORVA_SOUND_TRACE): the volumes each source
// gets in hundredths of a dB, fade steps that double when late, a looping
// wave replayed from its start, StopAllSound at a reset, and the level of
// what the mixer wrote (--audio-out).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "tests/sound/voice_files.h"
#include "tests/support/game_folder.h"

namespace {

struct Traced {
    RunResult run;
    std::vector<std::string> lines;  // without their "t=MS " stamps
    std::vector<int> ms;
};

Traced PlayTraced(const std::string& dir, const std::string& script,
                  const std::string& audio_out = "") {
    WriteScript(dir, script);
    std::string trace = dir + "/../" + dir.substr(dir.rfind('/') + 1) + ".trace";
    remove(trace.c_str());
    setenv("ORVA_SOUND_TRACE", trace.c_str(), 1);
    Traced t;
    if (audio_out.empty())
        t.run = RunGame(dir);
    else
        t.run = RunOrva({"--headless", "--audio-out", audio_out, dir}, dir);
    unsetenv("ORVA_SOUND_TRACE");
    std::string text;
    ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".trace", &text);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t blank = line.find(' ');
        t.ms.push_back(atoi(line.c_str() + 2));
        t.lines.push_back(blank == std::string::npos ? line : line.substr(blank + 1));
    }
    return t;
}

// The trace lines beginning with `prefix`, after the first line equal to `from`.
std::vector<std::string> LinesAfter(const Traced& t, const std::string& from, const std::string& prefix) {
    std::vector<std::string> out;
    bool on = from.empty();
    for (const std::string& l : t.lines) {
        if (!on && l == from) on = true;
        if (on && l.rfind(prefix, 0) == 0) out.push_back(l);
    }
    return out;
}

std::string GameWithSounds() {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "m.wav", ToneWav(3.0, 220, 22050, 2));
    WriteGameFile(dir, "se.wav", ToneWav(0.2, 880, 22050, 1));
    WriteGameFile(dir, "voice/a01.wav", ToneWav(0.4, 440, 22050, 1));
    return dir;
}

// The fade from attenuation 20 with no time per step: every step is late, so
// the increment doubles each time (20, 22, 26, 34, 50, 82).
TEST(MusicTrace, FadeStepsDoubleWhenLate) {
    std::string dir = GameWithSounds();
    Traced t = PlayTraced(dir,
                          "*define\ngame\n*start\nbgmvol 80\nbgm \"m.wav\"\nwait 100\n"
                          "bgmfadeout 50\nbgmstop\nend\n");
    ASSERT_EQ(t.run.status, 0) << t.run.err;
    std::vector<std::string> expected = {"bgm vol -500", "bgm vol -550", "bgm vol -650",
                                         "bgm vol -850", "bgm vol -1250", "bgm vol -2050",
                                         "bgm stop"};
    std::vector<std::string> got = LinesAfter(t, "", "bgm ");
    ASSERT_GE(got.size(), expected.size());
    got.erase(got.begin(), got.end() - expected.size());
    EXPECT_EQ(got, expected);
}

TEST(MusicTrace, VolumesReachEachSource) {
    std::string dir = GameWithSounds();
    Traced t = PlayTraced(dir,
                          "*define\ngame\n*start\n"
                          "bgmvol 0\nbgm \"m.wav\"\nbgmvol 100\nbgmvol 60\n"
                          "sevol 50\ndwave 3,\"se.wav\"\n"
                          "voicevol 0\ndwave 0,\"voice/a01.wav\"\n"
                          "chvol 3,100\nchvol 3,250\n"
                          "end\n");
    ASSERT_EQ(t.run.status, 0) << t.run.err;
    EXPECT_EQ(LinesAfter(t, "", "bgm vol"),
              (std::vector<std::string>{"bgm vol -9999", "bgm vol 0", "bgm vol -1000"}));
    EXPECT_EQ(LinesAfter(t, "", "ch=3 vol"),
              (std::vector<std::string>{"ch=3 vol -1250", "ch=3 vol 0", "ch=3 vol 0"}));
    EXPECT_EQ(LinesAfter(t, "", "ch=0 vol"), (std::vector<std::string>{"ch=0 vol -10000"}));
}

// A looping wave is played again from its start by the window timer; a
// one-shot wave is not.  Both play at full level outside the channels.
TEST(MusicTrace, WaveLoops) {
    for (const char* command : {"waveloop", "wave"}) {
        std::string dir = GameWithSounds();
        Traced t = PlayTraced(dir, std::string("*define\ngame\n*start\n") + command +
                                       " \"voice/a01.wav\"\nwait 1500\nwavestop\nend\n");
        ASSERT_EQ(t.run.status, 0) << t.run.err;
        size_t replays = LinesAfter(t, "", "mci play orvawave from 0").size();
        if (std::string(command) == "waveloop")
            EXPECT_GE(replays, 3u);  // 0.4 s, replayed within a timer tick of each end
        else
            EXPECT_EQ(replays, 0u);
        EXPECT_EQ(LinesAfter(t, "", "ch=").size(), 0u) << command;
    }
}

// A reset stops every looping sound (StopAllSound with its flag); a one-shot
// effect started before it plays on to its end.
TEST(MusicTrace, ResetStopsLoopingSounds) {
    std::string dir = GameWithSounds();
    Traced t = PlayTraced(dir,
                          "*define\ngame\n*start\n"
                          "if %250 = 1 goto *after\nmov %250,1\n"
                          "dwaveloop 4,\"se.wav\"\ndwave 5,\"se.wav\"\nbgm \"m.wav\"\nreset\n"
                          "*after\nwait 500\nend\n");
    ASSERT_EQ(t.run.status, 0) << t.run.err;
    EXPECT_EQ(LinesAfter(t, "", "ch=4 release").size(), 1u);
    EXPECT_EQ(LinesAfter(t, "", "ch=5 end").size(), 1u);
    EXPECT_EQ(LinesAfter(t, "", "bgm stop").size(), 1u);
}

// The level of what the mixer rendered: a half-level tone at attenuation 40
// (-10 dB) has about a third of its RMS at full level.
TEST(MusicTrace, ToneLevelFollowsTheVolume) {
    double rms[2];
    int volumes[2] = {100, 60};
    for (int i = 0; i < 2; i++) {
        std::string dir = GameWithSounds();
        std::string out = dir + "/../" + dir.substr(dir.rfind('/') + 1) + ".wav";
        Traced t = PlayTraced(dir,
                              "*define\ngame\n*start\nsevol " + std::to_string(volumes[i]) +
                                  "\ndwaveloop 1,\"se.wav\"\nwait 1000\nend\n",
                              out);
        ASSERT_EQ(t.run.status, 0) << t.run.err;
        std::string bytes;
        ASSERT_TRUE(ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".wav", &bytes));
        ASSERT_GT(bytes.size(), 44u + 44100 * 4 / 2);
        double sum = 0;
        size_t n = 0;
        // the last half second of the loop
        for (size_t p = bytes.size() - 44100 * 2; p + 1 < bytes.size(); p += 2, n++) {
            int16_t s = (int16_t)((uint8_t)bytes[p] | ((uint8_t)bytes[p + 1] << 8));
            sum += (double)s * s;
        }
        rms[i] = std::sqrt(sum / n);
    }
    EXPECT_NEAR(rms[0], 16383 / std::sqrt(2.0), 300);
    EXPECT_NEAR(rms[1] / rms[0], std::pow(10.0, -1000 / 2000.0), 0.01);
}

}  // namespace
