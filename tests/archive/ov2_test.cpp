// Tests of the ov2 archives: switching on by "00.ov2", numbering gaps, the
// later archive winning, lookups and broken indexes.
#include "archive/ov2.h"
#include "tests/archive/archive_fixture.h"

class Ov2 : public ArchiveTest {
protected:
    std::string Get(const char* name) {
        Ov2Lookup e;
        if (FindOv2Entry(name, &e) != 1) return "<none>";
        std::vector<uint8_t> out;
        EXPECT_TRUE(ReadOv2Entry(e, &out));
        return Bytes(out);
    }
    std::string ArchiveOf(const char* name) {
        Ov2Lookup e;
        return FindOv2Entry(name, &e) == 1 ? e.archive : "<none>";
    }
};

TEST_F(Ov2, GapsAreSkippedAndTheLaterArchiveWins) {
    Write("00.ov2", arcpack::PackOv2({{"a.txt", "A0"}, {"dup.txt", "DUP0"}, {"twice.txt", "first"},
                                      {"twice.txt", "second"}}));
    Write("02.ov2", arcpack::PackOv2({{"b.txt", "B2"}}));
    Write("03.ov2", arcpack::PackOv2({{"DUP.TXT", "DUP3"}}));
    LoadArchiveIndexes();
    EXPECT_EQ(Ov2Mode, 1);
    EXPECT_EQ(Get("a.txt"), "A0");
    EXPECT_EQ(Get("b.txt"), "B2");
    EXPECT_EQ(ArchiveOf("b.txt"), "02.ov2");
    EXPECT_EQ(Get("dup.txt"), "DUP3");
    EXPECT_EQ(ArchiveOf("dup.txt"), "03.ov2");
    EXPECT_EQ(Get("twice.txt"), "second");
    EXPECT_EQ(Get("c.txt"), "<none>");
}

TEST_F(Ov2, NothingWithoutTheFirstArchive) {
    Write("01.ov2", arcpack::PackOv2({{"a.txt", "A1"}}));
    LoadArchiveIndexes();
    EXPECT_EQ(Ov2Mode, 0);
    EXPECT_EQ(Get("a.txt"), "<none>");
}

TEST_F(Ov2, LooksUpMixedCaseAndSlashes) {
    Write("00.ov2", arcpack::PackOv2({{"BG\\Sky.Bmp", "SKY"}, {std::string(255, 'n'), "LONG"}}));
    LoadArchiveIndexes();
    EXPECT_EQ(Get("bg/SKY.bmp"), "SKY");
    EXPECT_EQ(Get("BG\\sky.BMP"), "SKY");
    EXPECT_EQ(Get(std::string(255, 'n').c_str()), "LONG");
    // The probe is the name's first 255 bytes.
    EXPECT_EQ(Get(std::string(300, 'N').c_str()), "LONG");
}

TEST_F(Ov2, IndexesAreReadAgainAtEveryReset) {
    Write("00.ov2", arcpack::PackOv2({{"a.txt", "A"}}));
    LoadArchiveIndexes();
    EXPECT_EQ(Get("b.txt"), "<none>");
    Write("01.ov2", arcpack::PackOv2({{"b.txt", "B"}}));
    LoadArchiveIndexes();
    EXPECT_EQ(Get("b.txt"), "B");
    EXPECT_EQ(Get("a.txt"), "A");
}

TEST_F(Ov2, BrokenIndexesAreFatal) {
    std::string good = arcpack::PackOv2({{"a.txt", "hello"}});
    std::string no_end = good;
    no_end[4 + 11] = 'x';
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no end marker", no_end},
        {"index cut where an entry begins", good.substr(0, 4 + 11)},
        {"name cut", good.substr(0, 7)},
    };
    for (const Case& c : cases) {
        ForgetArchiveState();
        Write("00.ov2", arcpack::PackOv2({{"fine.txt", "fine"}}));
        Write("01.ov2", c.bytes);
        std::string box = FatalText([] { LoadArchiveIndexes(); });
        EXPECT_NE(box.find("エラー"), std::string::npos) << c.what;
        EXPECT_NE(box.find("アーカイブ\"01.ov2\"が壊れています！"), std::string::npos) << c.what << ": " << box;
    }
}

TEST_F(Ov2, DamagedArchivesServeWhatTheyHold) {
    std::string two = arcpack::PackOv2({{"a.txt", "hello"}, {"b.txt", "world"}});
    struct Case {
        const char* what;
        std::string bytes;
        const char *a, *b;
        const char* warning;
    } cases[] = {
        {"data cut", two.substr(0, two.size() - 1), "hello", "<none>",
         "archive 01.ov2 is damaged: 1 of its 2 entries cannot be read\n"},
        {"size cut", two.substr(0, 4 + 11 + 9), "<none>", "<none>",
         "archive 01.ov2 is damaged: its index ends early; 0 of its entries can be read, 1 cannot\n"},
        {"overlong name", arcpack::PackOv2({{std::string(256, 'n'), "x"}, {"b.txt", "world"}}), "old a", "world",
         "archive 01.ov2 is damaged: 1 of its 2 entries cannot be read\n"},
    };
    for (const Case& c : cases) {
        ForgetArchiveState();
        Write("00.ov2", arcpack::PackOv2({{"fine.txt", "fine"}, {"a.txt", "old a"}}));
        Write("01.ov2", c.bytes);
        EXPECT_EQ(StderrOf([] { LoadArchiveIndexes(); }), std::string("orva: ") + c.warning) << c.what;
        EXPECT_EQ(Get("fine.txt"), "fine") << c.what;
        // A later entry replaces an earlier one even when it is damaged.
        EXPECT_EQ(Get("a.txt"), c.a) << c.what;
        EXPECT_EQ(Get("b.txt"), c.b) << c.what;
        // Read again at every reset, warned about once.
        EXPECT_EQ(StderrOf([] { LoadArchiveIndexes(); }), "") << c.what;
    }
}
