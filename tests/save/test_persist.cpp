// The persistent files in-process: the byte layouts of "envdata",
// "gloval.sav", "kidoku.dat" and the name logs, readers refusing damaged and
// foreign images, the crash-safe writer, and a write that fails reported
// once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/script.h"
#include "core/variables.h"
#include "platform/platform.h"
#include "save/envdata.h"
#include "save/globals.h"
#include "save/namelog.h"
#include "save/persist.h"
#include "save/readlog.h"
#include "save/safe_write.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

const uint8_t* Bytes(const std::string& s) { return (const uint8_t*)s.data(); }

std::string Le(int32_t v) {
    uint32_t u = (uint32_t)v;
    return std::string{(char)(u & 0xFF), (char)(u >> 8 & 0xFF), (char)(u >> 16 & 0xFF), (char)(u >> 24)};
}
std::string Sz(const std::string& s) { return s + std::string(1, '\0'); }

// A game folder of its own as the current folder.
class PersistFiles : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_dir_ = PlatGameDir();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        SaveDirectory.clear();
        ClearCapturedBoxes();
    }
    void TearDown() override {
        FreeReadFlags();
        SaveDirectory.clear();
        PlatSetGameDir(saved_dir_.c_str());
    }
    std::string Read(const std::string& name) {
        std::string out;
        EXPECT_TRUE(ReadGameFileBytes(dir_, name, &out)) << name;
        return out;
    }
    std::string dir_, saved_dir_;
};

EnvData SampleEnv() {
    EnvData e;
    e.full_screen = 0;
    e.sound_on = 1;
    e.text_speed = 2;
    e.page_at_a_time = 1;
    e.font = Cp932("ＭＳ ゴシック");
    e.cd_on = 0;
    e.cd_drive = "Q:";
    e.voice_volume = 10;
    e.se_volume = 20;
    e.bgm_volume = 30;
    e.kidoku_mode = 0;
    e.bgm_down_mode = 1;
    e.save_directory = "sv";
    e.auto_mode_wait = 0;
    e.has_auto_mode_wait = true;
    return e;
}

TEST(EnvDataImage, FourteenFieldsInOrderWithZeroWaitWrittenAs99999) {
    std::string want = Le(0) + Le(1) + Le(2) + Le(1) +
                       "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E" + std::string(1, '\0') +
                       Le(0) + Sz("Q:") + Le(10) + Le(20) + Le(30) + Le(0) + Le(1) + Sz("sv") +
                       Le(99999);
    std::string image = FormatEnvData(SampleEnv());
    EXPECT_EQ(image, want);

    EnvData back;
    ASSERT_TRUE(ParseEnvData(Bytes(image), image.size(), &back));
    EXPECT_EQ(back.text_speed, 2);
    EXPECT_EQ(back.font, SampleEnv().font);
    EXPECT_EQ(back.cd_drive, "Q:");
    EXPECT_EQ(back.save_directory, "sv");
    EXPECT_EQ(back.auto_mode_wait, 99999);
    EXPECT_TRUE(back.has_auto_mode_wait);
}

TEST(EnvDataImage, ShortFilesGiveTheirFieldsDamageIsRefused) {
    std::string good = FormatEnvData(SampleEnv());
    EnvData e;
    ASSERT_TRUE(ParseEnvData(Bytes(good), good.size() - 4, &e));
    EXPECT_FALSE(e.has_auto_mode_wait);
    EXPECT_EQ(e.fields, 13);

    // A file that ends early gives the fields before its end, a field cut
    // short being missing; the others keep their defaults.
    const struct {
        const char* what;
        size_t size;
        int fields;
    } short_cases[] = {
        {"empty", 0, 0},
        {"cut in field 1", 2, 0},
        {"after field 3", 12, 3},
        {"cut in the font", 20, 4},
        {"after the drive", 16 + 14 + 4 + 3, 7},
        {"cut before the folder", good.size() - 7, 12},
        {"cut in the wait", good.size() - 2, 13},
    };
    for (const auto& c : short_cases) {
        e = EnvData();
        ASSERT_TRUE(ParseEnvData(Bytes(good), c.size, &e)) << c.what;
        EXPECT_EQ(e.fields, c.fields) << c.what;
        EXPECT_EQ(e.text_speed, c.fields >= 3 ? 2 : 1) << c.what;
        EXPECT_EQ(e.cd_drive, c.fields >= 7 ? "Q:" : "") << c.what;
        EXPECT_EQ(e.voice_volume, c.fields >= 8 ? 10 : 0) << c.what;
        EXPECT_FALSE(e.has_auto_mode_wait) << c.what;
    }
    EXPECT_STREQ(EnvFieldName(8), "voice volume");

    struct Case {
        const char* what;
        std::string image;
    } cases[] = {
        {"bytes left over", good + "x"},
        {"a bad value in a short file", Le(0) + Le(7)},
        {"text speed 3", Le(0) + Le(1) + Le(3) + good.substr(12)},
        {"volume 101", good.substr(0, 34) + Le(101) + good.substr(38)},
        {"font without its end", Le(0) + Le(1) + Le(1) + Le(0) + std::string(300, 'a')},
        {"text file", "[settings]\nfull=1\n"},
    };
    for (const Case& c : cases) EXPECT_FALSE(ParseEnvData(Bytes(c.image), c.image.size(), &e)) << c.what;
}

TEST(GlobalImage, EachVariableIntThenText) {
    int saved_count = VariableCount, saved_border = GlobalBorder;
    VariableCount = 6;
    GlobalBorder = 3;
    AllocateVariableTables(VariableCount);
    IntVariables[2] = 99;  // local: not in the image
    IntVariables[3] = -2;
    AssignString(&StrVariables[3], "ab");
    IntVariables[5] = 0x01020304;
    std::string image;
    ASSERT_TRUE(FormatGlobalImage(&image));
    EXPECT_EQ(image, Le(-2) + Sz("ab") + Le(0) + Sz("") + Le(0x01020304) + Sz(""));

    GlobalValues v;
    ASSERT_TRUE(ParseGlobalImage(Bytes(image), image.size(), 3, &v));
    EXPECT_EQ(v.ints, (std::vector<int32_t>{-2, 0, 0x01020304}));
    EXPECT_EQ(v.texts[0], "ab");
    // A file of fewer variables (the game had fewer): the rest are 0 and "".
    ASSERT_TRUE(ParseGlobalImage(Bytes(image), 7, 3, &v));
    EXPECT_EQ(v.ints, (std::vector<int32_t>{-2, 0, 0}));
    // Cut inside a variable: all cleared.
    for (size_t cut : {2u, 8u, 10u}) {
        EXPECT_FALSE(ParseGlobalImage(Bytes(image), cut, 3, &v)) << cut;
        EXPECT_EQ(v.ints, (std::vector<int32_t>{0, 0, 0})) << cut;
        EXPECT_EQ(v.texts[0], "") << cut;
    }
    // A file of more variables (the game had more): the ones that fit are
    // read, the rest passed over, unless a record behind them is cut.
    std::string longer = image + Le(1) + Sz("") + Le(9) + Sz("more");
    ASSERT_TRUE(ParseGlobalImage(Bytes(longer), longer.size(), 3, &v));
    EXPECT_EQ(v.ints, (std::vector<int32_t>{-2, 0, 0x01020304}));
    EXPECT_EQ(v.texts[0], "ab");
    for (size_t cut : {2u, 6u, 10u}) {
        EXPECT_FALSE(ParseGlobalImage(Bytes(longer), longer.size() - cut, 3, &v)) << cut;
        EXPECT_EQ(v.ints, (std::vector<int32_t>{0, 0, 0})) << cut;
    }

    // The image stays below its limit: one huge text cannot be saved.
    std::string huge(GlobalImageLimit, 'x');
    AssignString(&StrVariables[4], huge.c_str());
    EXPECT_FALSE(FormatGlobalImage(&image));
    VariableCount = saved_count;
    GlobalBorder = saved_border;
    AllocateVariableTables(VariableCount);
}

TEST(NameLogImage, CountLineThenScrambledQuotedNames) {
    NameLog log;
    AddToNameLog("cg/a.bmp", &log);
    AddToNameLog("CG\\A.BMP", &log);  // the same name
    AddToNameLog("b[1]", &log);        // '[' scrambles to NUL and reads back whole
    EXPECT_EQ(log.names, (std::vector<std::string>{"CG\\A.BMP", "B[1]"}));
    EXPECT_TRUE(FindInNameLog(&log, "cg/A.bmp"));
    EXPECT_FALSE(FindInNameLog(&log, "cg/a.png"));

    std::string want = "2\n\"";
    for (char c : std::string("CG\\A.BMP")) want += (char)(c ^ 0x5B);
    want += "\"\"";
    for (char c : std::string("B[1]")) want += (char)(c ^ 0x5B);
    want += "\"";
    std::string image = FormatNameLog(&log);
    EXPECT_EQ(image, want);

    NameLog back;
    ASSERT_TRUE(ParseNameLog(Bytes(image), image.size(), &back));
    EXPECT_EQ(back.names, log.names);
    EXPECT_TRUE(FindInNameLog(&back, "b[1]"));
}

TEST(NameLogImage, ALogReachingTheLabelLimitIsAFatalError) {
    StartHeadlessForTests();
    int saved = LabelMax;
    LabelMax = 3;
    NameLog log;
    AddToNameLog("a", &log);
    AddToNameLog("b", &log);
    AddToNameLog("b", &log);  // held already: no count
    EXPECT_EQ(FatalBoxOf([&] { AddToNameLog("c", &log); }, true),
              "エラー: ラベル最大数を増やしてください");
    LabelMax = saved;
}

TEST(NameLogImage, DamagedImagesKeepTheNamesBeforeTheDamage) {
    NameLog log;
    AddToNameLog("one", &log);
    AddToNameLog("two", &log);
    std::string good = FormatNameLog(&log);
    struct Case {
        const char* what;
        std::string image;
        size_t kept;
    } cases[] = {
        {"no count", "\"x\"", 0},
        {"negative count", "-1\n", 0},
        {"count above the names", "3" + good.substr(1), 2},
        {"cut inside the second name", good.substr(0, good.size() - 2), 1},
        {"a name without its quote", "1\nabc", 0},
        {"a huge count", "99999999999\n\"\x14\"", 1},
    };
    for (const Case& c : cases) {
        NameLog l;
        EXPECT_FALSE(ParseNameLog(Bytes(c.image), c.image.size(), &l)) << c.what;
        EXPECT_EQ(l.names.size(), c.kept) << c.what;
    }
    // An over-long name is cut to the 511 bytes a name may have.
    std::string big = "1\n\"" + std::string(600, 'a' ^ 0x5B) + "\"";
    NameLog l;
    EXPECT_FALSE(ParseNameLog(Bytes(big), big.size(), &l));
    ASSERT_EQ(l.names.size(), 1u);
    EXPECT_EQ(l.names[0], std::string(NameLogNameMax, 'A'));
}

TEST_F(PersistFiles, ReadFlagsFollowTheScriptLength) {
    int saved = ScriptLength;
    WriteGameFile(dir_, "kidoku.dat", std::string("\x01\x02\x03\x04\x05", 5));
    ScriptLength = 8 * 3 + 5;  // three flag bytes; the last five offsets have none
    InitReadFlags();
    ASSERT_EQ(ReadFlagsSize, 3);
    EXPECT_EQ(std::string((const char*)ReadFlags, 3), "\x01\x02\x03");
    ReadPosition = 0;
    EXPECT_EQ(TestReadFlag(), 1);
    ReadPosition = 9;
    EXPECT_EQ(TestReadFlag(), 1);
    ReadPosition = 8;
    EXPECT_EQ(TestReadFlag(), 0);
    ReadPosition = 26;  // beyond the flags
    EXPECT_EQ(TestReadFlag(), 0);
    ReadFlags[2] |= 0x80;
    EXPECT_TRUE(WriteReadFlags());
    EXPECT_EQ(Read("kidoku.dat"), "\x01\x02\x83");
    // A longer script keeps the old flags and clears the new bytes.
    ScriptLength = 8 * 5;
    InitReadFlags();
    EXPECT_EQ(std::string((const char*)ReadFlags, 5), std::string("\x01\x02\x83\0\0", 5));
    ScriptLength = saved;
    ReadPosition = 0;
}

TEST_F(PersistFiles, SaveFolderHoldsTheReadLog) {
    mkdir((dir_ + "/sv").c_str(), 0755);
    SaveDirectory = "sv";
    int saved = ScriptLength;
    ScriptLength = 16;
    InitReadFlags();
    ReadFlags[0] = 0x11;
    EXPECT_TRUE(WriteReadFlags());
    EXPECT_EQ(Read("sv/kidoku.dat"), std::string("\x11\0", 2));
    ScriptLength = saved;
}

TEST_F(PersistFiles, SafeWriteReplacesWholeAndLeavesNoTemporaryFile) {
    WriteGameFile(dir_, "f.dat", "old");
    EXPECT_TRUE(SafeWriteFile("F.DAT", "new data", 8));  // found case-blind
    EXPECT_EQ(Read("f.dat"), "new data");
    // The same bytes again: the file is left alone (same inode); new bytes
    // replace it.
    struct stat before, after;
    ASSERT_EQ(stat((dir_ + "/f.dat").c_str(), &before), 0);
    EXPECT_TRUE(SafeWriteFileIfChanged("f.dat", "new data", 8));
    ASSERT_EQ(stat((dir_ + "/f.dat").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_TRUE(SafeWriteFileIfChanged("f.dat", "new date", 8));
    EXPECT_EQ(Read("f.dat"), "new date");
    std::string out;
    EXPECT_FALSE(ReadGameFileBytes(dir_, "f.dat.tmp" + std::to_string(getpid()), &out));
}

TEST_F(PersistFiles, UnwritableFileIsReportedOnceAndTheOldFileStays) {
    if (geteuid() == 0) {
        // root writes into read-only folders: a missing folder fails for all.
        SaveDirectory = "no_such_folder";
    } else {
        mkdir((dir_ + "/ro").c_str(), 0755);
        WriteGameFile(dir_, "ro/kidoku.dat", "old");
        chmod((dir_ + "/ro").c_str(), 0555);
        SaveDirectory = "ro";
    }
    int saved = ScriptLength;
    ScriptLength = 16;
    InitReadFlags();
    EXPECT_FALSE(WriteReadFlags());
    EXPECT_FALSE(WriteReadFlags());
    std::vector<std::string> boxes = CapturedBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, boxes[0].find('\n')), "エラー: ファイルを書き込めませんでした。");
    SaveReadFlags();  // at exit: no box
    EXPECT_EQ(CapturedBoxes().size(), 1u);
    if (geteuid() != 0) {
        EXPECT_EQ(Read("ro/kidoku.dat"), "old");
        chmod((dir_ + "/ro").c_str(), 0755);
    }
    ScriptLength = saved;
}

}  // namespace
