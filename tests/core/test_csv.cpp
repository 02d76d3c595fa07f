// The CSV commands: the exact bytes written in the plain and scrambled
// modes, round trips in all four modes, the field rules of reading (CR, tab
// and space handling, lead bytes, the end-of-file indicator), a mode text
// that keeps the previous flags, CSV files read from an archive, the reset,
// and the error texts.
#include <climits>
#include <string>

#include "archive/archives.h"
#include "archive/ova.h"
#include "core/aliases.h"
#include "core/csv.h"
#include "core/return_value.h"
#include "core/variables.h"
#include "platform/platform.h"
#include "tests/archive/arcpack.h"
#include "tests/core/command_fixture.h"

namespace {

std::string Scramble(std::string s) {
    for (char& c : s) c = (char)(c ^ 0x5B);
    return s;
}

class Csv : public CommandTest {
protected:
    std::string dir;
    void SetUp() override {
        CommandTest::SetUp();
        dir = EnterGameFolder();
        ClearCsvOpenFlag();
        ForgetArchiveState();
    }
    void TearDown() override {
        ResetCsvState();
        ForgetArchiveState();
        CommandTest::TearDown();
    }
    std::string FileBytes(const std::string& name) {
        std::string s;
        EXPECT_TRUE(ReadGameFileBytes(dir, name, &s)) << name;
        return s;
    }
    void Put(const std::string& name, const std::string& bytes) { WriteGameFile(dir, name, bytes); }
};

TEST_F(Csv, WritesRecordsWithoutATrailingLineBreak) {
    IntVariables[0] = -42;
    AssignString(&StrVariables[0], Cp932("全角,テキスト").c_str());
    Run("csvopen \"out.csv\",\"w\"");
    Run("csvwrite 1,\"a\",%0");
    Run("csvwrite $0 , -7+2 ,\"\"");
    Run("csvwrite 2147483647");
    Run("csvclose");
    EXPECT_EQ(FileBytes("out.csv"), "1,a,-42\r\n" + Cp932("全角,テキスト") + ",-5,\r\n2147483647");
    EXPECT_TRUE(CsvFileName.empty());

    // Scrambled: every byte, separators included.
    Run("csvopen \"out.dat\",\"wc\"");
    Run("csvwrite 1,\"a\",%0");
    Run("csvwrite $0");
    Run("csvclose");
    EXPECT_EQ(FileBytes("out.dat"), Scramble("1,a,-42\r\n" + Cp932("全角,テキスト")));
}

TEST_F(Csv, RoundTripsInAllModes) {
    for (const char* mode : {"w", "wc"}) {
        IntVariables[0] = 5;
        Run(std::string("csvopen \"rt.csv\",\"") + mode + "\"");
        for (int i = 0; i < 3; i++) {
            Run("csvwrite 1,\"a\"+\"あ\",%0");
            Run("add %0,10");
        }
        Run("csvclose");
        Run(std::string("csvopen \"rt.csv\",\"") + (mode[1] ? "rc" : "r") + "\"");
        for (int i = 0; i < 3; i++) {
            IntVariables[1] = IntVariables[2] = -1;
            Run("csvread %1,$1,%2");
            EXPECT_EQ(IntVariables[1], 1) << mode;
            EXPECT_EQ(Str(1), "aあ") << mode;
            EXPECT_EQ(IntVariables[2], 5 + 10 * i) << mode;
            Run("csveof %3");
            EXPECT_EQ(IntVariables[3], i == 2 ? 1 : 0) << mode << " record " << i;
        }
        // Past the end: "" and 0.
        Run("csvread $1,%2");
        EXPECT_EQ(Str(1), "");
        EXPECT_EQ(IntVariables[2], 0);
        Run("csvclose");
    }
}

TEST_F(Csv, ScrambledFileReadPlainGivesTheScrambledBytes) {
    Run("csvopen \"s.csv\",\"wc\"");
    Run("csvwrite \"abc\",12");
    Run("csvclose");
    Run("csvopen \"s.csv\",\"r\"");
    Run("csvread $0");
    Run("csveof %0");
    Run("csvclose");
    // No scrambled byte is ',', CR or LF, so it is all one field.
    EXPECT_EQ(Bytes(0), Scramble("abc,12"));
    EXPECT_EQ(IntVariables[0], 1);
}

TEST_F(Csv, AnUnknownModeKeepsThePreviousFlags) {
    Put("plain.csv", "x,1");
    Put("scr.csv", Scramble("y,2"));
    Run("csvopen \"scr.csv\",\"rc\"");
    Run("csvclose");
    Run("csvopen \"scr.csv\",\"x\"");  // reads scrambled
    Run("csvread $0,%0");
    Run("csvclose");
    EXPECT_EQ(Str(0), "y");
    EXPECT_EQ(IntVariables[0], 2);
    Run("csvopen \"new.csv\",\"wc\"");
    Run("csvclose");
    Run("csvopen \"new.csv\",\"R\"");  // modes are exact: writes scrambled
    Run("csvwrite \"q\"");
    Run("csvclose");
    EXPECT_EQ(FileBytes("new.csv"), Scramble("q"));
    EXPECT_TRUE(CsvScrambled && !CsvReading);
}

TEST_F(Csv, FieldRules) {
    // Numbers drop blanks, tabs and CRs; texts drop CRs and keep blanks; a
    // text holding ',' is two fields; a lead byte takes any byte along.
    Put("f.csv", std::string(" 1 2\t,\r-3\r\n a b \r,c,d\r\n\x82\n,9x,,\r\n") + "\x82");
    Run("csvopen \"f.csv\",\"r\"");
    Run("csvread %0,%1,$0");
    EXPECT_EQ(IntVariables[0], 12);
    EXPECT_EQ(IntVariables[1], -3);
    EXPECT_EQ(Bytes(0), " a b ");
    Run("csvread $1,$2");
    EXPECT_EQ(Bytes(1), "c");
    EXPECT_EQ(Bytes(2), "d");
    Run("csvread $3,%2,%3");
    EXPECT_EQ(Bytes(3), "\x82\n");  // the LF was a trail byte
    EXPECT_EQ(IntVariables[2], 9);
    EXPECT_EQ(IntVariables[3], 0);
    Run("csvread $4");  // the empty rest of the record (CR dropped)
    EXPECT_EQ(Bytes(4), "");
    Run("csveof %9");
    EXPECT_EQ(IntVariables[9], 0);
    Run("csvread $4");  // a lead byte at the end of the file
    EXPECT_EQ(Bytes(4), "\x82");
    Run("csveof %9");
    EXPECT_EQ(IntVariables[9], 1);
}

TEST_F(Csv, CsvreadDoesNotAlignToRecords) {
    Put("r.csv", "1,2,3\r\n4,5,6");
    Run("csvopen \"r.csv\",\"r\"");
    Run("csvread %0,%1");
    Run("csvread %2,%3");
    EXPECT_EQ(IntVariables[2], 3);
    EXPECT_EQ(IntVariables[3], 4);
}

TEST_F(Csv, LongTextFields) {
    Put("long.csv", std::string(8190, 'a') + "," + std::string(8191, 'b'));
    Run("csvopen \"long.csv\",\"r\"");
    Run("csvread $0");
    EXPECT_EQ(Bytes(0).size(), 8190u);
    EXPECT_EQ(Fatal("csvread $1"), "エラー: 文字列が長すぎます。");
    ResetCsvState();
    // Values of any length are written whole.
    AssignString(&StrVariables[0], std::string(5000, 'z').c_str());
    Run("csvopen \"longw.csv\",\"w\"");
    Run("csvwrite $0,$0+\"" + std::string(2000, 'y') + "\"");
    Run("csvclose");
    EXPECT_EQ(FileBytes("longw.csv"), std::string(5000, 'z') + "," + std::string(5000, 'z') + std::string(2000, 'y'));
}

TEST_F(Csv, LongNumericFields) {
    // Only the number at the start of a field counts, however long the field
    // is: leading zeros, digits past 32 bits, bytes behind the number, a NUL.
    Put("n.csv", std::string(100000, '0') + "7,12" + std::string(100000, '9') + ",-" +
                     std::string(50, '9') + ",42" + std::string(100000, 'x') + ",5" + std::string(1, '\0') +
                     "6,+ 3,\v\f8,-\v1,--2");
    Run("csvopen \"n.csv\",\"r\"");
    Run("csvread %0,%1,%2,%3,%4,%5,%6,%7,%8");
    const int32_t want[] = {7, INT_MAX, INT_MIN, 42, 5, 3, 8, 0, 0};
    for (int i = 0; i < 9; i++) EXPECT_EQ(IntVariables[i], want[i]) << i;
    Run("csveof %9");
    EXPECT_EQ(IntVariables[9], 1);
}

TEST_F(Csv, CsvwriteValueKinds) {
    AddStrAlias("both", "text");
    AddNumAlias("both", 1);
    AddNumAlias("num", 7);
    AddStrAlias("str", "s");
    Run("csvopen \"k.csv\",\"w\"");
    Run("csvwrite both,num+1,str+\"!\",Num*2,%0+%1");
    Run("csvclose");
    EXPECT_EQ(FileBytes("k.csv"), "text,8,s!,14,0");
}

TEST_F(Csv, ReadingAndEofClampWritingDoesNot) {
    Put("c.csv", "50");
    SetIntLimit(5, 0, 10);
    IntVariables[5] = 20;
    Run("csvopen \"w.csv\",\"w\"");
    Run("csvwrite 1");
    Run("csvclose");
    EXPECT_EQ(IntVariables[5], 20);
    Run("csvopen \"c.csv\",\"r\"");
    Run("csveof %0");
    EXPECT_EQ(IntVariables[5], 10);
    IntVariables[5] = 20;
    ReturnValue = 3;
    Run("csvread %5");
    EXPECT_EQ(IntVariables[5], 10);
    EXPECT_EQ(ReturnValue, 0);
}

TEST_F(Csv, ReadFromAnArchiveAndResetDeletesTheCopy) {
    Put("arc.ova", arcpack::PackOva({{"data\\table.csv", arcpack::Lzss, "7,seven\r\n8,eight"}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    Run("csvopen \"Data\\Table.csv\",\"r\"");
    EXPECT_EQ(CsvFromArchive, 1);
    std::string copy = CsvFileName;
    EXPECT_TRUE(PlatExists(copy.c_str()));
    Run("csvread %0,$0,%1,$1");
    EXPECT_EQ(IntVariables[0], 7);
    EXPECT_EQ(Str(0), "seven");
    EXPECT_EQ(IntVariables[1], 8);
    EXPECT_EQ(Str(1), "eight");
    Run("csvclose");
    EXPECT_FALSE(PlatExists(copy.c_str()));

    Run("csvopen \"data/table.csv\",\"r\"");
    copy = CsvFileName;
    ResetCsvState();
    EXPECT_FALSE(PlatExists(copy.c_str()));
    EXPECT_TRUE(CsvFileName.empty());
    Run("csvopen \"data/table.csv\",\"r\"");  // nothing is open any more
    // A file in the folder wins and is never deleted.
    ResetCsvState();
    Put("data/table.csv", "1");
    Run("csvopen \"data/table.csv\",\"r\"");
    EXPECT_EQ(CsvFromArchive, 0);
    Run("csvclose");
    EXPECT_EQ(FileBytes("data/table.csv"), "1");
}

TEST_F(Csv, NoFileOpen) {
    Run("csvclose");  // nothing to close
    IntVariables[0] = 5;
    Run("csveof %0");
    EXPECT_EQ(IntVariables[0], 0);
    EXPECT_EQ(Fatal("csvread %0"), "エラー: csvファイルを開いていません。");
    EXPECT_EQ(Fatal("csvwrite 1"), "エラー: csvファイルを開いていません。");
}

TEST_F(Csv, Errors) {
    Put("a.csv", "1");
    const char* cases[][2] = {
        {"csvopen \"missing.csv\",\"r\"", "エラー: csvファイルが開けません。"},
        {"csvopen \"nofolder/x.csv\",\"w\"", "エラー: csvファイルが開けません。"},
        {"csvopen \"\",\"r\"", "エラー: csvファイルが開けません。"},
        {"csveof $0", "構文エラー: csveofの第一引数は数字変数です。"},
        {"csveof %100", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (auto& c : cases) {
        EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
        EXPECT_TRUE(CsvFileName.empty()) << c[0];
    }
    Run("csvopen \"a.csv\",\"r\"");
    const char* open_cases[][2] = {
        {"csvopen \"a.csv\",\"r\"", "エラー: CSVファイルを二つ同時に開こうとしました。"},
        {"csvread ?0[0]", "エラー: csvreadの指定が間違っています。"},
        {"csvread %0,1", "エラー: csvreadの指定が間違っています。"},
        {"csvread %100", "エラー: 変数番号が範囲外をさしています。"},
        {"csvread $100", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (auto& c : open_cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
    ResetCsvState();
    Run("csvopen \"b.csv\",\"w\"");
    const char* write_cases[][2] = {
        {"csvwrite ?0[0]", "エラー: csvwriteの指定が間違っています。"},
        {"csvwrite (1)", "エラー: csvwriteの指定が間違っています。"},
        {"csvwrite nosuchalias", "エラー: csvwriteの指定が間違っています。"},
        {"csvwrite 1,", "エラー: csvwriteの指定が間違っています。"},
        {"csvwrite", "エラー: csvwriteの指定が間違っています。"},
        {"csvwrite +1", "エラー: 式が間違っています"},
    };
    for (auto& c : write_cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
}

}  // namespace
