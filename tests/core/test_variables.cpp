// Variables, limits and aliases: mov and its numbered forms, intlimit with
// the clamp after every clamping store (and none after the stores that do
// not clamp), the two alias tables and every error of these commands.
#include <climits>
#include <string>

#include "core/aliases.h"
#include "tests/core/flow_fixture.h"

namespace {

class Vars : public FlowTest {};

TEST_F(Vars, MovStoresNumbersAndTexts) {
    IntVariables[3] = 7;
    Run("mov %[1+2] , %3*2+1");  // the number is a term: %[1+2] is %3
    EXPECT_EQ(IntVariables[3], 15);
    EXPECT_EQ(Rest(), "");
    IntVariables[1] = 4;
    Run("mov %%1,2147483647+1:next");  // wraps; the expression ends at ':'
    EXPECT_EQ(IntVariables[4], INT_MIN);
    EXPECT_EQ(Rest(), ":next");
    Run("mov $2,\"ab\"+\"cd\" + $2");
    EXPECT_EQ(Str(2), "abcd");
    Run("mov $%3 , \"日本\"");  // %3 is 15
    EXPECT_EQ(Str(15), "日本");
}

TEST_F(Vars, MovErrors) {
    const struct {
        const char* statement;
        const char* fatal;
    } cases[] = {
        {"mov 5,1", "構文エラー: movの第一引数は数字／文字変数／配列です。"},
        {"mov x,1", "構文エラー: movの第一引数は数字／文字変数／配列です。"},
        {"mov %100,1", "エラー: 変数番号が範囲外をさしています。"},
        {"mov %-1,1", "エラー: 変数番号が範囲外をさしています。"},
        {"mov $100,\"\"", "エラー: 文字列変数番号が範囲外です。"},
        {"mov %0 1", "構文エラー: コンマが必要なところにコンマが有りません。"},
        {"mov $0,1", "構文エラー: 文字列が来るべきところに文字列がありません。"},
        {"mov3 5,1,2,3", "構文エラー: mov3の第一引数は数字変数です。"},
        {"mov4 $0,1,2,3,4", "構文エラー: mov4の第一引数は数字変数です。"},
        {"mov5 ?0,1", "構文エラー: mov5の第一引数は数字変数です。"},
        {"mov6 x", "構文エラー: mov6の第一引数は数字変数です。"},
        {"mov7 x", "構文エラー: mov7の第一引数は数字変数です。"},
        {"mov8 x", "構文エラー: mov8の第一引数は数字変数です。"},
        {"mov9 x", "構文エラー: mov9の第一引数は数字変数です。"},
        {"mov10 x", "構文エラー: mov10の第一引数は数字変数です。"},
        {"mov10 %91,1,2,3,4,5,6,7,8,9,10", "エラー: 変数番号が範囲外をさしています。"},
        {"mov3 %-1,1,2,3", "エラー: 変数番号が範囲外をさしています。"},
        {"mov3 %0,1,2", "構文エラー: コンマが必要なところにコンマが有りません。"},
    };
    for (const auto& c : cases) EXPECT_EQ(Fatal(c.statement), c.fatal) << c.statement;
}

TEST_F(Vars, NumberedMovReadsEachExpressionAfterThePreviousStore) {
    Run("mov3 %0,1,%0+1,%1+1");
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(IntVariables[1], 2);
    EXPECT_EQ(IntVariables[2], 3);
    // Ten targets ending at the last variable (VariableCount is 100 here).
    Run("mov10 %90,0,1,2,3,4,5,6,7,8,9");
    for (int i = 0; i < 10; i++) EXPECT_EQ(IntVariables[90 + i], i);
    for (int k = 3; k <= 10; k++) {
        std::string s = "mov" + std::to_string(k) + " %20";
        for (int i = 0; i < k; i++) s += "," + std::to_string(100 + i);
        IntVariables[20 + k] = -1;
        Run(s + " rest");
        for (int i = 0; i < k; i++) EXPECT_EQ(IntVariables[20 + i], 100 + i) << s;
        EXPECT_EQ(IntVariables[20 + k], -1) << s;  // exactly k stores
        EXPECT_EQ(Rest(), "rest") << s;
    }
}

TEST_F(Vars, LimitsClampEveryVariableAfterAClampingStore) {
    EXPECT_EQ(Story("mov %10,150\nmov %11,%10\nmov %10,-5\nmov %12,%10\n"
                    "mov %13,7\n",
                    "intlimit 10,0,100\nintlimit 13,50,20"),
              "");
    EXPECT_EQ(IntVariables[11], 100);
    EXPECT_EQ(IntVariables[12], 0);
    EXPECT_EQ(IntVariables[13], 50);  // min wins over a smaller max
    // An upper bound of -1 bounds nothing; intlimit itself clamps nothing.
    EXPECT_EQ(Story("mov %10,150", "intlimit 10,0,-1"), "");
    EXPECT_EQ(IntVariables[10], 150);
    SetScriptUtf8("10,0,5");
    IntVariables[10] = 9;
    ExecCommand("intlimit", 1);
    EXPECT_EQ(IntVariables[10], 9);
    Run("mov %0,0");  // a store to any variable clamps them all
    EXPECT_EQ(IntVariables[10], 5);
    // The variable number is a term: %1 names the variable held in %1.
    IntVariables[1] = 12;
    IntVariables[12] = 40;
    SetScriptUtf8("%1,0,30");
    ExecCommand("intlimit", 1);
    Run("mov %2,0");
    EXPECT_EQ(IntVariables[12], 30);
    // Taking a limit off again.
    SetScriptUtf8("12,0,-1");
    ExecCommand("intlimit", 1);
    Run("mov %12,99");
    EXPECT_EQ(IntVariables[12], 99);
    EXPECT_EQ(LimitedVarCount, 2);  // %10 and %13
}

TEST_F(Vars, NumberedMovClampsOnceAfterTheLastStore) {
    SetIntLimit(1, 0, 5);
    Run("mov3 %0,1,10,%1");
    EXPECT_EQ(IntVariables[1], 5);
    EXPECT_EQ(IntVariables[2], 10);  // read before the clamp
}

TEST_F(Vars, StoresWithoutTheClampLeaveVariablesOutOfBounds) {
    // getparam stores without the clamp; the next clamping store to any
    // variable brings it back.
    const std::string define = "defsub mycmd\nintlimit 0,0,5";
    EXPECT_EQ(Story("mycmd 9\ngoto *end\n*mycmd\ngetparam %0\nreturn\n*end", define), "");
    EXPECT_EQ(IntVariables[0], 9);
    EXPECT_EQ(Story("mycmd 9\nmov %1,1\ngoto *end\n*mycmd\ngetparam %0\nreturn\n*end", define), "");
    EXPECT_EQ(IntVariables[0], 5);
    // Array elements are never clamped.
    EXPECT_EQ(Story("mov ?0[0],500\nmov %1,?0[0]\nmov ?0[1],-500", "dim ?0[1]\nintlimit 1,0,100"), "");
    EXPECT_EQ(ArrayVariables[0].data[0], 500);
    EXPECT_EQ(ArrayVariables[0].data[1], -500);
    EXPECT_EQ(IntVariables[1], 100);
}

TEST_F(Vars, IntlimitErrors) {
    EXPECT_EQ(Fatal("intlimit 100,0,1", 1), "エラー: 変数番号が範囲外をさしています。");
    EXPECT_EQ(Fatal("intlimit -1,0,1", 1), "エラー: 変数番号が範囲外をさしています。");
    EXPECT_EQ(Fatal("intlimit 1,0", 1), "構文エラー: コンマが必要なところにコンマが有りません。");
    EXPECT_EQ(Fatal("intlimit 1,0,1", 0), "構文エラー: 不正な命令\"intlimit\"です。");
    EXPECT_EQ(Fatal("numalias a,1", 0), "構文エラー: 不正な命令\"numalias\"です。");
    EXPECT_EQ(Fatal("stralias a,\"\"", 0), "構文エラー: 不正な命令\"stralias\"です。");
}

TEST_F(Vars, AliasesInBothTables) {
    EXPECT_EQ(Story("mov %60,Both*2\nmov $60,both+\"!\"\nmov %61,TEN\nmov %62,fixed",
                    "numalias both,21\nstralias Both,\"text\"\nnumalias Ten,10\n"
                    "mov %70,3\nnumalias fixed,%70*2\nmov %70,4"),
              "");
    EXPECT_EQ(IntVariables[60], 42);
    EXPECT_EQ(Str(60), "text!");
    EXPECT_EQ(IntVariables[61], 10);  // names are lower-cased both ways
    EXPECT_EQ(IntVariables[62], 6);   // the value fixed when defined
    EXPECT_EQ(NumAliasCount, 3);
    EXPECT_EQ(StrAliasCount, 1);
    EXPECT_STREQ(StringText(NumAliasNames[1]), "ten");
    // An alias is no variable: the numeric table does not give texts.
    EXPECT_EQ(Story("mov $60,ten"), "構文エラー: 文字列が来るべきところに文字列がありません。");
}

TEST_F(Vars, AliasErrors) {
    EXPECT_EQ(Story("", "numalias Abc,1\nnumalias ABC,2"), "エラー: 数字エイリアスabcが二重定義されています。");
    EXPECT_EQ(Story("", "stralias x,\"1\"\nstralias x,\"2\""), "エラー: 文字列エイリアスxが二重定義されています。");
    EXPECT_EQ(Story("", "numalias x 1"), "構文エラー: コンマが必要なところにコンマが有りません。");
    EXPECT_EQ(Story("", "numalias self,self"), "構文エラー: 数字がくるべきところに数字がありません。");
    ClearAliasTables();
    for (int i = 0; i < AliasMax; i++) AddNumAlias(("n" + std::to_string(i)).c_str(), i);
    EXPECT_EQ(Fatal("numalias more,1", 1), "エラー: 数字エイリアスが多すぎます。");
    for (int i = 0; i < AliasMax; i++) AddStrAlias(("s" + std::to_string(i)).c_str(), "");
    EXPECT_EQ(Fatal("stralias more,\"\"", 1), "エラー: 文字列エイリアスが多すぎます。");
    ClearAliasTables();
}

}  // namespace
