// in_a_window.h - engine code run as in a window: a child process on the
// SDL backend with SDL's silent video and audio drivers.
#pragma once
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "platform/platform.h"

// Runs body in the child; its exit status (0 when every check held), -1
// when it did not end by itself (a hang is ended after 20 s).
inline int InAWindow(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        alarm(20);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        PlatOptions opt;
        if (!PlatInit(opt)) _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
