// image_encoders.h - JPEG and PNG files made in test code with libjpeg and
// libpng, for the loader tests, the fuzz seeds and the benchmarks.
// Header-only.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

// pixels: w * h * components bytes, rows from the top, in `space`.
inline std::string EncodeJpegPixels(int w, int h, const std::vector<uint8_t>& pixels,
                                    int components, J_COLOR_SPACE space, int quality,
                                    bool adobe_marker = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = (JDIMENSION)w;
    c.image_height = (JDIMENSION)h;
    c.input_components = components;
    c.in_color_space = space;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.write_Adobe_marker = adobe_marker ? TRUE : FALSE;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = (JSAMPROW)&pixels[(size_t)c.next_scanline * w * components];
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::string out((const char*)mem, size);
    jpeg_destroy_compress(&c);
    free(mem);
    return out;
}

// pixels: w * h * 3 bytes, rows from the top, red, green, blue; grey keeps
// the red byte of each pixel.
inline std::string EncodeJpegRgb(int w, int h, const std::vector<uint8_t>& rgb, int quality = 95,
                                 bool grey = false) {
    if (!grey) return EncodeJpegPixels(w, h, rgb, 3, JCS_RGB, quality);
    std::vector<uint8_t> g((size_t)w * h);
    for (size_t i = 0; i < g.size(); i++) g[i] = rgb[3 * i];
    return EncodeJpegPixels(w, h, g, 1, JCS_GRAYSCALE, quality);
}

// pixels: w * h * channels bytes (3: RGB, 4: RGBA), rows from the top.
inline std::string EncodePng(int w, int h, const std::vector<uint8_t>& px, int channels) {
    png_image img;
    memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    img.width = (png_uint_32)w;
    img.height = (png_uint_32)h;
    img.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&img, nullptr, &size, 0, px.data(), 0, nullptr);
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&img, &out[0], &size, 0, px.data(), 0, nullptr)) return "";
    out.resize(size);
    return out;
}
