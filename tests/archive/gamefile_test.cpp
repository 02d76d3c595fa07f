// Tests of the one lookup of files by name: the folder first, then the ov2
// archives, the ova archives and the registered archives; SPB entries as
// pictures.
#include <filesystem>

#include "archive/extract.h"
#include "archive/gamefile.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "tests/archive/archive_fixture.h"

class GameFile : public ArchiveTest {
protected:
    std::string Read(const char* name) {
        std::vector<uint8_t> out;
        if (!ReadGameFile(name, &out)) return "<none>";
        return Bytes(out);
    }
};

TEST_F(GameFile, TheFolderWinsThenOv2ThenOvaThenRegistrations) {
    Write("a.txt", "folder a");
    Write("Sub/Deep.txt", "folder deep");
    Write("00.ov2", arcpack::PackOv2({{"a.txt", "ov2 a"}, {"b.txt", "ov2 b"}}));
    Write("arc.ova", arcpack::PackOva({{"a.txt", arcpack::Stored, "ova a"},
                                      {"b.txt", arcpack::Stored, "ova b"},
                                      {"c.txt", arcpack::Lzss, "ova c, packed, ova c, packed"},
                                      {"sub\\deep.txt", arcpack::Stored, "ova deep"}}));
    Write("pack.arc", arcpack::PackArc({{"c.txt", "arc c"}, {"d.txt", "arc d"}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    ASSERT_TRUE(AddArcArchive("pack.arc|zelunarc.dll"));
    EXPECT_EQ(Read("a.txt"), "folder a");
    EXPECT_EQ(Read("A.TXT"), "folder a");
    EXPECT_EQ(Read("sub\\deep.txt"), "folder deep");
    EXPECT_EQ(Read("SUB/DEEP.TXT"), "folder deep");
    EXPECT_EQ(Read("b.txt"), "ov2 b");
    EXPECT_EQ(Read("c.txt"), "ova c, packed, ova c, packed");
    EXPECT_EQ(Read("D.txt"), "arc d");
    EXPECT_EQ(Read("e.txt"), "<none>");
    for (const char* name : {"a.txt", "B.TXT", "c.txt", "d.txt", "sub/deep.txt"})
        EXPECT_TRUE(GameFileExists(name)) << name;
    EXPECT_FALSE(GameFileExists("e.txt"));

    std::vector<uint8_t> out;
    GameFileInfo info;
    struct Case {
        const char* name;
        uint8_t source;
    } cases[] = {{"a.txt", GameFileInFolder}, {"b.txt", GameFileInOv2}, {"c.txt", GameFileInOva},
                 {"d.txt", GameFileInArcArchive}, {"e.txt", GameFileNowhere}};
    for (const Case& c : cases) {
        ReadGameFileRaw(c.name, &out, &info);
        EXPECT_EQ(info.source, c.source) << c.name;
    }
}

TEST_F(GameFile, OvaArchivesNeedOvaMode) {
    Write("arc.ova", arcpack::PackOva({{"a.txt", arcpack::Stored, "ova a"}}));
    EXPECT_EQ(Read("a.txt"), "<none>");
    EXPECT_FALSE(GameFileExists("a.txt"));
    OvaMode = 1;
    EXPECT_EQ(Read("a.txt"), "ova a");
    EXPECT_TRUE(GameFileExists("a.txt"));
}

TEST_F(GameFile, FoldersAreNotFiles) {
    std::filesystem::create_directories(dir + "/pic.bmp");
    Write("arc.ova", arcpack::PackOva({{"pic.bmp", arcpack::Stored, "archived"}}));
    OvaMode = 1;
    EXPECT_EQ(Read("pic.bmp"), "archived");
}

TEST_F(GameFile, SpbEntriesArePictures) {
    // A 5 x 3 picture and the bottom-up rows it decodes to (stride 16).
    std::string spb = arcpack::Hex(
        "00 05 00 03 0A 1C BF C2 77 01 90 EF 0B FF A2 2B FF F0 10 1B 4D BD BD BF EA 27 FF C4 E0"
        "0F F8 00 75 FC A0 00");
    std::string rows = arcpack::Hex(
        "0D 6E 08 0D 6F 0B 0E 6F 0B 0B D3 0B 0F 6F 0B 00"
        "0E AD 0F 0C 6D 07 0B 6E 80 0B 65 FF 0A 74 00 00"
        "0A 64 FA 0A 61 04 0A 65 24 0A 63 05 0A 64 0A 00");
    Write("arc.ova", arcpack::PackOva({{"cg\\pic.bmp", arcpack::Spb, spb, 102},
                                      {"cg\\bad.bmp", arcpack::Spb, "\x00\x00", 54}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    std::vector<uint8_t> raw;
    GameFileInfo info;
    ASSERT_TRUE(ReadGameFileRaw("CG/Pic.bmp", &raw, &info));
    EXPECT_EQ(info.source, GameFileInOva);
    EXPECT_EQ(info.ovaType, OvaSpb);
    EXPECT_EQ(Bytes(raw), spb);
    std::string bmp = Read("CG/Pic.bmp");
    ASSERT_EQ(bmp.size(), 102u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(bmp.substr(18, 8), arcpack::Hex("05 00 00 00 03 00 00 00"));
    EXPECT_EQ(bmp.substr(54), rows);
    EXPECT_EQ(Read("cg/bad.bmp"), "<none>");
}
