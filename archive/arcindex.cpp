// arcindex.cpp - index readers of the ova, ov2 and built-in arc archives.
#include "archive/arcindex.h"

// A NUL-terminated name of at most ArchiveNameMax bytes.
static int ReadNulName(InStream* s, std::string* name) {
    name->clear();
    for (;;) {
        int c = StreamGet(s);
        if (c < 0) return ArchiveTruncated;
        if (c == 0) return ArchiveOk;
        if (name->size() == ArchiveNameMax) return ArchiveNameTooLong;
        name->push_back((char)c);
    }
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
        int r = ReadNulName(s, &e.name);
        if (r != ArchiveOk) return r;
        int type = StreamGet(s);
        uint32_t offset;
        if (type < 0 || !StreamBig32(s, &offset) || !StreamBig32(s, &e.stored) ||
            !StreamBig32(s, &e.unpacked))
            return ArchiveTruncated;
        e.type = (uint8_t)type;
        e.offset = (uint64_t)data_area + offset;
        uint64_t span = e.stored;
        if (e.type == OvaStored && e.unpacked > span) span = e.unpacked;  // copied by unpacked size
        if ((uint64_t)prefix + e.offset + span > file_size) return ArchiveOutOfRange;
        if (e.type == OvaLzss && e.unpacked > LzssMaxOutput(e.stored)) return ArchiveOutOfRange;
        out->push_back(e);
    }
    return ArchiveOk;
}

int ParseOv2Index(InStream* s, uint64_t file_size, std::vector<Ov2RawEntry>* out) {
    out->clear();
    uint32_t data_area;
    if (!StreamLittle32(s, &data_area)) return ArchiveTruncated;
    uint64_t position = data_area;
    Ov2RawEntry e;
    for (;;) {
        int c = StreamGet(s);
        if (c == 'e') return ArchiveOk;
        if (c < 0) return ArchiveTruncated;
        if (c != '"') return ArchiveBadMarker;
        e.name.clear();
        for (;;) {
            c = StreamGet(s);
            if (c < 0) return ArchiveTruncated;
            if (c == '"') break;
            if (e.name.size() == ArchiveNameMax) return ArchiveNameTooLong;
            e.name.push_back(LowerAscii((char)c));
        }
        if (!StreamLittle32(s, &e.size)) return ArchiveTruncated;
        e.offset = position;
        if (position + e.size > file_size) return ArchiveOutOfRange;
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
        int r = ReadNulName(s, &e.name);
        if (r != ArchiveOk) return r;
        uint32_t offset;
        if (!StreamBig32(s, &offset) || !StreamBig32(s, &e.size)) return ArchiveTruncated;
        e.offset = (uint64_t)data_area + offset;
        if (e.offset + e.size > file_size) return ArchiveOutOfRange;
        out->push_back(e);
    }
    return ArchiveOk;
}

std::string ArchiveProbe(const char* name) {
    std::string p(name);
    for (char& c : p) c = c == '/' ? '\\' : LowerAscii(c);
    return p;
}
