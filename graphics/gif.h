// gif.h - GIF pictures (giflib) for convgif: the first frame laid on the
// logical screen, which is filled with the background colour first.
#pragma once
#include <cstddef>
#include <cstdint>

#include "graphics/surface.h"

// A GIF image into a 24-bit Dib of the logical screen's size; false (and no
// picture) when it is bad, has no frame or a side outside 1..MaxPictureSide.
bool DecodeGif(const uint8_t* data, size_t size, Dib* out);
