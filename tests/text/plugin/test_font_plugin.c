/* A glyph plug-in for the dllfont tests: fills every pixel with the
   coverage 200 and the colour it was given, and writes the first byte of
   the cell and of the face into the first pixel's colour instead. */
#include <stdint.h>

void Font(const char* cell, uint8_t* pixels, int32_t width, int32_t height, int32_t red,
          int32_t green, int32_t blue, const char* face) {
    for (int32_t i = 0; i < width * height; i++) {
        pixels[4 * i] = 200;
        pixels[4 * i + 1] = (uint8_t)red;
        pixels[4 * i + 2] = (uint8_t)green;
        pixels[4 * i + 3] = (uint8_t)blue;
    }
    pixels[1] = (uint8_t)cell[0];
    pixels[2] = (uint8_t)face[0];
}
