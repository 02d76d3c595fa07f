// Fuzzes the BMP reader: an accepted picture must keep its size within the
// bound, survive a write and a second read unchanged, and draw onto a small
// 24-bit surface in every transparency mode without a fault.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/bmp.h"
#include "graphics/draw.h"

static int32_t Le32(const uint8_t* p) { return (int32_t)(p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Compressed files give blank pictures of any size: keep them small.
    if (size >= 26) {
        int64_t w = Le32(data + 18), h = Le32(data + 22);
        if (h < 0) h = -h;
        if (w * h > (1 << 22)) return 0;
    }
    Surface s;
    if (!ReadBmpMemory(&s.dib, data, size)) {
        if (s.dib.info) abort();
        return 0;
    }
    const Dib& d = s.dib;
    int bpp = d.infoHeader.bitCount;
    if (d.width < 1 || d.height < 1 || d.width > MaxPictureSide || d.height > MaxPictureSide) abort();
    if (d.imageBytes != DibStride(bpp, d.width) * d.height) abort();

    std::vector<uint8_t> out;
    EncodeBmp(&s.dib, &out);
    Dib again;
    if (!ReadBmpMemory(&again, out.data(), out.size())) abort();
    if (again.width != d.width || again.height != d.height || again.infoHeader.bitCount != bpp) abort();
    if (memcmp(again.bits, d.bits, (size_t)d.imageBytes) != 0) abort();
    if (bpp <= 8 && memcmp(again.palette, d.palette, 4u << bpp) != 0) abort();
    FreeDib(&again);

    Surface dst;
    CreateSurface(&dst, 37, 23);
    s.cellCount = 1 + (int)(size % 3);
    for (int mode = 0; mode <= 5; mode++) {
        s.transMode = mode;
        s.cell = (int)(size % 4);
        s.alpha = mode == 3 ? -1 : (int)(size * 7 % 256);
        s.isStringSprite = (int)(size & 1);
        DrawSurface(&s, &dst, -3, -2, nullptr);
        DrawSurfaceRotated(&s, &dst, 18, 11, 50 + mode * 40, 120, mode * 37, mode % 3);
        for (int y = -1; y <= 2; y++)
            for (int x = -1; x <= 2; x++) IsTransparentAt(&s, x, y);
    }
    DrawSurfaceAffine(&s, &dst, 18, 11, 900, 300, -200, 1100);
    DestroySurface(&dst);
    DestroySurface(&s);
    return 0;
}
