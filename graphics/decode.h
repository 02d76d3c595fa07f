// decode.h - picture decoders into a Dib: JPEG (libjpeg-turbo) and what the
// system picture loader reads (JPEG, GIF, BMP by content), PNG
// (libpng; the engine's PNG library), and image plug-ins registered with
// `spi`.  Each checks the picture's size before allocating and gives no
// picture on any failure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/surface.h"

// A JPEG image into a 24-bit Dib (greyscale and CMYK pictures included).
bool DecodeJpeg(const uint8_t* data, size_t size, Dib* out);
// A picture the system picture loader reads (the ".jpg" files, convgif):
// JPEG, GIF (its first frame) or BMP, told apart by the first bytes.
bool DecodeOlePicture(const uint8_t* data, size_t size, Dib* out);

// A PNG image into a 24-bit Dib.  Without alphaLayout the alpha channel is
// ignored.  With it the Dib is twice the picture's width and each of the
// cellCount cells (picture width / cellCount columns) is laid out in alpha
// mode: the colour from the picture's red, green and blue in the cell's left
// half, the mask 255 - alpha in its right half.
bool DecodePng(const uint8_t* data, size_t size, int32_t cellCount, bool alphaLayout, Dib* out);
// A PNG image as 32-bit pixels, rows from the top, bytes blue, green, red,
// alpha (not premultiplied).
bool DecodePngBgra(const uint8_t* data, size_t size, int32_t* width, int32_t* height,
                   std::vector<uint8_t>* pixels);

// Image plug-ins export
//   int GetPicture(const char* buf, intptr_t len, uint32_t flag,
//                  void** info, void** bits, void* progress, intptr_t data);
// returning 0 on success.  flag 0: buf is a file name (len 0); flag 1: buf
// holds len bytes of the picture.  *info receives a heap block (malloc) with
// a 40-byte BITMAPINFOHEADER and its palette, *bits a heap block with the
// pixel rows as the header describes; the engine frees both with free().
typedef int (*GetPictureProc)(const char* buf, intptr_t len, uint32_t flag, void** info,
                              void** bits, void* progress, intptr_t data);
// The file form; false when the library or its entry is missing or the
// plug-in fails.
bool GetPictureFromFile(const char* library, Dib* dib, const char* file);
// The memory form.
bool GetPictureFromMemory(const char* library, const uint8_t* data, size_t size, Dib* dib);
// Builds a Dib from a plug-in's header-and-palette block and its bits
// (sizes checked; a top-down picture is turned bottom-up).
bool DibFromPluginBlocks(Dib* dib, const uint8_t* info, const uint8_t* bits);
