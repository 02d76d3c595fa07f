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

// pixels: w * h * 3 bytes, rows from the top, red, green, blue.
inline std::string EncodeJpegRgb(int w, int h, const std::vector<uint8_t>& rgb, int quality = 95,
                                 bool grey = false) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = (JDIMENSION)w;
    c.image_height = (JDIMENSION)h;
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row((size_t)w * 3);
    while (c.next_scanline < c.image_height) {
        const uint8_t* src = &rgb[(size_t)c.next_scanline * w * 3];
        if (grey)
            for (int x = 0; x < w; x++) row[x] = src[3 * x];
        else
            row.assign(src, src + (size_t)w * 3);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::string out((const char*)mem, size);
    jpeg_destroy_compress(&c);
    free(mem);
    return out;
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
