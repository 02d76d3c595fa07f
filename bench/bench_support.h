// bench_support.h - what the benchmarks share: the headless platform,
// started once per program, a script loaded from a text and run from its
// start each round.
#pragma once

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/startup.h"
#include "platform/platform.h"

// Starts the headless backend the first time; later calls do nothing.
// Returns true on the first call, so the caller can set up its own state.
inline bool StartHeadlessOnce() {
    static bool started = false;
    if (started) return false;
    started = true;
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
    return true;
}

// Loads a script text directly, as a game's script is loaded.
inline void SetScriptText(const std::string& text) { UseScriptText(text.data(), text.size()); }

// Runs the loaded script from *start once per round, the interpreter put
// back to the start between rounds; `round` sets up what else a round
// needs first.
template <class F>
void RunFromStartEachRound(benchmark::State& state, F round) {
    ScanLabels();
    JumpToLabel("start");
    int start = ReadPosition;
    for (auto _ : state) {
        round();
        ReadPosition = start;
        RestartRequested = 0;
        CallStackDepth = 0;
        RunInterpreter(0);
    }
}
inline void RunFromStartEachRound(benchmark::State& state) {
    RunFromStartEachRound(state, [] {});
}
