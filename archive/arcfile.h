// arcfile.h - file helpers of the archive readers: opening an archive with
// its size, reading a range of it, testing for a plain file in the folder,
// the broken-archive error and the damaged-archive warning.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

// Opens a CP932 name for reading; null when it does not open.  *size gets
// the file's size.
FILE* OpenArchiveFile(const char* name, uint64_t* size);
// Reads `size` bytes at `offset`; false on a short read.
bool ReadFileRange(FILE* f, uint64_t offset, uint64_t size, std::vector<uint8_t>* out);
// True when the CP932 name is a regular file (folders do not count).
bool FolderFileExists(const char* name);
// The fatal error for an archive whose index cannot be read.
[[noreturn]] void BrokenArchiveError(const char* archive);
// After reading an index with the parse result `result` and `entries`
// entries, `damaged` of them damaged: one line on standard error for a
// damaged archive, once per archive and run.
void WarnIfDamaged(const char* archive, int result, size_t entries, int damaged);
// Forgets which archives were warned about (tests; archive files replaced).
void ForgetArchiveWarnings();
