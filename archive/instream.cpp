// instream.cpp - buffered byte streams over files and memory.
#include "archive/instream.h"

enum { StreamBufferSize = 65536 };

void StreamFromMemory(InStream* s, const uint8_t* data, size_t size) {
    s->file = nullptr;
    s->cur = data;
    s->end = data + size;
    s->endOffset = size;
    s->buffer.clear();
}

void StreamFromFile(InStream* s, FILE* f) {
    s->file = f;
    s->buffer.resize(StreamBufferSize);
    s->cur = s->end = s->buffer.data();
    s->endOffset = 0;
}

int StreamFill(InStream* s) {
    if (!s->file) return -1;
    size_t got = fread(s->buffer.data(), 1, s->buffer.size(), s->file);
    if (got == 0) return -1;
    s->cur = s->buffer.data();
    s->end = s->cur + got;
    s->endOffset += got;
    return *s->cur++;
}

static bool StreamBytes(InStream* s, int n, uint8_t* b) {
    for (int i = 0; i < n; i++) {
        int c = StreamGet(s);
        if (c < 0) return false;
        b[i] = (uint8_t)c;
    }
    return true;
}

bool StreamBig16(InStream* s, uint32_t* v) {
    uint8_t b[2];
    if (!StreamBytes(s, 2, b)) return false;
    *v = (uint32_t)b[0] << 8 | b[1];
    return true;
}

bool StreamBig32(InStream* s, uint32_t* v) {
    uint8_t b[4];
    if (!StreamBytes(s, 4, b)) return false;
    *v = (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
    return true;
}

bool StreamLittle32(InStream* s, uint32_t* v) {
    uint8_t b[4];
    if (!StreamBytes(s, 4, b)) return false;
    *v = (uint32_t)b[3] << 24 | (uint32_t)b[2] << 16 | (uint32_t)b[1] << 8 | b[0];
    return true;
}
