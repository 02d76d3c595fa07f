// lazylibs.cpp - FFmpeg and FluidSynth, loaded at their first use.  Most runs
// play no movie and no MIDI, and these libraries with their dependency trees
// are most of what the dynamic loader would map at start.  Each function of
// lazylibs_list.h is defined here with C linkage and the library's own
// prototype; its first call opens the library (dlopen) and looks the
// function up, later calls go straight through the pointer kept.  A library
// or function that is missing ends the program with a line naming it.
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}
#include <fluidsynth.h>

#include "platform/platform.h"

// The run-time names of the libraries (their sonames, found when the build
// is configured).
#ifndef ORVA_SONAME_AVFORMAT
#define ORVA_SONAME_AVFORMAT "libavformat.so"
#define ORVA_SONAME_AVCODEC "libavcodec.so"
#define ORVA_SONAME_AVUTIL "libavutil.so"
#define ORVA_SONAME_SWSCALE "libswscale.so"
#define ORVA_SONAME_SWRESAMPLE "libswresample.so"
#define ORVA_SONAME_FLUIDSYNTH "libfluidsynth.so"
#endif

namespace {

enum LazyLibrary {
    LibAvformat, LibAvcodec, LibAvutil, LibSwscale, LibSwresample, LibFluidsynth, LazyLibraryCount
};
const char* const LibraryFiles[LazyLibraryCount] = {
    ORVA_SONAME_AVFORMAT, ORVA_SONAME_AVCODEC, ORVA_SONAME_AVUTIL,
    ORVA_SONAME_SWSCALE, ORVA_SONAME_SWRESAMPLE, ORVA_SONAME_FLUIDSYNTH};

void* Handles[LazyLibraryCount];
std::mutex LoadLock;

[[noreturn]] void LoadFailed(const std::string& what) {
    static std::atomic<int> failing{0};
    fprintf(stderr, "orva: %s\n", what.c_str());
    // A look-up that fails again while the program ends (an at-exit routine
    // closing a decoder) ends it at once.
    if (failing.exchange(1)) _exit(1);
    PlatMarkFailure();
    PlatExit(1);
}

void* LazySymbol(LazyLibrary lib, const char* name) {
    std::string error;
    {
        std::lock_guard<std::mutex> hold(LoadLock);
        if (!Handles[lib]) Handles[lib] = dlopen(LibraryFiles[lib], RTLD_NOW | RTLD_LOCAL);
        if (!Handles[lib]) {
            const char* why = dlerror();
            error = std::string(LibraryFiles[lib]) + " cannot be loaded (" + (why ? why : "?") +
                    "); it is needed to play this file";
        } else if (void* f = dlsym(Handles[lib], name)) {
            return f;
        } else {
            error = std::string(LibraryFiles[lib]) + " has no function " + name;
        }
    }
    LoadFailed(error);
}

}  // namespace

#define LAZY(lib, ret, name, params, args)                                   \
    extern "C" ret name params {                                             \
        static std::atomic<void*> slot{nullptr};                             \
        void* f = slot.load(std::memory_order_acquire);                      \
        if (!f) {                                                            \
            f = LazySymbol(Lib##lib, #name);                                 \
            slot.store(f, std::memory_order_release);                        \
        }                                                                    \
        return reinterpret_cast<decltype(&name)>(f) args;                    \
    }
#include "platform/common/lazylibs_list.h"
#undef LAZY
