// media_run.h - a headless game run with its sound trace (ORVA_SOUND_TRACE)
// and, when asked, the mixer's output (--audio-out) and the last frame.
#pragma once
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/game_folder.h"

// The story starts this many virtual ms into a run (the window's 500 ms
// pause and the 5 ms before the first pass): events are timed from it.
constexpr int StoryStartMs = 505;

// An events-file line `ms` after the story's start.
inline std::string At(int ms, const std::string& event) {
    return std::to_string(StoryStartMs + ms) + " " + event + "\n";
}

struct TracedRun {
    RunResult run;
    std::vector<std::string> lines;  // trace lines without their "t=MS " stamps
    std::vector<int> ms;             // their stamps
};

struct MediaRunOptions {
    std::string events;     // events file text
    std::string audio_out;  // path for --audio-out
    std::string frame_out;  // path for --frame-out
};

inline TracedRun PlayTracedGame(const std::string& dir, const std::string& script,
                                const MediaRunOptions& o = MediaRunOptions()) {
    WriteScript(dir, script);
    std::string trace = dir + ".trace";
    remove(trace.c_str());
    setenv("ORVA_SOUND_TRACE", trace.c_str(), 1);
    std::vector<std::string> args = {"--headless", "--max-ms", "600000"};
    if (!o.events.empty()) {
        WriteGameFile(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".events", o.events);
        args.push_back("--events");
        args.push_back(dir + ".events");
    }
    if (!o.audio_out.empty()) args.insert(args.end(), {"--audio-out", o.audio_out});
    if (!o.frame_out.empty()) args.insert(args.end(), {"--frame-out", o.frame_out});
    args.push_back(dir);
    TracedRun t;
    t.run = RunOrva(args, dir);
    unsetenv("ORVA_SOUND_TRACE");
    std::string text;
    ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".trace", &text);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t blank = line.find(' ');
        t.ms.push_back(atoi(line.c_str() + 2));
        t.lines.push_back(blank == std::string::npos ? line : line.substr(blank + 1));
    }
    return t;
}

// The trace lines that begin with `prefix`.
inline std::vector<std::string> TraceLines(const TracedRun& t, const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : t.lines)
        if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
}

// The stamp of the n-th line equal to `line` (0-based); -1 when there is none.
inline int TraceTime(const TracedRun& t, const std::string& line, int n = 0) {
    for (size_t i = 0; i < t.lines.size(); i++)
        if (t.lines[i] == line && n-- == 0) return t.ms[i];
    return -1;
}

// No box and a clean end: every check of the script held.
#define EXPECT_QUIET_END(t)                                    \
    do {                                                       \
        EXPECT_EQ((t).run.status, 0) << (t).run.err;           \
        for (const std::string& b : (t).run.boxes) ADD_FAILURE() << b; \
    } while (0)
