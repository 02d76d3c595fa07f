// The string and conversion commands: byte lengths and offsets over
// Shift-JIS, unsigned comparison, half- and full-width number texts, atoi's
// saturation, split with its lead-byte rule, labelexist, the stores that do
// not clamp, and the wrong-operand errors.
#include <climits>
#include <string>

#include "core/aliases.h"
#include "core/labels.h"
#include "core/string_commands.h"
#include "core/variables.h"
#include "save/namelog.h"
#include "tests/core/command_fixture.h"

namespace {

class Strings : public CommandTest {};

TEST_F(Strings, LenCountsBytes) {
    const char* cases[][2] = {{"\"\"", "0"}, {"\"abc\"", "3"}, {"\"ああ\"", "4"}, {"\"aあ\"+\"b\"", "4"}};
    for (auto& c : cases) {
        Run(std::string("len %0,") + c[0]);
        EXPECT_EQ(std::to_string(IntVariables[0]), c[1]) << c[0];
    }
}

TEST_F(Strings, MidCutsBytes) {
    struct Case {
        const char* text;
        int start, length;
        std::string want;  // CP932 bytes
    } cases[] = {
        {"あいう", 2, 2, Cp932("い")},
        {"あいう", 0, 100, Cp932("あいう")},
        {"あいう", 1, 2, Cp932("あい").substr(1, 2)},  // a character cut in half
        {"abc", 3, 1, ""},
        {"abc", 4, 1, ""},
        {"abc", 1, 0, ""},
        {"abc", 1, 1, "b"},
        {"abc", 0, 3, "abc"},
        {"abc", -1, 2, ""},  // a negative start reads nothing before the text
        {"abc", 1, -1, ""},
        {"abc", INT_MIN, 2, ""},
        {"abc", 2, INT_MAX, "c"},
    };
    for (const Case& c : cases) {
        std::string st = std::string("mid $1,\"") + c.text + "\"," + std::to_string(c.start) + "," +
                         std::to_string(c.length);
        if (c.start == INT_MIN) st = std::string("mid $1,\"") + c.text + "\",-2147483647-1,2";
        AssignString(&StrVariables[1], "old");
        Run(st);
        EXPECT_EQ(Bytes(1), c.want) << st;
    }
}

TEST_F(Strings, CmpComparesUnsignedBytes) {
    const char* cases[][2] = {
        {"\"a\",\"b\"", "-1"}, {"\"b\",\"a\"", "1"}, {"\"abc\",\"abc\"", "0"},
        {"\"ab\",\"abc\"", "-1"}, {"\"\",\"\"", "0"}, {"\"あ\",\"z\"", "1"},  // 0x82 > 'z'
    };
    for (auto& c : cases) {
        Run(std::string("cmp %0,") + c[0]);
        EXPECT_EQ(std::to_string(IntVariables[0]), c[1]) << c[0];
    }
}

TEST_F(Strings, NumberTexts) {
    Run("itoa $0,-120");
    EXPECT_EQ(Str(0), "-120");
    Run("itoa $0,0-2147483647-1");
    EXPECT_EQ(Str(0), "-2147483648");
    Run("itoa2 $0,-120");
    EXPECT_EQ(Bytes(0), "\x81\x7c\x82\x50\x82\x51\x82\x4f");
    Run("itoa2 $0,2147483647");
    EXPECT_EQ(Str(0), "２１４７４８３６４７");
    Run("itoa2 $0,0");
    EXPECT_EQ(Str(0), "０");
}

TEST_F(Strings, AtoiReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        int32_t want;
    } cases[] = {
        {" 42abc", 42},          {"abc", 0},
        {"", 0},                 {"-17", -17},
        {"+8", 8},               {"\t 5", 5},
        {"- 5", 0},              {"2147483647", INT_MAX},
        {"2147483648", INT_MAX}, {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN}, {"-99999999999999999999", INT_MIN},
        {"007", 7},              {"１２", 0},
    };
    for (const Case& c : cases) {
        Run(std::string("atoi %0,\"") + c.text + "\"");
        EXPECT_EQ(IntVariables[0], c.want) << c.text;
        EXPECT_EQ(ParseLeadingInt(Cp932(c.text).c_str()), c.want) << c.text;
    }
}

TEST_F(Strings, SplitFillsTheTargetsInOrder) {
    for (int i = 0; i < 5; i++) AssignString(&StrVariables[i], "old");
    Run("split \"a,b,,c\",\",\",$0,$1,$2,$3,$4");
    EXPECT_EQ(Str(0) + "|" + Str(1) + "|" + Str(2) + "|" + Str(3) + "|" + Str(4), "a|b||c|");

    IntVariables[3] = 99;
    Run("split \"12/-3/x7\", \"/\" , %0 , %1,%2,%3");
    EXPECT_EQ(IntVariables[0], 12);
    EXPECT_EQ(IntVariables[1], -3);
    EXPECT_EQ(IntVariables[2], 0);
    EXPECT_EQ(IntVariables[3], 0);

    // Text after the last target is dropped; the variable numbers are terms.
    IntVariables[9] = 7;
    Run("split \"a b c\",\" \",$%9,%%9");
    EXPECT_EQ(Str(7), "a");
    EXPECT_EQ(IntVariables[7], 0);

    // A lead byte takes its trail byte along: ソ is 83 5C, and 5C is '\'.
    Run("split \"ソ\\b\\\",\"\\\",$0,$1,$2");
    EXPECT_EQ(Str(0) + "|" + Str(1) + "|" + Str(2), "ソ|b|");
    // So is ー (81 5B) for the delimiter '['.
    Run("split \"ー[x\",\"[\",$0,$1");
    EXPECT_EQ(Str(0) + "|" + Str(1), "ー|x");

    Run("splitnum \"1:2:3\",\":\",2+1,%0,%1,$2");
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(IntVariables[1], 2);
    EXPECT_EQ(Str(2), "3");
}

TEST_F(Strings, LabelexistLooksWithoutLogging) {
    SetScript("*Alpha\n*beta\n");
    ScanLabels();
    const char* cases[][2] = {
        {"labelexist %0,*alpha", "1"}, {"labelexist %0,*ALPHA", "1"}, {"labelexist %0,*beta", "1"},
        {"labelexist %0,*gamma", "0"}, {"labelexist %0,\"*Beta\"", "1"},
        {"labelexist %0,\"*\"+\"gamma\"", "0"},
    };
    for (auto& c : cases) {
        // Run() replaces the script; the label table stays.
        IntVariables[0] = -5;
        Run(c[0]);
        EXPECT_EQ(std::to_string(IntVariables[0]), c[1]) << c[0];
    }
    EXPECT_FALSE(FindInNameLog(&LabelLog, "alpha"));
}

TEST_F(Strings, TheseStoresDoNotClamp) {
    const char* statements[] = {
        "len %0,\"abcdefghijklmnopqrstuvwxyz\"", "cmp %0,\"b\",\"a\"", "atoi %0,\"99\"",
        "split \"99\",\",\",%0", "splitnum \"99\",\",\",0,%0", "labelexist %0,*nowhere",
        "mid $0,\"abc\",0,1", "itoa $0,5", "itoa2 $0,5",
    };
    for (const char* st : statements) {
        SetIntLimit(5, 0, 10);
        IntVariables[5] = 20;
        Run(st);
        EXPECT_EQ(IntVariables[5], 20) << st;
    }
    SetIntLimit(0, 0, 10);
    Run("len %0,\"" + std::string(20, 'x') + "\"");
    EXPECT_EQ(IntVariables[0], 20);
}

TEST_F(Strings, SigilPlacement) {
    // itoa, itoa2 and atoi want the sigil right at the read position; the
    // others skip blanks first.
    SetScript("  $0,5");
    EXPECT_EQ(FatalOf([] { ExecCommand("itoa", 0); }), "構文エラー: itoaの第一引数は文字変数です。");
    SetScript("  $0,5");
    EXPECT_EQ(FatalOf([] { ExecCommand("itoa2", 0); }), "構文エラー: itoa2の第一引数は文字変数です。");
    SetScript("  %0,\"5\"");
    EXPECT_EQ(FatalOf([] { ExecCommand("atoi", 0); }), "構文エラー: atoiの第一引数は数字変数です。");
    SetScript("  %0,\"abc\"");
    ExecCommand("len", 0);
    EXPECT_EQ(IntVariables[0], 3);
}

TEST_F(Strings, WrongOperands) {
    const char* cases[][2] = {
        {"len $0,\"a\"", "構文エラー: lenの第一引数は数字変数です。"},
        {"mid %0,\"a\",0,1", "構文エラー: midの第一引数は文字変数です。"},
        {"cmp $0,\"a\",\"b\"", "構文エラー: cmpの第一引数は数字変数です。"},
        {"itoa %0,1", "構文エラー: itoaの第一引数は文字変数です。"},
        {"itoa2 %0,1", "構文エラー: itoa2の第一引数は文字変数です。"},
        {"atoi $0,\"1\"", "構文エラー: atoiの第一引数は数字変数です。"},
        {"labelexist $0,*a", "エラー: labelexistの第一引数は数字変数です。"},
        {"split \"a,b\",\",,\",$0", "エラー: splitの分割文字は一文字です"},
        {"split \"a,b\",\"\",$0", "エラー: splitの分割文字は一文字です"},
        {"splitnum \"a,b\",\"ab\",1,$0", "エラー: splitの分割文字は一文字です"},
        {"split \"a,b\",\"、\",$0", "エラー: splitの分割文字は一文字です"},
        {"split \"a,b\",\",\",$0,?0[0]", "エラー: splitに指定できるのは数字変数か文字変数です（配列は現在のところ不可）"},
        {"split \"a,b\",\",\",x", "エラー: splitに指定できるのは数字変数か文字変数です（配列は現在のところ不可）"},
        {"split \"a\",\",\",$100", "エラー: 変数番号が範囲外をさしています。"},  // both kinds
        {"split \"a\",\",\",%100", "エラー: 変数番号が範囲外をさしています。"},
        {"len %100,\"\"", "エラー: 変数番号が範囲外をさしています。"},
        {"mid $100,\"\",0,0", "エラー: 文字列変数番号が範囲外です。"},
        {"itoa $100,1", "エラー: 文字列変数番号が範囲外です。"},
    };
    for (auto& c : cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
}

}  // namespace
