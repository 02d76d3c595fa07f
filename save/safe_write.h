// safe_write.h - crash-safe file writing: the bytes go to a temporary file
// in the same folder, which is synced and renamed over the old file, and the
// folder is synced; a process killed at any moment leaves the old file or
// the new one whole.
#pragma once
#include <cstddef>
#include <string>

// Writes the file of that CP932 name (resolved like PlatOpen's names).
// false when any step failed; the old file is then untouched and *error
// (when given) says why.
bool SafeWriteFile(const char* cp932_name, const void* data, size_t size,
                   std::string* error = nullptr);
// The same, but a file that already holds exactly these bytes is left alone
// (the persistent files are saved again in every long wait).
bool SafeWriteFileIfChanged(const char* cp932_name, const void* data, size_t size,
                            std::string* error = nullptr);
// Removes the temporary files "NAME.tmpPID" a writer killed before its
// rename left in the folder (CP932, "" = the current one): regular files of
// this user whose NAME `ours` accepts and whose process PID is no longer
// running.  A running copy's file stays.
void RemoveStaleTempFiles(const char* cp932_folder, bool (*ours)(const char* name));
