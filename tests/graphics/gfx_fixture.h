// gfx_fixture.h - helpers of the graphics tests: small pictures built pixel
// by pixel, pixel reads, a game folder per test with the loader's switches
// back at their start values, and fatal errors caught with their texts.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "archive/archives.h"
#include "tests/archive/archive_fixture.h"
#include "ext/optional.h"
#include "graphics/imagetag.h"
#include "graphics/loader_links.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

typedef std::array<uint8_t, 3> Bgr;  // blue, green, red

inline Bgr PixelAt(const Surface& s, int x, int y) {
    const uint8_t* p = DibRow(&s.dib, y) + 3 * x;
    return Bgr{p[0], p[1], p[2]};
}
inline void SetPixel(Surface* s, int x, int y, Bgr c) {
    uint8_t* p = DibRow(&s->dib, y) + 3 * x;
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
}
// A surface destroyed with its scope.
struct Pic {
    Surface s;
    ~Pic() { DestroySurface(&s); }
};

// A 24-bit picture whose pixel (x, y) is f(x, y) (the old picture released).
template <class F>
void Make24(Surface* s, int w, int h, F f) {
    ASSERT_TRUE(CreateSurface(s, w, h));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) SetPixel(s, x, y, f(x, y));
}
inline void Fill24(Surface* s, int w, int h, Bgr c) {
    Make24(s, w, h, [&](int, int) { return c; });
}
// An 8-bit picture with the given palette and index f(x, y).
template <class F>
void Make8(Surface* s, int w, int h, const std::vector<Bgr>& palette, F f) {
    ASSERT_TRUE(CreateDibOfDepth(&s->dib, w, h, 8));
    for (size_t i = 0; i < palette.size(); i++) memcpy(s->dib.palette + 4 * i, palette[i].data(), 3);
    s->dib.infoHeader.clrUsed = (uint32_t)palette.size();
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) DibRow(&s->dib, y)[x] = (uint8_t)f(x, y);
}

inline std::string ToBytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// Loader switches at their start values, archives off, a fresh folder.
class GfxTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        DefaultTransMode = TransLeftUp;
        JpegMode = 0;
        NoLoadError = 0;
        BlankIfMissing = 0;
        FileLogOn = 0;
        PngLibraryLoaded = false;
        ImagePluginCount = 0;
    }

    // Runs fn, which must end in a fatal error: "caption: message" (UTF-8),
    // the message without the script position lines.
    template <class F>
    std::string FatalText(F fn) {
        return FatalBoxOf(fn, true);
    }
};
