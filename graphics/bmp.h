// bmp.h - BMP files: reading into a Dib (file or memory image) and writing
// a Dib out.
//
// The reader takes the 14-byte file header and a 40-byte info header, the
// palette right behind them and the bits right behind the palette (the
// header's size field and offset of the bits are not used).  Headers are
// checked: a size outside 1..MaxPictureSide, an unknown depth, a palette
// larger than the depth allows or bits past the end make the file bad, and a
// bad file gives no picture.  A top-down file (negative height) is turned
// bottom-up.  A compressed file gives a blank picture of its size.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/surface.h"

// Builds the Dib from a BMP image; false (and no picture) when it is bad.
bool ReadBmpMemory(Dib* dib, const uint8_t* data, size_t size);
// 0 when the file does not exist; else 1, the Dib holding the picture or,
// for a bad file, none.
int ReadBmpFile(const char* file, Dib* dib);
// The BMP image of a Dib (the form WriteBmpFile writes).  Updates the Dib's
// header fields to what is written.
void EncodeBmp(Dib* dib, std::vector<uint8_t>* out);
// Writes the BMP file; a file that cannot be written is silently skipped.
void WriteBmpFile(Dib* dib, const char* file);
