// instream.h - a byte stream over an open file or a block of memory, read a
// byte at a time through a buffer.  The archive index readers use it so that
// the same parser serves archives on disk and bytes in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

struct InStream {
    FILE* file = nullptr;            // null: memory stream
    const uint8_t* cur = nullptr;    // next byte
    const uint8_t* end = nullptr;    // end of the bytes at hand
    uint64_t endOffset = 0;          // stream offset of `end`
    std::vector<uint8_t> buffer;     // file streams: the bytes at hand
};

void StreamFromMemory(InStream* s, const uint8_t* data, size_t size);
// Reads `f` from its current position on; the file stays the caller's.
void StreamFromFile(InStream* s, FILE* f);
// The next byte, or -1 at the end of the stream.
int StreamFill(InStream* s);
inline int StreamGet(InStream* s) {
    return s->cur < s->end ? *s->cur++ : StreamFill(s);
}
// Bytes consumed since the stream was set up.
inline uint64_t StreamTell(const InStream* s) {
    return s->endOffset - (uint64_t)(s->end - s->cur);
}
// Big-endian and little-endian 16- and 32-bit values; false when the stream
// ends inside them.
bool StreamBig16(InStream* s, uint32_t* v);
bool StreamBig32(InStream* s, uint32_t* v);
bool StreamLittle32(InStream* s, uint32_t* v);
