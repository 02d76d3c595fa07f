// The mixer against a real audio device thread (SDL's silent driver): a
// stream closed by the engine while the device's thread is reading it is
// freed on the engine's thread afterwards, never in the audio callback; and
// in a window (a child process on SDL's silent drivers) the device and the
// sound thread rest while nothing plays and start again with the next
// sound.
#include <gtest/gtest.h>
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/mixer.h"
#include "sound/ogg_channels.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "tests/sound/in_a_window.h"
#include "tests/sound/sound_test_files.h"

namespace {

typedef std::chrono::steady_clock Clock;

// Waits up to 5 s for `done`.
template <class F>
bool Within5s(F done) {
    auto limit = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// SDL's silent device calling the mixer on its own thread, as in a window.
class MixerThreads : public testing::Test {
protected:
    SDL_AudioDeviceID device_ = 0;
    void SetUp() override {
        MixerResetForTests();
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        SDL_AudioSpec want = {}, have;
        want.freq = MixerRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = [](void*, Uint8* out, int len) { MixerRender((int16_t*)out, len / 4); };
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        ASSERT_NE(device_, 0u) << SDL_GetError();
        SDL_PauseAudioDevice(device_, 0);
    }
    void TearDown() override {
        if (device_) SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        MixerResetForTests();
    }
};

// A source whose Read waits until it is let go, and which notes on which
// thread it is destroyed.
struct Gate {
    std::atomic<bool> inside{false}, go_on{false}, freed{false}, freed_here{false};
    std::thread::id engine = std::this_thread::get_id();
};
struct HeldSource : MixerSource {
    Gate* gate;
    explicit HeldSource(Gate* g) : gate(g) {}
    ~HeldSource() override {
        gate->freed_here = std::this_thread::get_id() == gate->engine;
        gate->freed = true;
    }
    int Read(float* stereo, int count) override {
        gate->inside = true;
        while (!gate->go_on) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        memset(stereo, 0, sizeof(float) * 2 * (size_t)count);
        return count;
    }
    bool Rewind() override { return true; }
};

TEST_F(MixerThreads, AStreamClosedDuringARenderIsFreedOnTheEnginesThread) {
    Gate gate;
    int h = MixerOpenSource(std::unique_ptr<MixerSource>(new HeldSource(&gate)));
    ASSERT_GE(h, 0);
    MixerPlayStream(h, true);
    ASSERT_TRUE(Within5s([&] { return gate.inside.load(); })) << "the device reads the stream";
    MixerCloseStream(h);  // while the device's thread is inside its Read
    EXPECT_FALSE(gate.freed);
    EXPECT_TRUE(MixerHasSpent());
    gate.go_on = true;
    // Two more chunks: the render that held the stream is over.
    int64_t now = MixerRenderedFrames();
    ASSERT_TRUE(Within5s([&] { return MixerRenderedFrames() >= now + 2048; }));
    EXPECT_FALSE(gate.freed) << "freed by the audio callback";
    MixerFreeSpent();
    EXPECT_TRUE(gate.freed);
    EXPECT_TRUE(gate.freed_here);
    EXPECT_FALSE(MixerHasSpent());
}

// Closed between renders, a stream goes at once.
TEST_F(MixerThreads, AStreamClosedBetweenRendersGoesAtOnce) {
    SDL_PauseAudioDevice(device_, 1);
    SDL_LockAudioDevice(device_);  // no render under way
    Gate gate;
    gate.go_on = true;
    int h = MixerOpenSource(std::unique_ptr<MixerSource>(new HeldSource(&gate)));
    ASSERT_GE(h, 0);
    MixerPlayStream(h, true);
    MixerCloseStream(h);
    SDL_UnlockAudioDevice(device_);
    EXPECT_TRUE(gate.freed);
    EXPECT_TRUE(gate.freed_here);
    EXPECT_FALSE(MixerHasSpent());
}

// The sound thread sets the music stream's gain while the engine closes
// and opens streams (the music changing under a voice's ducking): it finds
// the stream or none, never one half taken out of the table.
TEST_F(MixerThreads, AStreamLookedUpOnAnotherThreadWhileTheEngineClosesIt) {
    std::atomic<bool> stop{false};
    std::thread ducking([&] {
        while (!stop) {
            MixerSetStreamGain(0, -1000);
            MixerStreamPlaying(0);
        }
    });
    Gate gate;
    gate.go_on = true;
    for (int i = 0; i < 2000; i++) {
        int h = MixerOpenSource(std::unique_ptr<MixerSource>(new HeldSource(&gate)));
        ASSERT_EQ(h, 0);
        MixerCloseStream(h);
    }
    stop = true;
    ducking.join();
}

// ---- in a window ---------------------------------------------------------------------

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Frames the device asked for during ms milliseconds.
int64_t FramesDuring(int ms) {
    int64_t before = MixerRenderedFrames();
    Sleep(ms);
    return MixerRenderedFrames() - before;
}

// Nothing plays: the device's thread asks for no sound at all (once one
// buffer under way is done); a channel's sound, then an Ogg channel's, start
// it again at once and play to their end, after which it rests again; it
// closes while it rests.
TEST(MixerDevice, TheDeviceRestsWhileNothingPlays) {
    int status = InAWindow([] {
        if (StartDirectSound() != 1) return 1;
        Sleep(100);
        if (!MixerDeviceResting()) return 2;
        if (FramesDuring(300) > 1024) return 3;
        std::string wave = ToneWave(0.2, 440, 22050, 1, 0.5);
        if (LoadChannelMemory((const uint8_t*)wave.data(), wave.size(), false, 1) != 1) return 4;
        int64_t before = MixerRenderedFrames();
        PlayChannel(1, 0);
        Sleep(500);
        if (MixerRenderedFrames() - before < MixerRate / 5) return 5;  // played to its end
        if (!TakeChannelEnd(1) || !MixerDeviceResting()) return 6;
        if (FramesDuring(300) > 1024) return 7;
        std::string ogg = ToneOgg(0.2, 440, 44100, 1, 0.5);
        if (!OggOpenBytes(3, "t.ogg", std::vector<uint8_t>(ogg.begin(), ogg.end()))) return 8;
        Sleep(100);
        if (!MixerDeviceResting()) return 9;  // an Ogg channel open but still
        before = MixerRenderedFrames();
        OggPlay(3, false);
        Sleep(500);
        if (MixerRenderedFrames() - before < MixerRate / 5 || OggIsPlaying(3)) return 10;
        if (!MixerDeviceResting() || FramesDuring(300) > 1024) return 11;
        ShutdownDirectSound();
        return 0;
    });
    EXPECT_EQ(status, 0) << "1: no device, 2/3: it did not rest, 4: no load, 5: the sound did not play, "
                            "6: no end or no rest after it, 7: it played on, 8: no Ogg, 9: an open Ogg "
                            "channel kept it up, 10: the Ogg sound did not play, 11: no rest after it, "
                            "-1: a hang";
}

// The sound thread rests while it has nothing to do and wakes at once for
// a voice that lowers the music (bgmdownmode).
TEST(SoundThreadRest, AVoiceWakesItToLowerTheMusic) {
    int status = InAWindow([] {
        if (StartDirectSound() != 1) return 1;
        BgmDownMode = 1;
        BgmVolume = BgmBaseVolume = 0;
        StartSoundThread();
        Sleep(200);  // nothing to do: it rests
        std::string wave = ToneWave(1.0, 440, 22050, 1, 0.5);
        if (LoadChannelMemory((const uint8_t*)wave.data(), wave.size(), false, VoiceChannel) != 1) return 2;
        auto start = std::chrono::steady_clock::now();
        PlayChannel(VoiceChannel, 0);
        while (BgmVolume == 0) {
            if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(100)) return 3;
            Sleep(1);
        }
        // Down to half the loudness while the voice plays, back after it.
        Sleep(2000);
        if (BgmVolume != 0) return 4;
        ShutdownDirectSound();
        return 0;
    });
    EXPECT_EQ(status, 0) << "1: no device, 2: no load, 3: the music was not lowered at once, "
                            "4: it did not come back, -1: a hang";
}

}  // namespace
