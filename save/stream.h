// stream.h - the save stream: one set of calls that writes values into a
// growing memory image or reads them back from a byte range.  Integers are
// little-endian int32, texts their bytes and one NUL.  The reader never reads
// past its data: an overrun, an unterminated or over-long text sets `failed`
// and yields 0 or "" from then on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct SaveStream {
  std::vector<uint8_t> image;   // writer: the bytes written so far
  const uint8_t* data = nullptr;  // reader: the bytes read from
  size_t size = 0;
  size_t pos = 0;               // reader: the next byte
  size_t limit = 0;             // writer: image length that is too large (0 = none)
  int writing = 1;
  int failed = 0;               // reader overran / writer reached the limit
};

// A writer whose image must stay below `limit` bytes (0 = no limit); the
// image's storage is kept across rewinds.
void OpenSaveWriter(SaveStream* s, size_t limit);
void RewindSaveWriter(SaveStream* s);
// A reader over data[0..size); the data must outlive the stream.
void OpenSaveReader(SaveStream* s, const uint8_t* data, size_t size);

void SerializeInt(SaveStream* s, int32_t* v);
// Texts: the reader accepts at most `max` bytes before the NUL (longer is a
// failure), so a text always fits its owner's buffer.
void SerializeString(SaveStream* s, std::string* text, size_t max = 65535);
// A text kept in a fixed buffer of `size` bytes (NUL included).
void SerializeText(SaveStream* s, char* buffer, size_t size);

// Writer only: raw bytes (no NUL).
void AppendBytes(SaveStream* s, const void* bytes, size_t n);
inline size_t SaveStreamLength(const SaveStream* s) {
  return s->writing ? s->image.size() : s->pos;
}
inline bool SaveStreamAtEnd(const SaveStream* s) { return s->pos >= s->size; }

// A writer into a buffer of fixed size, for images built often: the same
// bytes as a SaveStream writer, stored at a cursor.  An image that would
// reach the end of the buffer is too large: `failed` is set and nothing more
// is stored.
struct ImageWriter {
  uint8_t* at;
  uint8_t* end;
  int failed = 0;
};

inline void ImageWriterFull(ImageWriter* w) {
  w->failed = 1;
  w->end = w->at;
}
inline void StoreLe32(uint8_t* p, int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  u = __builtin_bswap32(u);
#endif
  std::memcpy(p, &u, 4);
}
inline void PutInt(ImageWriter* w, int32_t v) {
  if (w->end - w->at <= 4) return ImageWriterFull(w);
  StoreLe32(w->at, v);
  w->at += 4;
}
// n ints in a row.
inline void PutInts(ImageWriter* w, const int32_t* v, size_t n) {
  if (static_cast<size_t>(w->end - w->at) <= 4 * n) return ImageWriterFull(w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  for (size_t i = 0; i < n; i++) StoreLe32(w->at + 4 * i, v[i]);
#else
  if (n) std::memcpy(w->at, v, 4 * n);
#endif
  w->at += 4 * n;
}
// The n bytes of a text and a NUL.
inline void PutText(ImageWriter* w, const char* text, size_t n) {
  if (static_cast<size_t>(w->end - w->at) <= n + 1) return ImageWriterFull(w);
  if (n) std::memcpy(w->at, text, n);
  w->at[n] = 0;
  w->at += n + 1;
}
// A text in a fixed buffer of `size` bytes: at most size - 1 of them.
inline void PutFixedText(ImageWriter* w, const char* buffer, size_t size) {
  PutText(w, buffer, buffer[0] ? strnlen(buffer, size - 1) : 0);
}
