/* test_image_plugin.c - an image plug-in for the loader tests.  Its format:
 * "XY" width height (one byte each), then width x height pixels blue,
 * green, red, rows from the top.  A file starting with "XN" fails. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Build(const unsigned char* d, long n, void** info, void** bits) {
    if (n < 4 || d[0] != 'X' || d[1] != 'Y') return 1;
    int w = d[2], h = d[3];
    if (w < 1 || h < 1 || n < 4 + (long)w * h * 3) return 1;
    int stride = (w * 3 + 3) & ~3;
    unsigned char* hdr = calloc(1, 40);
    unsigned char* px = calloc(1, (size_t)stride * h);
    int32_t v;
    v = 40; memcpy(hdr, &v, 4);
    v = w; memcpy(hdr + 4, &v, 4);
    v = h; memcpy(hdr + 8, &v, 4);
    hdr[12] = 1;
    hdr[14] = 24;
    for (int y = 0; y < h; y++)
        memcpy(px + (size_t)stride * (h - 1 - y), d + 4 + (size_t)y * w * 3, (size_t)w * 3);
    *info = hdr;
    *bits = px;
    return 0;
}

int GetPicture(const char* buf, intptr_t len, uint32_t flag, void** info, void** bits,
               void* progress, intptr_t data) {
    (void)progress;
    (void)data;
    if (flag == 1) return Build((const unsigned char*)buf, (long)len, info, bits);
    FILE* f = fopen(buf, "rb");
    if (!f) return 2;
    unsigned char tmp[4096];
    long n = (long)fread(tmp, 1, sizeof tmp, f);
    fclose(f);
    return Build(tmp, n, info, bits);
}
