// ov2.cpp - ov2 archive index and lookup.
#include "archive/ov2.h"

#include <map>

#include "archive/arcfile.h"
#include "archive/arcindex.h"

int32_t Ov2Mode = 0;

static std::map<std::string, Ov2Entry> Ov2Index;

void ReadOv2Index(const char* file, int archive) {
    uint64_t size;
    FILE* f = OpenArchiveFile(file, &size);
    if (!f) return;
    InStream s;
    StreamFromFile(&s, f);
    std::vector<Ov2RawEntry> entries;
    int r = ParseOv2Index(&s, size, &entries);
    fclose(f);
    if (r == ArchiveBroken) BrokenArchiveError(file);
    WarnIfDamaged(file, r, entries.size(), DamagedEntries(entries));
    for (const Ov2RawEntry& e : entries)
        Ov2Index[e.name] = Ov2Entry{archive, e.offset, e.size, e.damaged};
}

void LoadOv2Indexes() {
    for (int n = 0; n < Ov2ArchiveMax; n++) {
        char file[16];
        snprintf(file, sizeof file, "%02d.ov2", n);
        ReadOv2Index(file, n);
    }
}

int FindOv2Entry(const char* name, Ov2Lookup* out) {
    if (!Ov2Mode) return -1;
    std::string probe = ArchiveProbe(name);
    if (probe.size() > ArchiveNameMax) probe.resize(ArchiveNameMax);
    auto it = Ov2Index.find(probe);
    if (it == Ov2Index.end() || it->second.damaged) return -1;
    char file[16];
    snprintf(file, sizeof file, "%02d.ov2", it->second.archive);
    out->archive = file;
    out->offset = it->second.offset;
    out->size = it->second.size;
    return 1;
}

bool ReadOv2Entry(const Ov2Lookup& e, std::vector<uint8_t>* out) {
    uint64_t size;
    FILE* f = OpenArchiveFile(e.archive.c_str(), &size);
    if (!f) {
        out->clear();
        return false;
    }
    bool ok = ReadFileRange(f, e.offset, e.size, out);
    fclose(f);
    if (!ok) out->clear();
    return ok;
}

void ForgetOv2Archives() {
    Ov2Index.clear();
    Ov2Mode = 0;
}
