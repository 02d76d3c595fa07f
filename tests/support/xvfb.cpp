// xvfb.cpp - a private X server and games in a window on it.
#include "tests/support/xvfb.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XvfbServer::XvfbServer(int width, int height) {
    if (access("/usr/bin/Xvfb", X_OK) != 0) {
        why = "/usr/bin/Xvfb is not installed (scripts/install-deps installs xvfb)";
        return;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        why = "no pipe for Xvfb's display number";
        return;
    }
    pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives its caller
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::string fd = std::to_string(fds[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(), "-nolisten", "tcp",
              "-noreset", (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    // The server writes its number and a line break once it listens.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        why = "Xvfb did not start";
        Stop();
        return;
    }
    name = ":" + number;
}

void XvfbServer::Stop() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

pid_t StartWindowGame(const std::string& dir, const std::string& display) {
    pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("SDL_VIDEODRIVER");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        execl(ORVA_EXE, ORVA_EXE, dir.c_str(), (char*)nullptr);
        _exit(127);
    }
    return pid;
}
