// decode_riff.cpp - the byte-wise "fmt " / "data" scanner.
#include "sound/decode_riff.h"

#include <cstring>

// Moves *pos past the first match of tag from *pos on; false at the end.  A
// byte that breaks a partial match starts no new one.
static bool ScanFor(const uint8_t* b, size_t size, size_t* pos, const char* tag) {
    int matched = 0;
    for (size_t i = *pos; i < size; i++) {
        if (b[i] == (uint8_t)tag[matched]) {
            if (++matched == 4) {
                *pos = i + 1;
                return true;
            }
        } else {
            matched = 0;
        }
    }
    *pos = size;
    return false;
}

static bool ReadLe32(const uint8_t* b, size_t size, size_t* pos, uint32_t* v) {
    if (size - *pos < 4) return false;
    const uint8_t* p = b + *pos;
    *v = (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
    *pos += 4;
    return true;
}

static uint16_t Le16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }
static uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

bool ScanRiffWave(const uint8_t* b, size_t size, RiffWave* out) {
    *out = RiffWave();
    memset(out->format, 0, sizeof out->format);
    size_t pos = 0;
    uint32_t len = 0;
    if (!ScanFor(b, size, &pos, "fmt ") || !ReadLe32(b, size, &pos, &len)) return false;
    out->format_length = len;
    size_t left = size - pos;
    size_t take = len < RiffFormatBytes ? len : RiffFormatBytes;
    if (take > left) take = left;
    memcpy(out->format, b + pos, take);
    pos += len < left ? len : left;
    uint32_t stated = 0;
    if (!ScanFor(b, size, &pos, "data") || !ReadLe32(b, size, &pos, &stated)) return false;
    out->data_offset = pos;
    out->data_size_stated = stated;
    out->data_size = stated < size - pos ? stated : size - pos;
    const uint8_t* f = out->format;
    out->tag = Le16(f);
    out->channels = Le16(f + 2);
    out->rate = Le32(f + 4);
    out->bytes_per_second = Le32(f + 8);
    out->block_align = Le16(f + 12);
    out->bits = Le16(f + 14);
    return true;
}
