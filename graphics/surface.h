// surface.h - the picture record Surface with its embedded Dib, the
// transparency modes, the shared multiplication table ProductTable, and the
// routines that create, reset, release, fill, copy and test surfaces.
//
// Pixel layout (an interface: plug-ins and the platform read and write these
// bytes directly): rows bottom-up, each padded to a multiple of 4 bytes;
// 24-bit pixels are blue, green, red; 8-bit pixels index the palette, whose
// entries are blue, green, red, 0.  Row y counted from the top starts at
// bits + GetRowOffset(dib, y).  Cells lie side by side, each width/cellCount
// columns wide; in alpha mode a cell holds its colour image in its left half
// and its mask (0 opaque .. 255 transparent, read from the blue byte) in its
// right half.
#pragma once
#include <cstddef>
#include <cstdint>

#include "save/imagefield.h"

// Pictures wider or taller than this are refused before any allocation.
enum { MaxPictureSide = 16384 };

#pragma pack(push, 2)
struct BmpFileHeader {      // BITMAPFILEHEADER, 14 bytes
    uint16_t type;          // "BM"
    uint32_t size;
    uint16_t reserved1, reserved2;
    uint32_t offBits;
};
#pragma pack(pop)

struct BmpInfoHeader {      // BITMAPINFOHEADER, 40 bytes
    uint32_t size;
    int32_t width, height;  // height > 0: rows stored bottom-up
    uint16_t planes, bitCount;
    uint32_t compression, sizeImage;
    int32_t xPelsPerMeter, yPelsPerMeter;
    uint32_t clrUsed, clrImportant;
};
static_assert(sizeof(BmpFileHeader) == 14, "file header is 14 bytes");
static_assert(sizeof(BmpInfoHeader) == 40, "info header is 40 bytes");

struct Dib {
    BmpFileHeader fileHeader{};
    BmpInfoHeader infoHeader{};
    uint8_t* info = nullptr;     // copy of infoHeader + palette; null = no picture
    uint8_t* palette = nullptr;  // info + 40: 2^bitCount entries for 1, 4 and 8 bits
    uint8_t* bits = nullptr;     // pixel bits (owned, zeroed when created)
    int32_t width = 0, height = 0;
    int32_t imageBytes = 0;      // height * stride
    int32_t paletteEntries = 0;  // 0 for 16, 24, 32 bits; 2, 16, 256 for 1, 4, 8
};

enum TransMode : int32_t {
    TransLeftUp = 0,   // the picture's top-left pixel is the key
    TransAlpha = 1,    // colour and mask halves
    TransColorKey = 2, // keyRed/keyGreen/keyBlue, or keyIndex on 8 bits
    TransCopy = 3,     // opaque
    TransRightUp = 4,  // the picture's top-right pixel is the key
};

enum { SurfaceTagSize = 512, NoAnimation = 2147483647, StringSpriteCellTime = 268435455 };

// A declared Surface starts in InitSurface's state.
struct Surface {
    char tag[SurfaceTagSize] = {};  // the image tag loaded; "" = none or drawn
    uint32_t animClock = 0;         // ms of the last cell change
    int32_t cellStep = 1;           // +1 or -1 (ping-pong)
    int32_t keyRed = 0, keyGreen = 0, keyBlue = 0;
    int32_t keyIndex = 0;
    Dib dib;                        // a picture is there when dib.info is set
    int32_t isStringSprite = 0;
    int32_t transMode = TransCopy;
    ImageInt alpha{-1};             // -1 none, else 0..255 (a sprite's is in the savepoint image)
    ImageInt cell;
    int32_t cellCount = 1;
    int32_t cellTime = 0;           // ms; NoAnimation; -1 = cellTimes
    int32_t* cellTimes = nullptr;   // cellCount entries when cellTime is -1
    int32_t loopMode = 0;           // 0 wrap, 1 stop, 2 ping-pong, 3 none
};

// ProductTable[a][b] = a * b / 255, truncated; ready before main runs.
extern uint8_t ProductTable[256][256];
void BuildProductTable();

inline bool HasPicture(const Surface* s) { return s->dib.info != nullptr; }
inline int32_t DibStride(int32_t bitCount, int32_t width) {
    return (int32_t)((((uint32_t)bitCount * (uint32_t)width + 31) / 32) * 4);
}
inline int32_t GetRowOffset(const Dib* dib, int32_t y) {
    return DibStride(dib->infoHeader.bitCount, dib->width) * (dib->height - y - 1);
}
inline uint8_t* DibRow(const Dib* dib, int32_t y) { return dib->bits + GetRowOffset(dib, y); }
// The cell count as drawing uses it: at least 1.
inline int32_t CellCountOf(const Surface* s) { return s->cellCount > 0 ? s->cellCount : 1; }

void InitSurface(Surface* s);
void ResetSurface(Surface* s);
void ReleaseSurface(Surface* s);
void DestroySurface(Surface* s);
// Releases the old picture and makes a blank (black) 24-bit one; false when
// the size is outside 1..MaxPictureSide or memory is short.
bool CreateSurface(Surface* s, int32_t width, int32_t height);

// Blank 24-bit Dib; false (and no picture) for a size outside
// 1..MaxPictureSide.  A Dib of another depth: CreateDibOfDepth.
bool CreateDib(Dib* dib, int32_t width, int32_t height);
// A Dib of bitCount 1, 4, 8, 16, 24 or 32 with a zeroed palette of
// 2^bitCount entries for 1, 4 and 8 bits.
bool CreateDibOfDepth(Dib* dib, int32_t width, int32_t height, int32_t bitCount);
void FreeDib(Dib* dib);
// Moves the picture of `from` into `to` (whose old picture is freed).
void MoveDib(Dib* to, Dib* from);

// Copies a w x h area of src at (sx, sy) to dst at (x, y), both counted from
// the top, clipped to both pictures; any source depth, 24-bit destination.
void BltToSurface(Surface* dst, int32_t x, int32_t y, int32_t w, int32_t h,
                  const Surface* src, int32_t sx, int32_t sy);
// Clears the tag and fills left..right-1, top..bottom-1 with 0x00bbggrr.
void FillSurfaceRect(Surface* s, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     uint32_t colorref);
// Multiplies each channel of left..right, top..bottom (inclusive, clipped)
// of a 24-bit picture by the colour 0xRRGGBB's channel / 255 (ProductTable);
// white leaves it as it is.
void TintSurfaceRect(Surface* s, int32_t left, int32_t top, int32_t right, int32_t bottom,
                     int32_t rgb);
int32_t GetCellWidth(const Surface* s);
int32_t IsTransparentAt(const Surface* s, int32_t x, int32_t y);
void SaveSurfaceBmp(Surface* s, const char* file);

// Blue, green, red of an 8-bit pixel's palette entry.
inline const uint8_t* PaletteColor(const Dib* dib, uint8_t index) {
    return dib->palette + 4u * index;
}
