// Fuzzes the archive index readers (ova with 0 to 3 prefix bytes, ov2, the
// built-in arc kind), read from memory and through a file stream, and the
// LZSS decoding of every readable entry an ova index gives.  The first byte
// picks the kind; the rest is the archive file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "archive/arcindex.h"
#include "archive/lzss.h"

template <class Parse>
static int Both(const uint8_t* data, size_t size, Parse parse) {
    InStream mem;
    StreamFromMemory(&mem, data, size);
    int r = parse(&mem);
    FILE* f = fmemopen((void*)data, size, "rb");
    if (f) {
        InStream file;
        StreamFromFile(&file, f);
        if (parse(&file) != r) abort();  // the two streams must agree
        fclose(f);
    }
    return r;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t input_size) {
    if (input_size < 1) return 0;
    int kind = input[0] % 6;
    const uint8_t* data = input + 1;
    size_t size = input_size - 1;
    // Whatever the result, every entry given that is not marked damaged
    // must lie within the file.
    if (kind < 4) {
        std::vector<OvaRawEntry> entries;
        Both(data, size, [&](InStream* s) { return ParseOvaIndex(s, size, kind, &entries); });
        for (const OvaRawEntry& e : entries) {
            if (e.name.size() > ArchiveNameMax) abort();
            if (e.damaged) continue;
            uint64_t start = (uint64_t)kind + e.offset;
            if (start + e.stored > size) abort();
            if (e.type == OvaStored && start + e.unpacked > size) abort();
            if (e.type != OvaLzss) continue;
            std::vector<uint8_t> out(e.unpacked);
            size_t n = LzssDecode(data + start, e.stored, out.data(), out.size());
            if (n > out.size()) abort();
        }
    } else if (kind == 4) {
        std::vector<Ov2RawEntry> entries;
        Both(data, size, [&](InStream* s) { return ParseOv2Index(s, size, &entries); });
        for (const Ov2RawEntry& e : entries)
            if (e.name.size() > ArchiveNameMax || (!e.damaged && e.offset + e.size > size)) abort();
    } else {
        std::vector<ArcRawEntry> entries;
        Both(data, size, [&](InStream* s) { return ParseArcIndex(s, size, &entries); });
        for (const ArcRawEntry& e : entries)
            if (e.name.size() > ArchiveNameMax || (!e.damaged && e.offset + e.size > size)) abort();
    }
    return 0;
}
