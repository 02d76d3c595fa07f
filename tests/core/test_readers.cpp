// The operand readers: blanks, commas, words, labels, colours, numeric and
// string terms, with their exact errors and the position they stop at.
#include <cstring>
#include <string>

#include "core/aliases.h"
#include "core/debug.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/namelog.h"
#include "tests/core/script_fixture.h"

namespace {

class Readers : public ScriptTest {};

TEST_F(Readers, BlanksAndComma) {
    SetScript(" \t x");
    EXPECT_EQ(SkipBlanks(), 'x');
    EXPECT_EQ(ReadPosition, 3);
    SetScript(" \n\t\n y");
    EXPECT_EQ(SkipBlanks(), '\n');  // a newline is no blank
    EXPECT_EQ(SkipBlanksAndNewlines(), 'y');
    SetScript("  ,\t x");
    ExpectComma();
    EXPECT_EQ(Rest(), "x");
    SetScript("  x");
    EXPECT_EQ(FatalOf([] { ExpectComma(); }),
              "構文エラー: コンマが必要なところにコンマが有りません。");
}

TEST_F(Readers, Words) {
    char w[WordBufferSize];
    SetScript("  AbC_9z  next");
    EXPECT_EQ(ReadWord(w), 'n');
    EXPECT_STREQ(w, "abc_9z");
    EXPECT_EQ(Rest(), "next");
    SetScript("_x1,");
    EXPECT_EQ(ReadWord(w), ',');
    EXPECT_STREQ(w, "_x1");
    SetScript("9abc");  // a digit does not start a word
    EXPECT_EQ(ReadWord(w), '9');
    EXPECT_STREQ(w, "");
    EXPECT_EQ(ReadPosition, 0);
    std::string ok(254, 'a');
    SetScript(ok + "B ");
    std::string long_word = ok + "B";
    EXPECT_EQ(FatalOf([&] { ReadWord(w); }), "命令エラー: 長すぎるトークンです:" + ok + "b");
    SetScript(ok + " ");
    ReadWord(w);
    EXPECT_EQ(std::string(w), ok);
}

TEST_F(Readers, LabelOperands) {
    char w[WordBufferSize];
    SetScript(" *StartHere ,");
    ReadLabelOperand(w);
    EXPECT_STREQ(w, "starthere");
    EXPECT_EQ(Rest(), ",");
    SetScript("\"*MixedCase\"\n");  // a string value keeps its case
    ReadLabelOperand(w);
    EXPECT_STREQ(w, "MixedCase");
    AssignString(&StrVariables[5], "*ending");
    SetScript("$5\n");
    ReadLabelOperand(w);
    EXPECT_STREQ(w, "ending");
    AssignString(&StrVariables[5], "ending");
    SetScript("$5\n");
    EXPECT_EQ(FatalOf([&] { ReadLabelOperand(w); }),
              "実行時エラー: ラベル名を指定すべきところで文字列が代わりに指定されましたが、"
              "文字列の先頭が*ではありません。");
    SetScript("123\n");
    EXPECT_EQ(FatalOf([&] { ReadLabelOperand(w); }),
              "構文エラー: ラベル名が来るべきところにラベル名が来ませんでした。");
    // A long string label is cut to the buffer, never overrun.
    SetScript("\"*" + std::string(1000, 'q') + "\"\n");
    ReadLabelOperand(w);
    EXPECT_EQ(strlen(w), (size_t)WordBufferSize - 1);
}

TEST_F(Readers, Colors) {
    SetScript("#75FE1B,");
    EXPECT_EQ(ReadColor(), 0x75FE1Bu);
    EXPECT_EQ(Rest(), ",");
    SetScript("#75fe1bff");  // nothing after the sixth digit is looked at
    EXPECT_EQ(ReadColor(), 0x75FE1Bu);
    EXPECT_EQ(Rest(), "ff");
    const std::string bad = "構文エラー: カラー指定が間違っています。HTMLと同じ形式（例：#75fe1b）で指定してください。";
    SetScript("#75fe1g\n");
    EXPECT_EQ(FatalOf([] { ReadColor(); }), bad);
    SetScript("#75\n");
    EXPECT_EQ(FatalOf([] { ReadColor(); }), bad);
    AddStrAlias("red", "#ff0000");
    SetScript("red\n");
    EXPECT_EQ(ReadColor(), 0xFF0000u);
    AssignString(&StrVariables[1], "x00ff00");  // the first character is passed over
    SetScript("$1\n");
    EXPECT_EQ(ReadColor(), 0x00FF00u);
    // Too short a text is the colour error, a long one is read, not overrun.
    AssignString(&StrVariables[1], "#12");
    SetScript("$1\n");
    EXPECT_EQ(FatalOf([] { ReadColor(); }), bad);
    AssignString(&StrVariables[1], "");
    SetScript("$1\n");
    EXPECT_EQ(FatalOf([] { ReadColor(); }), bad);
    AssignString(&StrVariables[1], ("#0000ff" + std::string(3000, 'z')).c_str());
    SetScript("$1\n");
    EXPECT_EQ(ReadColor(), 0x0000FFu);
}

struct NumCase {
    const char* text;
    int32_t value;
    const char* rest;
};

TEST_F(Readers, NumericTerms) {
    IntVariables[5] = 7;
    IntVariables[7] = -3;
    IntVariables[99] = 12;
    AddNumAlias("ten", 10);
    const NumCase cases[] = {
        {"-5 x", -5, "x"},
        {"+5 x", 5, "x"},
        {"-x", 0, "x"},  // a sign without digits
        {"- x", 0, "x"},
        {"0012", 12, ""},
        {"999999999999999999 ", 2147483647, ""},   // 18 digits saturate
        {"-999999999999999999 ", -2147483647, ""},
        {"%5  ,", 7, ","},
        {"%%5 ", -3, ""},  // the variable whose number %5 holds
        {"%[98+1]", 12, ""},
        {"[1+2] ,", 3, " ,"},  // no blanks skipped behind ']'
        {"[ 4 ]x", 4, "x"},
        {"ten +1", 10, "+1"},
        {"TEN", 10, ""},
    };
    for (const NumCase& c : cases) {
        SetScript(c.text);
        int32_t v = 0;
        int code = ExitCodeOf([&] { v = ReadNumTerm(); });
        EXPECT_EQ(code, -1000) << c.text << ": " << LastFatal();
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(Rest(), c.rest) << c.text;
    }
}

TEST_F(Readers, NumericTermErrors) {
    const struct {
        const char* text;
        const char* fatal;
    } cases[] = {
        {"%-1", "エラー: 変数番号が範囲外をさしています。"},
        {"%100", "エラー: 変数番号が範囲外をさしています。"},
        {"[1+2\n", "エラー: 数値の記述に間違いがあります"},
        {"nosuch", "構文エラー: 数字がくるべきところに数字がありません。"},
        {",", "構文エラー: 数字がくるべきところに数字がありません。"},
        {"1234567890123456789", "構文エラー: 数字が長すぎます。:1234567890123456789"},
    };
    for (const auto& c : cases) {
        SetScript(c.text);
        EXPECT_EQ(FatalOf([] { ReadNumTerm(); }), c.fatal) << c.text;
    }
}

TEST_F(Readers, ArrayElements) {
    // dim ?0[2][3]: 12 elements, ?0[1][2] is element 6.
    ArrayVariable& a = ArrayVariables[0];
    a.number = 0;
    a.dims = 2;
    a.bounds[0] = 2;
    a.bounds[1] = 3;
    a.count = 12;
    a.data = (int32_t*)calloc(12, sizeof(int32_t));
    a.data[6] = 66;
    ArrayVariable& b = ArrayVariables[1];
    b.number = 5;
    b.dims = 0;
    b.count = 1;
    b.data = (int32_t*)calloc(1, sizeof(int32_t));
    b.data[0] = 55;
    ArrayCount = 2;
    IntVariables[3] = 5;
    SetScript("?0[1][2] x");
    EXPECT_EQ(ReadNumTerm(), 66);
    EXPECT_EQ(Rest(), " x");  // no blanks skipped behind the last ']'
    SetScript("? 0 [0+1][1+1]");
    EXPECT_EQ(ReadNumTerm(), 66);
    SetScript("?5,");
    EXPECT_EQ(ReadNumTerm(), 55);
    SetScript("?%3,");  // the array whose number %3 holds
    EXPECT_EQ(ReadNumTerm(), 55);
    const struct {
        const char* text;
        const char* fatal;
    } errors[] = {
        {"?0[2][4]", "エラー: 配列の添字が宣言された範囲を超えています（第2次元 最大値3 指定値4）"},
        {"?0[3][0]", "エラー: 配列の添字が宣言された範囲を超えています（第1次元 最大値2 指定値3）"},
        {"?0[0][-2]", "エラー: 配列の添字が宣言された範囲を超えています（第2次元 最大値3 指定値-2）"},
        {"?0[1]", "エラー: 配列の添字指定が間違っています。"},
        {"?0[1] [2]", "エラー: 配列の添字指定が間違っています。"},  // a blank ends the list
        {"?0[1][-1]", "エラー: 配列の添字指定が間違っています。"},
        {"?9[0]", "エラー: 配列の添字指定が間違っています。"},  // never declared
        {"?0[1,2]", "エラー: 配列変数指定が間違っています。"},
        {"?0[0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0][0]",
         "エラー: 配列の添字指定が間違っています。"},
    };
    for (const auto& c : errors) {
        SetScript(c.text);
        EXPECT_EQ(FatalOf([] { ReadNumTerm(); }), c.fatal) << c.text;
    }
}

TEST_F(Readers, StringTerms) {
    char buf[StrValueSize];
    AssignString(&StrVariables[3], Cp932("テキスト").c_str());
    IntVariables[1] = 3;
    AddStrAlias("greeting", "hello");
    SetScript("$3  ,");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(Utf8(buf), "テキスト");
    EXPECT_EQ(Rest(), ",");
    SetScript("$%1,");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(Utf8(buf), "テキスト");
    SetScript(Cp932("\"表示\" x"));
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(Utf8(buf), "表示");
    EXPECT_EQ(Rest(), "x");
    SetScript("\"\",");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "");
    SetScript("Greeting ,");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(Rest(), ",");
    std::string max(8190, 'm');
    SetScript("\"" + max + "\"");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), max);
}

TEST_F(Readers, StringTermErrors) {
    char buf[StrValueSize];
    std::string over(8191, 'm');
    const struct {
        std::string text;
        std::string fatal;
    } cases[] = {
        {"$-1", "エラー: 文字列変数番号が範囲外です。"},
        {"$100", "エラー: 文字列変数番号が範囲外です。"},
        {"\"abc\ndef\"", "構文エラー: 文字列中に改行が有ります。"},
        {"\"abc", "構文エラー: 文字列中に改行が有ります。"},  // the text ends in it
        {"\"" + over + "\"", "構文エラー: 文字列が長すぎます。:" + std::string(8190, 'm')},
        {"nosuch", "構文エラー: 文字列が来るべきところに文字列がありません。"},
        {"(\"a.bmp\" \"y\" \"n\"", "エラー: ファイル文字列指定は(\"ファイル名\")という形式です。"},
        {"[*start \"y\" \"n\"", "エラー: ファイル文字列指定は(\"ファイル名\")という形式です。"},
    };
    for (const auto& c : cases) {
        SetScript(c.text);
        std::string got = FatalOf([&] { ReadStrTerm(buf, sizeof buf); });
        // The too-long message is cut to fit the box; compare its start.
        EXPECT_EQ(got.substr(0, 200), c.fatal.substr(0, 200)) << c.text.substr(0, 40);
    }
}

TEST_F(Readers, ConditionTerms) {
    char buf[StrValueSize];
    SetScript("(\"a.bmp\") \"yes\" \"no\" ,");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "no");
    EXPECT_EQ(Rest(), ",");  // both alternatives consumed
    AddToNameLog("A.BMP", &FileLog);
    SetScript("(\"a.bmp\") \"yes\" \"no\" ,");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "yes");
    EXPECT_EQ(Rest(), ",");
    SetScript("[*seen] \"y\" \"n\"");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "n");
    AddToNameLog("seen", &LabelLog);
    SetScript("[*Seen] \"y\" \"n\"");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "y");
    // Conditions nest: an alternative may be a condition itself.
    SetScript("[*seen] (\"b.bmp\") \"1\" \"2\" \"3\" .");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_STREQ(buf, "2");
    EXPECT_EQ(Rest(), ".");
}

TEST_F(Readers, SmallBuffersAreNeverOverrun) {
    char small[4];
    SetScript("\"abcdef\"");
    ReadStrTerm(small, sizeof small);
    EXPECT_STREQ(small, "abc");
    AssignString(&StrVariables[0], std::string(20000, 'x').c_str());  // longer than a term
    char buf[StrValueSize];
    SetScript("$0");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(strlen(buf), 8190u);
}

TEST_F(Readers, AccessTrace) {
    CreateDebugWindow();
    IntVariables[4] = 9;
    AssignString(&StrVariables[2], "txt");
    AddNumAlias("n", 3);
    SetScript("%4");
    ReadNumTerm();
    EXPECT_EQ(Utf8(TraceLine), "数字変数%4へアクセス：値9");
    SetScript("[2*3]");
    ReadNumTerm();
    EXPECT_EQ(Utf8(TraceLine), "[]内の式の値6");
    SetScript("n");
    ReadNumTerm();
    EXPECT_EQ(Utf8(TraceLine), "エイリアスnへアクセス：値3");
    char buf[StrValueSize];
    SetScript("$2");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_EQ(Utf8(TraceLine), "文字列変数$2へアクセス：値\"txt\"");
    // The window shows the accesses one a line.
    EXPECT_NE(Utf8(DebugWindowText()).find("\r\n文字列変数$2へアクセス：値\"txt\""), std::string::npos);
    // A long text is cut to the trace line, never overrun.
    AssignString(&StrVariables[2], std::string(5000, 'y').c_str());
    SetScript("$2");
    ReadStrTerm(buf, sizeof buf);
    EXPECT_LT(strlen(TraceLine), (size_t)TraceTextSize);
    EXPECT_LT(strlen(DebugWindowText()), (size_t)TraceTextSize);
    // Literals are not traced.
    strcpy(TraceLine, "none");
    SetScript("12");
    ReadNumTerm();
    EXPECT_STREQ(TraceLine, "none");
}

}  // namespace
