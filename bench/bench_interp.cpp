// bench_interp.cpp - the interpreter's hot paths: loading and label-scanning
// a 25 MB script with 50,000 labels, a straight run of integer statements
// and a tight loop of mov, for/next, if and goto (statements per second),
// and integer expressions alone.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

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

// Loads a script text directly.
void SetScriptText(const std::string& text) {
    FreeScript();
    ScriptCapacity = (int)text.size() + 2048;
    ScriptBuffer = new char[ScriptCapacity]();
    memcpy(ScriptBuffer, text.data(), text.size());
    ScriptLength = (int)text.size();
    ReadPosition = 0;
    for (int& e : ScriptFileEnds) e = 0xFFFFFF;
    ExecAreaOffset = ScriptLength + 512;
}

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
    ScanLabels();
    JumpToLabel("start");
    int start = ReadPosition;
    for (auto _ : state) {
        ReadPosition = start;
        RestartRequested = 0;
        RunInterpreter(0);
    }
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
void BM_StatementsStoreWithLimits(benchmark::State& state) { RunStatements(state, "getversion %5\n"); }
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
    ScanLabels();
    JumpToLabel("start");
    int start = ReadPosition;
    for (auto _ : state) {
        ReadPosition = start;
        RestartRequested = 0;
        CallStackDepth = 0;
        RunInterpreter(0);
    }
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (BigGameMade) fs::remove_all(BigGame());
    return 0;
}
