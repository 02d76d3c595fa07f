// bench_wait.cpp - the cost of one pass of a wait loop in the headless
// backend: a pump that finds no message plus an animation tick with nothing
// to do; and the animation tick alone over 1000 loaded sprites that do not
// animate (its scan of the sprite tables).
#include <benchmark/benchmark.h>

#include <cstring>

#include "graphics/anim.h"
#include "graphics/sprite.h"
#include "platform/headless/headless.h"
#include "bench/bench_support.h"
#include "platform/platform.h"

namespace {

void StartPlatform() { StartHeadlessOnce(); }

void ClearSprites() {
    for (Sprite& s : Sprites) {
        DestroySurface(&s.surface);
        s = Sprite();
    }
}

// One pass of TimedWait's loop with nothing queued and nothing to animate.
void BM_WaitPass(benchmark::State& state) {
    StartPlatform();
    ClearSprites();
    for (auto _ : state) {
        benchmark::DoNotOptimize(PumpMessage());
        AdvanceAnimation();
        benchmark::DoNotOptimize(PlatTicks());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WaitPass);

// Its two halves: the empty pump, and the tick over empty tables.
void BM_EmptyPump(benchmark::State& state) {
    StartPlatform();
    for (auto _ : state) benchmark::DoNotOptimize(PumpMessage());
}
BENCHMARK(BM_EmptyPump);

void BM_IdleTick(benchmark::State& state) {
    StartPlatform();
    ClearSprites();
    for (auto _ : state) AdvanceAnimation();
}
BENCHMARK(BM_IdleTick);

// The tick alone over 1000 visible sprites with a picture each: single
// cells, and several cells whose time never comes.
void BM_TickOverLoadedSprites(benchmark::State& state) {
    StartPlatform();
    ClearSprites();
    for (int n = 0; n < SpriteCount; n++) {
        Sprite& s = Sprites[n];
        snprintf(s.tag.Edit(), sizeof s.tag, "sprite%d.bmp", n);
        s.visible = 1;
        s.x = n % 40 * 16;
        s.y = n / 40 * 16;
        CreateSurface(&s.surface, 32, 16);
        if (state.range(0) && n % 2) {
            s.surface.cellCount = 2;
            s.surface.cellTime = NoAnimation;
            s.surface.loopMode = 3;
            s.surface.animClock = PlatTicks();
        }
    }
    for (auto _ : state) AdvanceAnimation();
    state.SetItemsProcessed(state.iterations());
    ClearSprites();
}
BENCHMARK(BM_TickOverLoadedSprites)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
