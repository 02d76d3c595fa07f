// Glyph rendering: a page of 400 different kanji in 26 x 26 cells through
// the 3x path, from a cold cache (the first page) and a warm one (the page
// again), beside FreeType rendering the same glyphs at 78 x 78 directly (the
// floor without a cache).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/script.h"
#include "core/startup.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "text/fonts.h"
#include "text/glyph.h"
#include "text/pass_defaults.h"

namespace {

enum { PageChars = 400, Cell = 26 };

// 400 first-level kanji, two bytes each, from 0x889F on.
const std::vector<std::string>& PageCells() {
    static std::vector<std::string> cells;
    if (cells.empty())
        for (int lead = 0x88; (int)cells.size() < PageChars; lead++)
            for (int trail = 0x40; trail <= 0xFC && (int)cells.size() < PageChars; trail++) {
                if (trail == 0x7F || (lead == 0x88 && trail < 0x9F)) continue;
                cells.push_back(std::string{(char)lead, (char)trail});
            }
    return cells;
}

void SetUpScreen() {
    static bool done = false;
    if (done) return;
    done = true;
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
    ScreenWidth = 640;
    ScreenHeight = 480;
    RebuildScreenSurfaces();
    GlyphLayer = new uint8_t[ScreenWidth * ScreenHeight]();
    RebuildTextColorSurface();
}

void DrawPage(bool bold) {
    const auto& cells = PageCells();
    for (int i = 0; i < PageChars; i++)
        DrawGlyphCell(cells[i].c_str(), (i % 24) * Cell, (i / 24) * 28, Cell, Cell, 0xFFFFFF, bold, true);
}

void BM_FreeTypeAt78(benchmark::State& state) {
    SetUpScreen();
    FT_Face face = FindFace("");
    std::vector<uint32_t> codes;
    for (const std::string& c : PageCells()) {
        std::string u = Cp932ToUtf8(c);
        codes.push_back((uint32_t)(u[0] & 0x0F) << 12 | (uint32_t)(u[1] & 0x3F) << 6 | (uint32_t)(u[2] & 0x3F));
    }
    for (auto _ : state) {
        FT_Set_Pixel_Sizes(face, 78, 78);
        for (uint32_t cp : codes) {
            FT_Load_Char(face, cp, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING);
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * PageChars);
}
BENCHMARK(BM_FreeTypeAt78)->Unit(benchmark::kMillisecond);

// Argument: 1 bold (the text window's default: weight 700 and the second
// draw), 0 regular.
void BM_FirstPage(benchmark::State& state) {
    SetUpScreen();
    bool bold = state.range(0) != 0;
    SelectGlyphFont("", Cell, Cell, false, bold);
    for (auto _ : state) {
        ClearGlyphCache();
        DrawPage(bold);
    }
    state.SetItemsProcessed(state.iterations() * PageChars);
}
BENCHMARK(BM_FirstPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_RepeatedPage(benchmark::State& state) {
    SetUpScreen();
    bool bold = state.range(0) != 0;
    SelectGlyphFont("", Cell, Cell, false, bold);
    DrawPage(bold);
    for (auto _ : state) DrawPage(bold);
    state.SetItemsProcessed(state.iterations() * PageChars);
}
BENCHMARK(BM_RepeatedPage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
