// imagecache.cpp - the sprite sections of the state image, kept written.
#include "save/imagecache.h"

#include <cstring>
#include <memory>

#include "graphics/sprite.h"
#include "save/imagefield.h"

namespace {

// A record's bytes: its tag and a NUL, then its ints.
enum {
    UprightInts = 5,   // x, y, visible, cell, alpha
    RotatedInts = 8,   // cx, cy, xscale, yscale, rotation, visible, alpha, blend
    RecordLimit = SpriteTagSize + 4 * RotatedInts,
    ListLimit = 64,    // records marked one by one; more rewrite the section
};

struct SectionCache {
    std::unique_ptr<uint8_t[]> bytes;  // count * RecordLimit, allocated at the first write
    uint32_t start[SpriteCount + 1];   // record n is bytes[start[n] .. start[n + 1])
    uint32_t length = 0;               // of the whole section
    uint8_t changed[SpriteCount];
    int16_t list[ListLimit];           // the records marked changed
    int listed = 0;
    bool whole = true;                 // every record is to be written again
    const uint8_t* place = nullptr;    // where the image being written holds it
};
SectionCache Upright, Rotated;

void Mark(SectionCache& c, int n) {
    if (c.whole || c.changed[n]) return;
    if (c.listed == ListLimit) {
        c.whole = true;
        return;
    }
    c.changed[n] = 1;
    c.list[c.listed++] = (int16_t)n;
}

inline uint8_t* PutTag(uint8_t* p, const char* tag) {
    size_t n = tag[0] ? strnlen(tag, SpriteTagSize - 1) : 0;
    if (n) std::memcpy(p, tag, n);
    p[n] = 0;
    return p + n + 1;
}

size_t PutRecord(uint8_t* at, const Sprite& s) {
    bool log = s.tag[0] == 'b' && std::strcmp(s.tag, "bklg") == 0;  // saved without its tag
    uint8_t* p = PutTag(at, log ? "" : s.tag.c_str());
    int32_t v[UprightInts] = {s.x, s.y, s.visible, s.surface.cell, s.surface.alpha};
    for (int32_t i : v) StoreLe32(p, i), p += 4;
    return (size_t)(p - at);
}

size_t PutRecord(uint8_t* at, const Sprite2& s) {
    uint8_t* p = PutTag(at, s.tag);
    int32_t v[RotatedInts] = {s.cx, s.cy, s.xscale, s.yscale, s.rotation, s.visible, s.surface.alpha,
                              s.blend};
    for (int32_t i : v) StoreLe32(p, i), p += 4;
    return (size_t)(p - at);
}

template <class Record, int Count>
void PutSection(ImageWriter* w, const Record (&table)[Count]) {
    for (const Record& r : table) {
        if ((size_t)(w->end - w->at) <= RecordLimit) {  // near the end: through a record of room
            uint8_t record[RecordLimit];
            size_t n = PutRecord(record, r);
            if ((size_t)(w->end - w->at) <= n) return ImageWriterFull(w);
            std::memcpy(w->at, record, n);
            w->at += n;
            continue;
        }
        w->at += PutRecord(w->at, r);
    }
}

// Brings the kept section up to the table: a changed record whose length is
// unchanged is written over its old bytes; any other change writes the whole
// section again.
template <class Record, int Count>
void SpliceSection(ImageWriter* w, SectionCache& c, const Record (&table)[Count]) {
    if (!c.bytes) {
        c.bytes.reset(new uint8_t[(size_t)Count * RecordLimit]);
        c.whole = true;
    }
    for (int k = 0; k < c.listed && !c.whole; k++) {
        int n = c.list[k];
        uint8_t record[RecordLimit];
        size_t len = PutRecord(record, table[n]);
        if (len != c.start[n + 1] - c.start[n]) c.whole = true;
        else std::memcpy(&c.bytes[c.start[n]], record, len);
    }
    for (int k = 0; k < c.listed; k++) c.changed[c.list[k]] = 0;
    c.listed = 0;
    if (c.whole) {
        uint32_t at = 0;
        for (int n = 0; n < Count; n++) {
            c.start[n] = at;
            at += (uint32_t)PutRecord(&c.bytes[at], table[n]);
        }
        c.start[Count] = c.length = at;
        c.whole = false;
    }
    size_t n = c.length;
    if ((size_t)(w->end - w->at) <= n) return ImageWriterFull(w);
    w->end -= n;
    c.place = w->at;
}

}  // namespace

void MarkImageRecordAt(const void* p) {
    uintptr_t a = (uintptr_t)p;
    uintptr_t upright = (uintptr_t)Sprites, rotated = (uintptr_t)Sprites2;
    if (a - upright < sizeof Sprites) return Mark(Upright, (int)((a - upright) / sizeof(Sprite)));
    if (a - rotated < sizeof Sprites2) return Mark(Rotated, (int)((a - rotated) / sizeof(Sprite2)));
}

void PutSpriteSection(ImageWriter* w) { PutSection(w, Sprites); }
void PutSprite2Section(ImageWriter* w) { PutSection(w, Sprites2); }
void SpliceSpriteSection(ImageWriter* w) { SpliceSection(w, Upright, Sprites); }
void SpliceSprite2Section(ImageWriter* w) { SpliceSection(w, Rotated, Sprites2); }

void ClearSplices() { Upright.place = Rotated.place = nullptr; }

std::vector<uint8_t> JoinSplices(const uint8_t* begin, const uint8_t* end) {
    size_t n = (size_t)(end - begin);
    for (const SectionCache* c : {&Upright, &Rotated})
        if (c->place) n += c->length;
    std::vector<uint8_t> image;
    image.reserve(n);
    const uint8_t* from = begin;
    for (const SectionCache* c : {&Upright, &Rotated}) {  // in the order of the image
        if (!c->place) continue;
        image.insert(image.end(), from, c->place);
        image.insert(image.end(), c->bytes.get(), c->bytes.get() + c->length);
        from = c->place;
    }
    image.insert(image.end(), from, end);
    return image;
}

void ForgetImageCaches() {
    for (SectionCache* c : {&Upright, &Rotated}) {
        for (int k = 0; k < c->listed; k++) c->changed[c->list[k]] = 0;
        c->listed = 0;
        c->whole = true;
    }
}
