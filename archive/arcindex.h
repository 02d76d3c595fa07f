// arcindex.h - the index readers of the three archive kinds: ova (big-endian,
// with prefix bytes and packed entries), ov2 (little-endian, quoted names)
// and the built-in arc kind (big-endian, stored entries).  They only parse:
// every count, name, offset and size is checked against the archive's size,
// and a broken index is refused as a whole, with a reason.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/instream.h"

enum { ArchiveNameMax = 255 };  // bytes of an entry name, the NUL not counted

enum ArchiveParseResult {
    ArchiveOk = 0,
    ArchiveTruncated,    // the file ends inside the header or an entry
    ArchiveNameTooLong,  // a name longer than ArchiveNameMax
    ArchiveOutOfRange,   // an entry's data lies outside the file
    ArchiveBadMarker,    // ov2: neither '"' nor 'e' where an entry begins
};

// Entry types of ova archives.
enum : uint8_t { OvaStored = 0, OvaSpb = 1, OvaLzss = 2 };

struct OvaRawEntry {
    std::string name;    // as stored
    uint8_t type;
    uint64_t offset;     // data area offset + entry offset (prefix excluded)
    uint32_t stored;
    uint32_t unpacked;
};
struct Ov2RawEntry {
    std::string name;    // lower-cased
    uint64_t offset;     // from the start of the file
    uint32_t size;
};
struct ArcRawEntry {
    std::string name;    // as stored
    uint64_t offset;     // from the start of the file
    uint32_t size;
};

// Each reads from the stream's start, which is the start of a file of
// `file_size` bytes.
int ParseOvaIndex(InStream* s, uint64_t file_size, int prefix, std::vector<OvaRawEntry>* out);
int ParseOv2Index(InStream* s, uint64_t file_size, std::vector<Ov2RawEntry>* out);
int ParseArcIndex(InStream* s, uint64_t file_size, std::vector<ArcRawEntry>* out);

// The most bytes `stored` bytes of LZSS tokens can unpack to.
uint64_t LzssMaxOutput(uint64_t stored);

// A-Z to a-z, byte by byte (Shift-JIS trail bytes included).
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }
// The lookup form of a name: '/' becomes '\' and A-Z become a-z.
std::string ArchiveProbe(const char* name);
