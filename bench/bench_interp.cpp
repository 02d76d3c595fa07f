// bench_interp.cpp - the interpreter's hot paths: loading and label-scanning
// a 25 MB script with 50,000 labels beside reading the same file and
// counting its lines, a straight run of integer statements, a tight loop of
// mov, for/next, if and goto (statements per second), integer expressions
// alone, and two counting loops beside the same loops in Lua 5.1.  The
// ratios of the side-by-side pairs are printed at the end.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "core/callstack.h"
#include "core/labels.h"
#include "core/interp.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "save/savepoint.h"
#include "platform/platform.h"
#include "bench/bench_support.h"

namespace fs = std::filesystem;

namespace {

void StartPlatform() {
    static bool started = false;
    if (started) return;
    started = true;
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
}

bool BigGameMade = false;

// A game folder holding a 25 MB "0.txt" with 50,000 labels: commands,
// comments and text lines of about 500 bytes under each label.
const std::string& BigGame() {
    static std::string dir;
    if (!dir.empty()) return dir;
    BigGameMade = true;
    dir = (fs::temp_directory_path() / ("orva_bench_" + std::to_string(getpid()))).string();
    fs::create_directories(dir);
    std::string text = ";$V4096L60000\n*define\ngame\n*start\n";
    const int labels = 50000;
    const size_t per_label = ((25u << 20) + labels - 1) / labels;  // 25 MB in all
    std::string block;
    for (int i = 0; i < labels; i++) {
        block.clear();
        block += "*label_" + std::to_string(i) + "\n";
        for (;;) {
            std::string lines = "getversion %" + std::to_string(i % 100) + "\n";
            lines += "debuglog %1+%2*3 ; a comment about the step\n";
            lines += "\x82\xb1\x82\xea\x82\xcd\x95\xb6\x8f\xcd\x82\xc5\x82\xb7\x81\x42%1\\\n";  // これは文章です。
            if (block.size() + lines.size() + 4 > per_label) break;
            block += lines;
        }
        block += ";" + std::string(per_label - block.size() - 2, '-') + "\n";
        text += block;
    }
    std::ofstream(fs::path(dir) / "0.txt", std::ios::binary).write(text.data(), (std::streamsize)text.size());
    return dir;
}

// A "Vm...:" line of /proc/self/status in kB.
long StatusKb(const char* key) {
    long kb = 0;
    char line[256];
    FILE* f = fopen("/proc/self/status", "r");
    if (!f) return 0;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, key, strlen(key)) == 0) kb = atol(line + strlen(key));
    fclose(f);
    return kb;
}

// Peak memory of one load and label scan, measured first (before other loads
// leave their freed buffers in the heap) in a child process: its
// highest resident size (VmHWM starts at the size it had when forked) less
// what it had when it started.
void BM_LoadPeakMemory(benchmark::State& state) {
    StartPlatform();
    std::string saved = PlatGameDir();
    PlatSetGameDir(BigGame().c_str());
    double peak_mb = 0, script_mb = 0;
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) break;
        pid_t child = fork();
        if (child == 0) {
            FreeScript();
            malloc_trim(0);  // free heap kept from earlier loads is no peak of this one
            long base = StatusKb("VmRSS:");
            LoadScript();
            LabelCount = 0;
            ScanLabels();
            double r[2] = {(StatusKb("VmHWM:") - base) / 1024.0, ScriptLength / 1048576.0};
            if (write(fds[1], r, sizeof r) != (ssize_t)sizeof r) _exit(1);
            _exit(0);
        }
        double r[2] = {0, 0};
        close(fds[1]);
        if (read(fds[0], r, sizeof r) != (ssize_t)sizeof r) r[0] = r[1] = 0;
        close(fds[0]);
        waitpid(child, nullptr, 0);
        peak_mb = r[0];
        script_mb = r[1];
    }
    state.counters["peak_MB"] = peak_mb;
    state.counters["script_MB"] = script_mb;
    PlatSetGameDir(saved.c_str());
}
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LoadAndScanLabels(benchmark::State& state) {
    StartPlatform();
    std::string saved = PlatGameDir();
    PlatSetGameDir(BigGame().c_str());
    long long bytes = 0;
    for (auto _ : state) {
        FreeScript();
        LoadScript();
        LabelCount = 0;
        ScanLabels();
        bytes += ScriptLength;
        benchmark::DoNotOptimize(LabelCount);
    }
    state.counters["labels"] = LabelCount;
    state.counters["MB"] = ScriptLength / 1048576.0;
    state.SetBytesProcessed(bytes);
    FreeScript();
    PlatSetGameDir(saved.c_str());
}
BENCHMARK(BM_LoadAndScanLabels)->Unit(benchmark::kMillisecond);

// The floor for the load: read() of the same file into one buffer and a
// memchr count of its lines.
void BM_ReadAndCountLines(benchmark::State& state) {
    std::string path = (fs::path(BigGame()) / "0.txt").string();
    long long bytes = 0, lines = 0;
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDONLY);
        off_t size = lseek(fd, 0, SEEK_END);
        lseek(fd, 0, SEEK_SET);
        std::vector<char> buf((size_t)size);
        size_t got = 0;
        while (got < buf.size()) {
            ssize_t n = read(fd, buf.data() + got, buf.size() - got);
            if (n <= 0) break;
            got += (size_t)n;
        }
        close(fd);
        lines = 0;
        const char* p = buf.data();
        const char* end = p + got;
        while ((p = (const char*)memchr(p, '\n', (size_t)(end - p)))) {
            lines++;
            p++;
        }
        bytes += (long long)got;
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = (double)lines;
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadAndCountLines)->Unit(benchmark::kMillisecond);


// The label scan alone, over the same script.
void BM_ScanLabels(benchmark::State& state) {
    StartPlatform();
    std::string saved = PlatGameDir();
    PlatSetGameDir(BigGame().c_str());
    FreeScript();
    LoadScript();
    for (auto _ : state) {
        LabelCount = 0;
        ScanLabels();
        benchmark::DoNotOptimize(LabelCount);
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)ScriptLength);
    FreeScript();
    PlatSetGameDir(saved.c_str());
}
BENCHMARK(BM_ScanLabels)->Unit(benchmark::kMillisecond);

// A straight run of `count` statements from *start to definereset, which
// ends the run; items are statements.
// `limits` variables get an intlimit bound.
void RunStatements(benchmark::State& state, const std::string& statement, int per_line = 1,
                   int limits = 0) {
    StartPlatform();
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    for (int i = 0; i < limits; i++) SetIntLimit(i * (VariableCount / limits), 0, 1000);
    AllocateLabelTable(100);
    const int count = 100000;
    std::string text = "*define\ngame\n*start\n";
    DefineEnded = 0;
    for (int i = 0; i < count; i++) text += statement;
    text += "definereset\n";
    SetScriptText(text);
    RunFromStartEachRound(state);
    state.SetItemsProcessed(state.iterations() * ((int64_t)count * per_line + 1));
    FreeScript();
}

// Expressions and dispatch only (debuglog stores the value).
void BM_StatementsExpression(benchmark::State& state) { RunStatements(state, "debuglog %1+%2*3\n"); }
BENCHMARK(BM_StatementsExpression)->Unit(benchmark::kMillisecond);

// Two statements a line, separated by ':'.
void BM_StatementsColon(benchmark::State& state) { RunStatements(state, "debuglog 1:debuglog %3\n", 2); }
BENCHMARK(BM_StatementsColon)->Unit(benchmark::kMillisecond);

// A numeric store: no variable has a limit, so the clamp has nothing to do.
void BM_StatementsStoreNoLimits(benchmark::State& state) { RunStatements(state, "getversion %5\n"); }
BENCHMARK(BM_StatementsStoreNoLimits)->Unit(benchmark::kMillisecond);

// A numeric store with one variable bounded.
void BM_StatementsStoreWithLimits(benchmark::State& state) {
    RunStatements(state, "getversion %5\n", 1, 1);
}
BENCHMARK(BM_StatementsStoreWithLimits)->Unit(benchmark::kMillisecond);

// A numeric store with 16 variables bounded: each store clamps all 16.
void BM_StatementsStoreWith16Limits(benchmark::State& state) {
    RunStatements(state, "getversion %5\n", 1, 16);
}
BENCHMARK(BM_StatementsStoreWith16Limits)->Unit(benchmark::kMillisecond);

// A tight loop: for/next around mov and if, an outer loop of if and goto.
// Each outer round runs for, 100 x (mov, if, next), 25 more movs behind the
// if, then mov, if and goto: 329 statements (328 in the last round).
void BM_StatementsLoop(benchmark::State& state) {
    StartPlatform();
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(100);
    SetScriptText(
        "*define\ngame\n*start\nmov %1,0\n*top\n"
        "for %0=1 to 100\nmov %2,%0*2\nif %2 > 150 mov %3,%3+1\nnext\n"
        "mov %1,%1+1\nif %1 < 1000 goto *top\ndefinereset\n");
    RunFromStartEachRound(state);
    state.SetItemsProcessed(state.iterations() * (1 + 1000 * 329 - 1 + 1));
    FreeScript();
}
BENCHMARK(BM_StatementsLoop)->Unit(benchmark::kMillisecond);

// The same loop and straight run with the savepoint before every command
// taken (saveon) and not taken (saveoff), side by side.
void BM_StatementsLoopSavepointsOn(benchmark::State& state) {
    SaveOn = 1;
    BM_StatementsLoop(state);
}
BENCHMARK(BM_StatementsLoopSavepointsOn)->Unit(benchmark::kMillisecond);
void BM_StatementsLoopSavepointsOff(benchmark::State& state) {
    SaveOn = 0;
    BM_StatementsLoop(state);
    SaveOn = 1;
}
BENCHMARK(BM_StatementsLoopSavepointsOff)->Unit(benchmark::kMillisecond);
void BM_StatementsSavepointsOn(benchmark::State& state) {
    SaveOn = 1;
    RunStatements(state, "debuglog %1+%2*3\n");
}
BENCHMARK(BM_StatementsSavepointsOn)->Unit(benchmark::kMillisecond);
void BM_StatementsSavepointsOff(benchmark::State& state) {
    SaveOn = 0;
    RunStatements(state, "debuglog %1+%2*3\n");
    SaveOn = 1;
}
BENCHMARK(BM_StatementsSavepointsOff)->Unit(benchmark::kMillisecond);

void BM_ReadIntExpr(benchmark::State& state) {
    StartPlatform();
    VariableCount = 4096;
    AllocateVariableTables(VariableCount);
    IntVariables[1] = 11;
    IntVariables[2] = 22;
    IntVariables[3] = 33;
    SetScriptText("%1+%2*(%3-4)/2 mod 7 - -5,\n");
    for (auto _ : state) {
        ReadPosition = 0;
        benchmark::DoNotOptimize(ReadIntExpr());
    }
    state.SetItemsProcessed(state.iterations());
    FreeScript();
}
BENCHMARK(BM_ReadIntExpr);

// ---- side by side with Lua 5.1 --------------------------------------------------------

enum { LoopRounds = 1000000 };

// A counting loop of `rounds` run to its end with the savepoint before every
// command on, as a story runs (or off, as after autosaveoff); items are loop
// rounds.
void RunLoop(benchmark::State& state, const char* body, int autosaveoff = 0,
             int rounds = LoopRounds) {
    StartPlatform();
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(100);
    SaveOn = 1;
    NoCommandSavepoints = autosaveoff;
    SetScriptText(std::string("*define\ngame\n*start\n") + body + "definereset\n");
    RunFromStartEachRound(state, [] {
        IntVariables[0] = 0;
        IntVariables[1] = 0;
    });
    if (IntVariables[0] != rounds && IntVariables[1] != rounds) state.SkipWithError("wrong count");
    state.SetItemsProcessed(state.iterations() * rounds);
    NoCommandSavepoints = 0;
    FreeScript();
}

void BM_GotoLoop(benchmark::State& state) {
    RunLoop(state, "mov %0,0\n*l\nadd %0,1\nif %0<1000000 goto *l\n");
}
BENCHMARK(BM_GotoLoop)->Unit(benchmark::kMillisecond);

void BM_ForLoop(benchmark::State& state) {
    RunLoop(state, "mov %1,0\nfor %0=1 to 1000000\nadd %1,1\nnext\n");
}
BENCHMARK(BM_ForLoop)->Unit(benchmark::kMillisecond);

// ---- savepoints before every command ----------------------------------------------------

// Commands the savepoint journal covers: numeric and string stores, a call
// and its return, a condition and a jump; six commands a round.
const char* const kJournaledLoop =
    "mov %0,0\n*l\nadd %1,3:mov $1,\"abc\":gosub *s\nadd %0,1\nif %0<1000000 goto *l\n"
    "goto *e\n*s\nreturn\n*e\n";
void BM_SavepointLoopOn(benchmark::State& state) { RunLoop(state, kJournaledLoop); }
BENCHMARK(BM_SavepointLoopOn)->Unit(benchmark::kMillisecond);
void BM_SavepointLoopAutosaveoff(benchmark::State& state) { RunLoop(state, kJournaledLoop, 1); }
BENCHMARK(BM_SavepointLoopAutosaveoff)->Unit(benchmark::kMillisecond);

// A command the journal does not cover (seteffectspeed stores an item of
// the image) beside the counting: its savepoint builds the whole image.
// 10,000 rounds.
const char* const kImageLoop = "mov %0,0\n*l\nseteffectspeed %0\nadd %0,1\nif %0<10000 goto *l\n";
void RunEagerLoop(benchmark::State& state, int autosaveoff) {
    RunLoop(state, kImageLoop, autosaveoff, 10000);
}
// One savepoint with its image built, in a new game's state.
void BM_SavepointImage(benchmark::State& state) {
    StartPlatform();
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    SetScriptText("*define\ngame\n*start\n");
    for (auto _ : state) TakeSavepoint();
    state.SetBytesProcessed(state.iterations() * (int64_t)SavepointImage().size());
    FreeScript();
}
BENCHMARK(BM_SavepointImage)->Unit(benchmark::kMicrosecond);

void BM_SavepointImageLoopOn(benchmark::State& state) { RunEagerLoop(state, 0); }
BENCHMARK(BM_SavepointImageLoopOn)->Unit(benchmark::kMillisecond);
void BM_SavepointImageLoopAutosaveoff(benchmark::State& state) { RunEagerLoop(state, 1); }
BENCHMARK(BM_SavepointImageLoopAutosaveoff)->Unit(benchmark::kMillisecond);

void RunLua(benchmark::State& state, const char* chunk) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    if (luaL_loadstring(L, chunk) != 0) {
        state.SkipWithError("lua chunk");
        lua_close(L);
        return;
    }
    for (auto _ : state) {
        lua_pushvalue(L, -1);
        lua_call(L, 0, 1);
        benchmark::DoNotOptimize(lua_tointeger(L, -1));
        lua_pop(L, 1);
    }
    state.SetItemsProcessed(state.iterations() * LoopRounds);
    lua_close(L);
}

void BM_LuaWhileLoop(benchmark::State& state) {
    RunLua(state, "local i=0 while i<1000000 do i=i+1 end return i");
}
BENCHMARK(BM_LuaWhileLoop)->Unit(benchmark::kMillisecond);

void BM_LuaForLoop(benchmark::State& state) {
    RunLua(state, "local j=0 for i=1,1000000 do j=j+1 end return j");
}
BENCHMARK(BM_LuaForLoop)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps each benchmark's CPU time per
// iteration (the median when repeated) for the ratios.
struct RatioReporter : benchmark::ConsoleReporter {
    std::map<std::string, double> times;
    std::map<std::string, std::vector<double>> runs;
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& r : reports) {
            if (r.run_type == Run::RT_Aggregate) continue;
            runs[r.run_name.str()].push_back(r.GetAdjustedCPUTime());
        }
    }
    double Median(const std::string& name) {
        std::vector<double> v = runs[name];
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    void PrintRatio(const char* what, const char* a, const char* b) {
        double x = Median(a), y = Median(b);
        if (x > 0 && y > 0) printf("%-44s %8.2fx  (%s / %s)\n", what, x / y, a, b);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n");
    reporter.PrintRatio("goto loop against Lua's while loop", "BM_GotoLoop", "BM_LuaWhileLoop");
    reporter.PrintRatio("for/next loop against Lua's for loop", "BM_ForLoop", "BM_LuaForLoop");
    reporter.PrintRatio("load + label scan against read + line count", "BM_LoadAndScanLabels",
                        "BM_ReadAndCountLines");
    reporter.PrintRatio("journaled loop, savepoints on against autosaveoff", "BM_SavepointLoopOn",
                        "BM_SavepointLoopAutosaveoff");
    reporter.PrintRatio("image loop, savepoints on against autosaveoff", "BM_SavepointImageLoopOn",
                        "BM_SavepointImageLoopAutosaveoff");
    benchmark::Shutdown();
    if (BigGameMade) fs::remove_all(BigGame());
    return 0;
}
