// Whole games that compute tables of values with the arithmetic, string,
// conversion, file, date and system commands and write them with the CSV
// commands; each file is compared byte for byte with the expected one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/game_folder.h"

namespace {

// Runs a story (UTF-8 script text after *start) and returns the bytes of the
// CSV file it wrote.
std::string RunAndRead(const std::string& dir, const std::string& define, const std::string& story,
                       const std::string& csv, RunResult* result = nullptr) {
    WriteScript(dir, "*define\n" + define + "game\n*start\n" + story + "end\n");
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << r.boxes[0];
    if (result) *result = r;
    std::string bytes;
    EXPECT_TRUE(ReadGameFileBytes(dir, csv, &bytes)) << csv;
    return bytes;
}

TEST(CommandRuns, ArithmeticTable) {
    std::string dir = MakeGameFolder();
    std::string csv = RunAndRead(dir, "intlimit 40,0,10\n",
        "csvopen \"arith.csv\",\"w\"\n"
        "for %1=-6 to 6 step 3\n"
        "mov %2,%1:add %2,7\n"
        "mov %3,%1:sub %3,7\n"
        "mov %4,%1:mul %4,-13\n"
        "mov %5,%1:div %5,4\n"
        "mov %6,%1:mod %6,4\n"
        "mov %7,%1*15:sin %8,%7:cos %9,%7:tan %10,%7\n"
        "mov %11,%1:inc %11\n"
        "mov %12,%1:dec %12\n"
        "csvwrite %1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11,%12\n"
        "next\n"
        // wrap-around
        "mov %20,2147483647:add %20,1\n"
        "mov %21,-2147483647:sub %21,2\n"
        "mov %22,65536:mul %22,65536\n"
        "mov %23,-2147483647-1:div %23,-1\n"
        "csvwrite %20,%21,%22,%23\n"
        // random numbers stay in their ranges: every term below adds 0
        "mov %30,0\n"
        "for %31=1 to 300\n"
        "rnd %32,10:div %32,10:add %30,%32\n"
        "rnd2 %32,-3,3:add %32,3:div %32,7:add %30,%32\n"
        "rnd %32,1:add %30,%32\n"
        "rnd2 %32,5,5:sub %32,5:add %30,%32\n"
        "next\n"
        "csvwrite \"random\",%30\n"
        // len stores without the clamp, inc clamps every variable
        "len %40,\"abcdefghijklmnopqrst\"\n"
        "csvwrite %40\n"
        "inc %41\n"
        "csvwrite %40\n"
        "csvclose\n",
        "arith.csv");
    EXPECT_EQ(csv,
              "-6,1,-13,78,-1,-2,-90,-1000,0,2147483647,-5,-7\r\n"
              "-3,4,-10,39,0,-3,-45,-707,707,-1000,-2,-4\r\n"
              "0,7,-7,0,0,0,0,0,1000,0,1,-1\r\n"
              "3,10,-4,-39,0,3,45,707,707,1000,4,2\r\n"
              "6,13,-1,-78,1,2,90,1000,0,-2147483648,7,5\r\n"
              "-2147483648,2147483647,0,-2147483648\r\n"
              "random,0\r\n"
              "20\r\n"
              "10");
}

TEST(CommandRuns, StringTable) {
    std::string dir = MakeGameFolder();
    std::string csv = RunAndRead(dir, "",
        "csvopen \"strings.csv\",\"w\"\n"
        "mov $1,\"あいうえお\"\n"
        "len %1,$1\n"
        "mid $2,$1,2,4\n"
        "mid $3,$1,10,2\n"
        "mid $4,\"abc\",-1,2\n"
        "cmp %2,\"abc\",\"abd\"\n"
        "cmp %3,\"あ\",\"a\"\n"
        "itoa $5,-120\n"
        "itoa2 $6,-120\n"
        "atoi %4,\" 42abc\"\n"
        "atoi %5,\"99999999999\"\n"
        "csvwrite %1,$2,$3,$4,%2,%3,$5,$6,%4,%5\n"
        "split \"a,b,,c\",\",\",$7,$8,$9,$10,$11\n"
        "splitnum \"10\\ソ\\x\",\"\\\",3,%6,$12,$13\n"
        "labelexist %7,*START\n"
        "labelexist %8,*nowhere\n"
        "csvwrite $7,$8,$9,$10,$11,%6,$12,$13,%7,%8\n"
        "csvclose\n",
        "strings.csv");
    EXPECT_EQ(csv, Cp932("10,いう,,,-1,1,-120,－１２０,42,2147483647\r\n"
                         "a,b,,c,,10,ソ,x,1,0"));
}

TEST(CommandRuns, FilesDateAndSystemTable) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "data.txt", "line1\r\nline2");
    WriteGameFile(dir, "gone.txt", "x");
    WriteGameFile(dir, "Setup.ini", Cp932("[Game]\nTitle = 物語\n"));
    setenv("ORVA_LOCALTIME", "2011-12-09 13:05:07", 1);
    RunResult r;
    std::string csv = RunAndRead(dir, "",
        "filecreate \"made.txt\"\n"
        "readfile $1,\"DATA.TXT\"\n"
        "fileremove \"gone.txt\"\n"
        "date %1,%2,%3\n"
        "time %4,%5,%6\n"
        "getini $2,\"setup.ini\",\"game\",\"title\"\n"
        "getreg $3,\"Software\\Maker\",\"Path\"\n"
        "shell \"https://example.org/\"\n"
        "winexec \"tool.exe /x\",1\n"
        "csvopen \"scr.dat\",\"wc\"\n"
        "csvwrite $1,\"全角\",-5\n"
        "csvwrite %1\n"
        "csvclose\n"
        "csvopen \"scr.dat\",\"rc\"\n"
        "csvread $4,$5,$6,%7\n"
        "csveof %8\n"
        "csvread %9\n"
        "csveof %10\n"
        "csvclose\n"
        "csvopen \"files.csv\",\"w\"\n"
        "csvwrite %1,%2,%3,%4,%5,%6,$2,\"[\"+$3+\"]\"\n"
        "csvwrite $4,$5,$6,%7,%8,%9,%10\n"
        "csvclose\n",
        "files.csv", &r);
    unsetenv("ORVA_LOCALTIME");
    EXPECT_EQ(csv, Cp932("11,12,9,13,5,7,物語,[]\r\n"
                         "line1,line2,全角,-5,0,11,1"));
    std::string bytes;
    EXPECT_TRUE(ReadGameFileBytes(dir, "made.txt", &bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ReadGameFileBytes(dir, "gone.txt", &bytes));
    ASSERT_TRUE(ReadGameFileBytes(dir, "scr.dat", &bytes));
    std::string plain = "line1\r\nline2," + Cp932("全角") + ",-5\r\n11";
    for (char& c : plain) c = (char)(c ^ 0x5B);
    EXPECT_EQ(bytes, plain);
    EXPECT_NE(r.err.find("orva: headless, not started: open https://example.org/"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("orva: headless, not started: run tool /x"), std::string::npos) << r.err;
}

TEST(CommandRuns, ErrorBoxesNameTheCommand) {
    struct Case {
        const char* statement;
        const char* box;  // "caption: message"
    } cases[] = {
        {"div %0,0", "０除算エラー: ０で除算しました。"},
        {"add 1,1", "構文エラー: addの第一引数は数字／文字変数です。"},
        {"csvread %0", "エラー: csvファイルを開いていません。"},
        {"date %0,$1,%2", "構文エラー: dateの第ニ引数は数字変数です。"},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\ngame\n*start\n") + c.statement + "\nend\n");
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 1) << r.err;  // a fatal error is a failed run
        ASSERT_EQ(r.boxes.size(), 1u) << r.err;
        EXPECT_EQ(r.boxes[0].substr(0, r.boxes[0].find("\\n")), c.box) << c.statement;
    }
}

}  // namespace
