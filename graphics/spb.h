// spb.h - SPB pictures: the engine's own packed 24-bit format (three colour
// planes, blue, green, red, each a serpentine scan coded as groups of four
// small differences in one MSB-first bit stream).
//
// Decoding works on memory, so the same routine serves files in the folder
// and SPB-packed archive entries.  The header is checked: a width or height
// of 0 or above MaxPictureSide, or a stream that ends before the picture is
// complete, decodes to nothing.  A picture one pixel wide is scanned down its
// column (the scan's usual stepping from the first pixel).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/surface.h"

// Decodes an SPB stream into a new 24-bit bottom-up Dib; false (and no
// picture) when the stream is bad.
bool DecodeSpb(const uint8_t* data, size_t size, Dib* out);
// The same into a surface (its old picture released first).
bool DecodeSpbToSurface(const uint8_t* data, size_t size, Surface* out);
// The picture as a BMP image (the form WriteBmpFile writes), for readers
// that hand pictures on as BMP bytes; false when the stream is bad.
bool SpbToBmp(const uint8_t* data, size_t size, std::vector<uint8_t>* bmp);
// Reads and decodes a file; false when it is missing or bad.
bool DecodeSpbFile(const char* file, Dib* dib);
// ReleaseSurface, then DecodeSpbFile into the surface.
bool LoadSurfaceSpb(Surface* s, const char* file);
