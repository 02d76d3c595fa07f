// spb.cpp - SPB decoding.
#include "graphics/spb.h"

#include <cstring>

#include "graphics/bmp.h"
#include "platform/platform.h"

namespace {

// MSB-first bit reader over a buffer; past the end every bit reads 1.
struct BitReader {
    const uint8_t* p;
    const uint8_t* end;
    uint64_t buf = 0;  // valid bits at the top
    int count = 0;
    uint64_t overrun = 0;  // bytes supplied past the end

    void Refill() {
        if (end - p >= 8) {
            // Eight bytes at once; only the whole bytes that fit are kept.
            uint64_t v;
            memcpy(&v, p, 8);
            v = __builtin_bswap64(v);
            int take = (63 - count) >> 3;
            int kept = count + 8 * take;
            buf = (buf | (v >> count)) & (~0ull << (64 - kept));
            p += take;
            count = kept;
            return;
        }
        while (count <= 56) {
            uint64_t b;
            if (p < end) {
                b = *p++;
            } else {
                b = 0xFF;
                overrun++;
            }
            buf |= b << (56 - count);
            count += 8;
        }
    }
    // k in 1..32
    inline uint32_t Read(int k) {
        if (count < k) Refill();
        uint32_t v = (uint32_t)(buf >> (64 - k));
        buf <<= k;
        count -= k;
        return v;
    }
    // Bits consumed so far, counting the padding read past the end.
    uint64_t Position(const uint8_t* start) const {
        return ((uint64_t)(p - start) + overrun) * 8 - (uint64_t)count;
    }
};

// The difference a k-bit number m stands for: odd m adds (m + 1) / 2, even
// m subtracts m / 2 (k is at most 7).
struct StepTable {
    int8_t t[128];
    constexpr StepTable() : t() {
        for (int m = 0; m < 128; m++) t[m] = (int8_t)((m & 1) ? (m + 1) / 2 : -(m / 2));
    }
};
constexpr StepTable kSteps{};
const int8_t* const kStep = kSteps.t;

// Decodes one plane's n values in scan order into out; false when a value
// that is kept lies past the end of the data (the dropped tail of the last
// group may).
bool DecodePlane(BitReader& br, const uint8_t* start, uint64_t totalBits, uint8_t* out,
                 size_t n) {
    uint8_t prev = (uint8_t)br.Read(8);
    out[0] = prev;
    size_t i = 1;
    uint64_t droppedBits = 0;
    while (i < n) {
        uint8_t v[4];
        uint32_t code = br.Read(3);
        int k = 0;
        if (code == 0) {
            v[0] = v[1] = v[2] = v[3] = prev;
        } else {
            k = code == 7 ? (br.Read(1) ? 2 : 1) : (int)code + 2;
            if (k == 8) {
                uint32_t w = br.Read(16);
                uint32_t w2 = br.Read(16);
                v[0] = (uint8_t)(w >> 8); v[1] = (uint8_t)w;
                v[2] = (uint8_t)(w2 >> 8); v[3] = (uint8_t)w2;
            } else {
                uint32_t all = br.Read(4 * k);
                uint32_t mask = (1u << k) - 1;
                for (int j = 0; j < 4; j++) {
                    prev = (uint8_t)(prev + kStep[(all >> (k * (3 - j))) & mask]);
                    v[j] = prev;
                }
            }
            prev = v[3];
        }
        size_t take = n - i < 4 ? n - i : 4;  // the rest of the last group is dropped
        if (take == 4) memcpy(out + i, v, 4);
        else memcpy(out + i, v, take);
        i += take;
        droppedBits = (4 - take) * (uint64_t)k;
    }
    return br.Position(start) - droppedBits <= totalBits;
}

}  // namespace

bool DecodeSpb(const uint8_t* data, size_t size, Dib* out) {
    FreeDib(out);
    if (!data || size < 4) return false;
    BitReader br{data, data + size};
    int32_t width = (int32_t)br.Read(16);
    int32_t height = (int32_t)br.Read(16);
    if (width < 1 || height < 1 || width > MaxPictureSide || height > MaxPictureSide) return false;
    size_t n = (size_t)width * (size_t)height;
    // The shortest stream for the size: every group 3 bits of code 0.  A
    // shorter one is refused before the picture is allocated.
    uint64_t groups = (n - 1 + 3) / 4;
    if ((uint64_t)size * 8 < 32 + 3 * (8 + 3 * groups)) return false;
    std::vector<uint8_t> plane(n);
    Dib dib = {};
    if (!CreateDib(&dib, width, height)) return false;
    for (int p = 0; p < 3; p++) {
        if (!DecodePlane(br, data, (uint64_t)size * 8, plane.data(), n)) {
            FreeDib(&dib);
            return false;
        }
        // Even rows of the scan run left to right, odd rows right to left.
        const uint8_t* src = plane.data();
        for (int32_t r = 0; r < height; r++, src += width) {
            uint8_t* row = DibRow(&dib, r) + p;
            if ((r & 1) == 0) {
                for (int32_t x = 0; x < width; x++) row[3 * x] = src[x];
            } else {
                for (int32_t x = 0; x < width; x++) row[3 * x] = src[width - 1 - x];
            }
        }
    }
    MoveDib(out, &dib);
    return true;
}

bool DecodeSpbToSurface(const uint8_t* data, size_t size, Surface* out) {
    ReleaseSurface(out);
    return DecodeSpb(data, size, &out->dib);
}

bool SpbToBmp(const uint8_t* data, size_t size, std::vector<uint8_t>* bmp) {
    Dib dib = {};
    bmp->clear();
    if (!DecodeSpb(data, size, &dib)) return false;
    EncodeBmp(&dib, bmp);
    FreeDib(&dib);
    return true;
}

bool DecodeSpbFile(const char* file, Dib* dib) {
    std::vector<uint8_t> bytes;
    FreeDib(dib);
    if (!PlatReadFile(file, false, &bytes)) return false;
    return DecodeSpb(bytes.data(), bytes.size(), dib);
}

bool LoadSurfaceSpb(Surface* s, const char* file) {
    ReleaseSurface(s);
    return DecodeSpbFile(file, &s->dib);
}
