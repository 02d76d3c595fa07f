// User-defined commands and text tags: defsub, getparam and getparam2 with
// numbers, texts, labels and variable references read from the caller's
// text, the rewritten return position, unconsumed arguments running as
// script text, gettag, and the checks of the call frame they read.
#include <cstring>
#include <string>

#include "text/textline.h"
#include "tests/core/flow_fixture.h"

namespace {

class Params : public FlowTest {
protected:
    // A story calling the user-defined command mycmd, whose routine is
    // `routine` followed by return.
    std::string Call(const std::string& call, const std::string& routine) {
        return Story(call + "\ngoto *end\n*mycmd\n" + routine + "\nreturn\n*end", "defsub mycmd");
    }
};

TEST_F(Params, GetparamReadsNumbersTextsAndReferences) {
    EXPECT_EQ(Call("mycmd 5*2, \"ab\"+$9 , *Lbl,%7 ,$8:mov %3,1", "getparam %0,$0,$1,i%1,s%2"), "");
    EXPECT_EQ(IntVariables[0], 10);
    EXPECT_EQ(Str(0), "ab");
    EXPECT_EQ(Str(1), "*lbl");  // a label operand keeps its '*'
    EXPECT_EQ(IntVariables[1], 7);  // the variable's number, not its value
    EXPECT_EQ(IntVariables[2], 8);
    EXPECT_EQ(IntVariables[3], 1);  // return went on behind the arguments
    EXPECT_EQ(CallStackDepth, 0);
    // Variable numbers on both sides are terms.
    EXPECT_EQ(Call("mov %5,20:mycmd %%5+1", "mov %6,4:getparam %%6"), "");
    EXPECT_EQ(IntVariables[4], 1);  // %6 is 4; %%5 is %20, 0
}

TEST_F(Params, UnconsumedArgumentsRunAsScriptText) {
    EXPECT_EQ(Call("mycmd mov %3,9", "mov %4,1"), "");
    EXPECT_EQ(IntVariables[3], 9);
    EXPECT_EQ(IntVariables[4], 1);
    // Only the first argument consumed: the rest of the line is a text line.
    EXPECT_EQ(Call("mycmd 1,2:mov %5,3", "getparam %0"), "");
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(IntVariables[5], 0);
    EXPECT_EQ(Call("mycmd 1:mov %5,3", "getparam %0"), "");
    EXPECT_EQ(IntVariables[5], 3);
}

TEST_F(Params, Getparam2TakesBlanksAndMissingArguments) {
    EXPECT_EQ(Call("mycmd 1 2, \"x\" 4", "getparam2 %0,%1,$0,%2,%3,$1"), "");
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(IntVariables[1], 2);
    EXPECT_EQ(Str(0), "x");
    EXPECT_EQ(IntVariables[2], 4);
    EXPECT_EQ(IntVariables[3], 0);
    EXPECT_EQ(Str(1), "");
    EXPECT_EQ(Call("mov %1,7:mycmd 5", "getparam2 %0,%1"), "");
    EXPECT_EQ(IntVariables[0], 5);
    EXPECT_EQ(IntVariables[1], 0);
    // getparam wants the commas.
    EXPECT_EQ(Call("mycmd 1 2", "getparam %0,%1"), "構文エラー: コンマが必要なところにコンマが有りません。");
    // References may not be missing.
    EXPECT_EQ(Call("mycmd 5", "getparam2 %0,i%1"), "エラー: 数字変数があるべきところで数字変数がありません");
}

TEST_F(Params, OperandErrors) {
    const struct {
        const char* call;
        const char* routine;
        const char* fatal;
    } cases[] = {
        {"mycmd 5", "getparam i%0", "エラー: 数字変数があるべきところで数字変数がありません"},
        {"mycmd %5", "getparam s%0", "エラー: 文字変数があるべきところで数字変数がありません"},
        {"mycmd 5", "getparam x%0", "エラー: getparam指定が間違っています。"},
        {"mycmd 5", "getparam i$0", "エラー: getparam指定が間違っています。"},
        {"mycmd 5", "getparam 5", "エラー: getparam指定が間違っています。"},
        {"mycmd 5", "getparam2 ?0", "エラー: getparam2指定が間違っています。"},
        {"mycmd 5", "getparam %100", "エラー: 変数番号が範囲外をさしています。"},
        {"mycmd \"\"", "getparam $100", "エラー: 文字列変数番号が範囲外です。"},
        {"mycmd 5", "getparam2 i%-1", "エラー: 変数番号が範囲外をさしています。"},
        {"mycmd 5", "for %9=1 to 2\ngetparam %0", "スタックエラー: getparamとgosub文が正しく対応していません。"},
        {"mycmd 5", "for %9=1 to 2\ngetparam2 %0", "スタックエラー: getparam2とgosub文が正しく対応していません。"},
        {"mycmd 5", "for %9=1 to 2\ngettag %0", "スタックエラー: gettagとgosub文が正しく対応していません。"},
    };
    for (const auto& c : cases) EXPECT_EQ(Call(c.call, c.routine), c.fatal) << c.routine;
    // No call at all.
    EXPECT_EQ(Story("getparam %0"), "スタックエラー: getparamとgosub文が正しく対応していません。");
    EXPECT_EQ(Story("getparam2 %0"), "スタックエラー: getparam2とgosub文が正しく対応していません。");
    EXPECT_EQ(Story("gettag %0"), "スタックエラー: gettagとgosub文が正しく対応していません。");
    // A call position outside the script.
    SetScriptUtf8("getparam %0\n");
    CallStack[0] = 100000;
    CallStackDepth = 1;
    EXPECT_EQ(Fatal("getparam %0"), "スタックエラー: スタックの内容が正しくありません。");
}

TEST_F(Params, Defsub) {
    // Names are lower-cased; the command word may be written in any case.
    EXPECT_EQ(Story("MyCmd:mov %1,1\ngoto *e\n*mycmd\nmov %2,1\nreturn\n*e", "defsub MYCMD"), "");
    EXPECT_EQ(IntVariables[1], 1);
    EXPECT_EQ(IntVariables[2], 1);
    EXPECT_EQ(Story("", "defsub _x"), "エラー: defsubサブルーチンの一文字目に_は使えません。");
    EXPECT_EQ(Story("defsub x"), "構文エラー: 不正な命令\"defsub\"です。");
    // A defsub may shadow a built-in command; _name still reaches it.
    EXPECT_EQ(Story("mov %1,5\n_mov %2,6\ngoto *e\n*mov\n_mov %3,%3+1\nreturn\n*e", "defsub mov"), "");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(IntVariables[2], 6);
    EXPECT_EQ(IntVariables[3], 1);
}

class Tags : public FlowTest {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        TagModeOn = 1;
        strcpy(PreTextGosubLabel, "tagsub");
    }
    void TearDown() override {
        TagModeOn = 0;
        PreTextGosubLabel[0] = 0;
        FlowTest::TearDown();
    }
    // A story with one text line `line`; the tag routine runs `routine`
    // and returns; %9 counts the routine's runs.
    std::string Tag(const std::string& line, const std::string& routine) {
        return Story(line + "\ngoto *e\n*tagsub\nmov %9,%9+1\n" + routine + "\nreturn\n*e");
    }
};

TEST_F(Tags, GettagReadsTheParameters) {
    EXPECT_EQ(Tag("[name/12 / 3+4]文", "gettag $0,%0,%1"), "");
    EXPECT_EQ(Str(0), "name");
    EXPECT_EQ(IntVariables[0], 12);
    EXPECT_EQ(IntVariables[1], 3);  // a numeric term, not an expression
    EXPECT_EQ(IntVariables[9], 1);
    // Fewer parameters than operands: the rest get "" and 0.
    EXPECT_EQ(Tag("[name]文", "mov $1,\"x\":mov %0,9:gettag $0,%0,$1"), "");
    EXPECT_EQ(Str(0), "name");
    EXPECT_EQ(IntVariables[0], 0);
    EXPECT_EQ(Str(1), "");
    // A line without a tag: all "" and 0, and the text is shown after.
    EXPECT_EQ(Tag("文", "mov %0,9:gettag %0,$0"), "");
    EXPECT_EQ(IntVariables[0], 0);
    EXPECT_EQ(IntVariables[9], 1);
    // A two-byte character keeps its trail byte, also one equal to ']'.
    EXPECT_EQ(Tag("[a‐b/c]文", "gettag $0,$1"), "");
    EXPECT_EQ(Str(0), "a‐b");
    EXPECT_EQ(Str(1), "c");
}

TEST_F(Tags, ReturnResumesBehindTheTag) {
    const struct {
        const char* line;
        int pushed;  // the '[' the text routine pushed (or the line start)
        const char* gettag;
        int resume;  // where return goes on, from the line start
    } cases[] = {
        {"[[who]]text", 1, "gettag $0", 7},  // the doubled form: both ']' passed
        {"[who/2]text", 0, "gettag $0", 4},  // one parameter read: at the '/'
        {"[who/2]text", 0, "gettag $0,%0", 7},
        {"[a/b]]]text", 0, "gettag $0,$1", 7},
        {"[a]  text", 0, "gettag $0,$1", 5},  // ']' as the separator, blanks behind
        {"text", 0, "gettag $0", 0},
    };
    for (const auto& c : cases) {
        std::string statement = std::string(c.gettag) + "\n";
        SetScriptUtf8(statement + c.line + "\n");
        int line = (int)statement.size();
        CallStack[0] = line + c.pushed;
        CallStackDepth = 1;
        char w[WordBufferSize];
        ReadWord(w);
        ExecCommand(w, 0);
        EXPECT_EQ(CallStack[0] - line, c.resume) << c.line << " " << c.gettag;
    }
    EXPECT_EQ(Tag("[[who]]文", "gettag $0"), "");
    EXPECT_EQ(Str(0), "who");
}

TEST_F(Tags, GettagErrors) {
    EXPECT_EQ(Tag("[a]t", "gettag ?0"), "エラー: gettag指定が間違っています。");
    EXPECT_EQ(Tag("[a]t", "gettag $100"), "エラー: 文字列変数番号が範囲外です。");
    EXPECT_EQ(Tag("[a]t", "gettag %100"), "エラー: 変数番号が範囲外をさしています。");
}

}  // namespace
