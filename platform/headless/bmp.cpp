// bmp.cpp - a 24-bit bottom-up picture as a BMP file (BITMAPFILEHEADER and
// BITMAPINFOHEADER, little-endian, rows padded to 4 bytes).
#include <cstdio>

#include "platform/headless/headless.h"

static void Put16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

static void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

bool WriteBmp24(const char* path, const uint8_t* bits, int w, int h) {
    if (!path || !bits || w <= 0 || h <= 0) return false;
    uint32_t stride = ((uint32_t)w * 3 + 3) & ~3u;
    uint32_t image = stride * (uint32_t)h;
    uint8_t head[54] = {};
    head[0] = 'B';
    head[1] = 'M';
    Put32(head + 2, 54 + image);  // file size
    Put32(head + 10, 54);         // offset of the pixels
    Put32(head + 14, 40);         // BITMAPINFOHEADER size
    Put32(head + 18, (uint32_t)w);
    Put32(head + 22, (uint32_t)h);  // positive: bottom-up
    Put16(head + 26, 1);            // planes
    Put16(head + 28, 24);           // bits per pixel
    Put32(head + 34, image);
    Put32(head + 38, 2835);  // 72 dpi
    Put32(head + 42, 2835);
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(head, 1, 54, f) == 54 && fwrite(bits, 1, image, f) == image;
    return (fclose(f) == 0) && ok;
}
