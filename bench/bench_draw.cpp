// Drawing and decoding speed: DrawSurface opaque, colour-keyed, with a mask
// half and with surface alpha, DrawSurfaceRotated scaled and rotated, each
// beside pixman compositing the same pixels (24-bit r8g8b8, the same memory
// layout, and 32-bit x8r8g8b8, pixman's fastest paths); and JPEG, PNG and
// SPB decoding of a 1280 x 720 picture.  Bytes processed are destination
// (or decoded) bytes.  The upright draws run with the wide (AVX2) row
// kernels (wide:1) and with the 128-bit baseline (wide:0).  The pictures
// are 800 x 600 (1.4 MB each, in the caches); the names ending in
// "/1920x1080" draw the same at 1920 x 1080 (6 MB each: source, mask and
// destination do not fit in the caches, so memory speed counts).
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <pixman.h>

#include "graphics/decode.h"
#include "graphics/draw.h"
#include "graphics/spb.h"
#include "tests/graphics/image_encoders.h"
#include "tests/graphics/spb_encoder.h"

namespace {

int W = 800, H = 600;  // the picture size of the benchmark running

// A picture with smooth gradients and noise; BGR rows from the top.
std::vector<uint8_t> PhotoPixels(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> px((size_t)w * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t* p = &px[((size_t)y * w + x) * 3];
            p[0] = (uint8_t)(x * 255 / w + rng() % 9);
            p[1] = (uint8_t)(y * 255 / h + rng() % 9);
            p[2] = (uint8_t)((x + y) * 127 / (w + h) + 64 + rng() % 9);
        }
    return px;
}

void FillSurface(Surface* s, int w, int h, const std::vector<uint8_t>& px) {
    CreateSurface(s, w, h);
    for (int y = 0; y < h; y++) memcpy(DibRow(&s->dib, y), &px[(size_t)y * w * 3], (size_t)w * 3);
}

// Mask of a soft disc: 0 inside, 255 outside, a ramp at the rim.
uint8_t DiscMask(int x, int y, int w, int h) {
    double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
    double r = std::sqrt(dx * dx + dy * dy);
    double v = (r - 0.8) / 0.15;
    return (uint8_t)(v <= 0 ? 0 : v >= 1 ? 255 : v * 255);
}

struct Pictures {
    Surface src, keyed, masked, dst;
    std::vector<uint8_t> a8;       // pixman mask: 255 - m (and 0/255 for keyed)
    std::vector<uint8_t> keyA8;
    std::vector<uint32_t> src32, dst32;
    Pictures() {
        std::vector<uint8_t> px = PhotoPixels(W, H, 1);
        FillSurface(&src, W, H, px);
        FillSurface(&dst, W, H, PhotoPixels(W, H, 2));
        // Keyed: pure green (the top-left pixel) outside the disc.
        FillSurface(&keyed, W, H, px);
        keyA8.assign((size_t)W * H, 255);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                if (DiscMask(x, y, W, H) > 128 || (x == 0 && y == 0)) {
                    uint8_t* p = DibRow(&keyed.dib, y) + 3 * x;
                    p[0] = 0; p[1] = 255; p[2] = 0;
                    keyA8[(size_t)y * W + x] = 0;
                }
        keyed.transMode = TransLeftUp;
        // Alpha mode: colour half and mask half.
        CreateSurface(&masked, 2 * W, H);
        a8.resize((size_t)W * H);
        for (int y = 0; y < H; y++) {
            uint8_t* row = DibRow(&masked.dib, y);
            memcpy(row, &px[(size_t)y * W * 3], (size_t)W * 3);
            for (int x = 0; x < W; x++) {
                uint8_t m = DiscMask(x, y, W, H);
                row[3 * (W + x)] = row[3 * (W + x) + 1] = row[3 * (W + x) + 2] = m;
                a8[(size_t)y * W + x] = (uint8_t)(255 - m);
            }
        }
        masked.transMode = TransAlpha;
        src32.resize((size_t)W * H);
        dst32.resize((size_t)W * H);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                const uint8_t* p = &px[((size_t)y * W + x) * 3];
                src32[(size_t)y * W + x] = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
                dst32[(size_t)y * W + x] = 0xFF808080u;
            }
    }
};

// The pictures of the size W x H, made at their first use.
Pictures& Pics() {
    static std::map<std::pair<int, int>, std::unique_ptr<Pictures>> made;
    std::unique_ptr<Pictures>& p = made[{W, H}];
    if (!p) p.reset(new Pictures);
    return *p;
}

pixman_image_t* Wrap24(Surface* s, int w) {
    return pixman_image_create_bits(PIXMAN_r8g8b8, w, s->dib.height, (uint32_t*)s->dib.bits,
                                    DibStride(24, s->dib.width));
}
pixman_image_t* Wrap32(std::vector<uint32_t>& v, pixman_format_code_t f) {
    return pixman_image_create_bits(f, W, H, v.data(), W * 4);
}
pixman_image_t* WrapA8(std::vector<uint8_t>& v) {
    return pixman_image_create_bits(PIXMAN_a8, W, H, (uint32_t*)v.data(), W);
}

void Bytes(benchmark::State& st) { st.SetBytesProcessed((int64_t)st.iterations() * W * H * 3); }

// ---- opaque ----

void BM_DrawOpaque(benchmark::State& st) {
    Pictures& p = Pics();
    p.src.transMode = TransCopy;
    p.src.alpha = -1;
    for (auto _ : st) DrawSurface(&p.src, &p.dst, 0, 0, nullptr);
    Bytes(st);
}
void BM_PixmanOpaque24(benchmark::State& st) {
    Pictures& p = Pics();
    pixman_image_t *s = Wrap24(&p.src, W), *d = Wrap24(&p.dst, W);
    for (auto _ : st) pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_unref(s);
    pixman_image_unref(d);
    Bytes(st);
}
void BM_PixmanOpaque32(benchmark::State& st) {
    Pictures& p = Pics();
    pixman_image_t *s = Wrap32(p.src32, PIXMAN_x8r8g8b8), *d = Wrap32(p.dst32, PIXMAN_x8r8g8b8);
    for (auto _ : st) pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_unref(s);
    pixman_image_unref(d);
    Bytes(st);
}

// ---- colour key (pixman: a 0/255 mask) ----

void BM_DrawKeyed(benchmark::State& st) {
    Pictures& p = Pics();
    if (!SelectDrawKernels(st.range(0) != 0)) st.SkipWithError("no 256-bit registers");
    for (auto _ : st) DrawSurface(&p.keyed, &p.dst, 0, 0, nullptr);
    Bytes(st);
}
void PixmanMasked(benchmark::State& st, bool wide, std::vector<uint8_t>& mask, Surface* src24) {
    Pictures& p = Pics();
    pixman_image_t* s = wide ? Wrap32(p.src32, PIXMAN_x8r8g8b8) : Wrap24(src24, W);
    pixman_image_t* d = wide ? Wrap32(p.dst32, PIXMAN_x8r8g8b8) : Wrap24(&p.dst, W);
    pixman_image_t* m = WrapA8(mask);
    for (auto _ : st) pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_unref(s);
    pixman_image_unref(d);
    pixman_image_unref(m);
    Bytes(st);
}
void BM_PixmanKeyed24(benchmark::State& st) { PixmanMasked(st, false, Pics().keyA8, &Pics().keyed); }
void BM_PixmanKeyed32(benchmark::State& st) { PixmanMasked(st, true, Pics().keyA8, &Pics().keyed); }

// ---- mask half (alpha mode) ----

void BM_DrawMasked(benchmark::State& st) {
    Pictures& p = Pics();
    if (!SelectDrawKernels(st.range(0) != 0)) st.SkipWithError("no 256-bit registers");
    p.masked.alpha = -1;
    for (auto _ : st) DrawSurface(&p.masked, &p.dst, 0, 0, nullptr);
    Bytes(st);
}
void BM_DrawMaskedAlpha(benchmark::State& st) {
    Pictures& p = Pics();
    if (!SelectDrawKernels(st.range(0) != 0)) st.SkipWithError("no 256-bit registers");
    p.masked.alpha = 160;
    for (auto _ : st) DrawSurface(&p.masked, &p.dst, 0, 0, nullptr);
    p.masked.alpha = -1;
    Bytes(st);
}
void BM_PixmanMasked24(benchmark::State& st) { PixmanMasked(st, false, Pics().a8, &Pics().src); }
void BM_PixmanMasked32(benchmark::State& st) { PixmanMasked(st, true, Pics().a8, &Pics().src); }

// ---- surface alpha (pixman: a solid mask) ----

void BM_DrawAlpha(benchmark::State& st) {
    Pictures& p = Pics();
    if (!SelectDrawKernels(st.range(0) != 0)) st.SkipWithError("no 256-bit registers");
    p.src.transMode = TransCopy;
    p.src.alpha = 128;
    for (auto _ : st) DrawSurface(&p.src, &p.dst, 0, 0, nullptr);
    p.src.alpha = -1;
    Bytes(st);
}
void PixmanAlpha(benchmark::State& st, bool wide) {
    Pictures& p = Pics();
    pixman_image_t* s = wide ? Wrap32(p.src32, PIXMAN_x8r8g8b8) : Wrap24(&p.src, W);
    pixman_image_t* d = wide ? Wrap32(p.dst32, PIXMAN_x8r8g8b8) : Wrap24(&p.dst, W);
    pixman_color_t half = {0, 0, 0, 0x8080};
    pixman_image_t* m = pixman_image_create_solid_fill(&half);
    for (auto _ : st) pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_unref(s);
    pixman_image_unref(d);
    pixman_image_unref(m);
    Bytes(st);
}
void BM_PixmanAlpha24(benchmark::State& st) { PixmanAlpha(st, false); }
void BM_PixmanAlpha32(benchmark::State& st) { PixmanAlpha(st, true); }

// ---- scaled 150 % and rotated 30 degrees, nearest pixel ----

enum { RW = 512, RH = 384 };

void BM_DrawRotated(benchmark::State& st) {
    static Surface src;
    if (!HasPicture(&src)) FillSurface(&src, RW, RH, PhotoPixels(RW, RH, 3));
    src.transMode = TransCopy;
    src.alpha = 255;
    Pictures& p = Pics();
    for (auto _ : st) DrawSurfaceRotated(&src, &p.dst, W / 2, H / 2, 150, 150, 30, BlendNormal);
    Bytes(st);
}
void PixmanRotated(benchmark::State& st, bool wide) {
    static Surface src24;
    static std::vector<uint32_t> src32;
    if (!HasPicture(&src24)) {
        std::vector<uint8_t> px = PhotoPixels(RW, RH, 3);
        FillSurface(&src24, RW, RH, px);
        src32.resize((size_t)RW * RH);
        for (size_t i = 0; i < src32.size(); i++)
            src32[i] = 0xFF000000u | (px[3 * i + 2] << 16) | (px[3 * i + 1] << 8) | px[3 * i];
    }
    Pictures& p = Pics();
    pixman_image_t* s = wide ? pixman_image_create_bits(PIXMAN_x8r8g8b8, RW, RH, src32.data(), RW * 4)
                             : Wrap24(&src24, RW);
    pixman_image_t* d = wide ? Wrap32(p.dst32, PIXMAN_x8r8g8b8) : Wrap24(&p.dst, W);
    // Destination to source: translate to the centre, rotate, scale by 1/1.5.
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(-W / 2), pixman_int_to_fixed(-H / 2));
    pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(M_PI / 6)),
                            pixman_double_to_fixed(std::sin(M_PI / 6)));
    pixman_transform_scale(&t, nullptr, pixman_double_to_fixed(1 / 1.5), pixman_double_to_fixed(1 / 1.5));
    pixman_transform_translate(&t, nullptr, pixman_int_to_fixed(RW / 2), pixman_int_to_fixed(RH / 2));
    pixman_image_set_transform(s, &t);
    pixman_image_set_filter(s, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : st) pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_unref(s);
    pixman_image_unref(d);
    Bytes(st);
}
void BM_PixmanRotated24(benchmark::State& st) { PixmanRotated(st, false); }
void BM_PixmanRotated32(benchmark::State& st) { PixmanRotated(st, true); }

// ---- decoding 1280 x 720 ----

enum { DW = 1280, DH = 720 };

std::vector<uint8_t> DecodeInputRgb() {
    std::vector<uint8_t> bgr = PhotoPixels(DW, DH, 4), rgb(bgr.size());
    for (size_t i = 0; i < bgr.size(); i += 3) {
        rgb[i] = bgr[i + 2];
        rgb[i + 1] = bgr[i + 1];
        rgb[i + 2] = bgr[i];
    }
    return rgb;
}

void DecodeBytes(benchmark::State& st) { st.SetBytesProcessed((int64_t)st.iterations() * DW * DH * 3); }

void BM_DecodeJpeg(benchmark::State& st) {
    std::string jpg = EncodeJpegRgb(DW, DH, DecodeInputRgb(), 90);
    Dib d;
    for (auto _ : st) DecodeJpeg((const uint8_t*)jpg.data(), jpg.size(), &d);
    FreeDib(&d);
    DecodeBytes(st);
}
void BM_DecodePng(benchmark::State& st) {
    std::string png = EncodePng(DW, DH, DecodeInputRgb(), 3);
    Dib d;
    for (auto _ : st) DecodePng((const uint8_t*)png.data(), png.size(), 1, false, &d);
    FreeDib(&d);
    DecodeBytes(st);
}
void BM_DecodeSpb(benchmark::State& st) {
    std::string spb = EncodeSpb(DW, DH, PhotoPixels(DW, DH, 4));
    Dib d;
    for (auto _ : st) DecodeSpb((const uint8_t*)spb.data(), spb.size(), &d);
    FreeDib(&d);
    DecodeBytes(st);
}

}  // namespace

BENCHMARK(BM_DrawOpaque);
BENCHMARK(BM_PixmanOpaque24);
BENCHMARK(BM_PixmanOpaque32);
BENCHMARK(BM_DrawKeyed)->ArgName("wide")->Arg(1)->Arg(0);
BENCHMARK(BM_PixmanKeyed24);
BENCHMARK(BM_PixmanKeyed32);
BENCHMARK(BM_DrawMasked)->ArgName("wide")->Arg(1)->Arg(0);
BENCHMARK(BM_DrawMaskedAlpha)->ArgName("wide")->Arg(1)->Arg(0);
BENCHMARK(BM_PixmanMasked24);
BENCHMARK(BM_PixmanMasked32);
BENCHMARK(BM_DrawAlpha)->ArgName("wide")->Arg(1)->Arg(0);
BENCHMARK(BM_PixmanAlpha24);
BENCHMARK(BM_PixmanAlpha32);
BENCHMARK(BM_DrawRotated);
BENCHMARK(BM_PixmanRotated24);
BENCHMARK(BM_PixmanRotated32);
BENCHMARK(BM_DecodeJpeg);
BENCHMARK(BM_DecodePng);
BENCHMARK(BM_DecodeSpb);

// A benchmark run at 1920 x 1080.
template <void (*Bench)(benchmark::State&)>
void FullHd(benchmark::State& st) {
    W = 1920;
    H = 1080;
    Bench(st);
    W = 800;
    H = 600;
}

int main(int argc, char** argv) {
    const struct {
        const char* name;
        void (*fn)(benchmark::State&);
        bool wide_arg;
    } full_hd[] = {
        {"BM_DrawOpaque", FullHd<BM_DrawOpaque>, false},
        {"BM_PixmanOpaque24", FullHd<BM_PixmanOpaque24>, false},
        {"BM_DrawKeyed", FullHd<BM_DrawKeyed>, true},
        {"BM_PixmanKeyed24", FullHd<BM_PixmanKeyed24>, false},
        {"BM_DrawMasked", FullHd<BM_DrawMasked>, true},
        {"BM_PixmanMasked24", FullHd<BM_PixmanMasked24>, false},
        {"BM_DrawAlpha", FullHd<BM_DrawAlpha>, true},
        {"BM_PixmanAlpha24", FullHd<BM_PixmanAlpha24>, false},
    };
    for (const auto& b : full_hd) {
        auto* r = benchmark::RegisterBenchmark((std::string(b.name) + "/1920x1080").c_str(), b.fn);
        if (b.wide_arg) r->ArgName("wide")->Arg(1)->Arg(0);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
