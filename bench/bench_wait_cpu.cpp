// bench_wait_cpu.cpp - what idling costs: one tiny game per kind of wait
// plays in a real window on a private X server (1024x768), and the CPU
// time of the orva process is taken over 10 s once the game has reached its
// wait.  The counter proc_pct is the share of one core of the whole process
// (its utime + stime, every thread it ever had, in clock ticks); the aim is
// under 0.5 for every wait with no sound playing.  cpu_pct is the same
// summed over the threads alive, to the nanosecond, and ui_pct the main
// (user-interface) thread's part of it (the rest: the audio device's
// thread, which SDL's silent driver runs here, and the sound thread).
// Skipped, saying why, without Xvfb.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/game_folder.h"
#include "tests/support/xvfb.h"

namespace {

typedef std::chrono::steady_clock Clock;

enum { MeasureMs = 10000, SettleMs = 1000, StartLimitMs = 30000 };

XvfbServer& Server() {
    static XvfbServer server(1024, 768);
    return server;
}

// CPU time of a thread of the process, in ns (the scheduler's account).
int64_t ThreadCpuNs(const std::string& task) {
    std::ifstream f(task + "/schedstat");
    long long ns = 0;
    return f >> ns ? ns : 0;
}

// The same summed over every thread of the process; in *ui the main
// (user-interface) thread's alone.
int64_t ProcessCpuNs(pid_t pid, int64_t* ui) {
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    *ui = ThreadCpuNs(tasks + "/" + std::to_string(pid));
    DIR* d = opendir(tasks.c_str());
    if (!d) return -1;
    int64_t sum = 0;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.') sum += ThreadCpuNs(tasks + "/" + e->d_name);
    closedir(d);
    return sum;
}

// utime + stime of the whole process, in ns (clock ticks in /proc); -1
// when it cannot be read.
int64_t ProcessTimesNs(pid_t pid) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(f, stat)) return -1;
    size_t close = stat.rfind(')');  // the name may hold blanks
    if (close == std::string::npos) return -1;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; i++) {
        if (i == 14) utime = std::stoll(field);
        if (i == 15) stime = std::stoll(field);
    }
    return (utime + stime) * (1000000000LL / sysconf(_SC_CLK_TCK));
}

// A 40 x 20 picture in two cells of different colours (for the button).
void WriteButtonPicture(const std::string& dir) {
    const int w = 40, h = 20, stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> bits((size_t)stride * h, 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) bits[(size_t)y * stride + (size_t)x * 3 + (x < w / 2 ? 2 : 1)] = 0xFF;
    WriteBmp24((dir + "/button.bmp").c_str(), bits.data(), w, h);
}

// The game writes "ready.csv" just before it starts to wait.
std::string Game(const std::string& setup, const std::string& wait) {
    return "*define\ngame\n*start\n" + setup +
           "mov $0,\"ready\"\ncsvopen \"ready.csv\",\"w\"\ncsvwrite $0\ncsvclose\n" + wait + "\nend\n";
}

void WaitCpu(benchmark::State& state, const std::string& script) {
    XvfbServer& x = Server();
    if (x.name.empty()) {
        state.SkipWithError(("no X server: " + x.why).c_str());
        return;
    }
    double share = 0, ui_share = 0, proc_share = 0;
    for (auto _ : state) {
        std::string dir = MakeGameFolder();
        WriteButtonPicture(dir);
        WriteGameFile(dir, "se.wav", ToneWave(0.3, 440, 22050, 1, 0.5));
        WriteScript(dir, script);
        pid_t game = StartWindowGame(dir, x.name);
        std::string ready;
        auto limit = Clock::now() + std::chrono::milliseconds(StartLimitMs);
        while (!ReadGameFileBytes(dir, "ready.csv", &ready) && Clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (ready.empty()) {
            kill(game, SIGKILL);
            waitpid(game, nullptr, 0);
            state.SkipWithError("the game did not reach its wait");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(SettleMs));
        auto t0 = Clock::now();
        int64_t u0, u1;
        int64_t c0 = ProcessCpuNs(game, &u0), p0 = ProcessTimesNs(game);
        std::this_thread::sleep_for(std::chrono::milliseconds(MeasureMs));
        int64_t c1 = ProcessCpuNs(game, &u1), p1 = ProcessTimesNs(game);
        double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        kill(game, SIGKILL);
        waitpid(game, nullptr, 0);
        share = (double)(c1 - c0) / 1e9 / wall;
        ui_share = (double)(u1 - u0) / 1e9 / wall;
        proc_share = (double)(p1 - p0) / 1e9 / wall;
        state.SetIterationTime(wall);
    }
    state.counters["proc_pct"] = proc_share * 100;
    state.counters["cpu_pct"] = share * 100;
    state.counters["ui_pct"] = ui_share * 100;
}

const std::string Button =
    "lsp 1,\":c/2;button.bmp\",100,100\nbtndef \"\"\nspbtn 1,1\n";
// A sound effect played and ended before the wait.
const std::string SoundEnded = "dwave 1,\"se.wav\"\nwait 500\n";
// A sprite whose cells change every 100 ms: the save menu that covers it
// does not animate it.
const std::string Animated = "lsp 2,\":a/2,100,0;button.bmp\",200,100\nprint 1\n";

}  // namespace

BENCHMARK_CAPTURE(WaitCpu, wait, Game("", "wait 100000"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, delay, Game("", "delay 100000"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, click_wait, Game("", "あいうえお@"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, btnwait, Game(Button, "btnwait %0"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, select, Game("", "select \"はい\",*a,\"いいえ\",*a\n*a"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, waittimer, Game("resettimer\n", "waittimer 100000"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, lrclick, Game("", "lrclick"))->Iterations(1)->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, wait_after_sound, Game(SoundEnded, "wait 100000"))
    ->Iterations(1)
    ->UseManualTime();
BENCHMARK_CAPTURE(WaitCpu, save_menu_over_animation, Game(Animated, "systemcall save"))
    ->Iterations(1)
    ->UseManualTime();

BENCHMARK_MAIN();
