// gsub.cpp - single substitutions of one GSUB feature.  The table is walked
// from its feature list to the lookups the feature names, through the
// extension lookups to the single-substitution subtables and their
// coverage; every read is checked against the table's size, and the work
// is bounded however the counts and ranges are set.
#include "text/gsub.h"

#include <algorithm>

namespace {

// Lookups of these types are read; the rest are left alone.
enum { SingleLookup = 1, ExtensionLookup = 7 };
// At most this many steps are taken: a feature record, a lookup index, a
// lookup, a subtable, a coverage range and a coverage entry are one step
// each.  Four times every glyph a font can have, far beyond a real table;
// a table that repeats offsets or lists empty ranges stops here.
enum : uint32_t { WorkLimit = 1u << 18 };

struct Table {
    const uint8_t* p;
    size_t n;
    bool U16(size_t at, uint16_t* v) const {
        if (at > n || n - at < 2) return false;
        *v = (uint16_t)(p[at] << 8 | p[at + 1]);
        return true;
    }
    bool U32(size_t at, uint32_t* v) const {
        if (at > n || n - at < 4) return false;
        *v = (uint32_t)p[at] << 24 | (uint32_t)p[at + 1] << 16 | (uint32_t)p[at + 2] << 8 | p[at + 3];
        return true;
    }
};

typedef std::vector<std::pair<uint16_t, uint16_t>> Pairs;

// The substitutes found so far, by glyph (-1: none yet; the first found
// stays), and the steps taken.
struct Found {
    std::vector<int32_t> by;
    std::vector<uint16_t> glyphs;  // those with a substitute
    uint32_t work = 0;
    Found() : by(0x10000, -1) {}
    bool Full() const { return work >= WorkLimit; }
    void Add(uint16_t g, uint16_t s) {
        if (by[g] >= 0) return;
        by[g] = s;
        glyphs.push_back(g);
    }
};

// Appends the pairs of the single-substitution subtable at `sub`: format
// 1 adds a delta to every glyph covered, format 2 lists a substitute for
// each coverage index below its count.
void ReadSingle(const Table& t, size_t sub, Found* out) {
    uint16_t format, coverageOffset, value, coverageFormat, count;
    if (!t.U16(sub, &format) || (format != 1 && format != 2) || !t.U16(sub + 2, &coverageOffset) ||
        !t.U16(sub + 4, &value))
        return;
    uint32_t listed = format == 2 ? value : 0x10000;  // coverage indexes with a substitute
    auto add = [&](uint16_t g, uint32_t i) {
        uint16_t s = (uint16_t)(g + value);
        if (format == 1 || t.U16(sub + 6 + 2 * (size_t)i, &s)) out->Add(g, s);
    };
    size_t cov = sub + coverageOffset;
    if (!t.U16(cov, &coverageFormat) || !t.U16(cov + 2, &count)) return;
    if (coverageFormat == 1) {
        for (uint32_t i = 0; i < count && i < listed && !out->Full(); i++, out->work++) {
            uint16_t g;
            if (!t.U16(cov + 4 + 2 * (size_t)i, &g)) return;
            add(g, i);
        }
    } else if (coverageFormat == 2) {
        for (uint32_t r = 0; r < count && !out->Full(); r++, out->work++) {
            uint16_t first, last, index;
            size_t at = cov + 4 + 6 * (size_t)r;
            if (!t.U16(at, &first) || !t.U16(at + 2, &last) || !t.U16(at + 4, &index)) return;
            for (uint32_t g = first; g <= last && index + (g - first) < listed && !out->Full(); g++, out->work++)
                add((uint16_t)g, index + (g - first));
        }
    }
}

// Appends the pairs of the lookup at `lookup`.
void ReadLookup(const Table& t, size_t lookup, Found* out) {
    uint16_t type, subCount;
    if (!t.U16(lookup, &type) || !t.U16(lookup + 4, &subCount)) return;
    for (uint32_t k = 0; k < subCount && !out->Full(); k++, out->work++) {
        uint16_t offset;
        if (!t.U16(lookup + 6 + 2 * (size_t)k, &offset)) return;
        size_t sub = lookup + offset;
        uint16_t subType = type;
        if (type == ExtensionLookup) {
            uint16_t format;
            uint32_t extOffset;
            if (!t.U16(sub, &format) || format != 1 || !t.U16(sub + 2, &subType) || !t.U32(sub + 4, &extOffset))
                continue;
            sub += extOffset;
        }
        if (subType == SingleLookup) ReadSingle(t, sub, out);
    }
}

}  // namespace

bool ReadGsubSingles(const uint8_t* table, size_t size, uint32_t tag, Pairs* out) {
    out->clear();
    Table t{table, table ? size : 0};
    uint16_t major, featureList, lookupList, featureCount, lookupCount;
    if (!t.U16(0, &major) || major != 1 || !t.U16(6, &featureList) || !t.U16(8, &lookupList) ||
        !t.U16(featureList, &featureCount) || !t.U16(lookupList, &lookupCount))
        return false;
    // The lookups the features name, in lookup order.
    Found found;
    std::vector<bool> used(lookupCount, false);
    for (uint32_t f = 0; f < featureCount && !found.Full(); f++, found.work++) {
        uint32_t recordTag;
        uint16_t offset, indexCount;
        size_t record = featureList + 2 + 6 * (size_t)f;
        if (!t.U32(record, &recordTag) || !t.U16(record + 4, &offset)) break;
        if (recordTag != tag) continue;
        size_t feature = featureList + (size_t)offset;
        if (!t.U16(feature + 2, &indexCount)) continue;
        for (uint32_t i = 0; i < indexCount && !found.Full(); i++, found.work++) {
            uint16_t index;
            if (!t.U16(feature + 4 + 2 * (size_t)i, &index)) break;
            if (index < lookupCount) used[index] = true;
        }
    }
    for (uint32_t l = 0; l < lookupCount && !found.Full(); l++) {
        uint16_t offset;
        if (!used[l]) continue;
        found.work++;
        if (t.U16(lookupList + 2 + 2 * (size_t)l, &offset)) ReadLookup(t, lookupList + (size_t)offset, &found);
    }
    std::sort(found.glyphs.begin(), found.glyphs.end());
    for (uint16_t g : found.glyphs) out->push_back({g, (uint16_t)found.by[g]});
    return !out->empty();
}
