// png.cpp - PNG decoding with libpng: 24-bit rows straight into the Dib, or
// 32-bit rows split into the colour and mask halves of alpha-mode cells.
#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <png.h>

#include "graphics/decode.h"

namespace {

struct MemReader {
    const uint8_t* data;
    size_t size, pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    MemReader* r = (MemReader*)png_get_io_ptr(png);
    if (n > r->size - r->pos) png_error(png, "short");
    memcpy(out, r->data + r->pos, n);
    r->pos += n;
}
void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

// What a decode allocates, freed by the caller whichever way it ends.
struct PngWork {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytep* rows = nullptr;
    uint8_t* pixels = nullptr;
};

enum PngTarget { ToBgr, ToBgra };

// Reads the picture as BGR (into the Dib) or BGRA (into w->pixels, top-down).
bool Read(PngWork* w, MemReader* src, PngTarget target, Dib* dib, int32_t* width, int32_t* height) {
    if (setjmp(png_jmpbuf(w->png))) return false;
    png_set_read_fn(w->png, src, ReadFromMemory);
    png_set_user_limits(w->png, MaxPictureSide, MaxPictureSide);
    png_read_info(w->png, w->info);
    png_uint_32 pw = png_get_image_width(w->png, w->info);
    png_uint_32 ph = png_get_image_height(w->png, w->info);
    if (pw < 1 || ph < 1 || pw > (png_uint_32)MaxPictureSide || ph > (png_uint_32)MaxPictureSide)
        return false;
    int colorType = png_get_color_type(w->png, w->info);
    png_set_expand(w->png);  // palette to RGB, small greys to 8 bits, tRNS to alpha
    png_set_strip_16(w->png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(w->png);
    png_set_bgr(w->png);
    if (target == ToBgr) png_set_strip_alpha(w->png);
    else png_set_add_alpha(w->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(w->png);
    png_read_update_info(w->png, w->info);
    size_t rowBytes = png_get_rowbytes(w->png, w->info);
    if (rowBytes != (target == ToBgr ? 3 : 4) * (size_t)pw) return false;
    w->rows = (png_bytep*)malloc(sizeof(png_bytep) * ph);
    if (!w->rows) return false;
    if (target == ToBgr) {
        if (!CreateDib(dib, (int32_t)pw, (int32_t)ph)) return false;
        for (png_uint_32 y = 0; y < ph; y++) w->rows[y] = DibRow(dib, (int32_t)y);
    } else {
        w->pixels = (uint8_t*)malloc(rowBytes * ph);
        if (!w->pixels) return false;
        for (png_uint_32 y = 0; y < ph; y++) w->rows[y] = w->pixels + rowBytes * y;
    }
    png_read_image(w->png, w->rows);
    *width = (int32_t)pw;
    *height = (int32_t)ph;
    return true;
}

bool DecodeTo(const uint8_t* data, size_t size, PngTarget target, Dib* dib, uint8_t** pixels,
              int32_t* width, int32_t* height) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    MemReader src{data, size, 0};
    PngWork w;
    w.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (w.png) w.info = png_create_info_struct(w.png);
    bool ok = w.png && w.info && Read(&w, &src, target, dib, width, height);
    png_destroy_read_struct(w.png ? &w.png : nullptr, w.info ? &w.info : nullptr, nullptr);
    free(w.rows);
    if (!ok) {
        free(w.pixels);
        FreeDib(dib);
        return false;
    }
    *pixels = w.pixels;
    return true;
}

}  // namespace

bool DecodePngBgra(const uint8_t* data, size_t size, int32_t* width, int32_t* height,
                   std::vector<uint8_t>* pixels) {
    uint8_t* p = nullptr;
    Dib none = {};
    pixels->clear();
    if (!DecodeTo(data, size, ToBgra, &none, &p, width, height)) return false;
    pixels->assign(p, p + 4 * (size_t)*width * (size_t)*height);
    free(p);
    return true;
}

bool DecodePng(const uint8_t* data, size_t size, int32_t cellCount, bool alphaLayout, Dib* out) {
    FreeDib(out);
    Dib dib = {};
    uint8_t* bgra = nullptr;
    int32_t w = 0, h = 0;
    if (!alphaLayout) {
        if (!DecodeTo(data, size, ToBgr, &dib, &bgra, &w, &h)) return false;
        MoveDib(out, &dib);
        return true;
    }
    if (!DecodeTo(data, size, ToBgra, &dib, &bgra, &w, &h)) return false;
    if (w > MaxPictureSide / 2 || !CreateDib(&dib, 2 * w, h)) {
        free(bgra);
        return false;
    }
    int32_t cells = cellCount > 0 ? cellCount : 1;
    int32_t cw = w / cells;          // picture columns of a cell
    int32_t dibCell = 2 * w / cells; // Dib columns of a cell: colour, then mask
    int32_t half = dibCell / 2;
    for (int32_t y = 0; y < h; y++) {
        const uint8_t* s = bgra + 4 * (size_t)w * y;
        uint8_t* row = DibRow(&dib, y);
        for (int32_t k = 0; k < cells; k++) {
            const uint8_t* sc = s + 4 * (size_t)(k * cw);
            uint8_t* color = row + 3 * (size_t)(k * dibCell);
            uint8_t* mask = color + 3 * (size_t)half;
            for (int32_t x = 0; x < cw; x++) {
                color[3 * x] = sc[4 * x];
                color[3 * x + 1] = sc[4 * x + 1];
                color[3 * x + 2] = sc[4 * x + 2];
                uint8_t m = (uint8_t)(255 - sc[4 * x + 3]);
                mask[3 * x] = m;
                mask[3 * x + 1] = m;
                mask[3 * x + 2] = m;
            }
        }
    }
    free(bgra);
    MoveDib(out, &dib);
    return true;
}
