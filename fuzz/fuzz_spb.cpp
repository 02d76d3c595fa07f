// Fuzzes the SPB decoder: an accepted picture must keep its size within the
// bound, and re-encoding it and decoding again must give the same pixels.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/spb.h"
#include "tests/graphics/spb_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= 4 && (size_t)(data[0] << 8 | data[1]) * (size_t)(data[2] << 8 | data[3]) > (1u << 20))
        return 0;  // large pictures only cost time
    Dib d;
    if (!DecodeSpb(data, size, &d)) {
        if (d.info) abort();
        return 0;
    }
    if (d.width < 1 || d.height < 1 || d.width > MaxPictureSide || d.height > MaxPictureSide) abort();
    std::vector<uint8_t> px((size_t)d.width * d.height * 3);
    for (int y = 0; y < d.height; y++)
        memcpy(&px[(size_t)y * d.width * 3], d.bits + GetRowOffset(&d, y), (size_t)d.width * 3);
    std::string again = EncodeSpb(d.width, d.height, px, size & 1);
    Dib e;
    if (!DecodeSpb((const uint8_t*)again.data(), again.size(), &e)) abort();
    if (memcmp(e.bits, d.bits, (size_t)d.imageBytes) != 0) abort();
    std::vector<uint8_t> bmp;
    if (!SpbToBmp(data, size, &bmp) || bmp.size() != 54 + (size_t)d.imageBytes) abort();
    FreeDib(&d);
    FreeDib(&e);
    return 0;
}
