// surface.cpp - Surface and Dib life cycle, ProductTable, rectangle copy and
// fill, cell width and the per-pixel transparency test.
#include "graphics/surface.h"

#include <cstdlib>
#include <cstring>

#include "graphics/bmp.h"

// Filled at compile time, so every static initialiser may blend already.
struct ProductTableInit {
    uint8_t t[256][256];
    constexpr ProductTableInit() : t() {
        for (int a = 0; a < 256; a++)
            for (int b = 0; b < 256; b++) t[a][b] = (uint8_t)(a * b / 255);
    }
};
static constexpr ProductTableInit kProducts{};
alignas(64) uint8_t ProductTable[256][256] = {};
static const bool kProductTableReady = (BuildProductTable(), true);

void BuildProductTable() {
    (void)kProductTableReady;
    memcpy(ProductTable, kProducts.t, sizeof ProductTable);
}

void InitSurface(Surface* s) { *s = Surface(); }

void ReleaseSurface(Surface* s) {
    if (!s->dib.info) return;
    FreeDib(&s->dib);
    s->isStringSprite = 0;
    s->tag[0] = 0;
}

void ResetSurface(Surface* s) {
    ReleaseSurface(s);
    s->cellCount = 1;
    s->cellStep = 1;
    s->isStringSprite = 0;
    s->animClock = 0;
    s->alpha = -1;
    s->transMode = TransCopy;
    s->cell = 0;
    s->cellTime = 0;
    s->loopMode = 0;
    s->tag[0] = 0;
    free(s->cellTimes);
    s->cellTimes = nullptr;
}

void DestroySurface(Surface* s) {
    ResetSurface(s);
    FreeDib(&s->dib);
}

bool CreateSurface(Surface* s, int32_t width, int32_t height) {
    ReleaseSurface(s);
    return CreateDib(&s->dib, width, height);
}

void FreeDib(Dib* dib) {
    free(dib->info);
    free(dib->bits);
    dib->info = nullptr;
    dib->palette = nullptr;
    dib->bits = nullptr;
}

void MoveDib(Dib* to, Dib* from) {
    if (to == from) return;
    FreeDib(to);
    *to = *from;
    from->info = from->palette = from->bits = nullptr;
}

bool CreateDibOfDepth(Dib* dib, int32_t width, int32_t height, int32_t bitCount) {
    FreeDib(dib);
    if (width < 1 || height < 1 || width > MaxPictureSide || height > MaxPictureSide) return false;
    int32_t entries = bitCount <= 8 ? (1 << bitCount) : 0;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    int32_t stride = DibStride(bitCount, width);
    BmpInfoHeader& h = dib->infoHeader;
    memset(&h, 0, sizeof h);
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = (uint16_t)bitCount;
    h.sizeImage = (uint32_t)(stride * height);
    dib->width = width;
    dib->height = height;
    dib->imageBytes = stride * height;
    dib->paletteEntries = entries;
    // 64 spare bytes behind the rows let the pixel loops read whole vectors.
    void* bits = nullptr;
    if (posix_memalign(&bits, 64, (size_t)dib->imageBytes + 64) != 0) return false;
    memset(bits, 0, (size_t)dib->imageBytes + 64);
    dib->info = (uint8_t*)calloc(1, 40 + 4 * (size_t)entries);
    if (!dib->info) {
        free(bits);
        return false;
    }
    memcpy(dib->info, &h, 40);
    dib->palette = dib->info + 40;
    dib->bits = (uint8_t*)bits;
    return true;
}

bool CreateDib(Dib* dib, int32_t width, int32_t height) {
    return CreateDibOfDepth(dib, width, height, 24);
}

// One pixel of any supported depth as blue, green, red.
static inline void ReadPixelBgr(const Dib* d, const uint8_t* row, int32_t x, uint8_t* out) {
    switch (d->infoHeader.bitCount) {
    case 24: memcpy(out, row + 3 * x, 3); return;
    case 32: memcpy(out, row + 4 * x, 3); return;
    case 8: memcpy(out, PaletteColor(d, row[x]), 3); return;
    case 4: memcpy(out, PaletteColor(d, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15), 3); return;
    case 1: memcpy(out, PaletteColor(d, (row[x >> 3] >> (7 - (x & 7))) & 1), 3); return;
    case 16: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);  // 5-5-5
        out[0] = (uint8_t)((v & 31) << 3);
        out[1] = (uint8_t)(((v >> 5) & 31) << 3);
        out[2] = (uint8_t)(((v >> 10) & 31) << 3);
        return;
    }
    default: out[0] = out[1] = out[2] = 0;
    }
}

void BltToSurface(Surface* dst, int32_t x, int32_t y, int32_t w, int32_t h, const Surface* src,
                  int32_t sx, int32_t sy) {
    const Dib* sd = &src->dib;
    Dib* dd = &dst->dib;
    if (!sd->bits || !dd->bits || dd->infoHeader.bitCount != 24) return;
    // Clip the source, then the destination, moving the other side along.
    if (sx < 0) { x -= sx; w += sx; sx = 0; }
    if (sy < 0) { y -= sy; h += sy; sy = 0; }
    if (x < 0) { sx -= x; w += x; x = 0; }
    if (y < 0) { sy -= y; h += y; y = 0; }
    if (w > sd->width - sx) w = sd->width - sx;
    if (h > sd->height - sy) h = sd->height - sy;
    if (w > dd->width - x) w = dd->width - x;
    if (h > dd->height - y) h = dd->height - y;
    if (w <= 0 || h <= 0) return;
    for (int32_t r = 0; r < h; r++) {
        const uint8_t* srow = DibRow(sd, sy + r);
        uint8_t* drow = DibRow(dd, y + r) + 3 * x;
        if (sd->infoHeader.bitCount == 24) {
            memmove(drow, srow + 3 * sx, 3 * (size_t)w);
        } else {
            for (int32_t i = 0; i < w; i++) ReadPixelBgr(sd, srow, sx + i, drow + 3 * i);
        }
    }
}

static uint8_t NearestPaletteIndex(const Dib* d, uint8_t b, uint8_t g, uint8_t r) {
    int best = 0, bestDist = 1 << 30;
    for (int i = 0; i < d->paletteEntries; i++) {
        const uint8_t* p = PaletteColor(d, (uint8_t)i);
        int db = p[0] - b, dg = p[1] - g, dr = p[2] - r;
        int dist = db * db + dg * dg + dr * dr;
        if (dist < bestDist) { bestDist = dist; best = i; }
    }
    return (uint8_t)best;
}

void TintSurfaceRect(Surface* s, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     int32_t rgb) {
    Dib* d = &s->dib;
    if (!d->bits || d->infoHeader.bitCount != 24 || (rgb & 0xFFFFFF) == 0xFFFFFF) return;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > d->width - 1) right = d->width - 1;
    if (bottom > d->height - 1) bottom = d->height - 1;
    const uint8_t* pr = ProductTable[(rgb >> 16) & 0xFF];
    const uint8_t* pg = ProductTable[(rgb >> 8) & 0xFF];
    const uint8_t* pb = ProductTable[rgb & 0xFF];
    for (int32_t y = top; y <= bottom; y++) {
        uint8_t* p = DibRow(d, y) + 3 * left;
        for (int32_t x = left; x <= right; x++, p += 3) {
            p[0] = pb[p[0]];
            p[1] = pg[p[1]];
            p[2] = pr[p[2]];
        }
    }
}

void FillSurfaceRect(Surface* s, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     uint32_t colorref) {
    s->tag[0] = 0;
    Dib* d = &s->dib;
    if (!d->bits) return;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > d->width) right = d->width;
    if (bottom > d->height) bottom = d->height;
    if (left >= right || top >= bottom) return;
    uint8_t r = colorref & 0xFF, g = (colorref >> 8) & 0xFF, b = (colorref >> 16) & 0xFF;
    int bpp = d->infoHeader.bitCount;
    int32_t w = right - left;
    for (int32_t y = top; y < bottom; y++) {
        uint8_t* row = DibRow(d, y);
        if (bpp == 24) {
            uint8_t* p = row + 3 * left;
            if (r == g && g == b) {
                memset(p, r, 3 * (size_t)w);
            } else {
                for (int32_t i = 0; i < w; i++) { p[3 * i] = b; p[3 * i + 1] = g; p[3 * i + 2] = r; }
            }
        } else if (bpp == 32) {
            for (int32_t i = left; i < right; i++) {
                row[4 * i] = b; row[4 * i + 1] = g; row[4 * i + 2] = r;
            }
        } else if (bpp == 8) {
            memset(row + left, NearestPaletteIndex(d, b, g, r), (size_t)w);
        }
    }
}

int32_t GetCellWidth(const Surface* s) {
    int32_t w = s->dib.width / CellCountOf(s);
    return s->transMode == TransAlpha ? w / 2 : w;
}

int32_t IsTransparentAt(const Surface* s, int32_t x, int32_t y) {
    const Dib* d = &s->dib;
    int bpp = d->infoHeader.bitCount;
    if (!d->bits || (bpp != 24 && bpp != 8)) return 0;
    if (s->transMode == TransCopy) return 0;
    int32_t cw = d->width / CellCountOf(s);
    int32_t cell = s->cell;
    if (cell < 0) cell = 0;
    if (cell >= CellCountOf(s)) cell = CellCountOf(s) - 1;
    int32_t col = cell * cw + x;
    if (x < 0 || y < 0 || y >= d->height || x >= GetCellWidth(s)) return 0;
    const uint8_t* row = DibRow(d, y);
    if (s->transMode == TransAlpha) {
        if (bpp != 24) return 0;  // an 8-bit picture has no mask bytes
        return row[3 * (col + cw / 2)] > 240;
    }
    if (s->transMode != TransLeftUp && s->transMode != TransRightUp &&
        s->transMode != TransColorKey)
        return 0;
    const uint8_t* top = DibRow(d, 0);
    int32_t keyCol = s->transMode == TransRightUp ? d->width - 1 : 0;
    if (bpp == 8) {
        int32_t key = s->transMode == TransColorKey ? s->keyIndex : top[keyCol];
        return row[col] == key;
    }
    const uint8_t* p = row + 3 * col;
    if (s->transMode == TransColorKey)
        return p[0] == s->keyBlue && p[1] == s->keyGreen && p[2] == s->keyRed;
    const uint8_t* k = top + 3 * keyCol;
    return p[0] == k[0] && p[1] == k[1] && p[2] == k[2];
}

void SaveSurfaceBmp(Surface* s, const char* file) { WriteBmpFile(&s->dib, file); }
