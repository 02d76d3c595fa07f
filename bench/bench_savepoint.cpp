// bench_savepoint.cpp - what the savepoint before every command costs: a new
// game's state image built beside a memcpy of its bytes (and the slot's
// bytes a save joins from it beside the same memcpy); loops of sprite
// commands and of commands that change nothing the image holds, each with
// the savepoint before every command taken and under autosaveoff; and
// frames of a full-screen picture moved and shown as an lsp2 sprite at
// 100 %, 100 %, 0 degrees beside the same picture as an lsp sprite.  The
// ratios of the pairs are printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_support.h"
#include "core/callstack.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/pass_defaults.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "save/savepoint.h"
#include "text/textwindow.h"

namespace {

void NewTables() {
    StartHeadlessOnce();
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(100);
}

// A picture of w x h pixels filled with noise; alpha mode doubles the width
// for the mask half (a disc of opaque pixels on a soft edge).
void MakePicture(Surface* s, const char* tag, int w, int h, int mode) {
    CreateSurface(s, mode == TransAlpha ? 2 * w : w, h);
    std::mt19937 rng(11);
    for (int y = 0; y < h; y++) {
        uint8_t* row = DibRow(&s->dib, y);
        for (int x = 0; x < 3 * w; x++) row[x] = (uint8_t)rng();
        if (mode != TransAlpha) continue;
        for (int x = 0; x < w; x++) {
            int dx = 2 * x - w, dy = 2 * y - h;
            double r = (double)dx * dx / ((double)w * w) + (double)dy * dy / ((double)h * h);
            uint8_t m = r < 0.8 ? 0 : r > 1.0 ? 255 : (uint8_t)((r - 0.8) * 1275);
            memset(row + 3 * (w + x), m, 3);
        }
    }
    s->transMode = mode;
    s->alpha = -1;
    snprintf(s->tag, sizeof s->tag, "%s", tag);
}

void NewScreen() {
    ScreenWidth = 800;
    ScreenHeight = 600;
    RebuildScreenSurfaces();
    ResetEffectTable();
    TextWindowShown = TextWindowComposed = 0;
    for (Sprite& s : Sprites) {
        DestroySurface(&s.surface);
        s = Sprite();
    }
    for (Sprite2& s : Sprites2) {
        DestroySurface(&s.surface);
        s = Sprite2();
    }
}

// The story `body` run to its end `rounds` times a round counted in %0, with
// the savepoint before every command taken (or not, under autosaveoff);
// items are rounds.
void RunStory(benchmark::State& state, const std::string& body, int rounds, int autosaveoff) {
    SaveOn = 1;
    NoCommandSavepoints = autosaveoff;
    SetScriptText("*define\ngame\n*start\nmov %0,0\n*l\n" + body + "add %0,1\nif %0<" +
                  std::to_string(rounds) + " goto *l\ndefinereset\n");
    RunFromStartEachRound(state);
    if (IntVariables[0] != rounds) state.SkipWithError("wrong count");
    state.SetItemsProcessed(state.iterations() * rounds);
    NoCommandSavepoints = 0;
    FreeScript();
}

// ---- a new game's image ---------------------------------------------------------------

void BM_NewGameImage(benchmark::State& state) {
    NewTables();
    NewScreen();
    SetScriptText("*define\ngame\n*start\n");
    for (auto _ : state) TakeSavepoint();
    size_t bytes = SavepointImage().size();
    state.SetBytesProcessed(state.iterations() * (int64_t)bytes);
    state.counters["bytes"] = (double)bytes;
    FreeScript();
}
BENCHMARK(BM_NewGameImage)->Unit(benchmark::kMicrosecond);

// What a save adds to the image: the slot's bytes, the kept sprite sections
// joined in.
void BM_NewGameSlotBytes(benchmark::State& state) {
    NewTables();
    NewScreen();
    SetScriptText("*define\ngame\n*start\n");
    TakeSavepoint();
    for (auto _ : state) benchmark::DoNotOptimize(SavepointImage());
    FreeScript();
}
BENCHMARK(BM_NewGameSlotBytes)->Unit(benchmark::kMicrosecond);

// The floor: the same number of bytes copied with memcpy.
void BM_MemcpyNewGameImage(benchmark::State& state) {
    NewTables();
    NewScreen();
    SetScriptText("*define\ngame\n*start\n");
    TakeSavepoint();
    std::vector<uint8_t> from = SavepointImage(), to(from.size());
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)from.size());
    FreeScript();
}
BENCHMARK(BM_MemcpyNewGameImage)->Unit(benchmark::kMicrosecond);

// ---- command loops ---------------------------------------------------------------------

struct Loop {
    const char* name;
    const char* body;
};
// Sprite 1 holds a loaded 64 x 48 picture ("pic.bmp"), so lsp of that tag
// keeps it; the rest change nothing the image holds.
const Loop kLoops[] = {
    {"amsp", "amsp 1,%0 mod 700,20,128\n"},
    {"msp", "msp 1,1,0,-1\n"},
    {"cell", "cell 1,%0 mod 2\n"},
    {"lsp", "lsp 1,\"pic.bmp\",%0 mod 700,20\n"},
    {"print", "print 1\n"},
    {"amsp_print", "amsp 1,%0 mod 700,20:print 1\n"},
    {"clickclear", "clickclear\n"},
    // An image built before every other command, with one sprite changed.
    {"amsp_unjournaled", "amsp 1,%0 mod 700,20,128:seteffectspeed 1\n"},
};
enum { LoopRounds = 20000 };

void BM_CommandLoop(benchmark::State& state) {
    const Loop& loop = kLoops[state.range(0)];
    state.SetLabel(loop.name);
    NewTables();
    NewScreen();
    Sprite& s = Sprites[1];
    MakePicture(&s.surface, "pic.bmp", 64, 48, TransCopy);
    s.surface.cellCount = 2;
    snprintf(s.tag.Edit(), sizeof s.tag, "pic.bmp");
    s.visible = 1;
    RunStory(state, loop.body, LoopRounds, (int)state.range(1));
}
void LoopArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"loop", "autosaveoff"});
    for (int i = 0; i < (int)(sizeof kLoops / sizeof kLoops[0]); i++) {
        b->Args({i, 0});
        b->Args({i, 1});
    }
}
BENCHMARK(BM_CommandLoop)->Apply(LoopArgs)->Unit(benchmark::kMillisecond);

// ---- a full-screen picture moved and shown ----------------------------------------------

// 200 frames of an 800 x 600 picture (copy mode, or alpha mode) moved by a
// pixel and shown with print 1: as an lsp2 sprite at 100 %, 100 %, 0
// degrees, or as an lsp sprite.  Items are frames.
void BM_FullScreenFrames(benchmark::State& state) {
    bool rotated = state.range(0) != 0;
    int mode = state.range(1) ? TransAlpha : TransCopy;
    NewTables();
    NewScreen();
    const char* body;
    if (rotated) {
        Sprite2& s = Sprites2[0];
        MakePicture(&s.surface, "big.bmp", 800, 600, mode);
        s.surface.alpha = 255;
        snprintf(s.tag.Edit(), sizeof s.tag, "big.bmp");
        s.visible = 1;
        s.xscale = s.yscale = 100;
        body = "amsp2 0,400+%0 mod 2,300,100,100,0\nprint 1\n";
    } else {
        Sprite& s = Sprites[1];
        MakePicture(&s.surface, "big.bmp", 800, 600, mode);
        snprintf(s.tag.Edit(), sizeof s.tag, "big.bmp");
        s.visible = 1;
        body = "amsp 1,%0 mod 2,0\nprint 1\n";
    }
    RunStory(state, body, 200, 1);
}
BENCHMARK(BM_FullScreenFrames)
    ->ArgNames({"lsp2", "alpha"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps each benchmark's CPU time per
// iteration (the median when repeated) for the ratios.
struct RatioReporter : benchmark::ConsoleReporter {
    std::map<std::string, std::vector<double>> runs;
    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& r : reports)
            if (r.run_type != Run::RT_Aggregate) runs[r.run_name.str()].push_back(r.GetAdjustedCPUTime());
    }
    double Median(const std::string& name) {
        std::vector<double> v = runs[name];
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    void PrintRatio(const std::string& what, const std::string& a, const std::string& b) {
        double x = Median(a), y = Median(b);
        if (x > 0 && y > 0) printf("%-52s %8.2fx  (%s / %s)\n", what.c_str(), x / y, a.c_str(), b.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Files the engine writes (the player's settings at definereset) go to a
    // folder of their own.
    StartHeadlessOnce();
    std::string dir = (std::filesystem::temp_directory_path() /
                       ("orva_bench_savepoint_" + std::to_string(getpid())))
                          .string();
    std::filesystem::create_directories(dir);
    PlatSetGameDir(dir.c_str());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n");
    reporter.PrintRatio("new game's image against memcpy of its bytes", "BM_NewGameImage",
                        "BM_MemcpyNewGameImage");
    for (int i = 0; i < (int)(sizeof kLoops / sizeof kLoops[0]); i++) {
        std::string on = "BM_CommandLoop/loop:" + std::to_string(i) + "/autosaveoff:0";
        std::string off = "BM_CommandLoop/loop:" + std::to_string(i) + "/autosaveoff:1";
        reporter.PrintRatio(std::string(kLoops[i].name) + " loop, savepoints on against autosaveoff", on, off);
    }
    reporter.PrintRatio("full-screen frames, lsp2 against lsp (copy)", "BM_FullScreenFrames/lsp2:1/alpha:0",
                        "BM_FullScreenFrames/lsp2:0/alpha:0");
    reporter.PrintRatio("full-screen frames, lsp2 against lsp (alpha)", "BM_FullScreenFrames/lsp2:1/alpha:1",
                        "BM_FullScreenFrames/lsp2:0/alpha:1");
    reporter.PrintRatio("a save's slot bytes against memcpy of them", "BM_NewGameSlotBytes",
                        "BM_MemcpyNewGameImage");
    benchmark::Shutdown();
    std::filesystem::remove_all(dir);
    return 0;
}
