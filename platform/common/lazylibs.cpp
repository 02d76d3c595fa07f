// lazylibs.cpp - FFmpeg, FluidSynth and libcdio, loaded at their first use.
// Most runs play no movie, no MIDI and no CD, and these libraries with their
// dependency trees are most of what the dynamic loader would map at start.
// Each function of lazylibs_list.h is defined here with C linkage and the
// library's own prototype; its first call opens the library (dlopen) and
// looks the function up, later calls go straight through the pointer kept.
// A library or function that is missing ends the program with a line naming
// it; the CD libraries are optional instead: PlatHaveCdio and
// PlatHaveCdParanoia load them and say whether they are there.
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
#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>
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
#define ORVA_SONAME_CDIO "libcdio.so"
#define ORVA_SONAME_CDIO_CDDA "libcdio_cdda.so"
#define ORVA_SONAME_CDIO_PARANOIA "libcdio_paranoia.so"
#endif

namespace {

enum LazyLibrary {
    LibAvformat, LibAvcodec, LibAvutil, LibSwscale, LibSwresample, LibFluidsynth,
    LibCdio, LibCdioCdda, LibCdioParanoia, LazyLibraryCount
};
const char* const LibraryFiles[LazyLibraryCount] = {
    ORVA_SONAME_AVFORMAT, ORVA_SONAME_AVCODEC, ORVA_SONAME_AVUTIL,
    ORVA_SONAME_SWSCALE, ORVA_SONAME_SWRESAMPLE, ORVA_SONAME_FLUIDSYNTH,
    ORVA_SONAME_CDIO, ORVA_SONAME_CDIO_CDDA, ORVA_SONAME_CDIO_PARANOIA};

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

// Opens an optional library once: false (with one line naming it the first
// time) when it cannot be loaded.
bool TryLoad(LazyLibrary lib) {
    static bool told[LazyLibraryCount];
    std::lock_guard<std::mutex> hold(LoadLock);
    if (Handles[lib]) return true;
    Handles[lib] = dlopen(LibraryFiles[lib], RTLD_NOW | RTLD_LOCAL);
    if (Handles[lib]) return true;
    if (!told[lib]) {
        told[lib] = true;
        const char* why = dlerror();
        fprintf(stderr, "orva: %s cannot be loaded (%s); CD audio plays only from a folder of track files\n",
                LibraryFiles[lib], why ? why : "?");
    }
    return false;
}

}  // namespace

bool PlatHaveCdio() { return TryLoad(LibCdio); }
bool PlatHaveCdParanoia() { return TryLoad(LibCdio) && TryLoad(LibCdioCdda) && TryLoad(LibCdioParanoia); }

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
