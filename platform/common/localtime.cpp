// localtime.cpp - PlatLocalTime.  The headless backend reports a settable
// moment that the virtual clock moves on, so runs that read the date repeat
// exactly.
#include <stdlib.h>

#include <cstdio>
#include <ctime>

#include "platform/headless/headless.h"
#include "platform/platform.h"

static bool SetByTest;      // HeadlessSetLocalTime gave a moment
static time_t SetMoment;    // that moment, the fields read as UTC
static uint64_t SetAtElapsed;  // the virtual clock then

void HeadlessSetLocalTime(const struct tm* t) {
    SetByTest = t != nullptr;
    if (!t) return;
    struct tm copy = *t;
    SetMoment = timegm(&copy);
    SetAtElapsed = HeadlessElapsed();
}

// ORVA_LOCALTIME="YYYY-MM-DD HH:MM:SS" (or "YYYY-MM-DD"); false when unset or
// malformed.
static bool EnvironmentMoment(time_t* out) {
    const char* text = getenv("ORVA_LOCALTIME");
    if (!text || !*text) return false;
    struct tm t = {};
    int fields = sscanf(text, "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                        &t.tm_hour, &t.tm_min, &t.tm_sec);
    if (fields != 3 && fields != 6) return false;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    *out = timegm(&t);
    return true;
}

void PlatLocalTime(struct tm* out) {
    if (PlatIsHeadless()) {
        time_t base;
        uint64_t now = HeadlessElapsed(), since = now;
        bool fixed = SetByTest;
        if (fixed) {
            base = SetMoment;
            since = SetAtElapsed <= now ? now - SetAtElapsed : 0;
        } else {
            fixed = EnvironmentMoment(&base);
        }
        if (fixed) {
            time_t t = base + (time_t)(since / 1000);
            gmtime_r(&t, out);
            return;
        }
    }
    time_t now = time(nullptr);
    localtime_r(&now, out);
}
