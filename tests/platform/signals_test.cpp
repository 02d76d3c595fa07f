// SIGINT, SIGTERM and SIGHUP: a game that loops without waiting, or waits in
// a window, is closed by the first one, with status 128 + the signal; a
// second one ends the process at once; the private temporary folder goes in
// every case, and a start removes the folders that copies no longer running
// left behind.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/time.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "plat_test.h"
#include "tests/support/game_folder.h"
#include "tests/support/xvfb.h"

extern char** environ;

namespace {

// The orva-* entries of a folder.
std::vector<std::string> OrvaEntries(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (struct dirent* e = readdir(d))
            if (strncmp(e->d_name, "orva-", 5) == 0) out.push_back(e->d_name);
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// Runs `args` with TMPDIR set to `tmp`; output into files beside the folder.
pid_t Start(std::vector<std::string> args, const std::string& tmp, const std::string& out,
            bool window = false) {
    std::vector<std::string> env = {"TMPDIR=" + tmp};
    if (window) {  // SDL without a display: the window code runs all the same
        env.push_back("SDL_VIDEODRIVER=dummy");
        env.push_back("SDL_AUDIODRIVER=dummy");
    }
    for (char** e = environ; *e; e++)
        if (strncmp(*e, "TMPDIR=", 7) != 0) env.push_back(*e);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, (out + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

// The exit status, or -1 when the process had to be killed after `seconds`.
int Wait(pid_t pid, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

bool WaitFor(const std::string& path, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!Exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(Signals, FirstSignalClosesAGameThatNeverWaits) {
    struct Case {
        int sig;
        int status;
        bool window;
    } cases[] = {{SIGINT, 130, false}, {SIGTERM, 143, false}, {SIGHUP, 129, false},
                 {SIGINT, 130, true}, {SIGTERM, 143, true}};
    for (const Case& c : cases) {
        ScratchDir tmp;
        std::string dir = MakeGameFolder();
        // The debug log shows the story has reached its loop.
        WriteScript(dir, "*define\ncreatedebugwindow\ngame\n*start\n"
                         "debuglog 1\nmov %0,1\ndebuglog 0\n*l\ngoto *l\n");
        std::vector<std::string> args = {ORVA_EXE, dir};
        if (!c.window) args = {ORVA_EXE, "--headless", "--max-ms", "100000000", dir};
        pid_t pid = Start(args, tmp.path, tmp / "out", c.window);
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(WaitFor(dir + "/debuglog.txt", 30)) << c.sig;
        ASSERT_EQ(OrvaEntries(tmp.path).size(), 1u);
        kill(pid, c.sig);
        EXPECT_EQ(Wait(pid, 30), c.status) << c.sig;
        EXPECT_TRUE(OrvaEntries(tmp.path).empty()) << c.sig;
    }
}

// In a window a wait sleeps on the display's connection, which a signal
// does not wake: the handler's waker ends the wait at once.
TEST(Signals, FirstSignalEndsAWaitInAWindowAtOnce) {
    XvfbServer x(640, 480);
    if (x.name.empty()) GTEST_SKIP() << "no X server: " << x.why;
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\nmov $0,\"ready\"\ncsvopen \"ready.csv\",\"w\"\n"
                     "csvwrite $0\ncsvclose\nwait 100000\nend\n");
    pid_t pid = StartWindowGame(dir, x.name);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitFor(dir + "/ready.csv", 30));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // into its wait
    auto sent = std::chrono::system_clock::now();
    kill(pid, SIGTERM);
    EXPECT_EQ(Wait(pid, 30), 143);
    // The window's end writes "envdata": when the wait ended, whatever the
    // rest of the end takes.
    struct stat st;
    ASSERT_EQ(stat((dir + "/envdata").c_str(), &st), 0);
    auto written = std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(written - sent);
    EXPECT_LT(ms.count(), 2000) << "the wait ran on to its next look at the flag";
}

// Run by SecondSignalEndsAtOnce in a process of its own: the first signal
// only marks the close as pending; the second ends the process.
TEST(Signals, SecondSignalHelperProcess) {
    const char* sig_text = getenv("PLAT_SIGNAL_HELPER");
    if (!sig_text) GTEST_SKIP() << "run by SecondSignalEndsAtOnce";
    int sig = atoi(sig_text);
    PlatSetExitHook(nullptr);
    PlatResetForTests();
    const std::string& t = PlatTempDir();
    std::ofstream(t + "/Orvatmp.wav") << "x";
    mkdir((t + "/sub").c_str(), 0755);
    std::ofstream(t + "/sub/deeper.bmp") << "y";
    raise(sig);
    if (!PlatSignalPending) _exit(90);
    raise(sig);
    _exit(91);  // not reached
}

TEST(Signals, SecondSignalEndsAtOnce) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        ScratchDir tmp;
        std::string helper = "/proc/" + std::to_string(getpid()) + "/exe";
        std::string exe(4096, 0);
        exe.resize((size_t)std::max<ssize_t>(0, readlink(helper.c_str(), &exe[0], exe.size())));
        setenv("PLAT_SIGNAL_HELPER", std::to_string(sig).c_str(), 1);
        pid_t pid = Start({exe, "--gtest_filter=Signals.SecondSignalHelperProcess"}, tmp.path, tmp / "out");
        unsetenv("PLAT_SIGNAL_HELPER");
        ASSERT_GT(pid, 0);
        EXPECT_EQ(Wait(pid, 30), 128 + sig) << sig;
        EXPECT_TRUE(OrvaEntries(tmp.path).empty()) << sig;
    }
}

// A start removes the folders of copies that no longer run: those whose
// lock can be taken (but for a folder a running process made a moment ago,
// which has yet to take it), and those without a lock whose process is
// gone.
TEST(Signals, StartRemovesLeftoverTempDirs) {
    ScratchDir tmp;
    std::string live = std::to_string(getpid());
    struct Case {
        std::string name;
        bool folder;
        const char* lock;  // "" none, "free", "held"
        bool stays;
        bool old = false;  // made two minutes ago
    } cases[] = {
        {"orva-2147483646-AbC123", true, "", false},      // its process is gone
        {"orva-2147483645-Xyz789", true, "free", false},  // gone, lock left behind
        {"orva-" + live + "-Def456", true, "free", false, true},  // pid reused: the lock decides
        {"orva-" + live + "-Mno345", true, "free", true},   // starting, lock not yet taken
        {"orva-" + live + "-Ghi789", true, "held", true},   // running
        {"orva-" + live + "-Jkl012", true, "", true},       // running, no lock yet
        {"orva-2147483646-Qwe123", false, "", true},      // a file, not a folder
        {"orva-2147483646-toolong7", true, "", true},     // not our pattern
        {"orva-x-Abc123", true, "", true},
    };
    std::vector<int> held;
    for (const Case& c : cases) {
        if (!c.folder) {
            tmp.Write(c.name, "x");
            continue;
        }
        tmp.Write(c.name + "/Orvatmp.wav", "x");
        if (*c.lock) {
            tmp.Write(c.name + "/.lock", "");
            if (std::string(c.lock) == "held") {
                int fd = open((tmp / c.name + "/.lock").c_str(), O_RDWR | O_CLOEXEC);
                ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
                held.push_back(fd);
            }
        }
        if (c.old) {
            struct timeval back[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
            ASSERT_EQ(utimes((tmp / c.name).c_str(), back), 0);
        }
    }
    std::string helper = "/proc/" + std::to_string(getpid()) + "/exe";
    std::string exe(4096, 0);
    exe.resize((size_t)std::max<ssize_t>(0, readlink(helper.c_str(), &exe[0], exe.size())));
    setenv("PLAT_TEMP_HELPER", "1", 1);
    pid_t pid = Start({exe, "--gtest_filter=Folders.TempDirHelperProcess"}, tmp.path, tmp / "out");
    unsetenv("PLAT_TEMP_HELPER");
    ASSERT_GT(pid, 0);
    EXPECT_EQ(Wait(pid, 30), 3);
    for (const Case& c : cases) EXPECT_EQ(Exists(tmp / c.name), c.stays) << c.name;
    for (int fd : held) close(fd);
    // The helper's own folder went at its exit; nothing else appeared.
    size_t expected = 0;
    for (const Case& c : cases) expected += c.stays;
    EXPECT_EQ(OrvaEntries(tmp.path).size(), expected);
}

}  // namespace
