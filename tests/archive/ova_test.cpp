// Tests of the ova archives on disk: lookups through the index and the
// search before it, which archive serves a name, prefix bytes, the added
// archive folder, entry reading and damaged archives.
#include <cstring>

#include "archive/ova.h"
#include "tests/archive/archive_fixture.h"

using arcpack::OvaItem;

class Ova : public ArchiveTest {
protected:
    // The content of `name` through FindOvaEntry and ReadOvaEntry; "<none>"
    // when no archive holds it.
    std::string Get(const char* name) {
        OvaLookup e;
        long long off = FindOvaEntry(name, &e);
        if (off < 0) return "<none>";
        EXPECT_EQ((uint64_t)off, e.offset);
        std::vector<uint8_t> out;
        EXPECT_TRUE(ReadOvaEntry(e, &out));
        return Bytes(out);
    }
    std::string ArchiveOf(const char* name) {
        OvaLookup e;
        return FindOvaEntry(name, &e) < 0 ? "<none>" : e.archive;
    }
};

TEST_F(Ova, LooksUpMixedCaseAndSlashes) {
    Write("arc.ova", arcpack::PackOva({{"bg\\sky.bmp", arcpack::Stored, "SKY"},
                                      {"Upper\\Name.TXT", arcpack::Stored, "UPPER"}}));
    OvaMode = 1;
    // Before the index: stored names are compared as they are.
    EXPECT_EQ(Get("BG/Sky.BMP"), "SKY");
    EXPECT_EQ(Get("bg\\SKY.bmp"), "SKY");
    EXPECT_EQ(Get("upper\\name.txt"), "<none>");
    LoadArchiveIndexes();
    ASSERT_TRUE(OvaIndexBuilt());
    EXPECT_EQ(Get("BG/Sky.BMP"), "SKY");
    EXPECT_EQ(Get("upper/NAME.txt"), "UPPER");
    EXPECT_EQ(Get("Upper\\Name.TXT"), "UPPER");
    EXPECT_EQ(Get("bg/sky.bm"), "<none>");
    EXPECT_EQ(Get(""), "<none>");
    OvaEntry e;
    EXPECT_TRUE(FindOvaIndexEntry("BG\\SKY.BMP", &e));
    EXPECT_EQ(e.archive, 0);
    EXPECT_FALSE(FindOvaIndexEntry("bg/sky.bmp", &e));  // the index itself takes '\' only
}

TEST_F(Ova, LowestArchiveNumberWins) {
    Write("arc.ova", arcpack::PackOva({{"dup.txt", arcpack::Stored, "FROM ARC0"}}));
    Write("arc1.ova", arcpack::PackOva({{"dup.txt", arcpack::Stored, "FROM ARC1"},
                                       {"only1.txt", arcpack::Stored, "ONE"}}));
    OvaMode = 1;
    for (int pass = 0; pass < 2; pass++) {  // the search, then the index
        EXPECT_EQ(Get("dup.txt"), "FROM ARC0");
        EXPECT_EQ(ArchiveOf("DUP.TXT"), "arc.ova");
        EXPECT_EQ(Get("only1.txt"), "ONE");
        EXPECT_EQ(ArchiveOf("only1.txt"), "arc1.ova");
        LoadArchiveIndexes();
    }
}

TEST_F(Ova, AMissingNumberEndsTheArchives) {
    Write("arc.ova", arcpack::PackOva({{"zero.txt", arcpack::Stored, "0"}}));
    Write("arc2.ova", arcpack::PackOva({{"two.txt", arcpack::Stored, "2"}}));
    OvaMode = 1;
    EXPECT_EQ(Get("two.txt"), "<none>");
    EXPECT_EQ(Get("zero.txt"), "0");
    LoadArchiveIndexes();
    EXPECT_EQ(Get("two.txt"), "<none>");
    EXPECT_EQ(Get("zero.txt"), "0");
}

TEST_F(Ova, NoArcOvaMeansNoEntries) {
    Write("arc1.ova", arcpack::PackOva({{"one.txt", arcpack::Stored, "1"}}));
    OvaMode = 1;
    EXPECT_EQ(Get("one.txt"), "<none>");
    LoadArchiveIndexes();
    EXPECT_EQ(Get("one.txt"), "<none>");
}

TEST_F(Ova, PrefixBytesComeFromTheSettings) {
    struct Case {
        int32_t skip_one;
        uint8_t skip_two;
        int prefix;
    } cases[] = {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {1, 1, 3}};
    for (const Case& c : cases) {
        ForgetArchiveState();
        std::string text = "prefix " + std::to_string(c.prefix);
        Write("arc.ova", arcpack::PackOva({{"p.txt", arcpack::Stored, text},
                                          {"l.txt", arcpack::Lzss, text + text + text}},
                                         c.prefix));
        OvaMode = 1;
        OvaSkipOne = c.skip_one;
        OvaSkipTwo = c.skip_two;
        EXPECT_EQ(OvaPrefixBytes(), c.prefix);
        EXPECT_EQ(Get("p.txt"), text) << c.prefix;
        LoadArchiveIndexes();
        EXPECT_EQ(Get("P.TXT"), text) << c.prefix;
        EXPECT_EQ(Get("l.txt"), text + text + text) << c.prefix;
    }
}

TEST_F(Ova, ArchivesInOvaDir) {
    Write("data/arc.ova", arcpack::PackOva({{"a.txt", arcpack::Stored, "A"}}));
    Write("data/arc1.ova", arcpack::PackOva({{"b.txt", arcpack::Stored, "B"}}));
    OvaMode = 1;
    strcpy(OvaDir, "Data");
    EXPECT_EQ(ArchiveOf("b.txt"), "Data\\arc1.ova");
    EXPECT_EQ(Get("b.txt"), "B");
    LoadArchiveIndexes();
    EXPECT_EQ(Get("a.txt"), "A");
    EXPECT_EQ(ArchiveOf("b.txt"), "Data\\arc1.ova");
}

TEST_F(Ova, AddedArchiveFolder) {
    Write("arc.ova", arcpack::PackOva({{"base.txt", arcpack::Stored, "BASE"},
                                      {"both.txt", arcpack::Stored, "FROM BASE"}}));
    Write("arc1.ova", arcpack::PackOva({{"one.txt", arcpack::Stored, "ONE"}}));
    Write("more/arc.ova", arcpack::PackOva({{"extra.txt", arcpack::Stored, "EXTRA"},
                                           {"both.txt", arcpack::Stored, "FROM MORE"}}));
    Write("more/arc1.ova", arcpack::PackOva({{"extra1.txt", arcpack::Stored, "EXTRA1"}}));
    OvaMode = 1;
    strcpy(AddOvaDir, "more");
    // The search: the game folder's archives, then those of the added folder.
    EXPECT_EQ(Get("extra.txt"), "EXTRA");
    EXPECT_EQ(Get("extra1.txt"), "EXTRA1");
    EXPECT_EQ(Get("both.txt"), "FROM BASE");
    LoadArchiveIndexes();
    // arc2.ova is missing, so the build stops before the added archive; the
    // search in the added folder still finds its names.
    EXPECT_EQ(Get("extra.txt"), "EXTRA");
    EXPECT_EQ(ArchiveOf("extra.txt"), "more\\arc.ova");
    EXPECT_EQ(Get("extra1.txt"), "EXTRA1");
    EXPECT_EQ(Get("both.txt"), "FROM BASE");
    EXPECT_EQ(Get("one.txt"), "ONE");
    // Without the added folder, the index alone answers.
    AddOvaDir[0] = 0;
    EXPECT_EQ(Get("extra.txt"), "<none>");
}

TEST_F(Ova, AddedArchiveIsIndexedAfterAFullSet) {
    for (int n = 0; n < 10; n++) {
        std::string file = n ? "arc" + std::to_string(n) + ".ova" : "arc.ova";
        Write(file, arcpack::PackOva({{"n" + std::to_string(n) + ".txt", arcpack::Stored, std::to_string(n)}}));
    }
    Write("more/arc.ova", arcpack::PackOva({{"ten.txt", arcpack::Stored, "10"}}));
    OvaMode = 1;
    strcpy(AddOvaDir, "more");
    LoadArchiveIndexes();
    OvaEntry e;
    ASSERT_TRUE(FindOvaIndexEntry("ten.txt", &e));
    EXPECT_EQ(e.archive, 10);
    EXPECT_EQ(ArchiveOf("ten.txt"), "more\\arc.ova");
    EXPECT_EQ(Get("n9.txt"), "9");
    EXPECT_EQ(Get("ten.txt"), "10");
}

TEST_F(Ova, ReadsEachKindOfEntry) {
    std::string text;
    for (int i = 0; i < 2000; i++) text += "line " + std::to_string(i % 37) + " of the packed text\n";
    std::string spb = arcpack::Hex("00 02 00 02 01 00 40 0C 00");
    OvaItem other{"other.bin", 7, "????"};
    Write("arc.ova", arcpack::PackOva({{"stored.txt", arcpack::Stored, "plain bytes"},
                                      {"packed.txt", arcpack::Lzss, text},
                                      {"pic.bmp", arcpack::Spb, spb, 70},
                                      {"empty.txt", arcpack::Stored, ""},
                                      other}));
    OvaMode = 1;
    LoadArchiveIndexes();
    EXPECT_EQ(Get("stored.txt"), "plain bytes");
    EXPECT_EQ(Get("packed.txt"), text);
    EXPECT_EQ(Get("pic.bmp"), spb);  // the SPB stream as stored
    EXPECT_EQ(Get("empty.txt"), "");
    EXPECT_EQ(Get("other.bin"), "");
    OvaLookup e;
    ASSERT_GE(FindOvaEntry("packed.txt", &e), 0);
    EXPECT_EQ(e.type, OvaLzss);
    EXPECT_EQ(e.unpacked, text.size());
    EXPECT_LT(e.stored, text.size() / 2);
    ASSERT_GE(FindOvaEntry("pic.bmp", &e), 0);
    EXPECT_EQ(e.type, OvaSpb);
    EXPECT_EQ(e.unpacked, 70u);
}

TEST_F(Ova, IndexesLargerThanTheReadBuffer) {
    // About 200 KB of index, read through several buffer refills.
    std::vector<OvaItem> items;
    for (int i = 0; i < 6000; i++)
        items.push_back({"voice\\chapter" + std::to_string(i % 7) + "\\line" + std::to_string(i) + ".ogg",
                         i % 3 == 0 ? arcpack::Lzss : arcpack::Stored, "ogg " + std::to_string(i) + " ogg ogg"});
    std::string bytes = arcpack::PackOva(items, 1);
    ASSERT_GT(bytes.size(), 3u * 65536);
    Write("arc.ova", bytes);
    OvaMode = 1;
    OvaSkipOne = 1;
    for (int pass = 0; pass < 2; pass++) {  // the search, then the index
        for (int i : {0, 1, 2999, 5998, 5999})
            EXPECT_EQ(Get(("VOICE/Chapter" + std::to_string(i % 7) + "/Line" + std::to_string(i) + ".OGG").c_str()),
                      "ogg " + std::to_string(i) + " ogg ogg")
                << i << " pass " << pass;
        EXPECT_EQ(Get("voice\\chapter0\\line6000.ogg"), "<none>");
        LoadArchiveIndexes();
    }
}

TEST_F(Ova, OverlongNamesAreNotFound) {
    Write("arc.ova", arcpack::PackOva({{std::string(255, 'n'), arcpack::Stored, "LONG"}}));
    OvaMode = 1;
    EXPECT_EQ(Get(std::string(255, 'N').c_str()), "LONG");
    EXPECT_EQ(Get(std::string(256, 'n').c_str()), "<none>");
    EXPECT_EQ(Get(std::string(5000, 'n').c_str()), "<none>");
}

TEST_F(Ova, TheIndexIsBuiltOncePerRun) {
    Write("arc.ova", arcpack::PackOva({{"old.txt", arcpack::Stored, "OLD"}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    Write("arc.ova", arcpack::PackOva({{"new.txt", arcpack::Stored, "NEW"}}));
    LoadArchiveIndexes();
    OvaEntry e;
    EXPECT_TRUE(FindOvaIndexEntry("old.txt", &e));
    EXPECT_FALSE(FindOvaIndexEntry("new.txt", &e));
}

TEST_F(Ova, TheIndexWaitsForOvaMode) {
    Write("arc.ova", arcpack::PackOva({{"a.txt", arcpack::Stored, "A"}}));
    LoadArchiveIndexes();
    EXPECT_FALSE(OvaIndexBuilt());
}

TEST_F(Ova, DamagedArchivesServeWhatTheyHold) {
    std::string good = arcpack::PackOva({{"a.txt", arcpack::Stored, "hello"}});
    std::string cut = good.substr(0, good.size() - 2);
    std::string long_name = arcpack::PackOva({{std::string(300, 'x'), arcpack::Stored, "x"},
                                             {"a.txt", arcpack::Stored, "hello"}});
    // An index that ends early whose entries and data are whole: its count
    // claims a third entry.
    std::string short_index = arcpack::PackOva({{"a.txt", arcpack::Stored, "hello"}, {"b.txt", arcpack::Stored, "world"}});
    short_index[1] = 3;
    struct Case {
        const char* what;
        std::string arc0;
        const char* a;          // a.txt as served (through the search and the index)
        const char* c;          // c.txt of arc1.ova
        const char* c_indexed;  // c.txt once the index is built
        const char* warning;    // the line on standard error
    } cases[] = {
        {"data cut", cut, "<none>", "CCC", "CCC", "archive arc.ova is damaged: 1 of its 1 entries cannot be read\n"},
        {"overlong name", long_name, "hello", "CCC", "CCC",
         "archive arc.ova is damaged: 1 of its 2 entries cannot be read\n"},
        // Whatever follows an archive that ends early is out of reach.
        {"header cut", std::string("\x00", 1), "<none>", "<none>", "<none>",
         "archive arc.ova is damaged: its index ends early; 0 of its entries can be read\n"},
        {"index cut", short_index, "hello", "<none>", "<none>",
         "archive arc.ova is damaged: its index ends early; 2 of its entries can be read\n"},
    };
    for (const Case& c : cases) {
        ForgetArchiveState();
        Write("arc.ova", c.arc0);
        Write("arc1.ova", arcpack::PackOva({{"c.txt", arcpack::Stored, "CCC"}}));
        OvaMode = 1;
        std::string a, cc;
        std::string err = StderrOf([&] {
            a = Get("a.txt");
            cc = Get("c.txt");
        });
        EXPECT_EQ(a, c.a) << c.what;
        EXPECT_EQ(cc, c.c) << c.what;
        EXPECT_EQ(err, std::string("orva: ") + c.warning) << c.what;
        // The index: the same archive is not warned about twice.
        err = StderrOf([&] {
            LoadArchiveIndexes();
            a = Get("a.txt");
            cc = Get("c.txt");
        });
        EXPECT_EQ(a, c.a) << c.what;
        EXPECT_EQ(cc, c.c_indexed) << c.what;
        EXPECT_EQ(err, "") << c.what;
    }
    EXPECT_TRUE(CapturedBoxes().empty());
    // A damaged archive behind the one that holds the name is never read by
    // the search.
    ForgetArchiveState();
    Write("arc.ova", good);
    Write("arc1.ova", cut);
    OvaMode = 1;
    EXPECT_EQ(StderrOf([&] { EXPECT_EQ(Get("a.txt"), "hello"); }), "");
}
