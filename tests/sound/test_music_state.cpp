// Music fades, volumes, StopAllSound and temporary sound files in-process on
// the headless backend, where fades run on the virtual clock: how long a
// fade takes shows its step time and whether late steps doubled.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/sound.h"
#include "sound/sound_temp.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "tests/sound/voice_files.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"

namespace {

class MusicState : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_dir_ = PlatGameDir();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        SkipMode = QuitRequested = 0;
        NoLoadError = NoDwaveError = WaveDemoMode = 0;
        Mp3VoiceMode = 0;
        SoundOn = 1;
        VoiceVolume = SeVolume = BgmVolume = BgmBaseVolume = 0;
        BgmFadeOutTime = BgmFadeInTime = 0;
    }
    void TearDown() override {
        BgmFadeOutTime = 0;
        StopAllSound(true);
        Mp3VoiceMode = 0;
        PlatSetGameDir(saved_dir_.c_str());
    }
    // A music piece that counts as playing (no stream behind it).
    static void FakeBgm(int32_t volume) {
        BgmName = "m.ogg";
        BgmGraphActive = 1;
        BgmVolume = volume;
    }
    // Virtual ms that fn takes.
    template <class F>
    static uint32_t Took(F fn) {
        uint32_t start = PlatTicks();
        fn();
        return PlatTicks() - start;
    }
    std::string dir_, saved_dir_;
};

// Steps of F / (100 - S) ms, one window message each; a step with no time
// left doubles both the step time and the volume increment.
TEST_F(MusicState, FadeOutTakesItsTimeAndDoublesLateSteps) {
    struct Case {
        int32_t fade, start;
        int skip;
        uint32_t min_ms, max_ms;
        const char* what;
    } cases[] = {
        {800, 0, 0, 790, 830, "8 ms steps from full"},
        {800, 0, 1, 80, 130, "skipping: an eighth of the time"},
        {400, 60, 0, 390, 430, "10 ms steps from 60"},
        // no time per step: each late step doubles, 6 steps instead of 100
        {50, 0, 0, 1, 20, "late steps double"},
        {800, 100, 0, 0, 0, "silent already: no step"},
    };
    for (const Case& c : cases) {
        FakeBgm(c.start);
        BgmFadeOutTime = c.fade;
        SkipMode = c.skip;
        uint32_t ms = Took([] { StopBgm(); });
        EXPECT_GE(ms, c.min_ms) << c.what;
        EXPECT_LE(ms, c.max_ms) << c.what;
        EXPECT_EQ(BgmVolume, c.start) << c.what << ": the volume comes back after the fade";
        EXPECT_EQ(BgmName, "") << c.what;
        EXPECT_EQ(BgmGraphActive, 0) << c.what;
        EXPECT_EQ(BgmFadeRunning, 0) << c.what;
    }
}

TEST_F(MusicState, StopsWithoutFade) {
    // no fade time, or a voice on the music path: at once
    for (int voice_mode : {0, 1}) {
        FakeBgm(20);
        Mp3VoiceMode = voice_mode;
        BgmFadeOutTime = voice_mode ? 1000 : 0;
        EXPECT_EQ(Took([] { StopBgm(); }), 0u) << voice_mode;
        EXPECT_EQ(BgmName, "");
    }
}

TEST_F(MusicState, ClosingWindowEndsTheFade) {
    FakeBgm(0);
    BgmFadeOutTime = 1000;
    QuitRequested = 1;
    EXPECT_LE(Took([] { StopBgm(); }), 2u);
    EXPECT_EQ(BgmName, "m.ogg");  // left where it was
    QuitRequested = 0;
    BgmFadeRunning = 0;
    BgmFadeOutTime = 0;
    StopBgm();
}

TEST_F(MusicState, FadeInEndsAtItsTarget) {
    FakeBgm(100);
    BgmFadeInTime = 400;
    uint32_t ms = Took([] { FadeInBgm(20); });
    EXPECT_GE(ms, 390u);  // 80 steps of 5 ms
    EXPECT_LE(ms, 430u);
    EXPECT_EQ(BgmVolume, 20);
}

TEST_F(MusicState, SetBgmVolumeReachesTheLoopChannels) {
    SetBgmVolume(40);
    EXPECT_EQ(BgmVolume, 40);
    EXPECT_EQ(SoundChannels.ChannelVolumes[BgmIntroChannel], 40);
    EXPECT_EQ(SoundChannels.ChannelVolumes[BgmLoopChannel], 40);
    // once voices use the music path the music volume is not stored
    Mp3VoiceMode = 1;
    SetBgmVolume(70);
    EXPECT_EQ(BgmVolume, 40);
    EXPECT_EQ(SoundChannels.ChannelVolumes[BgmLoopChannel], 70);
}

TEST_F(MusicState, VolumeMappings) {
    EXPECT_EQ(AttenuationMillibels(0), 0);
    EXPECT_EQ(AttenuationMillibels(50), -1250);
    EXPECT_EQ(AttenuationMillibels(99), -2475);
    EXPECT_EQ(AttenuationMillibels(100), -10000);
    EXPECT_EQ(GraphMillibels(100), -9999);
    EXPECT_EQ(GraphMillibels(4), -100);
}

TEST_F(MusicState, MissingMusicUnderNoLoadErrorIsSkipped) {
    NoLoadError = 1;
    PlayBgm("none.ogg", 1, 0, 0);
    EXPECT_EQ(BgmGraphActive, 0);
    EXPECT_EQ(BgmLooping, 0);
}

// Music that does not decode stays silent and inactive, so the window timer
// does not rebuild it every 30 ms.
TEST_F(MusicState, UndecodableMusicIsInactive) {
    WriteGameFile(dir_, "bad.ogg", "OggS and nothing more");
    PlayBgm("bad.ogg", 1, 0, 0);
    EXPECT_EQ(BgmGraphActive, 0);
    EXPECT_EQ(BgmLooping, 0);
    EXPECT_EQ(BgmStream, -1);
}

// Looping music starts again from its start at the timer after its end, but
// not while a fade runs (the fade would stop the new piece).
TEST_F(MusicState, TimerReplaysLoopingMusicAfterItsEnd) {
    ASSERT_EQ(StartDirectSound(), 1);
    WriteGameFile(dir_, "m.wav", ToneWav(0.1, 220, 22050, 2));
    PlayBgm("m.wav", 1, 0, 0);
    ASSERT_EQ(BgmGraphActive, 1);
    EXPECT_EQ(BgmLooping, 1);
    PlatSleep(150);
    ASSERT_TRUE(MixerStreamEnded(BgmStream));
    BgmFadeRunning = 1;
    ReplayLoopingBgm();
    EXPECT_TRUE(MixerStreamEnded(BgmStream));
    BgmFadeRunning = 0;
    ReplayLoopingBgm();
    EXPECT_FALSE(MixerStreamEnded(BgmStream));
    EXPECT_EQ(BgmName, "m.wav");
    EXPECT_EQ(BgmLooping, 1);
}

// Temporary sound files are fresh files of their own in the private folder,
// so a wave still playing from one is never overwritten by the next.
TEST_F(MusicState, TemporaryFilesAreUniqueAndPrivate) {
    std::string a = MakeSoundTempFile(), b = MakeSoundTempFile();
    ASSERT_NE(a, "");
    ASSERT_NE(b, "");
    EXPECT_NE(a, b);
    const std::string& temp = PlatTempDir();
    EXPECT_EQ(Cp932ToUtf8(a).compare(0, temp.size(), temp), 0) << a;
    EXPECT_TRUE(PlatExists(a.c_str()));
    DeleteSoundTempFile(a);
    EXPECT_FALSE(PlatExists(a.c_str()));
    EXPECT_TRUE(PlatExists(b.c_str()));
    DeleteSoundTempFile(b);
    // a file outside the private folder is never deleted
    WriteGameFile(dir_, "keep.wav", "x");
    DeleteSoundTempFile("keep.wav");
    EXPECT_TRUE(PlatExists("keep.wav"));
}

TEST_F(MusicState, WaveRecordsItsNameAndStops) {
    WriteGameFile(dir_, "w.wav", ToneWav(0.1, 440, 22050, 1));
    ASSERT_EQ(PlayMciWave("w.wav", 1), 1);
    EXPECT_EQ(MciWaveName, "w.wav");
    EXPECT_EQ(MciWaveLooping, 1);
    // without everything, StopAllSound keeps a looping wave but clears its flag
    StopAllSound(false);
    EXPECT_EQ(MciWaveName, "w.wav");
    EXPECT_EQ(MciWaveLooping, 0);
    EXPECT_EQ(MciWave.loop, 1);
    StopAllSound(true);
    EXPECT_EQ(MciWaveName, "");
    EXPECT_EQ(MciWave.loop, 0);
    // skip mode plays no sound unless mode_wave_demo
    SkipMode = 1;
    EXPECT_EQ(PlayMciWave("w.wav", 0), 0);
    WaveDemoMode = 1;
    EXPECT_EQ(PlayMciWave("w.wav", 0), 1);
    StopMciWave();
}

}  // namespace
