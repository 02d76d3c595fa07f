// Screen composition speed: a background and 50 sprites (opaque, colour-keyed
// and alpha-masked, a third each) composed into SrcSurface, the whole screen
// and a 64 x 64 dirty rectangle, beside pixman compositing the same layers
// in its own fastest formats (x8r8g8b8 destination; opaque sprites x8r8g8b8
// with SRC, keyed ones a8r8g8b8 with alpha 0/255 from the key, masked ones
// x8r8g8b8 through an a8 mask, both OVER), and with the destination and
// background in the compositor's 24-bit layout (r8g8b8).  At 1920 x 1080 the full compose
// runs beside the memory-bandwidth floor: one memcpy of every layer's bytes.
// Counters: fps (composes per second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include <pixman.h>

#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"

namespace {

enum { SpriteW = 160, SpriteH = 120, SceneSprites = 50 };

uint8_t Noise(std::mt19937& rng) { return (uint8_t)(rng() & 0xFF); }

// The key colour never occurs in the picture but inside the corners it cuts.
bool InDisc(int x, int y, int w, int h) {
    int dx = 2 * x - w, dy = 2 * y - h;
    return (int64_t)dx * dx * h * h + (int64_t)dy * dy * w * w <= (int64_t)w * w * h * h;
}

struct Scene {
    int w, h;
    // pixman's copies of the layers
    std::vector<uint32_t> bg32, dst32;
    struct Layer {
        int x, y, kind;  // 0 opaque, 1 keyed, 2 masked
        std::vector<uint32_t> px;
        std::vector<uint8_t> mask;
    };
    std::vector<Layer> layers;
    size_t layerBytes = 0;  // bytes of the 24-bit layers as composed

    Scene(int w_, int h_) : w(w_), h(h_) {
        ScreenWidth = w, ScreenHeight = h;
        RebuildScreenSurfaces();
        std::mt19937 rng(7);
        bg32.resize((size_t)w * h);
        dst32.resize((size_t)w * h);
        for (int y = 0; y < h; y++) {
            uint8_t* row = DibRow(&BgSurface.dib, y);
            for (int x = 0; x < w; x++) {
                uint8_t b = (uint8_t)(x * 255 / w), g = (uint8_t)(y * 255 / h), r = Noise(rng);
                row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r;
                bg32[(size_t)y * w + x] = 0xFF000000u | (r << 16) | (g << 8) | b;
            }
        }
        layerBytes = (size_t)w * h * 3;
        for (int n = 0; n < SceneSprites; n++) {
            Sprite& s = Sprites[n];
            int kind = n % 3;
            int pw = kind == 2 ? 2 * SpriteW : SpriteW;
            CreateSurface(&s.surface, pw, SpriteH);
            Layer l;
            l.kind = kind;
            l.x = s.x = (int)(rng() % (unsigned)(w - SpriteW / 2)) - SpriteW / 4;
            l.y = s.y = (int)(rng() % (unsigned)(h - SpriteH / 2)) - SpriteH / 4;
            l.px.resize((size_t)SpriteW * SpriteH);
            if (kind == 2) l.mask.resize((size_t)SpriteW * SpriteH);
            for (int y = 0; y < SpriteH; y++) {
                uint8_t* row = DibRow(&s.surface.dib, y);
                for (int x = 0; x < SpriteW; x++) {
                    uint8_t b = Noise(rng) | 1, g = (uint8_t)(x + n), r = (uint8_t)(y + n);
                    bool in = InDisc(x, y, SpriteW, SpriteH);
                    if (kind == 1 && !in) b = 0, g = 0, r = 0;  // the key: top-left pixel
                    row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r;
                    uint32_t a = (kind == 1 && !in) ? 0 : 0xFF;
                    l.px[(size_t)y * SpriteW + x] =
                        a ? (0xFF000000u | (r << 16) | (g << 8) | b) : 0;
                    if (kind == 2) {
                        uint8_t m = in ? 0 : 255;  // soft-edged disc below
                        int dx = 2 * x - SpriteW;
                        if (in && dx * dx > (SpriteW - 20) * (SpriteW - 20)) m = 128;
                        row[3 * (SpriteW + x)] = m;
                        row[3 * (SpriteW + x) + 1] = m;
                        row[3 * (SpriteW + x) + 2] = m;
                        l.mask[(size_t)y * SpriteW + x] = (uint8_t)(255 - m);
                    }
                }
            }
            s.surface.transMode = kind == 0 ? TransCopy : kind == 1 ? TransLeftUp : TransAlpha;
            strcpy(s.tag.Edit(), "bench");
            s.visible = 1;
            layerBytes += (size_t)pw * SpriteH * 3;
            layers.push_back(std::move(l));
        }
    }
    ~Scene() {
        for (int n = 0; n < SceneSprites; n++) {
            ReleaseSurface(&Sprites[n].surface);
            Sprites[n].tag.Edit()[0] = 0;
            Sprites[n].visible = 0;
        }
    }
};

void BM_Compose(benchmark::State& st) {
    int w = (int)st.range(0), h = (int)st.range(1);
    bool small = st.range(2) != 0;
    Scene scene(w, h);
    ScreenRect r{w / 2 - 32, h / 2 - 32, w / 2 + 31, h / 2 + 31};
    for (auto _ : st) {
        ComposeScreen(small ? &r : nullptr);
        benchmark::DoNotOptimize(SrcSurface.dib.bits);
    }
    st.counters["fps"] = benchmark::Counter((double)st.iterations(), benchmark::Counter::kIsRate);
    st.SetBytesProcessed((int64_t)st.iterations() * (small ? 64 * 64 * 3 : (int64_t)scene.layerBytes));
}
BENCHMARK(BM_Compose)->Args({800, 600, 0})->Args({800, 600, 1})->Args({1920, 1080, 0})
    ->ArgNames({"w", "h", "small"})->Unit(benchmark::kMicrosecond);

// same24: the destination and background in the compositor's own memory
// layout (24-bit rows, PIXMAN_r8g8b8) instead of pixman's 32-bit format.
void BM_PixmanCompose(benchmark::State& st) {
    int w = (int)st.range(0), h = (int)st.range(1);
    bool same24 = st.range(2) != 0;
    Scene scene(w, h);
    int stride24 = DibStride(24, w);
    pixman_image_t* dst =
        same24 ? pixman_image_create_bits(PIXMAN_r8g8b8, w, h, (uint32_t*)SrcSurface.dib.bits, stride24)
               : pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, scene.dst32.data(), w * 4);
    pixman_image_t* bg =
        same24 ? pixman_image_create_bits(PIXMAN_r8g8b8, w, h, (uint32_t*)BgSurface.dib.bits, stride24)
               : pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, scene.bg32.data(), w * 4);
    std::vector<pixman_image_t*> src, mask;
    for (Scene::Layer& l : scene.layers) {
        src.push_back(pixman_image_create_bits(l.kind == 1 ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8,
                                               SpriteW, SpriteH, l.px.data(), SpriteW * 4));
        mask.push_back(l.kind == 2 ? pixman_image_create_bits(PIXMAN_a8, SpriteW, SpriteH,
                                                              (uint32_t*)l.mask.data(), SpriteW)
                                   : nullptr);
    }
    for (auto _ : st) {
        pixman_image_composite32(PIXMAN_OP_SRC, bg, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h);
        // Drawn 49 first, 0 last, as the compositor's back-to-front order.
        for (int i = (int)scene.layers.size() - 1; i >= 0; i--) {
            const Scene::Layer& l = scene.layers[i];
            pixman_image_composite32(l.kind == 0 ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, src[i], mask[i],
                                     dst, 0, 0, 0, 0, l.x, l.y, SpriteW, SpriteH);
        }
        benchmark::DoNotOptimize(scene.dst32.data());
    }
    for (size_t i = 0; i < src.size(); i++) {
        pixman_image_unref(src[i]);
        if (mask[i]) pixman_image_unref(mask[i]);
    }
    pixman_image_unref(bg);
    pixman_image_unref(dst);
    st.counters["fps"] = benchmark::Counter((double)st.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PixmanCompose)->Args({800, 600, 0})->Args({800, 600, 1})
    ->ArgNames({"w", "h", "same24"})->Unit(benchmark::kMicrosecond);

// The floor: every layer's bytes copied once (the background into a screen
// buffer, each sprite's rows into it).
void BM_MemcpyLayers(benchmark::State& st) {
    int w = (int)st.range(0), h = (int)st.range(1);
    Scene scene(w, h);
    std::vector<uint8_t> out(BgSurface.dib.imageBytes);
    for (auto _ : st) {
        memcpy(out.data(), BgSurface.dib.bits, out.size());
        for (int n = 0; n < SceneSprites; n++) {
            const Dib& d = Sprites[n].surface.dib;
            size_t bytes = (size_t)d.imageBytes;
            memcpy(out.data() + (size_t)n * 4096 % (out.size() - bytes), d.bits, bytes);
        }
        benchmark::DoNotOptimize(out.data());
    }
    st.counters["fps"] = benchmark::Counter((double)st.iterations(), benchmark::Counter::kIsRate);
    st.SetBytesProcessed((int64_t)st.iterations() * (int64_t)scene.layerBytes);
}
BENCHMARK(BM_MemcpyLayers)->Args({1920, 1080})->ArgNames({"w", "h"})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
