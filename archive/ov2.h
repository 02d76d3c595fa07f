// ov2.h - the ov2 archives "00.ov2" to "99.ov2" in the game folder: stored
// entries under quoted names, one ordered index over all of them in which a
// later archive (or a later entry) replaces an earlier one of the same name.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum { Ov2ArchiveMax = 100 };

extern int32_t Ov2Mode;  // set at a reset when "00.ov2" exists; never cleared

struct Ov2Entry {
    int archive;      // 0 to 99
    uint64_t offset;  // from the start of the archive file
    uint32_t size;
    bool damaged;     // its data is not all in the file: a lookup of it fails
};
struct Ov2Lookup {
    std::string archive;  // "NN.ov2"
    uint64_t offset;
    uint32_t size;
};

// Reads the index of "00.ov2" to "99.ov2"; missing numbers are skipped.
void LoadOv2Indexes();
// Reads one archive's index; a missing file is skipped.  A broken index (no
// '"' or 'e' where an entry begins, the end of the file inside a name) is a
// fatal error; a size cut short keeps the entries before it, and entries
// whose data is not all in the file are kept damaged, with a warning.
void ReadOv2Index(const char* file, int archive);
// 1 when found, -1 when not, when its entry is damaged or when Ov2Mode is off.  The probe is the name's
// first 255 bytes with '/' turned into '\' and A-Z lower-cased.
int FindOv2Entry(const char* name, Ov2Lookup* out);
// The entry's bytes; false when the archive cannot be read.
bool ReadOv2Entry(const Ov2Lookup& e, std::vector<uint8_t>* out);

// Empties the index and clears Ov2Mode (tests).
void ForgetOv2Archives();
