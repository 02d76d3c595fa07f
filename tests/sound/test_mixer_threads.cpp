// The mixer against a real audio device thread (SDL's silent driver): a
// stream closed by the engine while the device's thread is reading it is
// freed on the engine's thread afterwards, never in the audio callback.
#include <gtest/gtest.h>
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "sound/mixer.h"

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

}  // namespace
