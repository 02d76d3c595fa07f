// Without a sound device the SDL backend plays in silence: the audio device
// still opens (SDL's device that plays nothing) and nothing is printed.
#include <fcntl.h>
#include <sys/wait.h>

#include <string>

#include "plat_test.h"

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

}  // namespace
