// Tests of the index readers on bytes in memory: well-formed archives of the
// three kinds, and damaged ones, which give the entries read before the
// damage and mark entries whose data is not in the file; only a broken ov2
// index is refused.
#include <gtest/gtest.h>

#include "archive/arcindex.h"
#include "tests/archive/arcpack.h"

using arcpack::Hex;

static int ParseOva(const std::string& bytes, int prefix, std::vector<OvaRawEntry>* out) {
    InStream s;
    StreamFromMemory(&s, (const uint8_t*)bytes.data(), bytes.size());
    return ParseOvaIndex(&s, bytes.size(), prefix, out);
}
static int ParseOv2(const std::string& bytes, std::vector<Ov2RawEntry>* out) {
    InStream s;
    StreamFromMemory(&s, (const uint8_t*)bytes.data(), bytes.size());
    return ParseOv2Index(&s, bytes.size(), out);
}
static int ParseArc(const std::string& bytes, std::vector<ArcRawEntry>* out) {
    InStream s;
    StreamFromMemory(&s, (const uint8_t*)bytes.data(), bytes.size());
    return ParseArcIndex(&s, bytes.size(), out);
}

// One mark per entry given: 'd' damaged, '-' readable.
template <class Entry>
static std::string Marks(const std::vector<Entry>& entries) {
    std::string m;
    for (const Entry& e : entries) m += e.damaged ? 'd' : '-';
    return m;
}

TEST(OvaIndexParse, ReadsAKnownArchive) {
    // Three entries: docs\hello.txt stored, lz.txt LZSS, dup.txt stored.
    std::string bytes = Hex(
        "00 03 00 00 00 4B 64 6F 63 73 5C 68 65 6C 6C 6F 2E 74 78 74 00 00 00 00 00 00 00 00 00 0D"
        "00 00 00 0D 6C 7A 2E 74 78 74 00 02 00 00 00 0D 00 00 00 09 00 00 00 0F 64 75 70 2E 74 78"
        "74 00 00 00 00 00 16 00 00 00 09 00 00 00 09 48 45 4C 4C 4F 20 41 52 43 48 49 56 45 B0 D8"
        "AC 6E F7 AC 56 6B 40 46 52 4F 4D 20 41 52 43 30");
    ASSERT_EQ(bytes.size(), 106u);
    std::vector<OvaRawEntry> e;
    ASSERT_EQ(ParseOva(bytes, 0, &e), ArchiveOk);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].name, "docs\\hello.txt");
    EXPECT_EQ(e[0].type, OvaStored);
    EXPECT_EQ(e[0].offset, 0x4Bu);
    EXPECT_EQ(e[0].stored, 13u);
    EXPECT_EQ(e[1].name, "lz.txt");
    EXPECT_EQ(e[1].type, OvaLzss);
    EXPECT_EQ(e[1].offset, 0x4Bu + 13);
    EXPECT_EQ(e[1].stored, 9u);
    EXPECT_EQ(e[1].unpacked, 15u);
    EXPECT_EQ(e[2].offset, 0x4Bu + 22);

    // The same with two junk bytes in front.
    std::string two = Hex("AA BB 00 01 00 00 00 1B 64 75 70 2E 74 78 74 00 00 00 00 00 00 00 00 00 09 00 00 00 09"
                          "46 52 4F 4D 20 41 52 43 30");
    ASSERT_EQ(ParseOva(two, 2, &e), ArchiveOk);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].name, "dup.txt");
    EXPECT_EQ(e[0].offset, 0x1Bu);
}

TEST(OvaIndexParse, DamagedIndexesGiveWhatTheyHold) {
    using arcpack::OvaItem;
    std::string good = arcpack::PackOva({{"a.txt", arcpack::Stored, "hello"}, {"b.txt", arcpack::Lzss, "packed text packed text"}});
    std::string long_name = arcpack::PackOva({{std::string(256, 'n'), arcpack::Stored, "x"}, {"c", arcpack::Stored, "y"}});
    std::string max_name = arcpack::PackOva({{std::string(255, 'n'), arcpack::Stored, "x"}});
    // Entry 0's offset field sits right behind "a.txt\0" and the type byte.
    std::string far = good;
    far[6 + 6 + 1 + 3] = 0x7F;
    std::string huge_size = good;
    huge_size[6 + 6 + 1 + 4] = (char)0xFF;
    std::string unpacked_past_end = arcpack::PackOva({{"s.bin", arcpack::Stored, "12345"}});
    unpacked_past_end[6 + 6 + 1 + 4 + 4 + 3] = 50;  // stored 5, copied as 50
    std::string lzss_too_big = good;
    // b.txt's unpacked size: the last field of the second entry.
    size_t b_unpacked = 6 + (6 + 13) + 6 + 1 + 8;
    lzss_too_big[b_unpacked] = 0x10;
    std::string more_entries = arcpack::PackOva({{"a", arcpack::Stored, ""}, {"b", arcpack::Stored, ""}});
    more_entries[1] = 3;
    struct Case {
        const char* what;
        std::string bytes;
        int prefix;
        int result;
        std::string marks;
    } cases[] = {
        {"good", good, 0, ArchiveOk, "--"},
        {"good after a prefix", std::string(3, 'J') + good, 3, ArchiveOk, "--"},
        {"255-byte name", max_name, 0, ArchiveOk, "-"},
        {"empty file", "", 0, ArchiveTruncated, ""},
        {"prefix only", "J", 1, ArchiveTruncated, ""},
        {"header cut", good.substr(0, 5), 0, ArchiveTruncated, ""},
        {"name cut", good.substr(0, 9), 0, ArchiveTruncated, ""},
        {"fields cut", good.substr(0, 15), 0, ArchiveTruncated, ""},
        // The first entry is kept, its data gone with the rest of the file.
        {"second entry cut", good.substr(0, 6 + 19 + 4), 0, ArchiveTruncated, "d"},
        {"count beyond the entries", more_entries, 0, ArchiveTruncated, "--"},
        {"256-byte name", long_name, 0, ArchiveOk, "d-"},
        {"offset beyond the file", far, 0, ArchiveOk, "d-"},
        {"size beyond the file", huge_size, 0, ArchiveOk, "d-"},
        {"stored entry copied beyond the file", unpacked_past_end, 0, ArchiveOk, "d"},
        {"LZSS entry claiming more than it can hold", lzss_too_big, 0, ArchiveOk, "-d"},
        {"data cut off", good.substr(0, good.size() - 1), 0, ArchiveOk, "-d"},
    };
    for (const Case& c : cases) {
        std::vector<OvaRawEntry> e;
        EXPECT_EQ(ParseOva(c.bytes, c.prefix, &e), c.result) << c.what;
        EXPECT_EQ(Marks(e), c.marks) << c.what;
    }
    std::vector<OvaRawEntry> e;
    ParseOva(long_name, 0, &e);
    EXPECT_EQ(e[0].name, "");  // never found by a lookup
    EXPECT_EQ(e[1].name, "c");
}

TEST(Ov2IndexParse, ReadsKnownArchives) {
    std::vector<Ov2RawEntry> e;
    std::string one = Hex("13 00 00 00 22 6E 6F 74 65 2E 74 78 74 22 02 00 00 00 65 48 49");
    ASSERT_EQ(ParseOv2(one, &e), ArchiveOk);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].name, "note.txt");
    EXPECT_EQ(e[0].offset, 0x13u);
    EXPECT_EQ(e[0].size, 2u);

    std::string two = arcpack::PackOv2({{"BG\\Sky.BMP", "sky"}, {"se\\a.wav", "wave!"}});
    ASSERT_EQ(ParseOv2(two, &e), ArchiveOk);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0].name, "bg\\sky.bmp");  // lower-cased on reading
    EXPECT_EQ(two.substr(e[0].offset, e[0].size), "sky");
    EXPECT_EQ(two.substr(e[1].offset, e[1].size), "wave!");
}

TEST(Ov2IndexParse, DamagedAndBrokenIndexes) {
    std::string good = arcpack::PackOv2({{"a.txt", "hello"}, {"b.txt", "world"}});
    std::string no_end = good;
    no_end[4 + 2 * 11] = 'x';  // the 'e' behind the two entries
    std::string big = good;
    big[4 + 7] = 100;  // a.txt's size; b.txt's data then starts past the end too
    struct Case {
        const char* what;
        std::string bytes;
        int result;
        std::string marks;
    } cases[] = {
        {"good", good, ArchiveOk, "--"},
        {"empty index", Hex("05 00 00 00 65"), ArchiveOk, ""},
        {"255-byte name", arcpack::PackOv2({{std::string(255, 'n'), "x"}}), ArchiveOk, "-"},
        // Where an entry begins only '"' or 'e' will do, the end included;
        // and a name must end.
        {"empty file", "", ArchiveBroken, ""},
        {"offset cut", Hex("05 00"), ArchiveBroken, ""},
        {"no end marker", Hex("05 00 00 00"), ArchiveBroken, ""},
        {"name cut", good.substr(0, 8), ArchiveBroken, ""},
        {"wrong marker", no_end, ArchiveBroken, "--"},
        // A size cut short keeps the entries before it.
        {"size cut", good.substr(0, 13), ArchiveTruncated, ""},
        {"second size cut", good.substr(0, 4 + 11 + 9), ArchiveTruncated, "d"},
        {"256-byte name", arcpack::PackOv2({{std::string(256, 'n'), "x"}, {"b", "y"}}), ArchiveOk, "d-"},
        {"size beyond the file", big, ArchiveOk, "dd"},
        {"data area beyond the file", Hex("FF FF FF FF 22 61 22 01 00 00 00 65"), ArchiveOk, "d"},
    };
    for (const Case& c : cases) {
        std::vector<Ov2RawEntry> e;
        EXPECT_EQ(ParseOv2(c.bytes, &e), c.result) << c.what;
        if (c.result != ArchiveBroken) {
            EXPECT_EQ(Marks(e), c.marks) << c.what;
        }
    }
    // The 256-byte name's data is skipped: the next entry's data is its own.
    std::vector<Ov2RawEntry> e;
    std::string two = arcpack::PackOv2({{std::string(256, 'n'), "x"}, {"b", "y"}});
    ParseOv2(two, &e);
    EXPECT_EQ(two.substr(e[1].offset, e[1].size), "y");
}

TEST(ArcIndexParse, ReadsAndKeepsWhatItCan) {
    std::vector<ArcRawEntry> e;
    std::string one = Hex("00 01 00 00 00 14 61 2E 74 78 74 00 00 00 00 00 00 00 00 02 48 49");
    ASSERT_EQ(ParseArc(one, &e), ArchiveOk);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].name, "a.txt");
    EXPECT_EQ(one.substr(e[0].offset, e[0].size), "HI");

    std::string big = one;
    big[19] = 3;
    std::string two = arcpack::PackArc({{"a", "x"}, {"b", "y"}});
    struct Case {
        const char* what;
        std::string bytes;
        int result;
        std::string marks;
    } cases[] = {
        {"header cut", one.substr(0, 4), ArchiveTruncated, ""},
        {"entry cut", one.substr(0, 15), ArchiveTruncated, ""},
        {"second entry cut", two.substr(0, 6 + 10 + 3), ArchiveTruncated, "d"},
        {"size beyond the file", big, ArchiveOk, "d"},
        {"256-byte name", arcpack::PackArc({{std::string(256, 'n'), "x"}}), ArchiveOk, "d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseArc(c.bytes, &e), c.result) << c.what;
        EXPECT_EQ(Marks(e), c.marks) << c.what;
    }
}

TEST(ArchiveProbe, TurnsSlashesAndLowersAscii) {
    EXPECT_EQ(ArchiveProbe("BG/Sky.BMP"), "bg\\sky.bmp");
    EXPECT_EQ(ArchiveProbe("a\\B/c"), "a\\b\\c");
    // A two-byte character whose trail byte is 'A'..'Z' is lowered byte by
    // byte, the same on both sides of every comparison.
    EXPECT_EQ(ArchiveProbe("\x83" "A"), "\x83" "a");
}
