// olepicture.cpp - pictures read the way the system picture loader reads
// them: JPEG, GIF and BMP told apart by their first bytes, not by a name.
#include <cstring>

#include "graphics/bmp.h"
#include "graphics/decode.h"
#include "graphics/gif.h"

bool DecodeOlePicture(const uint8_t* data, size_t size, Dib* out) {
    FreeDib(out);
    if (!data || size < 4) return false;
    if (data[0] == 0xFF && data[1] == 0xD8) return DecodeJpeg(data, size, out);
    if (memcmp(data, "GIF8", 4) == 0) return DecodeGif(data, size, out);
    if (data[0] == 'B' && data[1] == 'M') return ReadBmpMemory(out, data, size);
    return false;
}
