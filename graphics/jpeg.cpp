// jpeg.cpp - JPEG decoding with libjpeg-turbo, straight into the Dib's rows.
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "graphics/decode.h"

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void OnJpegError(j_common_ptr cinfo) {
    JpegError* e = (JpegError*)cinfo->err;
    longjmp(e->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

// Adobe CMYK pictures store the inks inverted.
void CmykRowToBgr(const uint8_t* cmyk, uint8_t* bgr, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; x++) {
        unsigned c = cmyk[4 * x], m = cmyk[4 * x + 1], y = cmyk[4 * x + 2], k = cmyk[4 * x + 3];
        if (!inverted) { c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k; }
        bgr[3 * x] = (uint8_t)(y * k / 255);
        bgr[3 * x + 1] = (uint8_t)(m * k / 255);
        bgr[3 * x + 2] = (uint8_t)(c * k / 255);
    }
}

// The decode itself; everything it allocates lives in `dib` and `cmykRow`,
// which the caller frees, so a jump out of the library leaks nothing.
bool Decode(jpeg_decompress_struct* cinfo, JpegError* err, const uint8_t* data, size_t size,
            Dib* dib, uint8_t** cmykRow) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, (unsigned long)size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    if (cinfo->image_width < 1 || cinfo->image_height < 1 ||
        cinfo->image_width > (JDIMENSION)MaxPictureSide ||
        cinfo->image_height > (JDIMENSION)MaxPictureSide)
        return false;
    bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);
    if (!CreateDib(dib, (int32_t)cinfo->output_width, (int32_t)cinfo->output_height)) return false;
    if (cmyk) *cmykRow = new uint8_t[4 * (size_t)cinfo->output_width];
    while (cinfo->output_scanline < cinfo->output_height) {
        uint8_t* row = DibRow(dib, (int32_t)cinfo->output_scanline);
        JSAMPROW rows[1] = {cmyk ? *cmykRow : row};
        if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return false;
        if (cmyk) CmykRowToBgr(*cmykRow, row, cinfo->output_width, cinfo->saw_Adobe_marker);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Dib* out) {
    FreeDib(out);
    if (!data || size < 4) return false;
    jpeg_decompress_struct cinfo;
    JpegError err;
    memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.output_message = OnJpegMessage;
    Dib dib = {};
    uint8_t* cmykRow = nullptr;
    bool ok = Decode(&cinfo, &err, data, size, &dib, &cmykRow);
    jpeg_destroy_decompress(&cinfo);
    delete[] cmykRow;
    if (!ok) {
        FreeDib(&dib);
        return false;
    }
    MoveDib(out, &dib);
    return true;
}
