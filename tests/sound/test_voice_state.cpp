// Voices and sound effects in-process on the headless backend: the dwave
// family on the channels, StopAllSound with and without its flag, the skip
// and sound-off gates, sound-press plug-ins, undecodable files, the voice
// statement forms and the click that stops a wave voice.
#include <gtest/gtest.h>
#include <dirent.h>

#include <filesystem>
#include <string>

#include "archive/archives.h"
#include "archive/ova.h"
#include "ext/dllcache.h"
#include "ext/optional.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/click_voice.h"
#include "sound/mciwave.h"
#include "sound/music.h"
#include "sound/sound.h"
#include "sound/voice_shortcuts.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "tests/archive/arcpack.h"
#include "tests/sound/voice_files.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"

namespace {

class VoiceState : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        ClearCapturedBoxes();
        saved_dir_ = PlatGameDir();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        SkipMode = QuitRequested = 0;
        NoLoadError = NoDwaveError = WaveDemoMode = 0;
        SoundOn = 1;
        OggDecoderLoaded = true;  // as in a game that ships "oggdec.dll"
        ClearSoundPressPlugins();
        ASSERT_EQ(StartDirectSound(), 1);
        WriteGameFile(dir_, "short.wav", ToneWav(0.05, 440, 22050, 1));
        WriteGameFile(dir_, "loop.wav", ToneWav(0.2, 330, 44100, 2));
    }
    void TearDown() override {
        StopAllSound(true);
        for (int ch = 0; ch < ChannelCount; ch++) StopChannel(ch);
        OggDecoderLoaded = false;
        PlatSetGameDir(saved_dir_.c_str());
    }
    static int Playing(int ch) { return SoundChannels.ChannelPlaying[ch]; }
    static int Loaded(int ch) { return SoundChannels.ChannelBufferReady[ch]; }
    // Sound files left in the private temporary folder.
    static int TempSoundFiles() {
        int n = 0;
        for (auto& e : std::filesystem::directory_iterator(PlatTempDir()))
            if (e.path().filename().string().rfind("Orvatmp", 0) == 0) n++;
        return n;
    }
    std::string dir_, saved_dir_;
};

TEST_F(VoiceState, DwaveOnChannelsAndStopAllSound) {
    EXPECT_EQ(PlayDwave(3, "short.wav", 0), 1);
    EXPECT_EQ(PlayDwave(4, "LOOP.WAV", 1), 1);
    EXPECT_EQ(Loaded(3), 1);
    EXPECT_EQ(Playing(3), 1);
    EXPECT_EQ(Playing(4), 1);
    EXPECT_EQ(SoundChannels.ChannelLooping[4], 1);
    // without its flag StopAllSound leaves looping effects playing
    StopAllSound(false);
    EXPECT_EQ(Playing(4), 1);
    StopAllSound(true);
    EXPECT_EQ(Playing(4), 0);
    EXPECT_EQ(SoundChannels.ChannelLooping[4], 1);  // kept after the stop
    EXPECT_EQ(Playing(3), 1);                       // one-shot effects play on
    StopDwave(3);
    EXPECT_EQ(Loaded(3), 0);
}

TEST_F(VoiceState, OneShotChannelIsReleasedAfterItsEnd) {
    ASSERT_EQ(PlayDwave(5, "short.wav", 0), 1);
    PlatSleep(20);
    ReleaseStoppedChannels();
    EXPECT_EQ(Playing(5), 1);
    PlatSleep(100);
    ReleaseStoppedChannels();
    EXPECT_EQ(Playing(5), 0);
    EXPECT_EQ(Loaded(5), 0);
}

TEST_F(VoiceState, LoadThenPlay) {
    ASSERT_EQ(LoadDwave(7, "loop.wav"), 1);
    EXPECT_EQ(Loaded(7), 1);
    EXPECT_EQ(Playing(7), 0);
    PlayLoadedDwave(7, 1);
    EXPECT_EQ(Playing(7), 1);
    EXPECT_EQ(SoundChannels.ChannelLooping[7], 1);
}

// Skip mode (without mode_wave_demo) and sound off play nothing, but the
// channel is stopped all the same.
TEST_F(VoiceState, GatesStopTheChannelAndPlayNothing) {
    for (int gate = 0; gate < 2; gate++) {
        ASSERT_EQ(PlayDwave(2, "loop.wav", 1), 1);
        if (gate == 0) SkipMode = 1; else SoundOn = 0;
        EXPECT_EQ(PlayDwave(2, "short.wav", 0), 1) << gate;
        EXPECT_EQ(Playing(2), 0) << gate;
        EXPECT_EQ(Loaded(2), 0) << gate;
        SkipMode = 0;
        SoundOn = 1;
    }
    SkipMode = 1;
    WaveDemoMode = 1;
    EXPECT_EQ(PlayDwave(2, "short.wav", 0), 1);
    EXPECT_EQ(Playing(2), 1);
}

// A file that does not decode is a failed load (0), never a crash and no box.
TEST_F(VoiceState, UndecodableFilesFailQuietly) {
    std::string riff = ToneWav(0.01, 440, 22050, 1);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty.wav", ""},
        {"text.wav", "just some text"},
        {"nodata.wav", riff.substr(0, 36)},
        {"bad.ogg", "OggS but not really"},
        {"upper.OGG", "OggS but not really"},
    };
    for (const Case& c : cases) {
        WriteGameFile(dir_, c.name, c.bytes);
        int r = -1;
        EXPECT_EQ(ExitCodeOf([&] { r = PlayDwave(6, c.name, 0); }), -1000) << c.name;
        EXPECT_EQ(r, 0) << c.name;
        EXPECT_EQ(Playing(6), 0) << c.name;
    }
    EXPECT_TRUE(CapturedBoxes().empty());
}

TEST_F(VoiceState, OutOfRangeChannelsAreRefused) {
    EXPECT_EQ(PlayDwave(200, "short.wav", 0), 0);
    EXPECT_EQ(PlayDwave(-1, "short.wav", 0), 0);
    EXPECT_EQ(LoadDwave(1000, "short.wav"), 0);
    PlayLoadedDwave(-5, 1);
    StopDwave(999);
}

// A plug-in registered for "xyz" turns a.XYZ into a wave file of its own in
// the private folder, deleted once loaded.
TEST_F(VoiceState, SoundPressPluginExpandsToATemporaryWave) {
    std::filesystem::copy_file(TEST_PRESS_PATH, std::filesystem::path(dir_) / "press.so");
    SoundPressPlugins[0] = "press.dll|xyz";
    SoundPressPlugins[1] = "nothing.dll|abc";
    SoundPressPluginCount = 2;
    WriteGameFile(dir_, "a.XYZ", ToneWav(0.05, 440, 22050, 1));
    WriteGameFile(dir_, "b.abc", "x");
    int before = TempSoundFiles();
    EXPECT_EQ(PlayDwave(8, "a.XYZ", 0), 1);
    EXPECT_EQ(Playing(8), 1);
    EXPECT_EQ(TempSoundFiles(), before);
    auto calls = (int (*)())GetDllProc("press.dll", "expand_calls");
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls(), 1);
    // a library without "expand" (here: none at all) gives 0 and no box
    EXPECT_EQ(PlayDwave(8, "b.abc", 0), 0);
    EXPECT_TRUE(CapturedBoxes().empty());
    // the wave device keeps its expanded file until it stops
    EXPECT_EQ(PlayMciWave("a.XYZ", 0), 1);
    EXPECT_EQ(TempSoundFiles(), before + 1);
    StopMciWave();
    EXPECT_EQ(TempSoundFiles(), before);
}

TEST_F(VoiceState, VoiceStatementForms) {
    WriteGameFile(dir_, "voice/abc01.wav", ToneWav(0.05, 440, 22050, 1));
    PlayVoiceShortcutDwave("voice\\abc01.wav");
    EXPECT_EQ(Playing(0), 1);
    PlayVoiceShortcutMci("voice\\abc01.wav");
    EXPECT_EQ(MciVoicePlaying, 1);
    EXPECT_EQ(MciWaveName, "voice\\abc01.wav");
    // the next left click stops it
    StopMciVoiceAtClick();
    EXPECT_EQ(MciVoicePlaying, 0);
    EXPECT_EQ(MciWaveName, "");
    // "mv": the music path carries voices from now on; the music volume stays
    BgmVolume = 30;
    VoiceVolume = 10;
    NoLoadError = 1;
    PlayVoiceShortcutMp3("voice\\none.mp3");
    EXPECT_EQ(Mp3VoiceMode, 1);
    EXPECT_EQ(BgmVolume, 30);
    EXPECT_EQ(SoundChannels.ChannelVolumes[BgmLoopChannel], 10);
    Mp3VoiceMode = 0;
}

TEST_F(VoiceState, ClickVoicePlaysOnTheSystemChannel) {
    ClickVoice = "short.wav";
    PlayClickVoice(false);
    EXPECT_EQ(Playing(SystemSoundChannel), 1);
    EXPECT_TRUE(VoiceStillPlaying() == false);
    PlayDwave(0, "short.wav", 0);
    EXPECT_TRUE(VoiceStillPlaying());
    ClickVoice.clear();
}

// The waits ask whether the voice still plays: channel 0, the one-shot wave,
// or once "mv" voices are used, the music stream (stopped at its end).
TEST_F(VoiceState, VoiceEndsOnEachPath) {
    WriteGameFile(dir_, "voice/b.wav", ToneWav(0.1, 440, 22050, 1));
    PlayVoiceShortcutMci("voice\\b.wav");
    EXPECT_TRUE(VoiceStillPlaying());
    PlatSleep(150);
    EXPECT_FALSE(VoiceStillPlaying());
    PlayVoiceShortcutMp3("voice\\b.wav");
    EXPECT_EQ(BgmGraphActive, 1);
    EXPECT_TRUE(VoiceStillPlaying());
    PlatSleep(150);
    EXPECT_FALSE(VoiceStillPlaying());
    EXPECT_EQ(BgmName, "");
    Mp3VoiceMode = 0;
}

// Sounds in an archive are played from copies in the private folder: an
// effect's copy goes once loaded, the music's and the wave's when they stop.
TEST_F(VoiceState, ArchivedSoundsPlayFromTemporaryCopies) {
    std::string wav = ToneWav(0.3, 440, 22050, 1);
    WriteGameFile(dir_, "arc.ova", arcpack::PackOva({{"se\\a.wav", arcpack::Stored, wav},
                                                     {"bgm\\m.wav", arcpack::Lzss, wav}}));
    ForgetArchiveState();
    OvaMode = 1;
    LoadArchiveIndexes();
    auto count = [] {
        int n = 0;
        for (auto& e : std::filesystem::directory_iterator(PlatTempDir())) n += e.is_regular_file();
        return n;
    };
    int before = count();
    EXPECT_EQ(PlayDwave(1, "SE\\A.wav", 0), 1);
    EXPECT_EQ(Playing(1), 1);
    EXPECT_EQ(count(), before);
    PlayBgm("bgm\\m.wav", 1, 0, 0);
    EXPECT_EQ(BgmGraphActive, 1);
    EXPECT_TRUE(BgmTempFile.set);
    EXPECT_EQ(PlayMciWave("se\\a.wav", 1), 1);
    EXPECT_EQ(count(), before + 2);
    StopBgm();
    StopMciWave();
    EXPECT_EQ(count(), before);
    ForgetArchiveState();
}

}  // namespace
