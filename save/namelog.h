// namelog.h - the name logs: the pictures loaded (FileLog) and the labels
// reached (LabelLog), kept in order without repeats.  Names are stored
// upper-cased byte by byte (ASCII only) with '/' turned into '\', and compare
// that way.  On disk ("Orvaflog.dat", "Orvallog.dat"): the count as "%d\n",
// then each name between double quotes with every byte XOR 0x5B.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

enum { NameLogNameMax = 511 };  // bytes of a name written or read back

struct NameLog {
    std::vector<std::string> names;        // in the order added
    std::unordered_set<std::string> index;  // the same names, for lookups
    std::string file;                      // CP932 file name
    uint32_t clears = 0;                   // ClearNameLog calls: names leave only then
};
extern NameLog FileLog;   // "Orvaflog.dat"
extern NameLog LabelLog;  // "Orvallog.dat"
extern int32_t LabelLogOn;  // labellog; FileLogOn (filelog) is the picture loader's

// Adds the name unless held; a log reaching LabelMax names is a fatal error.
void AddToNameLog(const char* name, NameLog* log);
bool FindInNameLog(const NameLog* log, const char* name);
void ClearNameLog(NameLog* log);
// savedir: the log's new file name, and the log emptied.
void SetNameLogPath(NameLog* log, const char* file);

// The file image of a log.
std::string FormatNameLog(const NameLog* log);
// Replaces the log's names by those of a file image.  false when the image
// is damaged (a bad count, a name without its quotes, an over-long name):
// the names before the damage are kept.
bool ParseNameLog(const uint8_t* data, size_t size, NameLog* log);
// The log's file: a missing file leaves the log as it is; a damaged one
// keeps what could be read, with a warning on standard error.
void LoadNameLog(NameLog* log);
// false when the file could not be written (reported once).
bool SaveNameLog(const NameLog* log);
