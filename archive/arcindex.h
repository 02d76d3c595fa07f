// arcindex.h - the index readers of the three archive kinds: ova (big-endian,
// with prefix bytes and packed entries), ov2 (little-endian, quoted names)
// and the built-in arc kind (big-endian, stored entries).  They only parse:
// every count, name, offset and size is checked against the archive's size.
// A damaged archive gives what it holds: an index that ends early keeps the
// entries read before the end, and an entry whose data cannot be read (it
// lies past the end of the file, or its name is too long) is kept marked
// damaged, so that a lookup of it fails alone.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/instream.h"

enum { ArchiveNameMax = 255 };  // bytes of an entry name, the NUL not counted

enum ArchiveParseResult {
    ArchiveOk = 0,
    ArchiveTruncated,    // the file ends inside the header or an entry (ov2:
                         // inside a size); the entries before it are given
    ArchiveBroken,       // ov2: neither '"' nor 'e' where an entry begins (the
                         // end of the file there too), or the end inside a name
};

// Entry types of ova archives.
enum : uint8_t { OvaStored = 0, OvaSpb = 1, OvaLzss = 2 };

// Damaged entries: the data lies outside the file, an LZSS entry claims
// more than its data can unpack to, or the name is longer than
// ArchiveNameMax (the name is then "").
struct OvaRawEntry {
    std::string name;    // as stored
    uint8_t type;
    uint64_t offset;     // data area offset + entry offset (prefix excluded)
    uint32_t stored;
    uint32_t unpacked;
    bool damaged;
};
struct Ov2RawEntry {
    std::string name;    // lower-cased
    uint64_t offset;     // from the start of the file
    uint32_t size;
    bool damaged;
};
struct ArcRawEntry {
    std::string name;    // as stored
    uint64_t offset;     // from the start of the file
    uint32_t size;
    bool damaged;
};

// Each reads from the stream's start, which is the start of a file of
// `file_size` bytes, and gives every entry read, damaged ones included.
int ParseOvaIndex(InStream* s, uint64_t file_size, int prefix, std::vector<OvaRawEntry>* out);
int ParseOv2Index(InStream* s, uint64_t file_size, std::vector<Ov2RawEntry>* out);
int ParseArcIndex(InStream* s, uint64_t file_size, std::vector<ArcRawEntry>* out);

// The number of damaged entries.
template <class Entry>
int DamagedEntries(const std::vector<Entry>& entries) {
    int n = 0;
    for (const Entry& e : entries) n += e.damaged ? 1 : 0;
    return n;
}

// The most bytes `stored` bytes of LZSS tokens can unpack to.
uint64_t LzssMaxOutput(uint64_t stored);

// A-Z to a-z, byte by byte (Shift-JIS trail bytes included).
inline char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }
// The lookup form of a name: '/' becomes '\' and A-Z become a-z.
std::string ArchiveProbe(const char* name);
