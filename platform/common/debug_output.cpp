// debug_output.cpp - PlatDebugOutput: the debugger's channel, standard
// error when the environment asks for it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

static bool DebugOutputWanted() {
    static const bool wanted = [] {
        const char* e = getenv("ORVA_DEBUG_OUTPUT");
        return e && *e && strcmp(e, "0") != 0;
    }();
    return wanted;
}

void PlatDebugOutput(const char* text) {
    if (!DebugOutputWanted()) return;
    fputs(text, stderr);
}
