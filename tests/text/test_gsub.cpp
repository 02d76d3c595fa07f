// The GSUB reader on tables built here byte by byte: both coverage and
// both substitution formats, extension lookups, the feature picked by its
// tag, the first lookup winning, and every cut and bad offset refused
// without a read past the table; then the 'vert' forms of the Japanese
// Gothic face the fonts fall back to.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/fonts.h"
#include "text/gsub.h"

namespace {

typedef std::vector<std::pair<uint16_t, uint16_t>> Pairs;

// A table under construction: 16- and 32-bit big-endian values, and
// offsets filled in once their targets are placed.
struct Bytes {
    std::vector<uint8_t> b;
    size_t U16(uint32_t v) {
        b.push_back((uint8_t)(v >> 8));
        b.push_back((uint8_t)v);
        return b.size() - 2;
    }
    size_t U32(uint32_t v) {
        U16(v >> 16);
        return U16(v & 0xFFFF) - 2;
    }
    void Set16(size_t at, uint32_t v) { b[at] = (uint8_t)(v >> 8), b[at + 1] = (uint8_t)v; }
    void Set32(size_t at, uint32_t v) { Set16(at, v >> 16), Set16(at + 2, v & 0xFFFF); }
};

// A lookup: its type and its subtables' bytes (offsets inside a subtable
// counted from its start).
struct Lookup {
    uint16_t type;
    std::vector<std::vector<uint8_t>> subtables;
};

// Single substitution, format 1 (delta) over coverage format 1.
std::vector<uint8_t> Delta(const std::vector<uint16_t>& glyphs, int16_t delta) {
    Bytes s;
    s.U16(1);
    s.U16(6);
    s.U16((uint16_t)delta);
    s.U16(1);
    s.U16((uint32_t)glyphs.size());
    for (uint16_t g : glyphs) s.U16(g);
    return s.b;
}

// Single substitution, format 2 (a list) over coverage format 2 (ranges
// first, last, first coverage index).
std::vector<uint8_t> List(const std::vector<std::array<uint16_t, 3>>& ranges, const std::vector<uint16_t>& subs) {
    Bytes s;
    s.U16(2);
    size_t coverage = s.U16(0);
    s.U16((uint32_t)subs.size());
    for (uint16_t g : subs) s.U16(g);
    s.Set16(coverage, (uint32_t)s.b.size());
    s.U16(2);
    s.U16((uint32_t)ranges.size());
    for (const auto& r : ranges) s.U16(r[0]), s.U16(r[1]), s.U16(r[2]);
    return s.b;
}

// An extension subtable pointing at a subtable of `type`.
std::vector<uint8_t> Extension(uint16_t type, const std::vector<uint8_t>& inner) {
    Bytes s;
    s.U16(1);
    s.U16(type);
    s.U32(8);
    s.b.insert(s.b.end(), inner.begin(), inner.end());
    return s.b;
}

// A GSUB table with the features (tag, lookup indices) and the lookups.
std::vector<uint8_t> Gsub(const std::vector<std::pair<std::string, std::vector<uint16_t>>>& features,
                          const std::vector<Lookup>& lookups) {
    Bytes t;
    t.U16(1), t.U16(0);
    size_t scripts = t.U16(0), featureList = t.U16(0), lookupList = t.U16(0);
    t.Set16(scripts, (uint32_t)t.b.size());
    t.U16(0);  // no scripts
    size_t fl = t.b.size();
    t.Set16(featureList, (uint32_t)fl);
    t.U16((uint32_t)features.size());
    std::vector<size_t> featureOffsets;
    for (const auto& f : features) {
        t.b.insert(t.b.end(), f.first.begin(), f.first.end());
        featureOffsets.push_back(t.U16(0));
    }
    for (size_t i = 0; i < features.size(); i++) {
        t.Set16(featureOffsets[i], (uint32_t)(t.b.size() - fl));
        t.U16(0);
        t.U16((uint32_t)features[i].second.size());
        for (uint16_t l : features[i].second) t.U16(l);
    }
    size_t ll = t.b.size();
    t.Set16(lookupList, (uint32_t)ll);
    t.U16((uint32_t)lookups.size());
    std::vector<size_t> lookupOffsets;
    for (size_t i = 0; i < lookups.size(); i++) lookupOffsets.push_back(t.U16(0));
    for (size_t i = 0; i < lookups.size(); i++) {
        size_t at = t.b.size();
        t.Set16(lookupOffsets[i], (uint32_t)(at - ll));
        t.U16(lookups[i].type), t.U16(0), t.U16((uint32_t)lookups[i].subtables.size());
        std::vector<size_t> subOffsets;
        for (size_t k = 0; k < lookups[i].subtables.size(); k++) subOffsets.push_back(t.U16(0));
        for (size_t k = 0; k < lookups[i].subtables.size(); k++) {
            t.Set16(subOffsets[k], (uint32_t)(t.b.size() - at));
            t.b.insert(t.b.end(), lookups[i].subtables[k].begin(), lookups[i].subtables[k].end());
        }
    }
    return t.b;
}

Pairs Read(const std::vector<uint8_t>& table, const char (&tag)[5] = "vert") {
    Pairs out;
    bool ok = ReadGsubSingles(table.data(), table.size(), GsubTag(tag), &out);
    EXPECT_EQ(ok, !out.empty());
    return out;
}

TEST(Gsub, SingleSubstitutionsOfTheFeature) {
    std::vector<uint8_t> table = Gsub(
        {{"liga", {0}}, {"vert", {3, 1}}, {"vrt2", {2}}},
        {{1, {Delta({40}, 1)}},                                              // liga: not read
         {1, {Delta({12, 10}, 100), List({{20, 22, 0}, {30, 30, 3}}, {7, 8, 9, 6})}},
         {1, {Delta({50}, 1)}},                                              // vrt2: not read
         {7, {Extension(1, Delta({5, 10}, -2))}}});
    // Lookup 1 comes before lookup 3 whatever order the feature names
    // them in: glyph 10 takes lookup 1's substitute.
    EXPECT_EQ(Read(table), (Pairs{{5, 3}, {10, 110}, {12, 112}, {20, 7}, {21, 8}, {22, 9}, {30, 6}}));
    EXPECT_EQ(Read(table, "liga"), (Pairs{{40, 41}}));
    EXPECT_TRUE(Read(table, "smcp").empty());
    // A substitute list shorter than the coverage gives the glyphs it has.
    EXPECT_EQ(Read(Gsub({{"vert", {0}}}, {{1, {List({{1, 4, 0}}, {9, 8})}}})), (Pairs{{1, 9}, {2, 8}}));
    // Other lookup types and subtable formats are passed over.
    std::vector<uint8_t> other = Delta({3}, 1);
    other[1] = 3;  // substitution format 3
    EXPECT_TRUE(Read(Gsub({{"vert", {0, 1}}}, {{4, {Delta({1}, 1)}}, {1, {other}}})).empty());
}

TEST(Gsub, CutAndBrokenTablesAreRefused) {
    std::vector<uint8_t> table =
        Gsub({{"vert", {0, 1}}}, {{1, {List({{20, 22, 0}}, {7, 8, 9})}}, {7, {Extension(1, Delta({5}, 1))}}});
    ASSERT_EQ(Read(table).size(), 4u);
    // Every cut: a part of the pairs or none, and nothing read past the end
    // (the sanitizer build watches the reads).
    for (size_t n = 0; n < table.size(); n++) {
        std::vector<uint8_t> cut(table.begin(), table.begin() + n);
        Pairs out;
        ReadGsubSingles(cut.data(), cut.size(), GsubTag("vert"), &out);
        EXPECT_LE(out.size(), 4u) << n;
    }
    Pairs out;
    EXPECT_FALSE(ReadGsubSingles(nullptr, 100, GsubTag("vert"), &out));
    // A wrong version, an offset past the end, counts far beyond the bytes.
    std::vector<uint8_t> bad = table;
    bad[1] = 2;
    EXPECT_TRUE(Read(bad).empty());
    bad = table;
    bad[6] = bad[7] = 0xFF;
    EXPECT_TRUE(Read(bad).empty());
    std::vector<uint8_t> many = Gsub({{"vert", {0}}}, {{1, {List({{0, 0xFFFF, 0}}, {1})}}});
    EXPECT_EQ(Read(many), (Pairs{{0, 1}}));
    many = Gsub({{"vert", {0}}}, {{1, {Delta({}, 1)}}});
    many[many.size() - 1] = 0xFF, many[many.size() - 2] = 0xFF;  // 65535 glyphs in 0 bytes
    EXPECT_TRUE(Read(many).empty());
}

// Tables under 1 MB whose counts and repeated offsets would ask for billions
// of steps end soon, with nothing found: a feature naming 65535 lookups
// from each of 65535 records, and 32000 lookups sharing one extension
// lookup whose 32000 subtables share one subtable of 65535 empty ranges.
TEST(Gsub, RepeatedOffsetsAndEmptyRangesEndSoon) {
    Bytes f;
    f.U16(1), f.U16(0), f.U16(0), f.U16(12), f.U16(10);
    f.U16(1), f.U16(0);  // the lookup list at 10: one lookup, empty
    f.U16(0xFFFF);       // 65535 feature records at 12
    // The first record's tag, read as a feature, names 65535 lookups; the
    // other records, all 'vert', point at it.
    f.U32(0xFFFF), f.U16(0);
    for (int i = 1; i < 0xFFFF; i++) f.U32(GsubTag("vert")), f.U16(2);
    ASSERT_LT(f.b.size(), 1u << 20);
    EXPECT_TRUE(Read(f.b).empty());

    const uint32_t n = 32000, subtables = 32000;
    Bytes t;
    t.U16(1), t.U16(0), t.U16(0), t.U16(10);
    size_t lookupListAt = t.U16(0);
    t.U16(1), t.U32(GsubTag("vert")), t.U16(8);  // the feature list at 10
    t.U16(0), t.U16(n);
    for (uint32_t i = 0; i < n; i++) t.U16(i);
    size_t lookupList = t.b.size();
    t.Set16(lookupListAt, (uint32_t)lookupList);
    t.U16(n);
    for (uint32_t i = 0; i < n; i++) t.U16(2 + 2 * n);  // all the same lookup
    t.U16(7), t.U16(0), t.U16(subtables);
    for (uint32_t i = 0; i < subtables; i++) t.U16(6 + 2 * subtables);  // all the same subtable
    t.U16(1), t.U16(1), t.U32(8);                      // extension to the single subtable
    t.U16(2), t.U16(6), t.U16(0);                      // format 2, no substitutes
    t.U16(2), t.U16(0xFFFF);                           // 65535 ranges, each empty
    for (int i = 0; i < 0xFFFF; i++) t.U16(1), t.U16(0), t.U16(0);
    ASSERT_LT(t.b.size(), 1u << 20);
    EXPECT_TRUE(Read(t.b).empty());
}

// The Japanese Gothic face has vertical forms for the small kana, the
// comma and full stop, the long vowel mark and the brackets.
TEST(Gsub, VerticalFormsOfTheGothicFace) {
    StartHeadlessForTests();
    FT_Face face = FindFace(Cp932("ＭＳ ゴシック").c_str());
    ASSERT_NE(face, nullptr);
    for (uint32_t cp : {0x3083u, 0x3063u, 0x3001u, 0x3002u, 0x30FCu, 0x300Cu, 0xFF08u}) {
        FT_UInt g = FT_Get_Char_Index(face, cp);
        bool has = false;
        ASSERT_NE(g, 0u) << std::hex << cp;
        EXPECT_NE(VerticalGlyph(face, g, &has), g) << std::hex << cp;
        EXPECT_TRUE(has);
    }
    FT_UInt kanji = FT_Get_Char_Index(face, 0x65E5);  // 日 stands as it is
    EXPECT_EQ(VerticalGlyph(face, kanji, nullptr), kanji);
}

}  // namespace
