// extract.h - archived files as real files: ExtractToTemp copies an entry of
// the ova archives or of the archives registered by `arc` into a fresh file
// of its own in the temporary folder.  Registered archives are read by the
// built-in arc reader (library name "zelunarc.dll") or by the named archive
// plug-in library (arcplugin.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum { ArcArchiveMax = 50 };

// The registrations: "archive path|library path", lower-cased.
extern std::string ArcArchives[ArcArchiveMax];
extern int ArcArchiveCount;

// Appends a registration (lower-cased); false when all 50 are taken.
bool AddArcArchive(const char* text);
// Empties the registrations.
void ClearArcArchiveList();

// 1 when the file was extracted: *path then names the temporary file (CP932;
// the name keeps the extension of the requested one).  0 when no archive
// holds it; *path is unchanged.  With ov2 archives on, a fatal error.  An
// ova entry that cannot be read or is an SPB picture is a fatal error.
int ExtractToTemp(std::string* path);
// The registered archives only (in order); same results as ExtractToTemp.
int ExtractFromArcArchives(std::string* path);
// True when a registered archive holds `name` (nothing is extracted).
bool ArcArchivesHold(const char* name);
// Reads `name` from the registered archives into memory.
bool ReadFromArcArchives(const char* name, std::vector<uint8_t>* out);

// The built-in arc reader: 1 when `archive` holds `name`, copied to a fresh
// temporary file whose path goes to *temp_path; 0 when the archive does not
// hold it or cannot be read.
int ReadBuiltinArc(const char* archive, const char* name, std::string* temp_path);

// Deletes a file that ExtractToTemp made (any other path is left alone).
void DeleteExtractedFile(const std::string& path);
// Forgets the archives the built-in reader has read (tests).
void ForgetBuiltinArcs();
