// stream.h - the save stream: one set of calls that writes values into a
// growing memory image or reads them back from a byte range.  Integers are
// little-endian int32, texts their bytes and one NUL.  The reader never reads
// past its data: an overrun, an unterminated or over-long text sets `failed`
// and yields 0 or "" from then on.
#pragma once
#include <cstddef>
#include <cstdint>
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
