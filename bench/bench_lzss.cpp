// LZSS decoding speed on 20 MB entries: text, picture-like bytes and a
// stream of random tokens.  Bytes processed are output bytes.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "archive/lzss.h"
#include "tests/archive/arcpack.h"

enum { EntrySize = 20 * 1024 * 1024 };

static std::string TextData() {
    static const char* words[] = {"the ", "night ", "train ", "stopped ", "at ", "a ", "station ",
                                  "without ", "name, ", "and ", "she ", "said ", "nothing.\n",
                                  "\x82\xa0\x82\xa2", "\x81\x75", "\x81\x76", "\n"};
    std::mt19937 rng(1);
    std::string s;
    s.reserve(EntrySize + 32);
    while (s.size() < EntrySize) s += words[rng() % (sizeof words / sizeof *words)];
    s.resize(EntrySize);
    return s;
}

// Rows of a 24-bit picture: smooth gradients with some noise.
static std::string PictureData() {
    std::mt19937 rng(2);
    std::string s(EntrySize, 0);
    const int stride = 640 * 3;
    for (size_t i = 0; i < s.size(); i++) {
        size_t x = i % stride, y = i / stride;
        int v = (int)((x / 3) / 5 + (y % 480) / 3 + (x % 3) * 40);
        if (rng() % 8 == 0) v += (int)(rng() % 5);
        s[i] = (char)v;
    }
    return s;
}

// Random tokens: half literals, half copies of random length and position.
static std::string RandomTokens(size_t* out_size) {
    std::mt19937 rng(3);
    arcpack::BitWriter w;
    size_t n = 0;
    while (n < EntrySize) {
        if (rng() % 2) {
            w.Put(1, 1);
            w.Put(rng() & 255, 8);
            n++;
        } else {
            uint32_t l = rng() % 16;
            w.Put(0, 1);
            w.Put(rng() & 255, 8);
            w.Put(l, 4);
            n += l + 2;
        }
    }
    *out_size = n;
    return w.bytes;
}

static void Run(benchmark::State& state, const std::string& packed, size_t size) {
    std::vector<uint8_t> out(size);
    for (auto _ : state) {
        size_t n = LzssDecode((const uint8_t*)packed.data(), packed.size(), out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
        if (n != size) state.SkipWithError("short output");
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)size);
    state.counters["ratio"] = (double)packed.size() / (double)size;
}

static void BM_LzssText(benchmark::State& state) {
    static const std::string packed = arcpack::LzssEncode(TextData());
    Run(state, packed, EntrySize);
}
static void BM_LzssPicture(benchmark::State& state) {
    static const std::string packed = arcpack::LzssEncode(PictureData());
    Run(state, packed, EntrySize);
}
static void BM_LzssRandomTokens(benchmark::State& state) {
    static size_t size = 0;
    static const std::string packed = RandomTokens(&size);
    Run(state, packed, size);
}
BENCHMARK(BM_LzssText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssPicture)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssRandomTokens)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
