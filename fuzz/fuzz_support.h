// fuzz_support.h - what the fuzzers that run engine code share: the headless
// backend with every exit turned into an exception, and an empty game folder
// of their own.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <string.h>

#include <cstdint>

#include "core/script.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

struct FuzzExit {
    int code;
};

inline void FuzzThrowOnExit(int code) { throw FuzzExit{code}; }

// For LLVMFuzzerInitialize: makes the corpus paths on the command line
// absolute (the game folder becomes the current folder), starts the headless
// backend with quiet message boxes, turns every exit into FuzzExit and enters
// a fresh temporary game folder, removed at exit when it is empty.
inline void FuzzStartEngine(int* argc, char*** argv) {
    for (int i = 1; i < *argc; i++) {
        char* arg = (*argv)[i];
        if (arg[0] == '-') continue;
        if (char* full = realpath(arg, nullptr)) (*argv)[i] = full;
    }
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
    HeadlessEchoBoxes(false);
    PlatSetExitHook(FuzzThrowOnExit);
    static char dir[] = "/tmp/orva-fuzz-XXXXXX";
    if (!mkdtemp(dir) || !PlatSetGameDir(dir)) abort();
    atexit([] { rmdir(dir); });
}

// Puts the input into ScriptBuffer as the script text (up to its first NUL,
// as the engine's texts end), with the exec area behind it.
inline void FuzzSetScript(const uint8_t* data, size_t size) {
    UseScriptText((const char*)data, strnlen((const char*)data, size));
}

// Runs fn; a fatal error ends it quietly and its box is dropped.
template <class F>
void FuzzTry(F fn) {
    try {
        fn();
    } catch (const FuzzExit&) {
        HeadlessClearBoxes();
    }
}
