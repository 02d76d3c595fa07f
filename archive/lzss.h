// lzss.h - the LZSS decoder of packed ova entries.
//
// The stream is read most significant bit first with no byte alignment: a 1
// bit is followed by an 8-bit literal; a 0 bit by an 8-bit ring position Q
// and a 4-bit length L, copying L+2 bytes from the 256-byte ring of recent
// output.  The ring starts as 239 spaces followed by 17 zero bytes, with the
// write position at 239, for every entry.  Decoding ends when the input runs
// out (a cut token is dropped) or when the output is full.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// Decodes `in_size` bytes into `out`, writing at most `capacity` bytes.
// Returns the bytes written.
size_t LzssDecode(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity);
// The same, writing the output to `out_file`; -1 when writing fails.
long long LzssDecodeToFile(const uint8_t* in, size_t in_size, size_t capacity, FILE* out_file);
