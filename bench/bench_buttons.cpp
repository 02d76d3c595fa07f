// bench_buttons.cpp - hover detection in a button wait with 200 sprite
// buttons: per mouse move, the move taken off the queue and dispatched,
// then the hit test over the table (the later entry wins, so every entry is
// tested); with transbtn the pixel test of the sprites under the point too.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "bench/bench_support.h"
#include "graphics/sprite.h"
#include "platform/platform.h"
#include "ui/buttons.h"
#include "ui/input_state.h"

namespace {

intptr_t RecordMoves(uint32_t message, uintptr_t, intptr_t lparam) {
    LastMessage = message;
    if (message == WM_MOUSEMOVE) {
        LastX = PointParamX(lparam);
        LastY = PointParamY(lparam);
    }
    return 0;
}

// 200 sprites of two 40 x 30 cells in a 20 x 10 grid over 800 x 300
// pixels, keyed on their top-left colour, each a sprite button.
void SetUpButtons() {
    if (StartHeadlessOnce()) {
        for (int n = 0; n < 200; n++) {
            Sprite& s = Sprites[n];
            snprintf(s.tag.Edit(), sizeof s.tag, ":l/2;b%d.bmp", n);
            CreateSurface(&s.surface, 80, 30);
            s.surface.cellCount = 2;
            s.surface.transMode = TransLeftUp;
            s.x = (n % 20) * 40;
            s.y = (n / 20) * 30;
            s.visible = 1;
        }
    }
    PlatSetWindowProc(RecordMoves);
    ClearButtons();
    ResetButtonSwitches();
    for (int n = 0; n < 200; n++) AddSpriteButton(n, n + 1, nullptr);
}

void HoverPerMove(benchmark::State& state, bool transbtn) {
    SetUpButtons();
    ButtonWaitOptions.transbtn = transbtn ? 1 : 0;
    int i = 0;
    for (auto _ : state) {
        int x = (i * 37) % 800, y = (i * 13) % 300;
        i++;
        PlatPostMessage(WM_MOUSEMOVE, 0, MakePointParam(x, y));
        PumpMessage();
        benchmark::DoNotOptimize(FindHoveredButton(LastX, LastY, 0));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_HoverPerMove(benchmark::State& state) { HoverPerMove(state, false); }
BENCHMARK(BM_HoverPerMove);
void BM_HoverPerMoveTransbtn(benchmark::State& state) { HoverPerMove(state, true); }
BENCHMARK(BM_HoverPerMoveTransbtn);

}  // namespace

BENCHMARK_MAIN();
