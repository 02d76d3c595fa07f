// aviwrite.h - AVI capture: one uncompressed AVI 1.0 file with one video
// stream of 24-bit bottom-up frames ("vids", handler "DIB ", "00db" chunks
// and an "idx1" index), written by us without a library.
//
// Layout: RIFF "AVI " { LIST "hdrl" { "avih", LIST "strl" { "strh", "strf",
// "strn" } }, LIST "movi" { "00db" ... }, "idx1" }.  The main header gives
// 1000000 / rate microseconds per frame, AVIF_HASINDEX only, and the larger
// of the frame count given at open and the highest index written plus one;
// index offsets are counted from the "movi" fourcc.  Each frame's chunk is
// appended as it is written (an index written twice is in the file twice);
// the index lists the frames in index order, each index naming the chunk
// last written at it, and an index never written names one empty chunk (a
// player repeats the frame before).
#pragma once
#include <cstdint>

struct BmpInfoHeader;

// Opens `cp932_name` for the frames of a picture described by `info` (24 bits,
// bottom-up), closing a file still open first; 1 on success, 0 on failure.
int OpenAviWriter(int32_t frame_count, const BmpInfoHeader& info, const char* cp932_name,
                  int32_t frames_per_second);
// Writes one key frame of the open file's frame size at `index`; 0 when no
// file is open, the picture's size is not the file's, the index is
// negative, or the file would pass the RIFF limit or cannot be written.
int WriteAviFrame(const uint8_t* bits, int32_t width, int32_t height, int32_t index);
// Writes the index and the sizes and closes the file; nothing when none is open.
void CloseAviWriter();
bool AviWriterOpen();
