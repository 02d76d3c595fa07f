// programs.cpp - other programs: a document or address opened with the
// desktop's default application (xdg-open), and programs started by the
// script.  Programs are spawned directly (posix_spawnp), never through a
// shell, with standard input from /dev/null and no descriptor of ours but
// standard output and error.  Headless runs record each request instead.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

#include "platform/headless/headless.h"
#include "platform/platform.h"

extern char** environ;

static std::vector<std::string> Launches;
static bool ProgramsAllowed;

const std::vector<std::string>& HeadlessLaunches() { return Launches; }
void HeadlessClearLaunches() { Launches.clear(); }
void HeadlessAllowPrograms(bool on) { ProgramsAllowed = on; }

static void RecordLaunch(const std::string& what) {
    Launches.push_back(what);
    fprintf(stderr, "orva: headless, not started: %s\n", what.c_str());
}

// The pid of the spawned program, or 0.
static pid_t Spawn(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return 0;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // The child starts with the default signal dispositions and no blocked signal.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : 0;
}

bool PlatOpenWithDefault(const std::string& target) {
    if (PlatIsHeadless()) {
        RecordLaunch("open " + target);
        return false;
    }
    if (target.empty()) return false;
    // A name that begins with '-' is a file, never an option of xdg-open.
    int pid = (int)Spawn({"xdg-open", target[0] == '-' ? "./" + target : target});
    PlatReleaseProgram(pid);
    return pid > 0;
}

int PlatStartProgram(const std::vector<std::string>& argv) {
    if (PlatIsHeadless() && !ProgramsAllowed) {
        std::string what = "run";
        for (const std::string& a : argv) what += " " + a;
        RecordLaunch(what);
        return 0;
    }
    return (int)Spawn(argv);
}

bool PlatProgramEnded(int handle) {
    if (handle <= 0) return true;
    int status;
    pid_t r;
    do {
        r = waitpid((pid_t)handle, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    return r != 0;  // ended and reaped, or not a child of ours
}

void PlatReleaseProgram(int handle) {
    if (handle <= 0) return;
    // Nobody waits for it: a thread of its own reaps it when it ends.
    std::thread([handle] { waitpid((pid_t)handle, nullptr, 0); }).detach();
}
