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
// At most this many pairs are gathered from the coverage tables.
enum : size_t { PairLimit = 1u << 20 };

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

// The substitute of coverage index i in a single-substitution subtable at
// `sub` for glyph g; false when it has none.
bool Substitute(const Table& t, size_t sub, uint16_t format, uint16_t g, uint32_t i, uint16_t* out) {
    if (format == 1) {
        uint16_t delta;
        if (!t.U16(sub + 4, &delta)) return false;
        *out = (uint16_t)(g + delta);
        return true;
    }
    uint16_t count;
    return t.U16(sub + 4, &count) && i < count && t.U16(sub + 6 + 2 * (size_t)i, out);
}

// Appends the pairs of the single-substitution subtable at `sub`.
void ReadSingle(const Table& t, size_t sub, Pairs* out) {
    uint16_t format, coverageOffset, coverageFormat, count;
    if (!t.U16(sub, &format) || (format != 1 && format != 2) || !t.U16(sub + 2, &coverageOffset)) return;
    size_t cov = sub + coverageOffset;
    if (!t.U16(cov, &coverageFormat) || !t.U16(cov + 2, &count)) return;
    uint16_t s;
    if (coverageFormat == 1) {
        for (uint32_t i = 0; i < count && out->size() < PairLimit; i++) {
            uint16_t g;
            if (!t.U16(cov + 4 + 2 * (size_t)i, &g)) return;
            if (Substitute(t, sub, format, g, i, &s)) out->push_back({g, s});
        }
    } else if (coverageFormat == 2) {
        for (uint32_t r = 0; r < count && out->size() < PairLimit; r++) {
            uint16_t first, last, index;
            size_t at = cov + 4 + 6 * (size_t)r;
            if (!t.U16(at, &first) || !t.U16(at + 2, &last) || !t.U16(at + 4, &index)) return;
            for (uint32_t g = first; g <= last && out->size() < PairLimit; g++)
                if (Substitute(t, sub, format, (uint16_t)g, index + (g - first), &s)) out->push_back({(uint16_t)g, s});
        }
    }
}

// Appends the pairs of the lookup at `lookup`.
void ReadLookup(const Table& t, size_t lookup, Pairs* out) {
    uint16_t type, subCount;
    if (!t.U16(lookup, &type) || !t.U16(lookup + 4, &subCount)) return;
    for (uint32_t k = 0; k < subCount && out->size() < PairLimit; k++) {
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
    std::vector<bool> used(lookupCount, false);
    for (uint32_t f = 0; f < featureCount; f++) {
        uint32_t recordTag;
        uint16_t offset, indexCount;
        size_t record = featureList + 2 + 6 * (size_t)f;
        if (!t.U32(record, &recordTag) || !t.U16(record + 4, &offset)) break;
        if (recordTag != tag) continue;
        size_t feature = featureList + (size_t)offset;
        if (!t.U16(feature + 2, &indexCount)) continue;
        for (uint32_t i = 0; i < indexCount; i++) {
            uint16_t index;
            if (!t.U16(feature + 4 + 2 * (size_t)i, &index)) break;
            if (index < lookupCount) used[index] = true;
        }
    }
    for (uint32_t l = 0; l < lookupCount && out->size() < PairLimit; l++) {
        uint16_t offset;
        if (used[l] && t.U16(lookupList + 2 + 2 * (size_t)l, &offset)) ReadLookup(t, lookupList + (size_t)offset, out);
    }
    // Sorted by glyph, the first pair of each glyph kept.
    std::stable_sort(out->begin(), out->end(),
                     [](const std::pair<uint16_t, uint16_t>& a, const std::pair<uint16_t, uint16_t>& b) {
                         return a.first < b.first;
                     });
    out->erase(std::unique(out->begin(), out->end(),
                           [](const std::pair<uint16_t, uint16_t>& a, const std::pair<uint16_t, uint16_t>& b) {
                               return a.first == b.first;
                           }),
               out->end());
    return !out->empty();
}
