// bench_display.cpp - DisplayText of a full page in instant mode (speed 0)
// in the headless backend: 15 lines of 23 different kanji, each line full
// so that it wraps, the page cleared between runs.  Characters per second.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/screen.h"
#include "bench/bench_support.h"
#include "platform/platform.h"
#include "text/display.h"
#include "text/kinsoku.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"

namespace {

void StartEngineState() {
    if (!StartHeadlessOnce()) return;
    ScreenWidth = 640, ScreenHeight = 480;
    VariableCount = 16;
    AllocateVariableTables(VariableCount);
    RebuildScreenSurfaces();
    GlyphLayer = new uint8_t[(size_t)ScreenWidth * ScreenHeight]();
    RebuildTextColorSurface();
    SetDefaultKinsokuLists();
    SetDisplayPassDefaults();
    ResetTextWindow();
    ResetTextDisplay();
    ResetRuby();
}

// 345 kanji from the first JIS level (lead bytes 0x88..0x8A), one line of
// 23 per text.
std::vector<std::string> PageLines() {
    std::vector<std::string> lines;
    int lead = 0x88, trail = 0x9F;
    for (int l = 0; l < 15; l++) {
        std::string s;
        for (int c = 0; c < 23; c++) {
            s.push_back((char)lead);
            s.push_back((char)trail);
            if (++trail == 0x7F) trail++;
            if (trail > 0xFC) {
                trail = 0x40;
                lead++;
            }
        }
        lines.push_back(s);
    }
    return lines;
}

void BM_DisplayPageInstant(benchmark::State& state) {
    StartEngineState();
    std::vector<std::string> lines = PageLines();
    TextSpeed = 0;
    int64_t chars = 0;
    for (auto _ : state) {
        ClearTextPage();
        for (const std::string& l : lines) {
            DisplayText(l.c_str());  // the 23rd character wraps the line
            chars += 23;
        }
    }
    state.counters["chars_per_s"] = benchmark::Counter((double)chars, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DisplayPageInstant)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
