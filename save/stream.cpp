// stream.cpp - the save stream.
#include "save/stream.h"

#include <cstring>

void OpenSaveWriter(SaveStream* s, size_t limit) {
  s->image.clear();
  s->data = nullptr;
  s->size = s->pos = 0;
  s->limit = limit;
  s->writing = 1;
  s->failed = 0;
}

void RewindSaveWriter(SaveStream* s) {
  s->image.clear();
  s->failed = 0;
}

void OpenSaveReader(SaveStream* s, const uint8_t* data, size_t size) {
  s->image.clear();
  s->data = data;
  s->size = size;
  s->pos = 0;
  s->limit = 0;
  s->writing = 0;
  s->failed = 0;
}

void AppendBytes(SaveStream* s, const void* bytes, size_t n) {
  if (!s->writing || s->failed) return;
  const uint8_t* b = static_cast<const uint8_t*>(bytes);
  s->image.insert(s->image.end(), b, b + n);
  if (s->limit && s->image.size() >= s->limit) s->failed = 1;
}

void SerializeInt(SaveStream* s, int32_t* v) {
  if (s->writing) {
    uint32_t u = static_cast<uint32_t>(*v);
    uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
    AppendBytes(s, b, 4);
    return;
  }
  if (s->failed || s->size - s->pos < 4) {
    s->failed = 1;
    *v = 0;
    return;
  }
  const uint8_t* b = s->data + s->pos;
  s->pos += 4;
  *v = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 |
                            uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

// Reader: the length of the text at pos, or -1 when no NUL comes within max.
static long TextLength(SaveStream* s, size_t max) {
  if (s->failed) return -1;
  size_t left = s->size - s->pos;
  size_t span = left < max + 1 ? left : max + 1;
  const void* nul = std::memchr(s->data + s->pos, 0, span);
  if (!nul) {
    s->failed = 1;
    return -1;
  }
  return static_cast<const uint8_t*>(nul) - (s->data + s->pos);
}

void SerializeString(SaveStream* s, std::string* text, size_t max) {
  if (s->writing) {
    AppendBytes(s, text->c_str(), std::strlen(text->c_str()) + 1);
    return;
  }
  long n = TextLength(s, max);
  if (n < 0) {
    text->clear();
    return;
  }
  text->assign(reinterpret_cast<const char*>(s->data + s->pos), size_t(n));
  s->pos += size_t(n) + 1;
}

void SerializeText(SaveStream* s, char* buffer, size_t size) {
  if (s->writing) {
    static const char nul = 0;
    size_t n = strnlen(buffer, size - 1);
    AppendBytes(s, buffer, buffer[n] == 0 ? n + 1 : n);  // with its NUL in one
    if (buffer[n] != 0) AppendBytes(s, &nul, 1);
    return;
  }
  long n = TextLength(s, size - 1);
  if (n < 0) {
    buffer[0] = 0;
    return;
  }
  std::memcpy(buffer, s->data + s->pos, size_t(n) + 1);
  s->pos += size_t(n) + 1;
}
