// arcindex.cpp - index readers of the ova, ov2 and built-in arc archives.
#include "archive/arcindex.h"

// A NUL-terminated name; a name longer than ArchiveNameMax is read to its
// end and given as "" with *too_long set.
static bool ReadNulName(InStream* s, std::string* name, bool* too_long) {
    name->clear();
    *too_long = false;
    for (;;) {
        int c = StreamGet(s);
        if (c < 0) return false;
        if (c == 0) break;
        if (name->size() == ArchiveNameMax) *too_long = true;
        if (!*too_long) name->push_back((char)c);
    }
    if (*too_long) name->clear();
    return true;
}

uint64_t LzssMaxOutput(uint64_t stored) {
    // A back-reference is 13 bits and yields at most 17 bytes; a literal is
    // 9 bits for 1 byte.
    return (stored * 8 / 13 + 1) * 17;
}

int ParseOvaIndex(InStream* s, uint64_t file_size, int prefix, std::vector<OvaRawEntry>* out) {
    out->clear();
    for (int i = 0; i < prefix; i++)
        if (StreamGet(s) < 0) return ArchiveTruncated;
    uint32_t count, data_area;
    if (!StreamBig16(s, &count) || !StreamBig32(s, &data_area)) return ArchiveTruncated;
    out->reserve(count);
    OvaRawEntry e;
    for (uint32_t i = 0; i < count; i++) {
        bool too_long;
        if (!ReadNulName(s, &e.name, &too_long)) return ArchiveTruncated;
        int type = StreamGet(s);
        uint32_t offset;
        if (type < 0 || !StreamBig32(s, &offset) || !StreamBig32(s, &e.stored) ||
            !StreamBig32(s, &e.unpacked))
            return ArchiveTruncated;
        e.type = (uint8_t)type;
        e.offset = (uint64_t)data_area + offset;
        uint64_t span = e.stored;
        if (e.type == OvaStored && e.unpacked > span) span = e.unpacked;  // copied by unpacked size
        e.damaged = too_long || (uint64_t)prefix + e.offset + span > file_size ||
                    (e.type == OvaLzss && e.unpacked > LzssMaxOutput(e.stored));
        out->push_back(e);
    }
    return ArchiveOk;
}

int ParseOv2Index(InStream* s, uint64_t file_size, std::vector<Ov2RawEntry>* out) {
    out->clear();
    // A file too short for the data area offset has no marker either.
    uint32_t data_area;
    if (!StreamLittle32(s, &data_area)) return ArchiveBroken;
    uint64_t position = data_area;
    Ov2RawEntry e;
    for (;;) {
        int c = StreamGet(s);
        if (c == 'e') return ArchiveOk;
        if (c != '"') return ArchiveBroken;
        e.name.clear();
        bool too_long = false;
        for (;;) {
            c = StreamGet(s);
            if (c < 0) return ArchiveBroken;
            if (c == '"') break;
            if (e.name.size() == ArchiveNameMax) too_long = true;
            if (!too_long) e.name.push_back(LowerAscii((char)c));
        }
        if (too_long) e.name.clear();
        if (!StreamLittle32(s, &e.size)) return ArchiveTruncated;
        e.offset = position;
        e.damaged = too_long || position + e.size > file_size;
        position += e.size;
        out->push_back(e);
    }
}

int ParseArcIndex(InStream* s, uint64_t file_size, std::vector<ArcRawEntry>* out) {
    out->clear();
    uint32_t count, data_area;
    if (!StreamBig16(s, &count) || !StreamBig32(s, &data_area)) return ArchiveTruncated;
    out->reserve(count);
    ArcRawEntry e;
    for (uint32_t i = 0; i < count; i++) {
        bool too_long;
        if (!ReadNulName(s, &e.name, &too_long)) return ArchiveTruncated;
        uint32_t offset;
        if (!StreamBig32(s, &offset) || !StreamBig32(s, &e.size)) return ArchiveTruncated;
        e.offset = (uint64_t)data_area + offset;
        e.damaged = too_long || e.offset + e.size > file_size;
        out->push_back(e);
    }
    return ArchiveOk;
}

std::string ArchiveProbe(const char* name) {
    std::string p(name);
    for (char& c : p) c = c == '/' ? '\\' : LowerAscii(c);
    return p;
}
