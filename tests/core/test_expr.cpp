// Integer and string expressions: values, where reading stops, the unary
// minus read as "0 minus", mod with its blank rule, wrap-around, and errors.
#include <climits>
#include <string>

#include "core/aliases.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "tests/core/script_fixture.h"

namespace {

class Expr : public ScriptTest {};

struct ExprCase {
    const char* text;  // the script text (a newline follows)
    int32_t value;
    const char* rest;  // what is left at ReadPosition
};

TEST_F(Expr, ValuesAndStopPositions) {
    const ExprCase cases[] = {
        {"2+3*4", 14, "\n"},
        {"(2+3)*4", 20, "\n"},
        {"8/4/2", 1, "\n"},
        {"8/2*4", 16, "\n"},
        {"100-10-1", 89, "\n"},
        {"2*3+4*5", 26, "\n"},
        {"1+2*3+4", 11, "\n"},
        {"2*3*4", 24, "\n"},
        {"3*(1+2)*2", 18, "\n"},
        {"((2))", 2, "\n"},
        {"7 mod 3", 1, "\n"},
        {"-7 mod 3", -1, "\n"},
        {"-7/2", -3, "\n"},
        {"10/3", 3, "\n"},
        // The unary minus is 0 minus the rest, with subtraction's precedence.
        {"2*-3", -3, "\n"},
        {"2--3", -1, "\n"},
        {"2+-3", -1, "\n"},
        {"-3*2", -6, "\n"},
        {"-(3)", -3, "\n"},
        {"-2147483648", -2147483647, "\n"},
        {"5 MOD 3", 2, "\n"},
        {"5 mOd\t3", 2, "\n"},
        {"7 mod\n4", 3, "\n"},  // the newline behind mod is consumed
        {"5 modx", 5, "modx\n"},
        {"(3)4", 3, "4\n"},
        {"1+2,3", 3, ",3\n"},
        {"1 + 2 :x", 3, ":x\n"},
        {"4 ]", 4, "]\n"},
        {"[1+2]*3", 9, "\n"},
        {"2147483647+1", INT_MIN, "\n"},
        {"0-2147483647-2", INT_MAX, "\n"},
        {"65536*65536", 0, "\n"},
        {"65536*32768", INT_MIN, "\n"},
        {"(-2147483647-1)/(0-1)", INT_MIN, "\n"},  // wraps, no trap
        {"(-2147483647-1) mod (0-1)", 0, "\n"},
        {"%1+%2*2", 7, "\n"},
        {"abc*2", 14, "\n"},
        {"abc", 7, "\n"},
    };
    IntVariables[1] = 1;
    IntVariables[2] = 3;
    AddNumAlias("abc", 7);
    for (const ExprCase& c : cases) {
        SetScript(std::string(c.text) + "\n");
        int32_t v = 0;
        int code = ExitCodeOf([&] { v = ReadIntExpr(); });
        EXPECT_EQ(code, -1000) << c.text << ": " << LastFatal();
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(Rest(), c.rest) << c.text;
    }
}

struct ExprError {
    const char* text;
    const char* fatal;
};

TEST_F(Expr, Errors) {
    const ExprError cases[] = {
        {"+1\n", "エラー: 式が間違っています"},
        {"*1\n", "エラー: 式が間違っています"},
        {"mod 3\n", "エラー: 式が間違っています"},
        {"1+*2\n", "エラー: 式が間違っています"},
        {"2 (3)\n", "エラー: 式のカッコの対応が間違っています"},
        {"(1+2\n", "エラー: 式のカッコの対応が間違っています"},
        {"1+2)\n", "エラー: 式のカッコの対応が間違っています"},
        {"1+\n", "構文エラー: 数字がくるべきところに数字がありません。"},
        {"()\n", "構文エラー: 数字がくるべきところに数字がありません。"},
        // At the end of a text given without a newline (a command run from
        // text) the tokens are converted as they are.
        {"()", "エラー: 式が間違っています"},
        {"1)", "エラー: 式が間違っています"},
        {"1+", "エラー: 式が間違っています"},
        {"1/0\n", "０除算エラー: ０で除算しました。"},
        {"1 mod 0\n", "０除算エラー: ０で剰余演算しました。"},
        {"10/-2\n", "０除算エラー: ０で除算しました。"},  // 10/0-2
        {"7 mod -3\n", "０除算エラー: ０で剰余演算しました。"},
        {"nosuch\n", "構文エラー: 数字がくるべきところに数字がありません。"},
    };
    for (const ExprError& c : cases) {
        SetScript(c.text);
        EXPECT_EQ(FatalOf([] { ReadIntExpr(); }), c.fatal) << c.text;
    }
}

TEST_F(Expr, TrailingMultiplicationWithoutOperandAtTextEnd) {
    // The pending operator is only applied when a number follows it.
    SetScript("1*");
    int32_t v = 0;
    EXPECT_EQ(ExitCodeOf([&] { v = ReadIntExpr(); }), -1000);
    EXPECT_EQ(v, 1);
}

TEST_F(Expr, DeepNestingIsAnErrorNotACrash) {
    std::string deep(5000, '[');
    deep += "1";
    deep += std::string(5000, ']');
    SetScript(deep + "\n");
    EXPECT_EQ(FatalOf([] { ReadIntExpr(); }), "エラー: 式が間違っています");
    std::string vars(5000, '%');
    SetScript(vars + "0\n");
    EXPECT_EQ(FatalOf([] { ReadIntExpr(); }), "エラー: 式が間違っています");
    // Nesting well inside the bound works, also after an error unwound.
    SetScript("[[[[2]]]]*%%%0\n");
    IntVariables[0] = 0;
    EXPECT_EQ(ReadIntExpr(), 0);
}

TEST_F(Expr, LongExpressionsGrowPastTheShortBuffers) {
    std::string text = "1";
    for (int i = 0; i < 500; i++) text += "+(2*3-5)";
    SetScript(text + "\n");
    EXPECT_EQ(ReadIntExpr(), 501);
    EXPECT_EQ(Rest(), "\n");
}

TEST_F(Expr, StringExpressions) {
    AssignString(&StrVariables[0], "ab");
    AssignString(&StrVariables[1], "yz");
    char buf[StrValueSize];
    SetScript("$0 + \"-\" +$1 , next\n");
    ReadStrExpr(buf, sizeof buf);
    EXPECT_STREQ(buf, "ab-yz");
    EXPECT_EQ(Rest(), ", next\n");
    // '-' or any other character ends it.
    SetScript("$0-$1\n");
    ReadStrExpr(buf, sizeof buf);
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(Rest(), "-$1\n");
}

TEST_F(Expr, StringExpressionLengthLimit) {
    char buf[StrValueSize];
    std::string a(5000, 'a');
    SetScript("\"" + a + "\"+\"" + a + "\"\n");
    EXPECT_EQ(FatalOf([&] { ReadStrExpr(buf, sizeof buf); }), "エラー: 文字列が長すぎます。");
    // Exactly 8190 bytes joined is fine.
    std::string b(4095, 'b');
    SetScript("\"" + b + "\"+\"" + b + "\"\n");
    ReadStrExpr(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), b + b);
}

TEST_F(Expr, StringExpressionIntoASmallBufferIsCutAtACharacter) {
    char small[6];
    // "あいう" is six bytes: only two whole characters fit in five.
    SetScript(Cp932("\"あいう\"") + "\n");
    ReadStrExpr(small, sizeof small);
    EXPECT_EQ(Utf8(small), "あい");
    EXPECT_EQ(Rest(), "\n");
}

}  // namespace
