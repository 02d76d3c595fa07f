// bench_textures.cpp - the texture blits of a 512 x 512 texture onto an
// 800 x 600 screen (alpha blend, additive, rotated) beside pixman's OVER and
// ADD of the same pixels: onto the same 24-bit picture, and onto a 32-bit
// one (pixman's own best case); quads reaching far off the screen beside
// pixman's nearest-texel zoom.  The texture's alpha runs through every
// value, with opaque and transparent stretches as pictures have them.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "ext/textures.h"
#include "graphics/surface.h"

namespace {

enum { ScreenW = 800, ScreenH = 600, TexSide = 512 };

struct Scene {
    Surface screen;
    Texture texture;
    std::vector<uint32_t> premultiplied;  // the texture as pixman takes it
    std::vector<uint32_t> screen32;
    Scene() {
        CreateSurface(&screen, ScreenW, ScreenH);
        for (int y = 0; y < ScreenH; y++)
            for (int x = 0; x < ScreenW; x++) {
                uint8_t* p = DibRow(&screen.dib, y) + 3 * x;
                p[0] = (uint8_t)x, p[1] = (uint8_t)y, p[2] = (uint8_t)(x + y);
            }
        CreateTexturePicture(&texture, TexSide, TexSide);
        premultiplied.resize((size_t)TexSide * TexSide);
        for (int y = 0; y < TexSide; y++)
            for (int x = 0; x < TexSide; x++) {
                int band = (x / 64 + y / 64) % 4;  // opaque, clear, ramp, ramp
                uint32_t a = band == 0 ? 255 : band == 1 ? 0 : (uint32_t)((x * 7 + y) & 255);
                uint32_t r = (uint32_t)(x & 255), g = (uint32_t)(y & 255), b = (uint32_t)((x ^ y) & 255);
                texture.pixels[y * TexSide + x] = a << 24 | r << 16 | g << 8 | b;
                premultiplied[y * TexSide + x] = a << 24 | (r * a / 255) << 16 | (g * a / 255) << 8 | (b * a / 255);
            }
        screen32.assign((size_t)ScreenW * ScreenH, 0xFF404040u);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_TextureBlend(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        BlendTexture(&s.screen, &s.texture, 144, 44, TexSide, TexSide, 0, 0, 255);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}
BENCHMARK(BM_TextureBlend);

void BM_TextureBlendHalf(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        BlendTexture(&s.screen, &s.texture, 144, 44, TexSide, TexSide, 0, 0, 128);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}
BENCHMARK(BM_TextureBlendHalf);

void BM_TextureAdd(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        AddTexture(&s.screen, &s.texture, 144, 44, TexSide, TexSide, 0, 0, 255);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}
BENCHMARK(BM_TextureAdd);

void BM_TextureRotated(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        BlendTextureRotated(&s.screen, &s.texture, 400, 300, 0, 0, TexSide, TexSide, 1, 1, 30, 255);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}
BENCHMARK(BM_TextureRotated);

struct PixmanImages {
    pixman_image_t *src, *dst24, *dst32;
    PixmanImages() {
        Scene& s = TheScene();
        src = pixman_image_create_bits(PIXMAN_a8r8g8b8, TexSide, TexSide, s.premultiplied.data(),
                                       TexSide * 4);
        dst24 = pixman_image_create_bits(PIXMAN_r8g8b8, ScreenW, ScreenH, (uint32_t*)s.screen.dib.bits,
                                         DibStride(24, ScreenW));
        dst32 = pixman_image_create_bits(PIXMAN_x8r8g8b8, ScreenW, ScreenH, s.screen32.data(), ScreenW * 4);
    }
};

PixmanImages& Images() {
    static PixmanImages images;
    return images;
}

void PixmanComposite(benchmark::State& state, pixman_op_t op, bool wide) {
    PixmanImages& im = Images();
    for (auto _ : state) {
        pixman_image_composite32(op, im.src, nullptr, wide ? im.dst32 : im.dst24, 0, 0, 0, 0, 144, 44,
                                 TexSide, TexSide);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}

void BM_PixmanOver24(benchmark::State& state) { PixmanComposite(state, PIXMAN_OP_OVER, false); }
void BM_PixmanAdd24(benchmark::State& state) { PixmanComposite(state, PIXMAN_OP_ADD, false); }
void BM_PixmanOver32(benchmark::State& state) { PixmanComposite(state, PIXMAN_OP_OVER, true); }
void BM_PixmanAdd32(benchmark::State& state) { PixmanComposite(state, PIXMAN_OP_ADD, true); }
BENCHMARK(BM_PixmanOver24);
BENCHMARK(BM_PixmanAdd24);
BENCHMARK(BM_PixmanOver32);
BENCHMARK(BM_PixmanAdd32);

// OVER through a 30-degree rotation about the screen's centre, nearest
// texel, over the rotated texture's bounding square.
void PixmanRotated(benchmark::State& state, bool wide) {
    PixmanImages& im = Images();
    double a = 30 * 3.14159265358979 / 180, c = cos(a), s = sin(a);
    int n = (int)(TexSide * (c + s)) + 2;
    int left = 400 - n / 2, top = 300 - n / 2;
    // Destination pixel -> texel: rotate back about the square's centre.
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-n / 2.0), pixman_double_to_fixed(-n / 2.0));
    pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(c), pixman_double_to_fixed(-s));
    pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(TexSide / 2.0),
                               pixman_double_to_fixed(TexSide / 2.0));
    pixman_image_set_transform(im.src, &t);
    pixman_image_set_filter(im.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, im.src, nullptr, wide ? im.dst32 : im.dst24, 0, 0, 0, 0,
                                 left, top, n, n);
        benchmark::ClobberMemory();
    }
    pixman_image_set_transform(im.src, nullptr);
    state.SetItemsProcessed(state.iterations() * TexSide * TexSide);
}
void BM_PixmanRotatedOver24(benchmark::State& state) { PixmanRotated(state, false); }
void BM_PixmanRotatedOver32(benchmark::State& state) { PixmanRotated(state, true); }
BENCHMARK(BM_PixmanRotatedOver24);
BENCHMARK(BM_PixmanRotatedOver32);

// Quads reaching far off the screen: a zoom of the texture to 200,000
// pixels both ways around the screen, a square of 6,000 pixels turned by
// 30 degrees, and one with its corners 2,000,000 pixels out turned by 45.
// Only the part that lands on the screen costs; pixman's nearest-texel
// OVER of the same zoom, over the whole screen, is the reference.
void QuadBench(benchmark::State& state, const int32_t (&k)[8]) {
    Scene& s = TheScene();
    for (auto _ : state) {
        BlendTextureQuad(&s.screen, &s.texture, k, 0, 0, TexSide, TexSide, 255);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ScreenW * ScreenH);
}
enum { Zoom = 100000 };
const int32_t kZoomQuad[8] = {-Zoom, -Zoom, ScreenW + Zoom, -Zoom, -Zoom, ScreenH + Zoom, ScreenW + Zoom, ScreenH + Zoom};
void BM_TextureQuadZoom(benchmark::State& state) { QuadBench(state, kZoomQuad); }
BENCHMARK(BM_TextureQuadZoom);

void BM_TextureQuadTurned6000(benchmark::State& state) {
    // A 6000-pixel square about the screen's centre, turned by 30 degrees.
    double c = cos(30 * 3.14159265358979 / 180) * 3000, d = sin(30 * 3.14159265358979 / 180) * 3000;
    auto at = [&](double u, double v, int axis) {
        return (int32_t)(axis == 0 ? 400 + u * c - v * d : 300 + u * d + v * c);
    };
    const int32_t k[8] = {at(-1, -1, 0), at(-1, -1, 1), at(1, -1, 0), at(1, -1, 1),
                          at(-1, 1, 0),  at(-1, 1, 1),  at(1, 1, 0),  at(1, 1, 1)};
    QuadBench(state, k);
}
BENCHMARK(BM_TextureQuadTurned6000);

void BM_TextureQuadFarCorners(benchmark::State& state) {
    const int32_t k[8] = {400, -2000000, 2000400, 300, -1999600, 300, 400, 2000300};
    QuadBench(state, k);
}
BENCHMARK(BM_TextureQuadFarCorners);

void BM_PixmanQuadZoom(benchmark::State& state) {
    PixmanImages& im = Images();
    // Destination pixel -> texel: (x + Zoom) * 511 / (ScreenW + 2 Zoom), y alike.
    double fx = (TexSide - 1.0) / (ScreenW + 2.0 * Zoom), fy = (TexSide - 1.0) / (ScreenH + 2.0 * Zoom);
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(fx);
    t.matrix[0][2] = pixman_double_to_fixed(Zoom * fx);
    t.matrix[1][1] = pixman_double_to_fixed(fy);
    t.matrix[1][2] = pixman_double_to_fixed(Zoom * fy);
    pixman_image_set_transform(im.src, &t);
    pixman_image_set_filter(im.src, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, im.src, nullptr, im.dst24, 0, 0, 0, 0, 0, 0, ScreenW,
                                 ScreenH);
        benchmark::ClobberMemory();
    }
    pixman_image_set_transform(im.src, nullptr);
    state.SetItemsProcessed(state.iterations() * ScreenW * ScreenH);
}
BENCHMARK(BM_PixmanQuadZoom);

}  // namespace

BENCHMARK_MAIN();
