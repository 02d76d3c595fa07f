// The Ogg plug-in's channels in-process, the mixer rendered by hand: a
// one-shot play ends, a loop goes on from the start or from its loop point,
// fades move linearly in hundredths of a dB and may close the channel (which
// then opens again), volumes are clamped and keep a closing fade's close,
// the ducking's volume leaves fades running, and closed or unknown channels
// are left alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "sound/ogg_channels.h"
#include "tests/sound/sound_test_files.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

int64_t Frames(double seconds) { return (int64_t)(seconds * MixerRate); }

class OggChannels : public testing::Test {
protected:
    void SetUp() override {
        OggCloseAll();
        MixerResetForTests();
    }
    void TearDown() override {
        OggCloseAll();
        MixerResetForTests();
    }
    // A tone at half of full scale on ch.
    void Open(int ch, double seconds) {
        ASSERT_TRUE(OggOpenBytes(ch, "t.ogg", Bytes(ToneOgg(seconds, 440, 44100, 2, 0.5))));
    }
    // Renders ms milliseconds; the peak of what came out.
    int Render(int ms) {
        std::vector<int16_t> buf((size_t)Frames(ms / 1000.0) * 2);
        MixerRender(buf.data(), (int)(buf.size() / 2));
        int peak = 0;
        for (int16_t v : buf) peak = std::max(peak, std::abs((int)v));
        return peak;
    }
};

TEST_F(OggChannels, OneShotEndsAndLoopsGoOn) {
    Open(1, 0.5);
    EXPECT_TRUE(OggIsOpen(1));
    EXPECT_FALSE(OggIsPlaying(1));  // open, not yet played
    EXPECT_EQ(Render(100), 0);
    OggPlay(1, false);
    EXPECT_TRUE(OggIsPlaying(1));
    EXPECT_NEAR(Render(400), 16384, 300);  // at 0 dB
    EXPECT_TRUE(OggIsPlaying(1));
    Render(200);
    EXPECT_FALSE(OggIsPlaying(1));
    EXPECT_TRUE(OggIsOpen(1));  // an end keeps the sound
    EXPECT_EQ(Render(100), 0);
    OggPlay(1, true);  // from the start again
    Render(1200);
    EXPECT_TRUE(OggIsPlaying(1));
    EXPECT_NEAR(OggPositionOf(1), Frames(0.2), 64);
}

TEST_F(OggChannels, LoopPointsInSeconds) {
    struct Case {
        double point, after;  // loop point; where a 1 s sound is after 1.5 s
    } cases[] = {{0.25, 0.75}, {0.0, 0.5}, {-3.0, 0.5}, {5.0, 0.5}, {0.999, 0.9995}};
    Open(2, 1.0);
    for (const Case& c : cases) {
        OggPlay2(2, c.point);
        Render(1500);
        EXPECT_TRUE(OggIsPlaying(2)) << c.point;
        EXPECT_NEAR(OggPositionOf(2), Frames(c.after), 64) << c.point;
    }
}

TEST_F(OggChannels, FadesMoveLinearlyAndMayClose) {
    Open(3, 1.0);
    OggPlay(3, true);
    OggFade(3, -1000, -3000, 1000, false);
    EXPECT_EQ(OggVolumeOf(3), -1000);
    Render(500);
    EXPECT_EQ(OggVolumeOf(3), -2000);
    Render(600);
    EXPECT_EQ(OggVolumeOf(3), -3000);
    EXPECT_TRUE(OggIsPlaying(3));
    int quiet = Render(200);
    EXPECT_NEAR(quiet, 16384 * MixerGainOf(-3000), 300);

    OggFade(3, 0, -10000, 200, true);
    Render(100);
    EXPECT_TRUE(OggIsPlaying(3));
    EXPECT_EQ(OggVolumeOf(3), -5000);
    Render(150);
    EXPECT_FALSE(OggIsPlaying(3));
    EXPECT_FALSE(OggIsOpen(3));
    EXPECT_EQ(Render(100), 0);

    // Without time, or on a channel that does not play, the end comes at once.
    Open(3, 1.0);
    OggFade(3, 0, -700, 500, false);
    EXPECT_EQ(OggVolumeOf(3), -700);
    OggPlay(3, false);
    OggFade(3, 0, -10000, 0, true);
    EXPECT_FALSE(OggIsOpen(3));
}

TEST_F(OggChannels, VolumesAreClampedAndEndAFade) {
    Open(4, 1.0);
    OggPlay(4, true);
    struct Case {
        int32_t set, got;
    } cases[] = {{500, 0}, {-2500, -2500}, {-20000, -10000}};
    for (const Case& c : cases) {
        OggVolume(4, c.set);
        EXPECT_EQ(OggVolumeOf(4), c.got) << c.set;
    }
    EXPECT_EQ(Render(100), 0) << "-10000 is silent";
    OggFade(4, 0, -6000, 1000, false);
    Render(100);
    OggVolume(4, -1200);
    Render(300);
    EXPECT_EQ(OggVolumeOf(4), -1200);
}

// A volume set during a fade that closes the channel moves the level the
// fade runs from, its progress kept; the fade ends, and closes the channel,
// on time.
TEST_F(OggChannels, AVolumeKeepsAClosingFadesClose) {
    Open(4, 2.0);
    OggPlay(4, true);
    OggFade(4, 0, -10000, 1000, true);
    Render(400);
    OggVolume(4, -1250);
    EXPECT_EQ(OggVolumeOf(4), -4750) << "40% of the way from -1250 to -10000";
    Render(300);
    EXPECT_EQ(OggVolumeOf(4), -7375) << "70% of the way";
    Render(250);
    EXPECT_TRUE(OggIsPlaying(4));
    Render(100);
    EXPECT_FALSE(OggIsOpen(4));
    EXPECT_EQ(Render(100), 0);
}

// The ducking's volume ends a fade-in at the lowered level, leaves a
// closing fade to close the channel, and sets a still channel at once.
TEST_F(OggChannels, DuckVolumeLeavesFadesRunning) {
    Open(4, 2.0);
    OggPlay(4, true);
    OggDuckVolume(4, -700);
    EXPECT_EQ(OggVolumeOf(4), -700);
    OggFade(4, -2500, 0, 1000, false);
    Render(500);
    OggDuckVolume(4, -1000);
    EXPECT_EQ(OggVolumeOf(4), -1750) << "half way from -2500 to -1000";
    Render(600);
    EXPECT_EQ(OggVolumeOf(4), -1000);

    OggFade(4, 0, -10000, 200, true);
    Render(100);
    OggDuckVolume(4, -500);
    EXPECT_EQ(OggVolumeOf(4), -5000);
    Render(150);
    EXPECT_FALSE(OggIsOpen(4)) << "the closing fade ran to its end";
    OggDuckVolume(4, -500);
    EXPECT_FALSE(OggIsOpen(4));
}

// Channels closed by their fades in the renderer read as closed, and open
// and play again, pass after pass.
TEST_F(OggChannels, FadedChannelsOpenAgain) {
    for (int pass = 0; pass < 3; pass++) {
        for (int ch : {6, 7}) {
            Open(ch, 1.0);
            OggPlay(ch, true);
            OggFade(ch, 0, -10000, 100, true);
        }
        Render(150);
        for (int ch : {6, 7}) {
            EXPECT_FALSE(OggIsOpen(ch)) << pass;
            EXPECT_FALSE(OggIsPlaying(ch)) << pass;
            EXPECT_EQ(OggVolumeOf(ch), 0) << pass;
        }
        EXPECT_EQ(Render(50), 0) << pass;
        Open(6, 1.0);
        OggPlay(6, false);
        EXPECT_NEAR(Render(100), 16384, 300) << pass;
        OggClose(6);
    }
}

TEST_F(OggChannels, ClosedAndUnknownChannelsAreLeftAlone) {
    std::vector<uint8_t> ogg = Bytes(ToneOgg(0.5, 440, 44100, 1, 0.5));
    EXPECT_FALSE(OggOpenBytes(-1, "t.ogg", ogg));
    EXPECT_FALSE(OggOpenBytes(OggChannelCount, "t.ogg", ogg));
    EXPECT_FALSE(OggOpenBytes(5, "x.ogg", Bytes("not an Ogg file")));
    EXPECT_FALSE(OggIsOpen(5));
    OggPlay(5, true);
    OggFade(5, 0, -100, 100, true);
    EXPECT_FALSE(OggIsPlaying(5));
    EXPECT_FALSE(OggIsPlaying(OggChannelCount));

    // Opening a playing channel replaces its sound, stopped.
    ASSERT_TRUE(OggOpenBytes(5, "t.ogg", ogg));
    OggPlay(5, true);
    ASSERT_TRUE(OggOpenBytes(5, "t.ogg", ogg));
    EXPECT_FALSE(OggIsPlaying(5));

    // Every channel plays on one mixer stream: the other stream voices stay free.
    for (int ch = 0; ch < 20; ch++) {
        ASSERT_TRUE(OggOpenBytes(ch, "t.ogg", ogg));
        OggPlay(ch, true);
    }
    int free_voices = 0;
    std::vector<int> opened;
    struct Silence : MixerSource {
        int Read(float*, int) override { return 0; }
        bool Rewind() override { return false; }
    };
    for (int h; (h = MixerOpenSource(std::unique_ptr<MixerSource>(new Silence))) >= 0;) {
        opened.push_back(h);
        free_voices++;
    }
    EXPECT_EQ(free_voices, MixerStreamVoices - 1);
    for (int h : opened) MixerCloseStream(h);
    OggCloseAll();
    for (int ch = 0; ch < 20; ch++) EXPECT_FALSE(OggIsOpen(ch));
}

}  // namespace
