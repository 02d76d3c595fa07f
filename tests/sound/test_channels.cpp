// The sound channels, the mixer and the sound thread inside the test program,
// on the headless virtual clock: when a channel ends (to the millisecond),
// the one-second minimum of short Ogg sounds, the end consumed once, looping
// channels, the wave scanner's rules and its bounds, files that cannot be
// decoded, channel numbers out of range, the loop-music hand-over and
// ducking of the music under a voice.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "archive/archives.h"
#include "archive/ova.h"
#include "core/error.h"
#include "ext/optional.h"
#include "tests/archive/arcpack.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/decode_riff.h"
#include "sound/mixer.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

class Channels : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        StartHeadlessForTests();
        ShutdownDirectSound();
        SoundThreadStop = 0;
        MixerResetForTests();
        SoundChannels.SoundStarted = 0;
        for (int ch = 0; ch < ChannelCount; ch++)
            SoundChannels.ChannelVolumes[ch] = SoundChannels.ChannelBufferReady[ch] =
                SoundChannels.ChannelLooping[ch] = SoundChannels.ChannelPlaying[ch] = 0;
        LoopBgmState = 0;
        LoopBgmFiles = LoopBgmFileSet();
        VoiceVolume = SeVolume = BgmVolume = BgmBaseVolume = 0;
        BgmDownMode = BgmFadeRunning = BgmFadeOutTime = 0;
        NoLoadError = 0;
        OggDecoderLoaded = true;  // as in a game that ships "oggdec.dll"
        ASSERT_EQ(StartDirectSound(), 1);
        StartSoundThread();
        dir = MakeGameFolder();
    }

    void TearDown() override {
        StopLoopBgm();
        BgmDownMode = 0;
        OggDecoderLoaded = false;
    }

    std::string File(const std::string& name, const std::string& bytes) {
        WriteGameFile(dir, name, bytes);
        return dir + "/" + name;
    }

    // Plays a loaded one-shot channel and returns the ms until it ended.
    int MsUntilEnd(int ch, int limit = 5000) {
        PlayChannel(ch, 0);
        for (int ms = 0; ms < limit; ms++) {
            if (!PollChannelPlaying(ch)) return ms;
            PlatSleep(1);
        }
        return -1;
    }
};

// ---- ends, the Ogg minimum, looping --------------------------------------------------------

TEST_F(Channels, OneShotEndsWhenItsLastSampleIsPlayed) {
    struct Case {
        const char* what;
        int rate, channels;
        double seconds;
        int ms;
    } cases[] = {
        {"22050 Hz mono, 0.5 s", 22050, 1, 0.5, 500},
        {"44100 Hz stereo, 0.25 s", 44100, 2, 0.25, 250},
        {"11025 Hz mono, 1.2 s", 11025, 1, 1.2, 1200},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(LoadChannelFile(File("t.wav", ToneWave(c.seconds, 440, c.rate, c.channels, 0.5)).c_str(), 5), 1);
        EXPECT_EQ(MsUntilEnd(5), c.ms) << c.what;
        EXPECT_EQ(SoundChannels.ChannelBufferReady[5], 0) << c.what << ": released at its end";
        EXPECT_FALSE(TakeChannelEnd(5)) << c.what << ": the end is consumed once";
    }
}

TEST_F(Channels, ShortOggPlaysForOneSecondLongerOggAsLong) {
    ASSERT_EQ(LoadChannelFile(File("short.ogg", ToneOgg(0.25, 440, 22050, 1, 0.5)).c_str(), 0), 1);
    EXPECT_EQ(MsUntilEnd(0), 1000);
    ASSERT_EQ(LoadChannelFile(File("long.ogg", ToneOgg(1.5, 440, 44100, 2, 0.5)).c_str(), 0), 1);
    EXPECT_EQ(MsUntilEnd(0), 1500);
}

TEST_F(Channels, OnlyLowerCaseOggIsDecodedAsOgg) {
    std::string ogg = ToneOgg(0.25, 440, 22050, 1, 0.5);
    EXPECT_EQ(LoadChannelFile(File("upper.OGG", ogg).c_str(), 3), 0);
    EXPECT_EQ(SoundChannels.ChannelBufferReady[3], 0);
    EXPECT_EQ(LoadChannelFile(File("lower.ogg", ogg).c_str(), 3), 1);
}

TEST_F(Channels, LoopingChannelIsNeverReportedPlayingNorReleasedByPolls) {
    ASSERT_EQ(LoadChannelFile(File("t.wav", ToneWave(0.1, 440, 44100, 1, 0.5)).c_str(), 7), 1);
    PlayChannel(7, 1);
    for (int i = 0; i < 35; i++) {
        EXPECT_EQ(PollChannelPlaying(7), 0);
        PlatSleep(10);
    }
    EXPECT_EQ(SoundChannels.ChannelBufferReady[7], 1);
    EXPECT_TRUE(MixerBufferPlaying(7));
    StopLoopingChannels();
    EXPECT_EQ(SoundChannels.ChannelBufferReady[7], 0);
    EXPECT_EQ(SoundChannels.ChannelPlaying[7], 0);
    EXPECT_EQ(SoundChannels.ChannelLooping[7], 1) << "the loop flag stays for a later StopAllSound";
}

TEST_F(Channels, PlayGoesOnFromTheCurrentPosition) {
    ASSERT_EQ(LoadChannelFile(File("t.wav", ToneWave(1.0, 440, 44100, 2, 0.5)).c_str(), 2), 1);
    PlayChannel(2, 0);
    PlatSleep(100);
    PlayChannel(2, 0);
    PlatSleep(100);
    EXPECT_EQ(MixerBufferPosition(2), 8820);
    EXPECT_EQ(MsUntilEnd(2), 800);
}

TEST_F(Channels, PlayOnAnEmptyChannelIsNotWatchedForever) {
    PlayChannel(4, 0);
    EXPECT_EQ(SoundChannels.ChannelPlaying[4], 0);
    EXPECT_EQ(PollChannelPlaying(4), 0);
    EXPECT_EQ(LoadChannelFile((dir + "/missing.wav").c_str(), 4), 0);
    PlayChannel(4, 0);
    EXPECT_EQ(PollChannelPlaying(4), 0);
}

TEST_F(Channels, VolumeMapsToHundredthsOfADecibel) {
    struct {
        int attenuation;
        int32_t mb;
    } cases[] = {{0, 0}, {1, -25}, {50, -1250}, {99, -2475}, {100, -10000}, {-20, 0}, {140, -10000}};
    for (auto c : cases) EXPECT_EQ(ChannelMillibels(c.attenuation), c.mb) << c.attenuation;
    EXPECT_FLOAT_EQ(MixerGainOf(-2000), 0.1f);
    EXPECT_EQ(MixerGainOf(-10000), 0.0f);
    EXPECT_EQ(MixerGainOf(500), 1.0f) << "never louder than full level";
}

TEST_F(Channels, PlayAppliesVoiceAndEffectVolumesButNotTheMusicChannels) {
    std::string t = File("t.wav", ToneWave(0.1, 440, 44100, 1, 0.5));
    VoiceVolume = 30;
    SeVolume = 60;
    for (int ch : {0, 1, 197, 198, 199}) {
        ASSERT_EQ(LoadChannelFile(t.c_str(), ch), 1);
        SetChannelVolume(10, ch);
        PlayChannel(ch, 0);
    }
    EXPECT_EQ(SoundChannels.ChannelVolumes[0], 30);
    EXPECT_EQ(SoundChannels.ChannelVolumes[1], 60);
    EXPECT_EQ(SoundChannels.ChannelVolumes[197], 60);
    EXPECT_EQ(SoundChannels.ChannelVolumes[198], 10);
    EXPECT_EQ(SoundChannels.ChannelVolumes[199], 10);
}

// ---- bounds and bad files -----------------------------------------------------------------

TEST_F(Channels, ChannelNumbersOutOfRangeAreIgnored) {
    std::string t = File("t.wav", ToneWave(0.1, 440, 44100, 1, 0.5));
    for (int ch : {-1, 200, 1000, -100000}) {
        EXPECT_EQ(LoadChannelFile(t.c_str(), ch), 0);
        SetChannelVolume(50, ch);
        PlayChannel(ch, 1);
        EXPECT_EQ(PollChannelPlaying(ch), 0);
        EXPECT_FALSE(TakeChannelEnd(ch));
        StopChannel(ch);
    }
}

TEST_F(Channels, ReleasingTwiceIsHarmless) {
    ASSERT_EQ(LoadChannelFile(File("t.wav", ToneWave(0.1, 440, 44100, 1, 0.5)).c_str(), 9), 1);
    PlayChannel(9, 0);
    StopChannel(9);
    StopChannel(9);
    StopLoopingChannels();
    EXPECT_EQ(SoundChannels.ChannelBufferReady[9], 0);
    EXPECT_FALSE(MixerBufferLoaded(9));
}

TEST_F(Channels, FilesThatCannotBeDecodedAreFailedLoads) {
    std::string pcm = ToneSamples(100, 440, 22050, 1, 0.5);
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"no fmt chunk", "RIFF\x10\0\0\0WAVEdata\x04\0\0\0abcd"},
        {"no data chunk", WaveFile(FormatRecord(1, 1, 22050, 16, 2), "").substr(0, 36)},
        {"fmt length cut off", std::string("RIFF\0\0\0\0WAVEfmt \x10\0", 18)},
        {"data length cut off", WaveFile(FormatRecord(1, 1, 22050, 16, 2), "").substr(0, 42)},
        {"12-bit PCM", WaveFile(FormatRecord(1, 1, 22050, 12, 2), pcm)},
        {"no channels", WaveFile(FormatRecord(1, 0, 22050, 16, 2), pcm)},
        {"rate 0", WaveFile(FormatRecord(1, 1, 0, 16, 2), pcm)},
        {"rate 1 Hz (44100 times as many frames)", WaveFile(FormatRecord(1, 1, 1, 16, 2), pcm + pcm + pcm)},
        {"unknown format tag", WaveFile(FormatRecord(0x7A7A, 1, 22050, 16, 2), pcm)},
        {"ADPCM without its data", WaveFile(FormatRecord(2, 1, 22050, 4, 256), "\x01\x02\x03")},
        {"garbage named .ogg", "OggS but not really"},
        {"text", "hello, this is no sound at all"},
    };
    for (const Case& c : cases) {
        bool ogg = strstr(c.what, ".ogg") != nullptr;
        std::string path = File(ogg ? "bad.ogg" : "bad.wav", c.bytes);
        EXPECT_EQ(LoadChannelFile(path.c_str(), 12), 0) << c.what;
        EXPECT_EQ(SoundChannels.ChannelBufferReady[12], 0) << c.what;
    }
    EXPECT_EQ(LoadChannelFile((dir + "/none.wav").c_str(), 12), 0) << "missing";
}

TEST_F(Channels, WaveScannerRules) {
    std::string fmt = FormatRecord(1, 2, 44100, 16, 4);
    std::string data = ToneSamples(441, 440, 44100, 2, 0.5);  // 10 ms
    struct Case {
        const char* what;
        std::string bytes;
        int ms;  // -1: no load
    } cases[] = {
        {"plain", WaveFile(fmt, data), 10},
        {"no RIFF and WAVE words", "junk" + WaveFile(fmt, data).substr(12), 10},
        {"data size past the end (streamed file)", WaveFile(fmt, data, 0xFFFFFFFF), 10},
        {"fmt chunk longer than the record", WaveFile(fmt + std::string(300, '\x55'), data), 10},
        {"a chunk before the format", "RIFF\0\0\0\0WAVELIST\x04\0\0\0abcd" + WaveFile(fmt, data).substr(12), 10},
        {"a broken partial match starts no new one", "ffmt " + WaveFile(fmt, data).substr(12, 4), -1},
    };
    for (const Case& c : cases) {
        int loaded = LoadChannelFile(File("s.wav", c.bytes).c_str(), 20);
        if (c.ms < 0) {
            EXPECT_EQ(loaded, 0) << c.what;
            continue;
        }
        ASSERT_EQ(loaded, 1) << c.what;
        EXPECT_EQ(MsUntilEnd(20), c.ms) << c.what;
    }
    RiffWave w;
    std::string big = WaveFile(fmt + std::string(300, 'x'), "ab");
    ASSERT_TRUE(ScanRiffWave((const uint8_t*)big.data(), big.size(), &w));
    EXPECT_EQ(w.format_length, 316u);
    EXPECT_EQ(w.data_size, 2u);
    EXPECT_EQ(w.channels, 2);
    EXPECT_EQ((unsigned char)w.format[RiffFormatBytes - 1], 'x');
}

TEST_F(Channels, CompressedAndOtherWaveFormatsAreDecoded) {
    // mu-law and 8-bit PCM: one byte a sample; float: four.
    std::string ulaw(22050 / 10, '\x7f'), u8(22050 / 10, '\x80'), f32(22050 / 10 * 4, '\0');
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"mu-law", WaveFile(FormatRecord(7, 1, 22050, 8, 1) + std::string("\0\0", 2), ulaw)},
        {"8-bit PCM", WaveFile(FormatRecord(1, 1, 22050, 8, 1), u8)},
        {"IEEE float", WaveFile(FormatRecord(3, 1, 22050, 32, 4), f32)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(LoadChannelFile(File("c.wav", c.bytes).c_str(), 30), 1) << c.what;
        EXPECT_EQ(MsUntilEnd(30), 100) << c.what;
    }
}

TEST_F(Channels, ShutdownStopsEverythingAndTheThread) {
    ASSERT_EQ(LoadChannelFile(File("t.wav", ToneWave(0.5, 440, 44100, 1, 0.5)).c_str(), 1), 1);
    PlayChannel(1, 1);
    ShutdownDirectSound();
    EXPECT_EQ(SoundChannels.SoundStarted, 0);
    EXPECT_EQ(SoundChannels.ChannelBufferReady[1], 0);
    EXPECT_EQ(SoundThreadStop, 1);
    ShutdownDirectSound();  // twice: nothing more
    SoundThreadStop = 0;
}

// ---- loop music ---------------------------------------------------------------------------

class LoopMusic : public Channels {};

TEST_F(LoopMusic, LoopPartStartsWithinOnePassOfTheIntrosEnd) {
    for (int down : {0, 1}) {
        BgmDownMode = down;
        File("intro.wav", ToneWave(0.3, 440, 44100, 2, 0.5));
        File("loop.wav", ToneWave(0.2, 880, 44100, 2, 0.5));
        PlayLoopBgm((dir + "/intro.wav").c_str(), (dir + "/loop.wav").c_str());
        EXPECT_EQ(LoopBgmState, 1);
        PlatSleep(299);
        EXPECT_EQ(LoopBgmState, 1) << "ducking " << down;
        PlatSleep(6);
        EXPECT_EQ(LoopBgmState, 2) << "ducking " << down;
        EXPECT_EQ(SoundChannels.ChannelBufferReady[BgmIntroChannel], 0);
        EXPECT_TRUE(MixerBufferPlaying(BgmLoopChannel));
        EXPECT_LE(MixerBufferPosition(BgmLoopChannel), 5 * 441 / 10 + 1) << "gap of at most one pass";
        PlatSleep(1000);
        EXPECT_TRUE(MixerBufferPlaying(BgmLoopChannel)) << "the loop part loops";
        StopLoopBgm();
        EXPECT_EQ(LoopBgmState, 0);
        EXPECT_EQ(LoopBgmFiles.intro, "");
        EXPECT_EQ(LoopBgmFiles.loop, dir + "/loop.wav") << "the loop name stays";
        EXPECT_EQ(SoundChannels.ChannelBufferReady[BgmLoopChannel], 0);
    }
}

TEST_F(LoopMusic, EmptyLoopNameOrUnloadableIntroEndInState2) {
    File("intro.wav", ToneWave(0.1, 440, 44100, 2, 0.5));
    File("bad.wav", "not a sound");
    PlayLoopBgm((dir + "/intro.wav").c_str(), "");
    PlatSleep(120);
    EXPECT_EQ(LoopBgmState, 2);
    EXPECT_FALSE(MixerBufferPlaying(BgmLoopChannel));
    PlayLoopBgm((dir + "/bad.wav").c_str(), (dir + "/intro.wav").c_str());
    PlatSleep(51);  // the next pass: at most 50 ms while no hand-over was pending
    EXPECT_EQ(LoopBgmState, 2) << "an intro that did not load does not hold the loop back";
    EXPECT_TRUE(MixerBufferPlaying(BgmLoopChannel));
}

TEST_F(LoopMusic, MissingFilesAreLoadErrorsUnlessNoLoadError) {
    File("intro.wav", ToneWave(0.1, 440, 44100, 2, 0.5));
    std::string box = FatalBoxOf([] { PlayLoopBgm("nothere.wav", "loop.wav"); }, true);
    EXPECT_EQ(box, "ロードエラー: ファイルnothere.wavを開けません。");
    box = FatalBoxOf([&] { PlayLoopBgm((dir + "/intro.wav").c_str(), "gone.wav"); }, true);
    EXPECT_EQ(box, "ロードエラー: ファイルgone.wavを開けません。");
    StopLoopBgm();
    NoLoadError = 1;
    PlayLoopBgm("nothere.wav", "loop.wav");
    EXPECT_EQ(LoopBgmState, 0);
    EXPECT_EQ(SoundChannels.ChannelPlaying[BgmIntroChannel], 0);
}

TEST_F(LoopMusic, ArchivedFilesPlayFromFreshTemporaryFilesDeletedAtTheStop) {
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    ForgetArchiveState();
    File("arc.ova", arcpack::PackOva({{"bgm\\intro.wav", arcpack::Stored, ToneWave(0.2, 440, 44100, 2, 0.5)},
                                      {"bgm\\loop.wav", arcpack::Stored, ToneWave(0.2, 880, 44100, 2, 0.5)}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    PlayLoopBgm("bgm\\intro.wav", "bgm\\loop.wav");
    ASSERT_TRUE(LoopBgmFiles.intro_temp);
    ASSERT_TRUE(LoopBgmFiles.loop_temp);
    std::string intro = LoopBgmFiles.intro_path, loop = LoopBgmFiles.loop_path;
    EXPECT_NE(intro, loop);
    EXPECT_EQ(intro.rfind(PlatTempDir(), 0), 0u) << intro;
    EXPECT_EQ(access(intro.c_str(), F_OK), 0);
    PlatSleep(210);
    EXPECT_EQ(LoopBgmState, 2);
    EXPECT_TRUE(MixerBufferPlaying(BgmLoopChannel));
    StopLoopBgm();
    EXPECT_NE(access(intro.c_str(), F_OK), 0) << "deleted at the stop";
    EXPECT_NE(access(loop.c_str(), F_OK), 0) << "deleted at the stop";
    EXPECT_FALSE(LoopBgmFiles.intro_temp || LoopBgmFiles.loop_temp);
    ForgetArchiveState();
}

TEST_F(LoopMusic, FadeOutStepsTheChannelBeingHeardAndEndsOff) {
    File("intro.wav", ToneWave(2.0, 440, 44100, 2, 0.5));
    File("loop.wav", ToneWave(0.5, 880, 44100, 2, 0.5));
    for (int state : {1, 2}) {
        PlayLoopBgm((dir + "/intro.wav").c_str(), (dir + "/loop.wav").c_str());
        if (state == 2) PlatSleep(2010);
        ASSERT_EQ(LoopBgmState, state);
        BgmVolume = 50;
        BgmFadeOutTime = 500;  // 10 ms a step from 50 to 99
        uint32_t start = PlatTicks();
        StopLoopBgm();
        uint32_t took = PlatTicks() - start;
        EXPECT_GE(took, 490u) << state;
        EXPECT_LE(took, 520u) << state;
        EXPECT_EQ(LoopBgmState, 0);
        EXPECT_EQ(SoundChannels.ChannelVolumes[state == 2 ? BgmLoopChannel : BgmIntroChannel], 50)
            << "set back to where the fade began";
        EXPECT_EQ(SoundChannels.ChannelBufferReady[BgmIntroChannel], 0);
        EXPECT_EQ(SoundChannels.ChannelBufferReady[BgmLoopChannel], 0);
        BgmFadeOutTime = 0;
        BgmVolume = 0;
    }
}

// ---- ducking ------------------------------------------------------------------------------

class Ducking : public Channels {
protected:
    // BgmVolume each ms while a voice of `voice_ms` plays and `after_ms` more.
    std::vector<int> Trace(int base, int voice_ms, int after_ms, bool loop = false) {
        BgmBaseVolume = BgmVolume = base;
        BgmDownMode = 1;
        EXPECT_EQ(LoadChannelFile(File("v.wav", ToneWave(voice_ms / 1000.0, 440, 44100, 1, 0.5)).c_str(),
                                  VoiceChannel),
                  1);
        PlayChannel(VoiceChannel, loop);
        std::vector<int> v;
        for (int ms = 0; ms < voice_ms + after_ms; ms++) {
            PlatSleep(1);
            v.push_back(BgmVolume);
        }
        return v;
    }
};

TEST_F(Ducking, MusicGoesDownToHalfInStepsOfTwoAndComesBack) {
    struct {
        int base, floor;
    } cases[] = {{0, 50}, {40, 70}, {80, 90}};
    for (auto c : cases) {
        std::vector<int> v = Trace(c.base, 1000, 600);
        int most = c.base, last_change = -100;
        for (size_t i = 1; i < v.size(); i++) {
            if (v[i] == v[i - 1]) continue;
            EXPECT_EQ(std::abs(v[i] - v[i - 1]), 2) << "base " << c.base << " at " << i;
            EXPECT_GT((int)i - last_change, 8) << "base " << c.base << " at " << i;
            last_change = (int)i;
            if (v[i] > most) most = v[i];
        }
        EXPECT_EQ(most, c.floor) << "base " << c.base;
        EXPECT_EQ(v[990], c.floor) << "base " << c.base;
        EXPECT_EQ(v.back(), c.base) << "base " << c.base;
    }
}

TEST_F(Ducking, LoopingVoiceDucksNothing) {
    std::vector<int> v = Trace(0, 300, 100, true);
    for (int x : v) ASSERT_EQ(x, 0);
    StopChannel(VoiceChannel);
}

}  // namespace
