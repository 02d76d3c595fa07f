// ova.cpp - ova archive settings, index, lookup and entry reading.
#include "archive/ova.h"

#include <cstring>
#include <unordered_map>

#include "archive/arcfile.h"
#include "archive/lzss.h"

int32_t OvaMode = 0;
int32_t OvaSkipOne = 0;
uint8_t OvaSkipTwo = 0;
char OvaDir[OvaDirMax + 1] = "";
char AddOvaDir[OvaDirMax + 1] = "";

// The index: lower-cased name to entry, first entry of a name kept.
static std::unordered_map<std::string, OvaEntry> OvaIndex;
static bool OvaIndexDone = false;

// Archives met by the sequential search, per folder and prefix, read in
// archive order until the first that does not open.
struct ScannedArchive {
    std::string path;
    std::unordered_map<std::string, OvaEntry> names;  // stored names as they are
};
struct ScannedFolder {
    std::string folder;
    int prefix = 0;
    std::vector<ScannedArchive> archives;
    bool complete = false;  // every archive of the folder has been read
    bool cut = false;       // the last archive read ends early: searches stop there
};
static std::vector<ScannedFolder> ScannedFolders;

int OvaPrefixBytes() {
    return (OvaSkipOne ? 1 : 0) + (OvaSkipTwo ? 2 : 0);
}

// "arc.ova" or "arc%d.ova" in `folder` ("" = the game folder).
static std::string ArchiveInFolder(const char* folder, int n) {
    char file[16];
    if (n == 0)
        strcpy(file, "arc.ova");
    else
        snprintf(file, sizeof file, "arc%d.ova", n);
    if (!folder[0]) return file;
    return std::string(folder) + "\\" + file;
}

std::string OvaArchivePath(int n) {
    if (n > 9) return ArchiveInFolder(AddOvaDir, 0);
    return ArchiveInFolder(OvaDir, n);
}

enum ArchiveRead { ArchiveMissing, ArchiveWhole, ArchiveCut };

// Reads the index of one archive: ArchiveMissing when the file does not
// open, ArchiveCut when it ends early (the entries before the end given).
static ArchiveRead ReadOvaArchive(const char* path, int prefix, std::vector<OvaRawEntry>* out) {
    uint64_t size;
    FILE* f = OpenArchiveFile(path, &size);
    if (!f) return ArchiveMissing;
    InStream s;
    StreamFromFile(&s, f);
    int r = ParseOvaIndex(&s, size, prefix, out);
    fclose(f);
    WarnIfDamaged(path, r, out->size(), DamagedEntries(*out));
    return r == ArchiveOk ? ArchiveWhole : ArchiveCut;
}

void AddOvaIndexEntry(const char* name, int archive, int type, uint64_t offset,
                      uint32_t stored, uint32_t unpacked, bool damaged) {
    std::string key(name);
    for (char& c : key) c = LowerAscii(c);
    OvaEntry e = {(uint8_t)archive, (uint8_t)type, offset, stored, unpacked, damaged};
    OvaIndex.emplace(std::move(key), e);
}

void BuildOvaIndex() {
    if (OvaIndexDone) return;
    OvaIndexDone = true;
    int prefix = OvaPrefixBytes();
    std::vector<OvaRawEntry> entries;
    for (int n = 0; n < OvaArchiveMax; n++) {
        if (n == 10 && !AddOvaDir[0]) break;
        std::string path = OvaArchivePath(n);
        ArchiveRead r = ReadOvaArchive(path.c_str(), prefix, &entries);
        if (r == ArchiveMissing) break;
        for (const OvaRawEntry& e : entries)
            AddOvaIndexEntry(e.name.c_str(), n, e.type, e.offset, e.stored, e.unpacked, e.damaged);
        if (r == ArchiveCut) break;  // the build stops at the damage
    }
}

bool OvaIndexBuilt() {
    return OvaIndexDone;
}

bool FindOvaIndexEntry(const char* name, OvaEntry* out) {
    std::string key(name);
    for (char& c : key) c = LowerAscii(c);
    auto it = OvaIndex.find(key);
    if (it == OvaIndex.end()) return false;
    *out = it->second;
    return true;
}

enum ScanResult { ScanFound, ScanNotHere, ScanStop };

// Searches the archives of one folder in order for a stored name.  An
// archive that ends early ends the whole search there (ScanStop), as does a
// damaged entry of the name.
static ScanResult ScanFolder(const char* folder, const std::string& probe, OvaLookup* out) {
    int prefix = OvaPrefixBytes();
    ScannedFolder* sf = nullptr;
    for (ScannedFolder& f : ScannedFolders)
        if (f.folder == folder && f.prefix == prefix) sf = &f;
    if (!sf) {
        ScannedFolders.emplace_back();
        sf = &ScannedFolders.back();
        sf->folder = folder;
        sf->prefix = prefix;
    }
    for (int n = 0; n < 10; n++) {
        if (n == (int)sf->archives.size()) {
            if (sf->complete) return sf->cut ? ScanStop : ScanNotHere;
            std::vector<OvaRawEntry> entries;
            std::string path = ArchiveInFolder(folder, n);
            ArchiveRead r = ReadOvaArchive(path.c_str(), prefix, &entries);
            if (r == ArchiveMissing) {
                sf->complete = true;
                return ScanNotHere;
            }
            ScannedArchive a;
            a.path = path;
            for (const OvaRawEntry& e : entries)
                a.names.emplace(e.name, OvaEntry{(uint8_t)n, e.type, e.offset, e.stored, e.unpacked, e.damaged});
            sf->archives.push_back(std::move(a));
            if (n == 9 || r == ArchiveCut) sf->complete = true;
            if (r == ArchiveCut) sf->cut = true;
        }
        const ScannedArchive& a = sf->archives[n];
        auto it = a.names.find(probe);
        if (it != a.names.end()) {
            if (it->second.damaged) return ScanStop;
            out->archive = a.path;
            out->type = it->second.type;
            out->offset = it->second.offset;
            out->stored = it->second.stored;
            out->unpacked = it->second.unpacked;
            return ScanFound;
        }
    }
    return sf->cut ? ScanStop : ScanNotHere;
}

long long FindOvaEntry(const char* name, OvaLookup* out) {
    if (strlen(name) > ArchiveNameMax) return -1;  // longer than any stored name
    std::string probe = ArchiveProbe(name);
    if (OvaIndexDone) {
        auto it = OvaIndex.find(probe);
        if (it != OvaIndex.end()) {
            const OvaEntry& e = it->second;
            if (e.damaged) return -1;
            out->archive = OvaArchivePath(e.archive);
            out->type = e.type;
            out->offset = e.offset;
            out->stored = e.stored;
            out->unpacked = e.unpacked;
            return (long long)e.offset;
        }
        if (!AddOvaDir[0]) return -1;
        return ScanFolder(AddOvaDir, probe, out) == ScanFound ? (long long)out->offset : -1;
    }
    ScanResult r = ScanFolder(OvaDir, probe, out);
    if (r == ScanFound) return (long long)out->offset;
    if (r == ScanStop || !AddOvaDir[0]) return -1;
    return ScanFolder(AddOvaDir, probe, out) == ScanFound ? (long long)out->offset : -1;
}

bool ReadOvaEntry(const OvaLookup& e, std::vector<uint8_t>* out) {
    out->clear();
    uint64_t size;
    FILE* f = OpenArchiveFile(e.archive.c_str(), &size);
    if (!f) return false;
    uint64_t start = (uint64_t)OvaPrefixBytes() + e.offset;
    bool ok = true;
    if (e.type == OvaStored) {
        ok = ReadFileRange(f, start, e.unpacked, out);
    } else if (e.type == OvaSpb) {
        ok = ReadFileRange(f, start, e.stored, out);
    } else if (e.type == OvaLzss) {
        std::vector<uint8_t> packed;
        ok = ReadFileRange(f, start, e.stored, &packed);
        if (ok) {
            out->resize(e.unpacked);
            out->resize(LzssDecode(packed.data(), packed.size(), out->data(), out->size()));
        }
    }
    fclose(f);
    if (!ok) out->clear();
    return ok;
}

void ForgetOvaArchives() {
    OvaIndex.clear();
    OvaIndexDone = false;
    ScannedFolders.clear();
}
