// Tests of the archive commands, run on script text at ReadPosition.
#include <cstring>

#include "archive/archive_commands.h"
#include "archive/extract.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/script.h"
#include "core/variables.h"
#include "tests/archive/archive_fixture.h"

class Commands : public ArchiveTest {
protected:
    std::string script;

    void SetUp() override {
        ArchiveTest::SetUp();
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
    }
    void TearDown() override {
        ForgetScriptText();  // the text goes with the fixture
        ArchiveTest::TearDown();
    }
    // Places `text` as the script and the read position at its start.
    void At(const std::string& utf8) { UseScriptText(&script, Cp932(utf8)); }
};

TEST_F(Commands, SwitchesAndPrefixes) {
    Cmd_ova();
    EXPECT_EQ(OvaMode, 1);
    EXPECT_EQ(OvaPrefixBytes(), 0);
    Cmd_ov2();
    EXPECT_EQ(OvaSkipOne, 1);
    EXPECT_EQ(OvaPrefixBytes(), 1);
    Cmd_ov3();
    EXPECT_EQ(OvaSkipTwo, 1);
    EXPECT_EQ(OvaPrefixBytes(), 3);
}

TEST_F(Commands, Folders) {
    At("\"data\\arcs\"\n");
    Cmd_ovadir();
    EXPECT_STREQ(OvaDir, "data\\arcs");
    EXPECT_EQ(script[ReadPosition], '\n');
    At("\"more\"\n");
    Cmd_addovadir();
    EXPECT_STREQ(AddOvaDir, "more");
    At("\"" + std::string(255, 'd') + "\"\n");
    Cmd_ovadir();
    EXPECT_EQ(strlen(OvaDir), 255u);
    At("\"" + std::string(256, 'd') + "\"\n");
    EXPECT_NE(FatalText([] { Cmd_ovadir(); }).find("エラー: ディレクトリが長すぎます。"), std::string::npos);
    At("\"" + std::string(256, 'd') + "\"\n");
    EXPECT_NE(FatalText([] { Cmd_addovadir(); }).find("エラー: ディレクトリ名が長すぎます"), std::string::npos);
    EXPECT_STREQ(AddOvaDir, "more");
    // The start-up pass forgets OvaDir but not the added folder.
    ResetArchiveSettings();
    EXPECT_STREQ(OvaDir, "");
    EXPECT_STREQ(AddOvaDir, "more");
}

TEST_F(Commands, Arc) {
    At("\"Data.PAK|Plug\\Reader.DLL\"\n");
    Cmd_arc();
    ASSERT_EQ(ArcArchiveCount, 1);
    EXPECT_EQ(ArcArchives[0], "data.pak|plug\\reader.dll");
    for (int i = 1; i < ArcArchiveMax; i++) {
        At("\"a|b\"\n");
        Cmd_arc();
    }
    At("\"a|b\"\n");
    EXPECT_NE(FatalText([] { Cmd_arc(); }).find("エラー: SPI設定が多すぎます。"), std::string::npos);
}

TEST_F(Commands, FileExist) {
    Write("here.txt", "x");
    Write("00.ov2", arcpack::PackOv2({{"in\\ov2.txt", "x"}}));
    Write("arc.ova", arcpack::PackOva({{"in\\ova.txt", arcpack::Stored, "x"}}));
    Write("pack.arc", arcpack::PackArc({{"in\\arc.txt", "x"}}));
    AddArcArchive("pack.arc|zelunarc.dll");
    struct Case {
        const char* name;
        int ova_mode;
        int want;
    } cases[] = {
        {"here.txt", 0, 1}, {"HERE.TXT", 0, 1}, {"in/ov2.txt", 0, 1}, {"in/ova.txt", 0, 0},
        {"in/ova.txt", 1, 1}, {"in/arc.txt", 1, 0}, {"none.txt", 1, 0},
    };
    LoadArchiveIndexes();
    for (const Case& c : cases) {
        OvaMode = c.ova_mode;
        IntVariables[7] = -5;
        At(std::string("%7, \"") + c.name + "\"\n");
        Cmd_fileexist();
        EXPECT_EQ(IntVariables[7], c.want) << c.name;
        EXPECT_EQ(script[ReadPosition], '\n');
    }
    At("$7, \"here.txt\"\n");
    EXPECT_NE(FatalText([] { Cmd_fileexist(); }).find("エラー: fileexistの第一引数は数字変数です。"),
              std::string::npos);
    At("%100, \"here.txt\"\n");
    EXPECT_NE(FatalText([] { Cmd_fileexist(); }).find("エラー: 変数番号が範囲外をさしています。"),
              std::string::npos);
}
