// Transition step speed at 1920 x 1080, 24 bits: a crossfade (two pictures
// blended at one level into a third, every byte) and one half-byte frame as
// the fade runs it; a
// rule-wipe frame (about half the pixels switch); a mosaic fill (5-pixel
// blocks) and a blinds step.  Beside them: the memory-bandwidth floor, a
// memcpy moving as many bytes as the step reads and writes, and pixman doing
// the same blend (the old picture copied in, the new one OVER it through a
// solid mask of the level) and the same masked copy (OVER through an a8
// mask of the switching pixels), in 24-bit (r8g8b8) and in its fast 32-bit
// (x8r8g8b8) layout.  Argument t: threads for the engine's steps; argument
// bits: the widest vectors the steps may use (0: plain loops).
// Counters: fps (steps per second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include <pixman.h>

#include "graphics/effect_kernels.h"

namespace {

enum { W = 1920, H = 1080 };

struct Pictures {
    Dib src, old, out, rule, ruleCopy;
    std::vector<uint32_t> src32, old32, out32;
    std::vector<uint8_t> mask8;  // the rule wipe's switching pixels as an a8 mask
    Pictures() {
        std::mt19937 rng(11);
        for (Dib* d : {&src, &old, &out, &rule, &ruleCopy}) CreateDib(d, W, H);
        src32.resize((size_t)W * H), old32.resize((size_t)W * H), out32.resize((size_t)W * H);
        mask8.resize((size_t)W * H);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                uint32_t a = rng(), b = rng();
                uint8_t* s = DibRow(&src, y) + 3 * x;
                uint8_t* o = DibRow(&old, y) + 3 * x;
                memcpy(s, &a, 3), memcpy(o, &b, 3);
                src32[(size_t)y * W + x] = a | 0xFF000000u;
                old32[(size_t)y * W + x] = b | 0xFF000000u;
                uint8_t r = (uint8_t)((x + y * 3) & 0xFF);
                DibRow(&rule, y)[3 * x] = r;
                mask8[(size_t)y * W + x] = r <= 128 ? 255 : 0;
            }
        memcpy(ruleCopy.bits, rule.bits, (size_t)rule.imageBytes);
    }
    ~Pictures() {
        for (Dib* d : {&src, &old, &out, &rule, &ruleCopy}) FreeDib(d);
    }
};

Pictures& Pics() {
    static Pictures p;
    return p;
}

void Fps(benchmark::State& st) {
    st.counters["fps"] = benchmark::Counter((double)st.iterations(), benchmark::Counter::kIsRate);
}

void BM_Crossfade(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads((int)st.range(0));
    for (auto _ : st) {
        CrossfadeStep(&p.out, &p.src, &p.old, 0, 0, W, H, 100, 2);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_Crossfade)->Arg(1)->Arg(2)->Arg(4)->ArgName("t")->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CrossfadeHalfFrame(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads((int)st.range(0));
    for (auto _ : st) {
        CrossfadeStep(&p.out, &p.src, &p.old, 0, 0, W, H, 100, 1);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_CrossfadeHalfFrame)->Arg(1)->Arg(4)->ArgName("t")->Unit(benchmark::kMicrosecond)->UseRealTime();

// The full and the half-byte frame and the rule wipe at each vector width.
void BM_CrossfadeVectors(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads(1);
    if (SetEffectVectorBits((int)st.range(0)) != st.range(0)) st.SkipWithError("not on this machine");
    for (auto _ : st) {
        CrossfadeStep(&p.out, &p.src, &p.old, 0, 0, W, H, 100, (int)st.range(1));
        benchmark::DoNotOptimize(p.out.bits);
    }
    SetEffectVectorBits(512);
    Fps(st);
}
BENCHMARK(BM_CrossfadeVectors)
    ->ArgsProduct({{512, 256, 128, 0}, {2, 1}})
    ->ArgNames({"bits", "parity"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

void BM_RuleWipeVectors(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads(1);
    if (SetEffectVectorBits((int)st.range(0)) != st.range(0)) st.SkipWithError("not on this machine");
    for (auto _ : st) {
        st.PauseTiming();
        memcpy(p.rule.bits, p.ruleCopy.bits, (size_t)p.rule.imageBytes);
        memcpy(p.out.bits, p.old.bits, (size_t)p.out.imageBytes);
        st.ResumeTiming();
        RuleWipeStep(&p.out, &p.src, &p.rule, 0, 0, W, H, 128);
        benchmark::DoNotOptimize(p.out.bits);
    }
    SetEffectVectorBits(512);
    Fps(st);
}
BENCHMARK(BM_RuleWipeVectors)->Arg(512)->Arg(128)->Arg(0)->ArgName("bits")->Unit(benchmark::kMicrosecond)->UseRealTime();

// Two pictures read, one written: a memcpy of 1.5 pictures reads and writes
// as many bytes.
void BM_CrossfadeFloor(benchmark::State& st) {
    Pictures& p = Pics();
    size_t n = (size_t)p.src.imageBytes * 3 / 2;
    std::vector<uint8_t> from(n, 1), to(n);
    for (auto _ : st) {
        memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
    }
    Fps(st);
}
BENCHMARK(BM_CrossfadeFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PixmanCrossfade(benchmark::State& st) {
    Pictures& p = Pics();
    bool same24 = st.range(0) != 0;
    int stride24 = DibStride(24, W);
    pixman_image_t *src, *old, *out;
    if (same24) {
        src = pixman_image_create_bits(PIXMAN_r8g8b8, W, H, (uint32_t*)p.src.bits, stride24);
        old = pixman_image_create_bits(PIXMAN_r8g8b8, W, H, (uint32_t*)p.old.bits, stride24);
        out = pixman_image_create_bits(PIXMAN_r8g8b8, W, H, (uint32_t*)p.out.bits, stride24);
    } else {
        src = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, p.src32.data(), W * 4);
        old = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, p.old32.data(), W * 4);
        out = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, p.out32.data(), W * 4);
    }
    pixman_color_t level = {0, 0, 0, (uint16_t)(100 * 257)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&level);
    for (auto _ : st) {
        pixman_image_composite32(PIXMAN_OP_SRC, old, nullptr, out, 0, 0, 0, 0, 0, 0, W, H);
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, out, 0, 0, 0, 0, 0, 0, W, H);
    }
    for (pixman_image_t* i : {src, old, out, mask}) pixman_image_unref(i);
    Fps(st);
}
BENCHMARK(BM_PixmanCrossfade)->Arg(1)->Arg(0)->ArgName("same24")->Unit(benchmark::kMicrosecond)->UseRealTime();

// About half the pixels switch; the rule is restored outside the timing.
void BM_RuleWipe(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads((int)st.range(0));
    for (auto _ : st) {
        st.PauseTiming();
        memcpy(p.rule.bits, p.ruleCopy.bits, (size_t)p.rule.imageBytes);
        memcpy(p.out.bits, p.old.bits, (size_t)p.out.imageBytes);
        st.ResumeTiming();
        RuleWipeStep(&p.out, &p.src, &p.rule, 0, 0, W, H, 128);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_RuleWipe)->Arg(1)->Arg(2)->Arg(4)->ArgName("t")->Unit(benchmark::kMicrosecond)->UseRealTime();

// The rule and the new picture read, the destination read and written where
// pixels switch, the rule's blue bytes written: about two pictures each way.
void BM_RuleWipeFloor(benchmark::State& st) {
    Pictures& p = Pics();
    size_t n = (size_t)p.src.imageBytes * 2;
    std::vector<uint8_t> from(n, 1), to(n);
    for (auto _ : st) {
        memcpy(to.data(), from.data(), n);
        benchmark::DoNotOptimize(to.data());
    }
    Fps(st);
}
BENCHMARK(BM_RuleWipeFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PixmanRuleWipe(benchmark::State& st) {
    Pictures& p = Pics();
    bool same24 = st.range(0) != 0;
    int stride24 = DibStride(24, W);
    pixman_image_t *src, *out;
    if (same24) {
        src = pixman_image_create_bits(PIXMAN_r8g8b8, W, H, (uint32_t*)p.src.bits, stride24);
        out = pixman_image_create_bits(PIXMAN_r8g8b8, W, H, (uint32_t*)p.out.bits, stride24);
    } else {
        src = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, p.src32.data(), W * 4);
        out = pixman_image_create_bits(PIXMAN_x8r8g8b8, W, H, p.out32.data(), W * 4);
    }
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, W, H, (uint32_t*)p.mask8.data(), W);
    for (auto _ : st)
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, out, 0, 0, 0, 0, 0, 0, W, H);
    for (pixman_image_t* i : {src, out, mask}) pixman_image_unref(i);
    Fps(st);
}
BENCHMARK(BM_PixmanRuleWipe)->Arg(1)->Arg(0)->ArgName("same24")->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_Mosaic(benchmark::State& st) {
    Pictures& p = Pics();
    SetEffectThreads((int)st.range(0));
    for (auto _ : st) {
        MosaicFill(&p.out, &p.src, 5);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_Mosaic)->Arg(1)->Arg(4)->ArgName("t")->Unit(benchmark::kMicrosecond)->UseRealTime();

// A picture written (and a fifth of it read): a memcpy of one picture.
void BM_PictureFloor(benchmark::State& st) {
    Pictures& p = Pics();
    for (auto _ : st) {
        memcpy(p.out.bits, p.src.bits, (size_t)p.src.imageBytes);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_PictureFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// One blinds step: every 16th column of the whole screen.
void BM_BlindsStep(benchmark::State& st) {
    Pictures& p = Pics();
    for (auto _ : st) {
        EffectCopyColumns(&p.out, &p.src, 3, 16, W - 1, 0, H);
        benchmark::DoNotOptimize(p.out.bits);
    }
    Fps(st);
}
BENCHMARK(BM_BlindsStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
