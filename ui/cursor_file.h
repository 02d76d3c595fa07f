// cursor_file.h - cursor pictures from ".cur" files (the icon directory
// format with hot spots) and ".ani" files (RIFF "ACON"; only the first frame
// is taken: the pointer does not animate).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct CursorPicture {
    int width = 0, height = 0;
    int hot_x = 0, hot_y = 0;
    std::vector<uint32_t> argb;  // top-down, alpha 0 transparent
};

// Decodes a cursor file's bytes: the first image of a .cur (1, 4, 8, 24 or
// 32-bit DIB with its AND mask, or an embedded PNG) or the first frame of an
// .ani.  false when the bytes are no cursor picture.
bool DecodeCursorFile(const uint8_t* data, size_t size, CursorPicture* out);
