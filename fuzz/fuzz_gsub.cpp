// Fuzzes the GSUB reader: whatever the bytes, its pairs come sorted by
// glyph with no glyph twice, for the 'vert' feature and for a tag taken
// from the input.
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "text/gsub.h"

static void Check(const uint8_t* data, size_t size, uint32_t tag) {
    std::vector<std::pair<uint16_t, uint16_t>> out;
    bool ok = ReadGsubSingles(data, size, tag, &out);
    if (ok != !out.empty()) abort();
    for (size_t i = 1; i < out.size(); i++)
        if (out[i - 1].first >= out[i].first) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size, GsubTag("vert"));
    if (size >= 4) Check(data + 4, size - 4, (uint32_t)data[0] << 24 | data[1] << 16 | data[2] << 8 | data[3]);
    return 0;
}
