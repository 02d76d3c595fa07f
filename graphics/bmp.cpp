// bmp.cpp - BMP reading and writing.
#include "graphics/bmp.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "platform/platform.h"

static uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
}
static uint16_t Le16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
static void Put32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); p[2] = (uint8_t)(v >> 16); p[3] = (uint8_t)(v >> 24);
}
static void Put16(uint8_t* p, uint16_t v) { p[0] = (uint8_t)v; p[1] = (uint8_t)(v >> 8); }

bool ReadBmpMemory(Dib* dib, const uint8_t* data, size_t size) {
    FreeDib(dib);
    if (!data || size < 54) return false;
    BmpFileHeader fh;
    fh.type = Le16(data);
    fh.size = Le32(data + 2);
    fh.reserved1 = Le16(data + 6);
    fh.reserved2 = Le16(data + 8);
    fh.offBits = Le32(data + 10);
    const uint8_t* p = data + 14;
    BmpInfoHeader ih;
    ih.size = Le32(p);
    ih.width = (int32_t)Le32(p + 4);
    ih.height = (int32_t)Le32(p + 8);
    ih.planes = Le16(p + 12);
    ih.bitCount = Le16(p + 14);
    ih.compression = Le32(p + 16);
    ih.sizeImage = Le32(p + 20);
    ih.xPelsPerMeter = (int32_t)Le32(p + 24);
    ih.yPelsPerMeter = (int32_t)Le32(p + 28);
    ih.clrUsed = Le32(p + 32);
    ih.clrImportant = Le32(p + 36);

    int32_t bpp = ih.bitCount;
    bool topDown = ih.height < 0;
    if (ih.height == INT32_MIN) return false;
    int32_t height = topDown ? -ih.height : ih.height;
    if (ih.width < 1 || ih.width > MaxPictureSide || height < 1 || height > MaxPictureSide)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    uint32_t entries = 0;
    if (bpp <= 8) {
        uint32_t full = 1u << bpp;
        if (ih.clrUsed > full) return false;
        entries = ih.clrUsed ? ih.clrUsed : full;
    }
    size_t paletteBytes = 4 * (size_t)entries;
    if (size - 54 < paletteBytes) return false;
    int32_t stride = DibStride(bpp, ih.width);
    size_t imageBytes = (size_t)stride * (size_t)height;
    const uint8_t* bits = data + 54 + paletteBytes;
    // Some writers leave out the padding (or a few bytes) of the last row:
    // those bytes read as zero.  A header that claims more than one row
    // beyond the data is refused before anything is allocated.
    size_t have = size - 54 - paletteBytes;
    if (ih.compression == 0 && have + (size_t)stride <= imageBytes) return false;
    if (have > imageBytes) have = imageBytes;

    if (!CreateDibOfDepth(dib, ih.width, height, bpp)) return false;
    ih.height = height;
    dib->fileHeader = fh;
    dib->infoHeader = ih;
    memcpy(dib->info, &ih, 40);
    memcpy(dib->palette, data + 54, paletteBytes);
    if (ih.compression == 0) {
        if (!topDown) {
            memcpy(dib->bits, bits, have);
        } else {
            for (int32_t y = 0; y < height; y++) {
                size_t at = (size_t)stride * y;
                if (at < have) memcpy(DibRow(dib, y), bits + at, std::min((size_t)stride, have - at));
            }
        }
    }
    return true;
}

int ReadBmpFile(const char* file, Dib* dib) {
    std::vector<uint8_t> bytes;
    FreeDib(dib);
    if (!PlatReadFile(file, false, &bytes)) return 0;
    ReadBmpMemory(dib, bytes.data(), bytes.size());
    return 1;
}

void EncodeBmp(Dib* dib, std::vector<uint8_t>* out) {
    out->clear();
    if (!dib->info || !dib->bits) return;
    BmpInfoHeader& ih = dib->infoHeader;
    int32_t bpp = ih.bitCount;
    uint32_t entries = 0;
    if (bpp <= 8) {
        entries = ih.clrUsed ? ih.clrUsed : (1u << bpp);
        if (entries > (1u << bpp)) entries = 1u << bpp;
    }
    uint32_t paletteBytes = 4 * entries;
    uint32_t imageBytes = (uint32_t)DibStride(bpp, dib->width) * (uint32_t)dib->height;
    ih.size = 40;
    ih.planes = 1;
    ih.compression = 0;
    ih.sizeImage = 0;
    ih.clrImportant = 0;
    if (bpp == 24) ih.clrUsed = 0;
    BmpFileHeader& fh = dib->fileHeader;
    fh.type = 0x4D42;
    fh.size = 54 + paletteBytes + imageBytes;
    fh.reserved1 = fh.reserved2 = 0;
    fh.offBits = 54 + paletteBytes;
    memcpy(dib->info, &ih, 40);

    out->resize(fh.size);
    uint8_t* p = out->data();
    Put16(p, fh.type);
    Put32(p + 2, fh.size);
    Put16(p + 6, 0);
    Put16(p + 8, 0);
    Put32(p + 10, fh.offBits);
    p += 14;
    Put32(p, ih.size);
    Put32(p + 4, (uint32_t)ih.width);
    Put32(p + 8, (uint32_t)ih.height);
    Put16(p + 12, ih.planes);
    Put16(p + 14, ih.bitCount);
    Put32(p + 16, ih.compression);
    Put32(p + 20, ih.sizeImage);
    Put32(p + 24, (uint32_t)ih.xPelsPerMeter);
    Put32(p + 28, (uint32_t)ih.yPelsPerMeter);
    Put32(p + 32, ih.clrUsed);
    Put32(p + 36, ih.clrImportant);
    p += 40;
    memcpy(p, dib->palette, paletteBytes);
    memcpy(p + paletteBytes, dib->bits, imageBytes);
}

void WriteBmpFile(Dib* dib, const char* file) {
    std::vector<uint8_t> bytes;
    EncodeBmp(dib, &bytes);
    if (bytes.empty()) return;
    FILE* f = PlatOpen(file, "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}
