// sjis.h - Shift-JIS (CP932) byte tests and a bounded copy that never cuts a
// two-byte character in half.
#pragma once
#include <cstddef>
#include <cstdint>

// 0x81-0x9F and 0xE0-0xFC lead a two-byte character.
inline bool IsSjisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the longest prefix of s (len bytes) that is at most max bytes and
// ends on a character boundary.
inline size_t SjisCutLength(const char* s, size_t len, size_t max) {
    if (len <= max) return len;
    size_t i = 0;
    while (i < max) {
        size_t step = IsSjisLead((unsigned char)s[i]) ? 2 : 1;
        if (i + step > max) break;
        i += step;
    }
    return i;
}

// Drops a lead byte left without its trail byte at the end of s (after a
// cut made elsewhere, such as by snprintf).
void TrimSjisTail(char* s);

// Copies at most size - 1 bytes of src (whole characters only) and a NUL.
// Returns the bytes copied.
size_t CopySjisBounded(char* dst, size_t size, const char* src);
