// xvfb.h - a private X server for the real-window tests and benchmarks, and
// games started in a window on it.
#pragma once
#include <sys/types.h>

#include <string>

// Xvfb on a display number it picks itself (-displayfd), so that runs side
// by side never share a server; stopped with the object.  `name` is ":N"
// once it listens; otherwise `why` says what failed.
struct XvfbServer {
    pid_t pid = -1;
    std::string name, why;
    XvfbServer(int width, int height);
    void Stop();
    ~XvfbServer() { Stop(); }
};

// Starts the built orva on the game folder `dir` in a window on `display`
// (sound to SDL's silent device, standard output to /dev/null); the game
// is killed when the calling process ends.  -1 when it cannot be started.
pid_t StartWindowGame(const std::string& dir, const std::string& display);
