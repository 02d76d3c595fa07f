// ova.h - the ova archives: "arc.ova" and "arc1.ova" to "arc9.ova" (in the
// game folder or OvaDir) and "arc.ova" in AddOvaDir; their settings, the
// index built once per run, the lookup by name and reading an entry.
//
// Names are looked up with '/' turned into '\' and A-Z lower-cased.  The
// index serves the lowest-numbered archive that holds a name.  Before it is
// built (while *define runs), and for names the index lacks when AddOvaDir is
// set, the archives are searched in order and stored names compared as they
// are; each archive searched that way is read once and kept.  Archives that
// end early, and entries whose data is not in the file, give what they hold
// with a warning on standard error.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "archive/arcindex.h"

enum { OvaArchiveMax = 11, OvaDirMax = 255 };

extern int32_t OvaMode;      // ova archives are in use
extern int32_t OvaSkipOne;   // every archive starts with 1 prefix byte
extern uint8_t OvaSkipTwo;   // every archive starts with 2 prefix bytes
extern char OvaDir[OvaDirMax + 1];     // folder of archives 0 to 9; "" = game folder
extern char AddOvaDir[OvaDirMax + 1];  // folder of archive 10; "" = none

// One indexed entry.
struct OvaEntry {
    uint8_t archive;    // 0 to 10
    uint8_t type;       // OvaStored, OvaSpb, OvaLzss or another value
    uint64_t offset;    // data offset, counted from the end of the prefix
    uint32_t stored;
    uint32_t unpacked;
    bool damaged;       // its data cannot be read: a lookup of it fails
};
// An entry found by FindOvaEntry.
struct OvaLookup {
    std::string archive;  // the archive file (CP932 path)
    uint8_t type;
    uint64_t offset;      // read at offset + OvaPrefixBytes()
    uint32_t stored;
    uint32_t unpacked;
};

// 0 to 3: the prefix bytes the settings give every archive.
int OvaPrefixBytes();
// The file of archive number n (0 to 10) under the current settings.
std::string OvaArchivePath(int n);

// Fills the index from the archives, at most once per run; stops at the
// first archive that does not open, and after the entries read of the first
// that ends early (a warning names it).
void BuildOvaIndex();
bool OvaIndexBuilt();
// Appends an entry; a name already indexed keeps its first entry.
void AddOvaIndexEntry(const char* name, int archive, int type, uint64_t offset,
                      uint32_t stored, uint32_t unpacked, bool damaged = false);
bool FindOvaIndexEntry(const char* name, OvaEntry* out);
// The entry's data offset, or -1 when no archive holds the name or its
// entry is damaged, or when the search met an archive that ends early before
// finding it.  Callers test OvaMode first.
long long FindOvaEntry(const char* name, OvaLookup* out);

// Reads an entry into memory: stored entries (their unpacked size in bytes)
// and LZSS entries unpacked; an SPB entry gives its stored SPB stream; other
// types give nothing.  false when the archive cannot be read.
bool ReadOvaEntry(const OvaLookup& e, std::vector<uint8_t>* out);

// Forgets the index and the archives read (tests; archive files replaced).
void ForgetOvaArchives();
