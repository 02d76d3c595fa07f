// lzss.cpp - LZSS decoding.
//
// The ring is not kept: with a 256-byte ring and one write per output byte,
// ring position Q at output index n holds the byte written 256 - ((Q - w) &
// 255) bytes earlier (w = (239 + n) & 255 is the write position), so a copy
// is a plain back-reference into the output.  Only references that reach before
// the first output byte read the ring's initial contents.
#include "archive/lzss.h"

#include <cstring>
#include <vector>

// The byte a reference to output index i (-256 <= i < 0) reads: the ring's
// initial contents at position (239 + i) & 255.
static uint8_t InitialRingByte(long long i) {
    unsigned position = (unsigned)(239 + 256 + i) & 255;
    return position < 239 ? 0x20 : 0;
}

static inline uint64_t LoadBig64(const uint8_t* p) {
    uint64_t v;
    memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

size_t LzssDecode(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity) {
    uint64_t bits = 0;   // unread bits, left-aligned
    unsigned count = 0;  // how many
    size_t pos = 0, n = 0;
    // Main part: with 8 input bytes at hand a refill gives 56 to 63 bits,
    // which hold at most 69 bytes' worth of tokens (a copy writes at most 24
    // bytes from where it starts), so with 128 bytes of room no bound needs
    // checking before the next refill.
    while (in_size - pos >= 8 && capacity - n >= 128) {
        bits |= LoadBig64(in + pos) >> count;
        pos += (63 - count) >> 3;
        count |= 56;
        do {
            if (bits >> 63) {
                out[n++] = (uint8_t)(bits >> 55);
                bits <<= 9;
                count -= 9;
                continue;
            }
            unsigned q = (unsigned)(bits >> 55) & 255;
            size_t len = ((unsigned)(bits >> 51) & 15) + 2;
            bits <<= 13;
            count -= 13;
            size_t dist = 256 - ((q - (239 + n)) & 255);
            uint8_t* d = out + n;
            if (n >= dist && dist >= 8) {
                memcpy(d, d - dist, 8);
                memcpy(d + 8, d + 8 - dist, 8);
                if (len > 16) memcpy(d + 16, d + 16 - dist, 8);
            } else if (n >= dist) {
                const uint8_t* src = d - dist;
                for (size_t j = 0; j < len; j++) d[j] = src[j];
            } else {
                for (size_t j = 0; j < len; j++)
                    d[j] = n + j >= dist ? out[n + j - dist]
                                         : InitialRingByte((long long)(n + j) - (long long)dist);
            }
            n += len;
        } while (count >= 13);
    }
    // The rest, bound-checked: the end of the input or of the output.
    for (;;) {
        if (in_size - pos >= 8) {
            bits |= LoadBig64(in + pos) >> count;
            pos += (63 - count) >> 3;
            count |= 56;
        } else {
            while (count <= 56 && pos < in_size) {
                bits |= (uint64_t)in[pos++] << (56 - count);
                count += 8;
            }
        }
        if (count < 9) return n;
        do {
            if (bits >> 63) {
                if (n == capacity) return n;
                out[n++] = (uint8_t)(bits >> 55);
                bits <<= 9;
                count -= 9;
                continue;
            }
            // Only reached with fewer than 13 bits when the input is used up.
            if (count < 13) return n;
            unsigned q = (unsigned)(bits >> 55) & 255;
            size_t len = ((unsigned)(bits >> 51) & 15) + 2;
            bits <<= 13;
            count -= 13;
            size_t dist = 256 - ((q - (239 + n)) & 255);
            if (n >= dist && dist >= 8 && capacity - n >= 24) {
                // Whole 8-byte steps: each reads only bytes already final.
                uint8_t* d = out + n;
                memcpy(d, d - dist, 8);
                memcpy(d + 8, d + 8 - dist, 8);
                if (len > 16) memcpy(d + 16, d + 16 - dist, 8);
                n += len;
            } else {
                for (size_t j = 0; j < len; j++) {
                    if (n == capacity) return n;
                    out[n] = n >= dist ? out[n - dist] : InitialRingByte((long long)n - (long long)dist);
                    n++;
                }
            }
        } while (count >= 13);
    }
}

long long LzssDecodeToFile(const uint8_t* in, size_t in_size, size_t capacity, FILE* out_file) {
    std::vector<uint8_t> out(capacity);
    size_t n = LzssDecode(in, in_size, out.data(), capacity);
    if (n && fwrite(out.data(), 1, n, out_file) != n) return -1;
    return (long long)n;
}
