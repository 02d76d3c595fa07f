// bench_support.h - what the benchmarks share: the headless platform,
// started once per program.
#pragma once

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
