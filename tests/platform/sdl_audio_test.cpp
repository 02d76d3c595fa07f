// Without a sound device the SDL backend plays in silence: the audio device
// still opens (SDL's device that plays nothing) and nothing is printed; a
// paused device rests until it resumes.
#include <fcntl.h>
#include <SDL.h>
#include <sys/wait.h>

#include <atomic>
#include <cstring>
#include <string>

#include "plat_test.h"
#include "tests/sound/in_a_window.h"

namespace {

TEST(SdlAudio, NoSoundDeviceFallsBackToSilenceQuietly) {
    for (const char* driver : {"alsa", "nosuchdriver"}) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        if (pid == 0) {
            dup2(fds[1], 2);
            close(fds[0]);
            setenv("SDL_VIDEODRIVER", "dummy", 1);
            setenv("SDL_AUDIODRIVER", driver, 1);
            setenv("ALSA_CONFIG_PATH", "/nonexistent/alsa.conf", 1);  // no card, for sure
            PlatOptions opt;
            if (!PlatInit(opt)) _exit(3);
            bool open = PlatOpenAudio([](int16_t* f, int n, void*) { memset(f, 0, (size_t)n * 4); }, nullptr);
            PlatLockAudio();
            PlatUnlockAudio();
            PlatCloseAudio();
            fflush(stderr);
            _exit(open ? 0 : 4);
        }
        close(fds[1]);
        std::string err;
        char buf[512];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) err.append(buf, (size_t)n);
        close(fds[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << driver;
        EXPECT_EQ(WEXITSTATUS(status), 0) << driver;
        EXPECT_EQ(err, "") << driver;
    }
}

// The device is fed on its own thread while the main thread blocks in a
// wait (a loop of a wait's kind: take what came, block until the
// deadline): the mixer callback goes on running meanwhile.
TEST(SdlAudio, ABlockedWaitDoesNotStarveTheDevice) {
    int status = InAWindow([] {
        static std::atomic<int64_t> frames{0};
        if (!PlatOpenAudio(
                [](int16_t* f, int n, void*) {
                    memset(f, 0, (size_t)n * 4);
                    frames += n;
                },
                nullptr))
            return 4;
        SDL_Delay(100);  // the device under way
        int64_t before = frames;
        uint32_t t0 = PlatTicks();
        int passes = 0;
        while (PlatTicks() - t0 < 400) {
            while (PlatGetMessage(nullptr)) {}
            PlatWaitEvent(t0 + 400);
            passes++;
        }
        int64_t fed = frames - before;
        PlatCloseAudio();
        if (passes > 100) return 5;  // it did not block
        // A quarter of what 400 ms play is far more than one buffer of the
        // device: it was fed during the wait, not only before or after it.
        return fed >= 44100 / 10 ? 0 : 6;
    });
    EXPECT_EQ(status, 0) << "-1: a hang, 100: no SDL, 4: no device, 5: the wait did not block, 6: the device starved";
}

// A paused device's thread asks for nothing until the pause ends, also when
// the callback itself asked for the pause; locking and closing a paused
// device do not hang.
TEST(SdlAudio, APausedDeviceAsksForNothingUntilItResumes) {
    int status = InAWindow([] {
        static std::atomic<int> calls{0};
        static std::atomic<bool> pause_from_inside{false};
        if (!PlatOpenAudio(
                [](int16_t* f, int n, void*) {
                    memset(f, 0, (size_t)n * 4);
                    calls++;
                    if (pause_from_inside.exchange(false)) PlatPauseAudio(true);
                },
                nullptr))
            return 4;
        auto calls_during = [](int ms) {
            int before = calls;
            SDL_Delay(ms);
            return calls - before;
        };
        SDL_Delay(100);
        PlatPauseAudio(true);
        SDL_Delay(50);  // a buffer under way
        if (calls_during(300) != 0) return 5;
        PlatPauseAudio(false);
        if (calls_during(300) < 5) return 6;  // 13 buffers of 1024 frames
        pause_from_inside = true;
        SDL_Delay(100);
        if (calls_during(300) != 0) return 7;
        PlatLockAudio();
        PlatUnlockAudio();
        PlatPauseAudio(true);
        PlatCloseAudio();
        return 0;
    });
    EXPECT_EQ(status, 0) << "-1: a hang, 100: no SDL, 4: no device, 5: a paused device was asked for "
                            "sound, 6: it did not resume, 7: the callback's pause did not hold";
}

}  // namespace
