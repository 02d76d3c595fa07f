// bench_support.h - what the benchmarks share: the headless platform,
// started once per program, and a script loaded from a text.
#pragma once

#include <cstring>
#include <string>

#include "core/script.h"
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
inline void SetScriptText(const std::string& text) {
    FreeScript();
    ScriptCapacity = (int)text.size() + 2048;
    ScriptBuffer = new char[ScriptCapacity]();
    memcpy(ScriptBuffer, text.data(), text.size());
    ScriptLength = (int)text.size();
    ReadPosition = 0;
    for (int& e : ScriptFileEnds) e = 0xFFFFFF;
    ExecAreaOffset = ScriptLength + 512;
}
