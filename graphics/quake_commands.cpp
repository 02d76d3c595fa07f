// quake_commands.cpp - quake, quakex, quakey, flushout/yugami, panoramatest.
// Frames are built in a scratch picture and presented; DestSurface stays the
// picture (but for flushout's end), so the next paint shows it again.
// Pauses below 0 are 0; frame intervals are worked out in 64 bits.
#include "graphics/quake_commands.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/random.h"
#include "core/readers.h"
#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/draw.h"
#include "graphics/screen.h"
#include "platform/platform.h"

static std::vector<uint8_t> Frame;

static bool DestReady() {
    return HasPicture(&DestSurface) && DestSurface.dib.infoHeader.bitCount == 24;
}

static void PresentSurface(const Surface* s) {
    if (HasPicture(s)) PlatPresent(s->dib.bits, s->dib.width, s->dib.height);
}

void PresentShifted(int64_t dx, int64_t dy) {
    if (!DestReady()) return;
    const Dib& d = DestSurface.dib;
    int32_t w = d.width, h = d.height;
    size_t stride = (size_t)DibStride(24, w);
    Frame.assign(stride * h, 0);
    // Columns x0..x1-1 of the window show the picture's columns x0-dx...
    int64_t x0 = dx > 0 ? dx : 0, x1 = dx < 0 ? w + dx : w;
    int64_t y0 = dy > 0 ? dy : 0, y1 = dy < 0 ? h + dy : h;
    if (x0 < x1 && y0 < y1) {
        for (int64_t y = y0; y < y1; y++) {
            uint8_t* out = Frame.data() + stride * (size_t)(h - 1 - y) + 3 * x0;
            const uint8_t* in = DibRow(&d, (int32_t)(y - dy)) + 3 * (x0 - dx);
            memcpy(out, in, 3 * (size_t)(x1 - x0));
        }
    }
    PlatPresent(Frame.data(), w, h);
}

// Sleeps what is left of `interval` ms since t0 (nothing when negative).
static void SleepRest(uint32_t t0, int64_t interval) {
    int64_t rest = interval - (int64_t)(uint32_t)(PlatTicks() - t0);
    if (rest > 0) PlatSleep((uint32_t)(rest > UINT32_MAX ? UINT32_MAX : rest));
}

void Quake(int32_t amplitude, int32_t duration) {
    int32_t steps = duration / 100;
    for (int32_t i = 0; i < steps; i++) {
        uint32_t t0 = PlatTicks();
        int64_t r1 = NextRandom(), r2 = NextRandom();
        PresentShifted((r1 % 7 - 3) * (int64_t)amplitude, (r2 % 7 - 3) * (int64_t)amplitude);
        // 100 ms from t0, 1 ms at a time; a wrapped clock ends the wait.
        for (;;) {
            uint32_t now = PlatTicks();
            if (now < t0 || now - t0 >= 100) break;
            PlatSleep(1);
        }
    }
    PresentSurface(&DestSurface);
}

// The 16 offsets of a pass with step s: 0 up to 4s, back through 0 to -4s
// and back up to -s.
static int64_t PassOffset(int i, int64_t s) {
    static const int kSteps[16] = {0, 1, 2, 3, 4, 3, 2, 1, 0, -1, -2, -3, -4, -3, -2, -1};
    return kSteps[i] * s;
}

static void Shake(int32_t amplitude, int32_t duration, int32_t stepUnit, bool horizontal) {
    if (amplitude > 0) {
        int64_t interval = (int64_t)duration / (16 * (int64_t)amplitude);
        for (int64_t k = 0; k < amplitude; k++) {
            int64_t s = stepUnit * (amplitude - k);
            for (int i = 0; i < 16; i++) {
                uint32_t t0 = PlatTicks();
                int64_t off = PassOffset(i, s);
                PresentShifted(horizontal ? off : 0, horizontal ? 0 : off);
                SleepRest(t0, interval);
            }
        }
    }
    PresentSurface(&DestSurface);
}

void QuakeX(int32_t amplitude, int32_t duration) { Shake(amplitude, duration, 4, true); }
void QuakeY(int32_t amplitude, int32_t duration) { Shake(amplitude, duration, 3, false); }

// Nearest-pixel stretch of DestSurface's sw x sh area at (sl, st) over the
// whole of WorkSurface; source pixels outside the picture are black.
static void StretchCentre(int64_t sl, int64_t st, int64_t sw, int64_t sh) {
    const Dib& s = DestSurface.dib;
    Dib& d = WorkSurface.dib;
    for (int32_t y = 0; y < d.height; y++) {
        uint8_t* out = DibRow(&d, y);
        int64_t sy = st + (int64_t)y * sh / d.height;
        bool rowIn = sy >= 0 && sy < s.height;
        const uint8_t* in = rowIn ? DibRow(&s, (int32_t)sy) : nullptr;
        for (int32_t x = 0; x < d.width; x++, out += 3) {
            int64_t sx = sl + (int64_t)x * sw / d.width;
            if (rowIn && sx >= 0 && sx < s.width)
                memcpy(out, in + 3 * sx, 3);
            else
                out[0] = out[1] = out[2] = 0;
        }
    }
}

void FlushOut(int32_t duration) {
    int64_t w = ScreenWidth, h = ScreenHeight;
    bool ready = DestReady() && HasPicture(&WorkSurface) && HasPicture(&SrcSurface) &&
                 WorkSurface.dib.infoHeader.bitCount == 24;
    int64_t interval = duration / 27;
    for (int i = 4; ready && i <= 31; i++) {
        uint32_t t0 = PlatTicks();
        StretchCentre(w / 2 - ((3 * w) / 2) / i, h / 2 - ((3 * h) / 2) / i, (3 * w) / i,
                      (3 * h) / i);
        int add = 8 * i;
        uint8_t* p = WorkSurface.dib.bits;
        for (int32_t n = 0; n < WorkSurface.dib.imageBytes; n++) {
            int v = p[n] + add;
            p[n] = (uint8_t)(v > 255 ? 255 : v);
        }
        WorkSurface.transMode = TransCopy;
        WorkSurface.alpha = 64;
        DrawClip clip{0, 0, ScreenWidth - 1, ScreenHeight - 1};
        DrawSurface(&WorkSurface, &SrcSurface, 0, 0, &clip);
        PresentSurface(&SrcSurface);
        SleepRest(t0, interval);
    }
    WorkSurface.transMode = TransCopy;
    WorkSurface.alpha = 64;
    FillSurfaceRect(&DestSurface, 0, 0, ScreenWidth, ScreenHeight, 0xFFFFFF);
    FillSurfaceRect(&SrcSurface, 0, 0, ScreenWidth, ScreenHeight, 0xFFFFFF);
    PresentSurface(&SrcSurface);
    FillSurfaceRect(&BgSurface, 0, 0, ScreenWidth, ScreenHeight, 0xFFFFFF);
}

void PanoramaTest() {
    ComposeScreen(nullptr);
    if (!HasPicture(&SrcSurface) || SrcSurface.dib.infoHeader.bitCount != 24) return;
    Dib& d = SrcSurface.dib;
    int32_t w = d.width, h = d.height;
    std::vector<uint8_t> column(3 * (size_t)h);
    for (int32_t x = 0; x < w; x++) {
        double c = cos((x - w / 2) * 3.14 / w);
        int64_t e = std::llabs((long long)std::trunc((1 - c) * w / 24));
        if (e > (h - 1) / 2) e = (h - 1) / 2;  // at least one line stays
        if (e == 0) continue;
        for (int32_t y = 0; y < h; y++) memcpy(&column[3 * (size_t)y], DibRow(&d, y) + 3 * x, 3);
        // Lines e .. h-e-1 stretched over the whole height, smoothly.
        int64_t n = h - 2 * e;
        for (int32_t y = 0; y < h; y++) {
            double pos = (y + 0.5) * n / h - 0.5;
            if (pos < 0) pos = 0;
            int64_t a = (int64_t)pos;
            if (a > n - 1) a = n - 1;
            int64_t b = a + 1 < n ? a + 1 : a;
            double f = pos - a;
            uint8_t* out = DibRow(&d, y) + 3 * x;
            for (int ch = 0; ch < 3; ch++) {
                double v = column[3 * (e + a) + ch] * (1 - f) + column[3 * (e + b) + ch] * f;
                out[ch] = (uint8_t)(v + 0.5);
            }
        }
    }
    PresentSurface(&SrcSurface);
}

static void ReadAmplitudeAndDuration(int32_t* amplitude, int32_t* duration) {
    *amplitude = ReadIntExpr();
    ExpectComma();
    *duration = ReadIntExpr();
}

void Cmd_quake() {
    int32_t a, d;
    ReadAmplitudeAndDuration(&a, &d);
    Quake(a, d);
}
void Cmd_quakex() {
    int32_t a, d;
    ReadAmplitudeAndDuration(&a, &d);
    QuakeX(a, d);
}
void Cmd_quakey() {
    int32_t a, d;
    ReadAmplitudeAndDuration(&a, &d);
    QuakeY(a, d);
}
void Cmd_flushout() { FlushOut(ReadIntExpr()); }
void Cmd_yugami() { FlushOut(ReadIntExpr()); }
void Cmd_panoramatest() { PanoramaTest(); }
