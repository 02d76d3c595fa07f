// The arithmetic commands: wrapping 32-bit results, division and modulo with
// their zero errors, the random generator's sequence, the scaled
// trigonometry, the intlimit clamp after each numeric store, appending to a
// string variable, and the wrong-operand errors.
#include <climits>
#include <string>

#include "core/arith_commands.h"
#include "core/random.h"
#include "core/variables.h"
#include "tests/core/command_fixture.h"

namespace {

class Arith : public CommandTest {};

struct IntCase {
    const char* statement;
    int32_t before;  // %0 before
    int32_t after;   // %0 after
};

TEST_F(Arith, IntegerResultsWrapAndTruncate) {
    const IntCase cases[] = {
        {"add %0,5", 2, 7},
        {"add %0,1", INT_MAX, INT_MIN},
        {"add %0,-3+1", 10, 8},
        {"sub %0,1", INT_MIN, INT_MAX},
        {"sub %0,%0", 5, 0},
        {"inc %0", INT_MAX, INT_MIN},
        {"dec %0", INT_MIN, INT_MAX},
        {"inc %0", -1, 0},
        {"mul %0,65536", 65536, 0},
        {"mul %0,-1", INT_MIN, INT_MIN},
        {"mul %0,-3", 7, -21},
        {"div %0,2", -7, -3},
        {"div %0,-2", 7, -3},
        {"div %0,-1", INT_MIN, INT_MIN},
        {"mod %0,2", -7, -1},
        {"mod %0,-2", 7, 1},
        {"mod %0,-1", INT_MIN, 0},
        {"mod %0,10", 12345, 5},
    };
    for (const IntCase& c : cases) {
        IntVariables[0] = c.before;
        Run(c.statement);
        EXPECT_EQ(IntVariables[0], c.after) << c.statement << " from " << c.before;
    }
}

TEST_F(Arith, TargetsAreVariableNumbersAsTerms) {
    IntVariables[1] = 3;
    IntVariables[3] = 10;
    Run("add %%1 , 5");
    EXPECT_EQ(IntVariables[3], 15);
    Run("inc   %[1+2]");
    EXPECT_EQ(IntVariables[3], 16);
}

TEST_F(Arith, DivisionByZeroStoresNothing) {
    const char* cases[][2] = {
        {"div %0,0", "０除算エラー: ０で除算しました。"},
        {"div %0,%1-%1", "０除算エラー: ０で除算しました。"},
        {"mod %0,0", "０除算エラー: ０で剰余演算しました。"},
        {"rnd %0,0", "０除算エラー: ０で剰余演算しました。"},
        {"rnd2 %0,5,4", "０除算エラー: ０で剰余演算しました。"},
        {"rnd2 %0,-2147483647-1,2147483647", "０除算エラー: ０で剰余演算しました。"},
    };
    for (auto& c : cases) {
        IntVariables[0] = 77;
        SeedRandom(5);
        EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
        EXPECT_EQ(IntVariables[0], 77) << c[0];
        EXPECT_EQ(RandomState, 5u) << c[0];  // no random number taken
    }
}

// Values worked out by hand from state := state * 214013 + 2531011 (mod 2^32)
// and R := (state >> 16) & 0x7FFF, seeded with 12345: the first R are 7584
// (mod 100 = 84), 19164 (-5 + 19164 mod 11 = -3), 25795 (mod -7 = 0), ...
TEST_F(Arith, RandomNumbersFollowTheGenerator) {
    SeedRandom(12345);
    const int32_t want[][3] = {
        // rnd %0,100   rnd2 %1,-5,5   rnd %2,-7
        {84, -3, 0}, {25, 4, 4}, {77, -4, 1}, {4, 5, 2}, {43, 2, 0}, {76, 5, 3},
    };
    for (const auto& w : want) {
        Run("rnd %0,100");
        EXPECT_EQ(IntVariables[0], w[0]);
        Run("rnd2 %1,-5,5");
        EXPECT_EQ(IntVariables[1], w[1]);
        Run("rnd %2,-7");  // the remainder of a value >= 0
        EXPECT_EQ(IntVariables[2], w[2]);
    }
    SeedRandom(0);
    EXPECT_EQ(NextRandom(), 38);  // (2531011 >> 16) & 0x7FFF
    for (int i = 0; i < 20; i++) {
        Run("rnd %0,1");
        EXPECT_EQ(IntVariables[0], 0);
        Run("rnd2 %0,5,5");
        EXPECT_EQ(IntVariables[0], 5);
        Run("rnd2 %0,2147483646,2147483647");
        EXPECT_GE(IntVariables[0], 2147483646);
    }
}

TEST_F(Arith, TrigonometryTimesAThousand) {
    struct Case {
        const char* fn;
        int deg;
        int32_t want;
    } cases[] = {
        {"sin", 30, 500},    {"sin", -30, -500},  {"sin", 45, 707},    {"sin", 90, 1000},
        {"sin", 210, -500},  {"sin", 1000, -985}, {"sin", 0, 0},       {"cos", 60, 500},
        {"cos", 90, 0},      {"cos", 180, -1000}, {"cos", 0, 1000},    {"tan", 45, 1000},
        {"tan", 60, 1732},   {"tan", 135, -1000}, {"tan", -1000, 5671}, {"tan", 0, 0},
        // Past the pole the value leaves 32 bits: it saturates.
        {"tan", 90, INT_MIN}, {"tan", -90, INT_MAX}, {"tan", 270, INT_MIN},
    };
    for (const Case& c : cases) {
        std::string st = std::string(c.fn) + " %0," + std::to_string(c.deg);
        Run(st);
        EXPECT_EQ(IntVariables[0], c.want) << st;
    }
    EXPECT_EQ(ScaleTrigValue(0.0005), 1);    // halves away from zero
    EXPECT_EQ(ScaleTrigValue(-0.0005), -1);
    EXPECT_EQ(ScaleTrigValue(0.0004999), 0);
    EXPECT_EQ(ScaleTrigValue(-1e300), INT_MIN);
}

TEST_F(Arith, EveryNumericStoreClampsAllVariables) {
    const char* statements[] = {
        "add %0,1", "sub %0,1", "inc %0", "dec %0", "mul %0,1", "div %0,1", "mod %0,1",
        "rnd %0,1", "rnd2 %0,1,1", "sin %0,0", "cos %0,0", "tan %0,0",
    };
    for (const char* st : statements) {
        SetIntLimit(5, 0, 10);
        IntVariables[5] = 20;
        IntVariables[0] = 3;
        Run(st);
        EXPECT_EQ(IntVariables[5], 10) << st;
    }
    SetIntLimit(0, 0, 10);
    IntVariables[0] = 9;
    Run("add %0,5");
    EXPECT_EQ(IntVariables[0], 10);
    Run("sub %0,50");
    EXPECT_EQ(IntVariables[0], 0);
    // Appending to a string variable is no numeric store.
    IntVariables[5] = 20;
    Run("add $0,\"x\"");
    EXPECT_EQ(IntVariables[5], 20);
}

TEST_F(Arith, AddAppendsToAStringVariable) {
    AssignString(&StrVariables[2], Cp932("あい").c_str());
    Run("add $2,\"う\"+$2");
    EXPECT_EQ(Str(2), "あいうあい");
    // The sum may hold at most 8189 bytes.
    std::string big(8000, 'a');
    AssignString(&StrVariables[3], big.c_str());
    Run("add $3,\"" + std::string(189, 'b') + "\"");
    EXPECT_EQ(Bytes(3).size(), 8189u);
    AssignString(&StrVariables[3], big.c_str());
    EXPECT_EQ(Fatal("add $3,\"" + std::string(190, 'b') + "\""),
              "エラー: 足し合わせた結果の文字列が長すぎます。");
    EXPECT_EQ(Bytes(3), big);
}

TEST_F(Arith, WrongOperands) {
    const char* cases[][2] = {
        {"add 5,1", "構文エラー: addの第一引数は数字／文字変数です。"},
        {"add ?0[0],1", "構文エラー: addの第一引数は数字／文字変数です。"},
        {"sub $0,1", "構文エラー: subの第一引数は数字変数です。"},
        {"inc $0", "構文エラー: incの引数は数字変数です。"},
        {"dec 1", "構文エラー: decの引数は数字変数です。"},
        {"mul $0,1", "構文エラー: mulの第一引数は数字変数です。"},
        {"div $0,1", "構文エラー: divの第一引数は数字変数です。"},
        {"mod $0,1", "構文エラー: modの第一引数は数字変数です。"},
        {"rnd $0,1", "構文エラー: rndの第一引数は数字変数です。"},
        {"rnd2 $0,1,2", "構文エラー: rnd2の第一引数は数字変数です。"},
        {"sin $0,1", "構文エラー: sinの第一引数は数字変数です。"},
        {"cos $0,1", "構文エラー: cosの第一引数は数字変数です。"},
        {"tan $0,1", "構文エラー: tanの第一引数は数字変数です。"},
        {"add %100,1", "エラー: 変数番号が範囲外をさしています。"},
        {"inc %-1", "エラー: 変数番号が範囲外をさしています。"},
        {"add $100,\"a\"", "エラー: 文字列変数番号が範囲外です。"},
        {"add %0 1", "構文エラー: コンマが必要なところにコンマが有りません。"},
    };
    for (auto& c : cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
}

}  // namespace
