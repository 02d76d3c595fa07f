// Tests of extraction to temporary files: ova entries, the registrations of
// `arc` with the built-in reader and with a plug-in library, fresh names per
// extraction, deletion, and the fatal cases.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "ext/dllcache.h"
#include "tests/archive/archive_fixture.h"

namespace fs = std::filesystem;

static std::string Slurp(const std::string& cp932_path) {
    std::ifstream f(Cp932ToUtf8(cp932_path), std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

static bool InTempFolder(const std::string& path) {
    return fs::path(Cp932ToUtf8(path)).parent_path() == fs::path(PlatTempDir());
}

class Extract : public ArchiveTest {
protected:
    // Extracts `name`; the temporary file's contents, or "<none>".
    std::string Pull(const std::string& name, std::string* temp = nullptr) {
        std::string path = name;
        if (!ExtractToTemp(&path)) {
            EXPECT_EQ(path, name);
            return "<none>";
        }
        EXPECT_TRUE(InTempFolder(path)) << path;
        if (temp) *temp = path;
        return Slurp(path);
    }
    // A test pack for the plug-in: "TPAK", then name, NUL, size, bytes.
    static std::string TestPack(const std::vector<arcpack::NamedData>& items) {
        std::string s = "TPAK";
        for (const auto& it : items) {
            s += it.name;
            s.push_back(0);
            arcpack::Little32(&s, (uint32_t)it.content.size());
            s += it.content;
        }
        return s;
    }
    void InstallPlugin(const std::string& rel) {
        fs::create_directories(fs::path(dir + "/" + rel).parent_path());
        fs::copy_file(ARCHIVE_TEST_PLUGIN, dir + "/" + rel, fs::copy_options::overwrite_existing);
    }
};

TEST_F(Extract, OvaEntriesGoToFreshTemporaryFiles) {
    std::string text;
    for (int i = 0; i < 500; i++) text += "csv," + std::to_string(i) + ",row\n";
    Write("arc.ova", arcpack::PackOva({{"data\\table.csv", arcpack::Lzss, text},
                                      {"bgm\\theme.mid", arcpack::Stored, "MThd...."},
                                      {"other\\theme.mid", arcpack::Stored, "another"},
                                      {"odd.bin", 9, "????"}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    std::string a, b, c;
    EXPECT_EQ(Pull("Data/Table.CSV", &a), text);
    EXPECT_EQ(a.substr(a.size() - 4), ".CSV");  // the requested extension, as written
    EXPECT_EQ(Pull("bgm/theme.mid", &b), "MThd....");
    EXPECT_EQ(Pull("other\\theme.mid", &c), "another");
    EXPECT_NE(b, c);  // the same base name never shares a file
    EXPECT_EQ(Slurp(b), "MThd....");
    std::string again;
    EXPECT_EQ(Pull("bgm/theme.mid", &again), "MThd....");
    EXPECT_NE(again, b);
    EXPECT_EQ(Pull("odd.bin"), "");  // an unknown kind extracts as an empty file
    EXPECT_EQ(Pull("missing.txt"), "<none>");

    DeleteExtractedFile(b);
    EXPECT_FALSE(fs::exists(Cp932ToUtf8(b)));
    EXPECT_TRUE(fs::exists(Cp932ToUtf8(c)));
    // Paths that extraction did not make are left alone.
    Write("keep.txt", "keep");
    DeleteExtractedFile("keep.txt");
    DeleteExtractedFile(dir + "/keep.txt");
    EXPECT_TRUE(fs::exists(dir + "/keep.txt"));
}

TEST_F(Extract, NamesCannotLeaveTheTemporaryFolder) {
    Write("arc.ova", arcpack::PackOva({{"..\\..\\evil.txt", arcpack::Stored, "evil"},
                                      {"x\\..", arcpack::Stored, "dots"},
                                      {"a\\b.\\..\\c.t/x", arcpack::Stored, "odd"}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    std::string temp;
    EXPECT_EQ(Pull("../../evil.txt", &temp), "evil");
    EXPECT_EQ(temp.substr(temp.size() - 4), ".txt");
    EXPECT_EQ(Pull("x/..", &temp), "dots");
    EXPECT_FALSE(fs::exists(fs::path(PlatTempDir()).parent_path() / "evil.txt"));
}

TEST_F(Extract, SpbEntriesAndOv2ArchivesAreFatal) {
    Write("arc.ova", arcpack::PackOva({{"pic.bmp", arcpack::Spb, arcpack::Hex("00 02 00 02 01 00 40 0C 00"), 70}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    EXPECT_NE(FatalText([] {
                  std::string p = "Pic.bmp";
                  ExtractToTemp(&p);
              }).find("Pic.bmpが開けませんでした。"),
              std::string::npos);
    Write("00.ov2", arcpack::PackOv2({{"a.txt", "A"}}));
    LoadArchiveIndexes();
    EXPECT_NE(FatalText([] {
                  std::string p = "a.txt";
                  ExtractToTemp(&p);
              }).find("OV2はテンポラリファイルへの展開に対応していません。（とりあえず）"),
              std::string::npos);
}

TEST_F(Extract, WithoutOvaModeOnlyRegistrationsCount) {
    Write("arc.ova", arcpack::PackOva({{"a.txt", arcpack::Stored, "ova"}}));
    EXPECT_EQ(Pull("a.txt"), "<none>");
    Write("pack.arc", arcpack::PackArc({{"a.txt", "arc"}}));
    ASSERT_TRUE(AddArcArchive("PACK.ARC|C:\\Tools\\ZelunArc.DLL"));
    EXPECT_EQ(ArcArchives[0], "pack.arc|c:\\tools\\zelunarc.dll");
    std::string temp;
    EXPECT_EQ(Pull("A.TXT", &temp), "arc");
    EXPECT_EQ(temp.substr(temp.size() - 4), ".txt");  // lower-cased by the built-in reader
    OvaMode = 1;
    EXPECT_EQ(Pull("a.txt"), "ova");  // ova archives come first
}

TEST_F(Extract, BuiltinReader) {
    Write("packs/one.arc", arcpack::PackArc({{"se\\click.wav", "click"}, {"se\\click.wav", "second"}}));
    Write("two.arc", arcpack::PackArc({{"bgm\\a.ogg", "ogg"}}));
    ASSERT_TRUE(AddArcArchive("no bar here"));
    ASSERT_TRUE(AddArcArchive("missing.arc|zelunarc.dll"));
    ASSERT_TRUE(AddArcArchive("packs\\one.arc|dll\\zelunarc.dll"));
    ASSERT_TRUE(AddArcArchive("two.arc|zelunarc.dll"));
    EXPECT_EQ(Pull("SE/Click.wav"), "click");
    EXPECT_EQ(Pull("bgm\\a.ogg"), "ogg");
    EXPECT_EQ(Pull("bgm\\b.ogg"), "<none>");
    EXPECT_TRUE(ArcArchivesHold("se/click.WAV"));
    EXPECT_FALSE(ArcArchivesHold("se/none.wav"));
    std::string temp;
    EXPECT_EQ(ReadBuiltinArc("two.arc", "BGM/A.OGG", &temp), 1);
    EXPECT_EQ(Slurp(temp), "ogg");
    EXPECT_EQ(ReadBuiltinArc("two.arc", "nothing", &temp), 0);
    EXPECT_EQ(ReadBuiltinArc("absent.arc", "bgm\\a.ogg", &temp), 0);
}

TEST_F(Extract, DamagedBuiltinArchiveServesWhatItHolds) {
    std::string two = arcpack::PackArc({{"a.txt", "hello"}, {"b.txt", "world"}});
    Write("bad.arc", two.substr(0, two.size() - 1));
    Write("more.arc", arcpack::PackArc({{"b.txt", "other b"}}));
    ASSERT_TRUE(AddArcArchive("bad.arc|zelunarc.dll"));
    ASSERT_TRUE(AddArcArchive("more.arc|zelunarc.dll"));
    std::string a, b;
    std::string err = StderrOf([&] {
        a = Pull("a.txt");
        b = Pull("b.txt");
    });
    EXPECT_EQ(a, "hello");
    EXPECT_EQ(b, "other b");  // the damaged entry is passed over
    EXPECT_EQ(err, "orva: archive bad.arc is damaged: 1 of its 2 entries cannot be read\n");
}

TEST_F(Extract, RegistrationsAreLimitedToFifty) {
    for (int i = 0; i < ArcArchiveMax; i++) ASSERT_TRUE(AddArcArchive("x|y.dll"));
    EXPECT_FALSE(AddArcArchive("x|y.dll"));
    EXPECT_EQ(ArcArchiveCount, ArcArchiveMax);
    ResetArchiveSettings();
    EXPECT_EQ(ArcArchiveCount, 0);
}

TEST_F(Extract, PluginLibrariesServeTheirArchives) {
    InstallPlugin("plug/testarc.so");
    Write("Voice.PAK", TestPack({{"voice\\hello.wav", "RIFF hello"}, {"voice\\bye.wav", "RIFF bye"}}));
    ASSERT_TRUE(AddArcArchive("nothing.pak|plug\\absent.dll"));    // no such library
    ASSERT_TRUE(AddArcArchive("voice.pak|plug\\TestArc.dll"));    // found as plug/testarc.so
    std::string temp;
    EXPECT_EQ(Pull("Voice/Hello.WAV", &temp), "RIFF hello");
    EXPECT_EQ(temp.substr(temp.size() - 4), ".WAV");
    EXPECT_EQ(Pull("voice\\bye.wav"), "RIFF bye");
    EXPECT_EQ(Pull("voice\\none.wav"), "<none>");
    // The plug-in was handed the archive's real path.
    typedef const char* (*LastArchiveProc)();
    LastArchiveProc last = (LastArchiveProc)GetDllProc("plug\\testarc.dll", "TestArcLastArchive");
    ASSERT_TRUE(last);
    EXPECT_EQ(fs::path(last()).filename(), "Voice.PAK");
    EXPECT_TRUE(ArcArchivesHold("VOICE/BYE.WAV"));
    EXPECT_FALSE(ArcArchivesHold("voice/none.wav"));
    std::vector<uint8_t> out;
    ASSERT_TRUE(ReadFromArcArchives("voice/hello.wav", &out));
    EXPECT_EQ(Bytes(out), "RIFF hello");
    // Nothing is left behind in the temporary folder but the files handed out.
    int plugin_folders = 0;
    for (const auto& e : fs::directory_iterator(PlatTempDir()))
        if (e.path().filename().string().rfind("orva-plugin-", 0) == 0) plugin_folders++;
    EXPECT_EQ(plugin_folders, 0);
}
