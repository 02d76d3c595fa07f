// cursor_file.cpp - .cur and .ani cursor pictures to ARGB pixels.  Every
// offset and size read from the file is checked against the bytes there.
#include "ui/cursor_file.h"

#include <cstring>

#include "graphics/decode.h"

enum { CursorSizeLimit = 256 };

static uint32_t Le16(const uint8_t* p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }
static uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

static bool IsPng(const uint8_t* p, size_t n) {
    return n >= 8 && memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0;
}

static bool DecodePngImage(const uint8_t* p, size_t n, CursorPicture* out) {
    int32_t w, h;
    std::vector<uint8_t> px;
    if (!DecodePngBgra(p, n, &w, &h, &px)) return false;
    if (w <= 0 || h <= 0 || w > CursorSizeLimit || h > CursorSizeLimit) return false;
    out->width = w;
    out->height = h;
    out->argb.resize((size_t)w * h);
    for (size_t i = 0; i < out->argb.size(); i++) {
        const uint8_t* s = &px[i * 4];
        out->argb[i] = (uint32_t)s[3] << 24 | (uint32_t)s[2] << 16 | (uint32_t)s[1] << 8 | s[0];
    }
    return true;
}

// One image of the directory: a DIB whose height counts the colour rows and
// the AND mask rows, or a PNG.
static bool DecodeDibImage(const uint8_t* p, size_t n, CursorPicture* out) {
    if (IsPng(p, n)) return DecodePngImage(p, n, out);
    if (n < 40) return false;
    uint32_t header = Le32(p);
    int32_t w = (int32_t)Le32(p + 4), h2 = (int32_t)Le32(p + 8);
    uint32_t bits = Le16(p + 14), compression = Le32(p + 16), used = Le32(p + 32);
    if (header < 40 || header > n || compression != 0) return false;
    if (w <= 0 || w > CursorSizeLimit || h2 <= 1 || h2 > 2 * CursorSizeLimit) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    int h = h2 / 2;
    size_t colours = bits <= 8 ? (used && used < (1u << bits) ? used : 1u << bits) : 0;
    size_t palette = header, pixels = palette + colours * 4;
    size_t xor_stride = (((size_t)w * bits + 31) / 32) * 4, and_stride = (((size_t)w + 31) / 32) * 4;
    size_t mask = pixels + xor_stride * (size_t)h;
    if (mask + and_stride * (size_t)h > n) return false;
    out->width = w;
    out->height = h;
    out->argb.assign((size_t)w * h, 0);
    bool has_alpha = false;
    if (bits == 32)
        for (int y = 0; y < h && !has_alpha; y++)
            for (int x = 0; x < w; x++)
                if (p[pixels + (size_t)y * xor_stride + (size_t)x * 4 + 3]) has_alpha = true;
    for (int y = 0; y < h; y++) {
        const uint8_t* row = p + pixels + (size_t)(h - 1 - y) * xor_stride;  // bottom-up
        const uint8_t* and_row = p + mask + (size_t)(h - 1 - y) * and_stride;
        for (int x = 0; x < w; x++) {
            uint32_t b, g, r, a;
            if (bits <= 8) {
                uint32_t index = bits == 8   ? row[x]
                                 : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                             : (row[x / 8] >> (7 - x % 8)) & 1;
                if (index >= colours) index = 0;
                const uint8_t* c = p + palette + index * 4;
                b = c[0], g = c[1], r = c[2];
            } else {
                const uint8_t* c = row + (size_t)x * (bits / 8);
                b = c[0], g = c[1], r = c[2];
            }
            if (has_alpha) {
                a = row[(size_t)x * 4 + 3];
            } else {
                // AND bit 1: the screen shows through (inverting parts too).
                a = (and_row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
            }
            out->argb[(size_t)y * w + x] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return true;
}

// The first image of an icon directory (type 2 cursor, or 1 icon with the
// hot spot at the corner).
static bool DecodeCur(const uint8_t* data, size_t size, CursorPicture* out) {
    if (size < 6 || Le16(data) != 0) return false;
    uint32_t type = Le16(data + 2), count = Le16(data + 4);
    if ((type != 1 && type != 2) || count == 0 || 6 + 16 * (size_t)count > size) return false;
    const uint8_t* e = data + 6;
    uint32_t length = Le32(e + 8), offset = Le32(e + 12);
    if (offset >= size || length > size - offset) return false;
    if (!DecodeDibImage(data + offset, length, out)) return false;
    out->hot_x = type == 2 ? (int)Le16(e + 4) : 0;
    out->hot_y = type == 2 ? (int)Le16(e + 6) : 0;
    if (out->hot_x >= out->width) out->hot_x = out->width - 1;
    if (out->hot_y >= out->height) out->hot_y = out->height - 1;
    return true;
}

// RIFF "ACON": the first "icon" chunk of the "fram" list.
static bool DecodeAni(const uint8_t* data, size_t size, CursorPicture* out) {
    size_t end = 8 + (size_t)Le32(data + 4);
    if (end > size) end = size;
    for (size_t at = 12; at + 8 <= end;) {
        size_t length = Le32(data + at + 4), body = at + 8;
        if (length > end - body) return false;
        if (memcmp(data + at, "LIST", 4) == 0 && length >= 4 && memcmp(data + body, "fram", 4) == 0) {
            for (size_t f = body + 4; f + 8 <= body + length;) {
                size_t n = Le32(data + f + 4);
                if (n > body + length - (f + 8)) return false;
                if (memcmp(data + f, "icon", 4) == 0) return DecodeCur(data + f + 8, n, out);
                f += 8 + n + (n & 1);
            }
            return false;
        }
        at = body + length + (length & 1);
    }
    return false;
}

bool DecodeCursorFile(const uint8_t* data, size_t size, CursorPicture* out) {
    *out = CursorPicture();
    if (!data) return false;
    bool ok = size >= 12 && memcmp(data, "RIFF", 4) == 0 && memcmp(data + 8, "ACON", 4) == 0
                  ? DecodeAni(data, size, out)
                  : DecodeCur(data, size, out);
    if (!ok) *out = CursorPicture();
    return ok;
}
