// Control flow: goto, gosub and return (with and without a label), noreturn,
// for/next/break with their four-entry frames, the stack limits, the checks
// of what comes off the stack, skip, jumpf/jumpb and tablegoto.
#include <string>

#include "save/namelog.h"
#include "tests/core/flow_fixture.h"

namespace {

class Flow : public FlowTest {};

TEST_F(Flow, NestedGosubAndReturn) {
    EXPECT_EQ(Story("gosub *a:mov %2,%2*10+9\ngoto *end\n"
                    "*a\nmov %2,1\ngosub *b\nmov %2,%2*10+5\nreturn\n"
                    "*b\nmov %2,%2*10+2\ngosub   *c  :mov %2,%2*10+4\nreturn\n"
                    "*c\nmov %2,%2*10+3\nmov %3,%3+1\nreturn\n"
                    "*end"),
              "");
    EXPECT_EQ(IntVariables[2], 123459);
    EXPECT_EQ(CallStackDepth, 0);
}

TEST_F(Flow, ReturnToALabelDropsOneEntry) {
    EXPECT_EQ(Story("gosub *a\nmov %1,1\n*a\ngosub *b\nmov %1,2\n*b\nreturn *c\n*c\nmov %4,%4+1"), "");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(IntVariables[4], 1);
    EXPECT_EQ(CallStackDepth, 1);  // the first call is still there
    // noreturn drops the top entry, whatever it is.
    EXPECT_EQ(Story("gosub *a\n*a\nnoreturn\nmov %1,7"), "");
    EXPECT_EQ(CallStackDepth, 0);
    EXPECT_EQ(IntVariables[1], 7);
}

TEST_F(Flow, StackErrors) {
    const struct {
        const char* story;
        const char* fatal;
    } cases[] = {
        {"return", "スタックエラー: returnとgosub文が正しく対応していません。"},
        {"return *x\n*x", "スタックエラー: returnとgosub文が正しく対応していません。"},
        {"noreturn", "スタックエラー: noreturnとgosub文が正しく対応していません。"},
        {"gosub *a\n*a\nfor %0=1 to 2\nreturn",
         "スタックエラー: おそらくfor文中からreturnしています。for文中からreturnでループの外に出ないようにしてください。"},
        {"next", "スタックエラー: next文とfor文が正しく対応していません。"},
        {"gosub *a\n*a\nnext", "スタックエラー: next文とfor文が正しく対応していません。"},
        {"break", "スタックエラー: break文とfor文が正しく対応していません。"},
        {"gosub *a\n*a\nbreak", "スタックエラー: break文とfor文が正しく対応していません。"},
        {"*r\ngosub *r", "スタックエラー: gosub文のせいでスタックが溢れました。"},
        {"*r\nfor %0=1 to 2\ngoto *r", "スタックエラー: for文のせいでスタックが溢れました。"},
        {"gosub *nosuch", "ラベルエラー: ラベル*nosuchは存在しません"},
        {"goto \"*NoSuch\"", "ラベルエラー: ラベル*NoSuchは存在しません"},
    };
    for (const auto& c : cases) EXPECT_EQ(Story(c.story), c.fatal) << c.story;
    EXPECT_EQ(Story("*r\ngosub *r"), "スタックエラー: gosub文のせいでスタックが溢れました。");
    EXPECT_EQ(CallStackDepth, CallStackSize);
    EXPECT_EQ(Story("*r\nfor %0=1 to 2\ngoto *r"), "スタックエラー: for文のせいでスタックが溢れました。");
    EXPECT_EQ(CallStackDepth, CallStackSize);
}

TEST_F(Flow, NineHundredNinetySixCallsAndOneLoopFillTheStack) {
    const std::string body =
        "gosub *r\n*r\nmov %0,%0+1\nif %0 < 996 gosub *r\n"
        "for %1=1 to 2\n";
    EXPECT_EQ(Story(body + "mov %2,1\ndefinereset"), "");
    EXPECT_EQ(CallStackDepth, CallStackSize);
    EXPECT_EQ(IntVariables[2], 1);
    EXPECT_EQ(Story(body + "gosub *r"), "スタックエラー: gosub文のせいでスタックが溢れました。");
}

TEST_F(Flow, ForLoops) {
    const struct {
        const char* loop;
        int runs;   // times the body ran (%5)
        int after;  // %0 afterwards
    } cases[] = {
        {"for %0=1 to 3", 3, 4},
        {"for %0=3 to 1", 0, 3},
        {"for %0=3 to 1 step -1", 3, 0},
        {"for %0 = -2 to 4 step 3", 3, 7},
        {"FOR %0=10 TO 1 step -4", 3, -2},
        {"for %0=1 to 1", 1, 2},
        {"for %[0]=0 to -1", 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Story(std::string(c.loop) + "\nmov %5,%5+1\nnext\nmov %6,1"), "") << c.loop;
        EXPECT_EQ(IntVariables[5], c.runs) << c.loop;
        EXPECT_EQ(IntVariables[0], c.after) << c.loop;
        EXPECT_EQ(IntVariables[6], 1) << c.loop;
        EXPECT_EQ(CallStackDepth, 0) << c.loop;
    }
}

TEST_F(Flow, LoopsThatNeverEndByThemselves) {
    // Step 0, and a variable the limits keep below the end.
    EXPECT_EQ(Story("for %0=1 to 1 step 0\nmov %5,%5+1\nif %5 = 50 break\nnext"), "");
    EXPECT_EQ(IntVariables[5], 50);
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(Story("for %0=0 to 10\nmov %5,%5+1\nif %5 = 40 break\nnext", "intlimit 0,0,5"), "");
    EXPECT_EQ(IntVariables[5], 40);
    EXPECT_EQ(IntVariables[0], 5);
    EXPECT_EQ(CallStackDepth, 0);
}

TEST_F(Flow, ASkippedLoopResumesBehindTheFirstNext) {
    // Nesting is not counted: the inner next ends the search, and the outer
    // one then has no loop.
    EXPECT_EQ(Story("for %0=3 to 1\nmov %5,1\nfor %1=1 to 2\nmov %5,2\nnext\nmov %6,%6+1\nnext\nmov %7,1"),
              "スタックエラー: next文とfor文が正しく対応していません。");
    EXPECT_EQ(IntVariables[5], 0);
    EXPECT_EQ(IntVariables[6], 1);
    EXPECT_EQ(IntVariables[7], 0);
    // After ':' too, and the word is compared lower-cased; a word that only
    // starts with next is not it.
    EXPECT_EQ(Story("for %0=1 to 0\nmov %5,1 : nexta\nmov %5,2:  NEXT:mov %6,5"), "");
    EXPECT_EQ(IntVariables[5], 0);
    EXPECT_EQ(IntVariables[6], 5);
}

TEST_F(Flow, BreakLeavesTheInnermostLoop) {
    EXPECT_EQ(Story("for %0=1 to 3\nfor %1=1 to 5\nmov %5,%5+1\nif %1 = 2 break\nnext\nmov %6,%6+1\nnext\n"
                    "mov %7,1"),
              "");
    EXPECT_EQ(IntVariables[5], 6);
    EXPECT_EQ(IntVariables[6], 3);
    EXPECT_EQ(IntVariables[7], 1);
    EXPECT_EQ(CallStackDepth, 0);
    // break *label pops the frame and jumps.
    EXPECT_EQ(Story("for %0=10 to 1 step -1\nif %0 = 7 break *out\nnext\nmov %5,1\n*out\nmov %6,%0"), "");
    EXPECT_EQ(IntVariables[5], 0);
    EXPECT_EQ(IntVariables[6], 7);
    EXPECT_EQ(CallStackDepth, 0);
}

TEST_F(Flow, ForFormatErrors) {
    const char* bad = "構文エラー: for文の書式が違います。for %変数番号=数字 to 数字 (step 数字)です。";
    const struct {
        const char* story;
        const char* fatal;
    } cases[] = {
        {"for %0=1 to10", bad},
        {"for 0=1 to 3", bad},
        {"for %0 1 to 3", bad},
        {"for %0=1 till 3", bad},
        {"for %0=1 to 3 stp 2", bad},
        {"for %100=1 to 3", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (const auto& c : cases) EXPECT_EQ(Story(c.story), c.fatal) << c.story;
}

TEST_F(Flow, WhatComesOffTheStackIsChecked) {
    const char* broken = "スタックエラー: スタックの内容が正しくありません。";
    // A return position outside the script (as a damaged save slot could
    // restore it).
    SetScriptUtf8("*start\nreturn\n");
    ScanLabels();
    for (int32_t p : {-0x7fffffff - 1, 100000, ScriptLength + 1}) {
        CallStack[0] = p;
        CallStackDepth = 1;
        JumpToLabel("start");
        const char* want = p < 0 ? "スタックエラー: おそらくfor文中からreturnしています。for文中からreturnでループの外に出ないようにしてください。"
                                 : broken;
        EXPECT_EQ(FatalOf([] { RunInterpreter(0); }), want) << p;
    }
    // return *label inside a loop leaves the rest of the for frame: a later
    // return takes its step as a position.
    EXPECT_EQ(Story("gosub *a\n*a\nfor %0=1 to 2 step 900000\nreturn *b\n*b\nreturn"), broken);
    // A for frame whose variable or body lies outside.
    SetScriptUtf8("*start\nnext\n");
    ScanLabels();
    const int32_t frames[][4] = {{100, 5, 1, -1}, {-1, 5, 1, -1}, {0, 5, 1, -100000}};
    for (const auto& f : frames) {
        for (int i = 0; i < 4; i++) CallStack[i] = f[i];
        CallStackDepth = 4;
        JumpToLabel("start");
        EXPECT_EQ(FatalOf([] { RunInterpreter(0); }), broken) << f[0] << " " << f[3];
    }
    // A negative entry with less than a frame below it.
    CallStack[0] = 0;
    CallStack[1] = -5;
    CallStackDepth = 2;
    JumpToLabel("start");
    EXPECT_EQ(FatalOf([] { RunInterpreter(0); }), broken);
}

TEST_F(Flow, IfAndNotifForms) {
    const struct {
        const char* condition;
        bool met;
    } cases[] = {
        {"%1 == 5", true},  // %1 = 5, %2 = -3, $1 = "abc", $2 = ""
        {"%1 = 5", true},
        {"%1=5", true},
        {"%1 != 5", false},
        {"%1 <> 4", true},
        {"%1 < 5", false},
        {"%1 <= 5", true},
        {"%1 > %2", true},
        {"%2 >= -3", true},
        {"%2 < -2", true},
        {"%1*2 == 10", true},
        {"abc < abd", true},  // numeric aliases abc = 1, abd = 2
        {"\"abc\" < \"abd\"", true},
        {"\"abd\" <= \"abc\"", false},
        {"$1 == \"abc\"", true},
        {"$1 == \"ab\"+\"c\"", true},
        {"$2 == \"\"", true},
        {"$1 > \"ab\"", true},
        {"\"あ\" > \"a\"", true},  // bytes compare unsigned (0x82 0xA0)
        {"\"a\" > \"あ\"", false},
        {"%1 = 5 & %2 = -3", true},
        {"%1 = 5 && %2 = -2", false},
        {"%1 = 4 & nosuch = 1", false},  // the rest is not read
        {"%1 = 5 & %2 = -3 & $2 = \"\"", true},
        {"%1 = 4 | %2 = -3", true},
        {"%1 = 4 || %2 = -2", false},
        {"%1 = 5 | %2 = 0 | $1 = \"\"", true},
        {"lchk *start", true},  // the jump to *start logged it
        {"lchk *never_passed", false},
        {"lchk \"*Start\"", true},
        {"fchk \"seen.bmp\"", true},
        {"fchk \"unseen.bmp\"", false},
    };
    AddToNameLog("seen.bmp", &FileLog);
    for (const auto& c : cases) {
        for (bool notif : {false, true}) {
            // notif meets each term when it is false, so the joined forms
            // read differently: they have a test of their own.
            if (notif && std::string(c.condition).find_first_of("&|") != std::string::npos) continue;
            std::string cmd = notif ? "notif " : "if ";
            std::string story = "mov %1,5:mov %2,-3:mov $1,\"abc\"\n" + cmd + c.condition +
                                " mov %3,1:mov %4,1\nmov %5,1";
            EXPECT_EQ(Story(story, "numalias abc,1\nnumalias abd,2"), "") << story;
            bool run = notif ? !c.met : c.met;
            EXPECT_EQ(IntVariables[3], run ? 1 : 0) << story;
            EXPECT_EQ(IntVariables[4], run ? 1 : 0) << story;  // the whole line
            EXPECT_EQ(IntVariables[5], 1) << story;            // the next line always
        }
    }
}

TEST_F(Flow, NotifWithJoinedTerms) {
    const struct {
        const char* condition;
        bool met;
    } cases[] = {
        {"%1 = 1 | %2 = 1", true},   // either differs from 1
        {"%1 = 5 | %2 = -3", false},
        {"%1 = 5 | %2 = 1", true},
        {"%1 = 4 & %2 = 1", true},   // both false
        {"%1 = 5 & nosuch = 1", false},  // the first is unmet: the rest is not read
    };
    for (const auto& c : cases) {
        std::string story = "mov %1,5:mov %2,-3\nnotif " + std::string(c.condition) + " mov %3,1";
        EXPECT_EQ(Story(story, "numalias abc,1"), "") << story;
        EXPECT_EQ(IntVariables[3], c.met ? 1 : 0) << story;
    }
}

TEST_F(Flow, ConditionErrors) {
    const struct {
        const char* story;
        const char* fatal;
    } cases[] = {
        {"if 1 = 1 & 2 = 2 | 3 = 3 mov %1,1", "エラー: &と|は混在させないでください。"},
        {"if 1 = 2 | 2 = 2 && 3 = 3 mov %1,1", "エラー: &と|は混在させないでください。"},
        {"if 1 = 2 | nosuch = 1 mov %1,1", "構文エラー: 数字がくるべきところに数字がありません。"},
        {"if 1 ! 2 mov %1,1", "エラー: if条件式が間違っています。"},
        {"if 1 mov %1,1", "エラー: if条件式が間違っています。"},
        {"if fexist \"a\"", "エラー: if条件式が間違っています。"},
        {"if five = 5 mov %1,1", "エラー: if条件式が間違っています。"},  // an alias starting with f
        {"if limit = 5 mov %1,1", "エラー: if条件式が間違っています。"},
        {"if $1 = 5", "構文エラー: 文字列が来るべきところに文字列がありません。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Story(c.story, "numalias five,5\nnumalias limit,5"), c.fatal) << c.story;
    EXPECT_EQ(Play("*define\nif fchk \"a\" mov %1,1\n"), "エラー: fchk条件式は、定義ブロックでは使えません。");
    EXPECT_EQ(Play("*define\nif lchk *define mov %1,1\n"), "エラー: lchk条件式は、定義ブロックでは使えません。");
    // Plain terms are fine in the define block.
    EXPECT_EQ(Play("*define\nif 1 = 1 mov %60,3\ngame\n*start\ndefinereset\n"), "");
    EXPECT_EQ(IntVariables[60], 3);
}

TEST_F(Flow, Skip) {
    EXPECT_EQ(Story("skip 2\nmov %1,1\nmov %2,1\nskip 1:mov %3,1\nmov %4,1"), "");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(IntVariables[2], 1);
    EXPECT_EQ(IntVariables[3], 0);
    EXPECT_EQ(IntVariables[4], 1);
    // Backwards: skip -1 goes to the start of the line above, over empty
    // lines too; skip 0 does nothing.
    EXPECT_EQ(Story("goto *b\n*a\nmov %2,%2+1\n\nmov %1,%1+1\nif %1 < 3 skip -3\ngoto *e\n*b\nskip 0:mov %3,1\n"
                    "mov %5,%5+1:if %5 < 4 skip -1\ngoto *a\n*e"),
              "");
    EXPECT_EQ(IntVariables[1], 3);
    EXPECT_EQ(IntVariables[2], 3);
    EXPECT_EQ(IntVariables[3], 1);
    EXPECT_EQ(IntVariables[5], 4);
    const char* outside = "構文エラー: SKIPがスクリプトの範囲を飛び出しました。";
    EXPECT_EQ(Story("skip 5"), outside);
    EXPECT_EQ(Story("skip -2147483647-1"), outside);
    // Onto the first line of the script: refused.
    EXPECT_EQ(Play("*define\nskip -1\n"), outside);
    EXPECT_EQ(Play("*define\n\nskip -2\n"), outside);
    EXPECT_EQ(Play("*define\ngoto *x\n*x\nmov %60,%60+1\nif %60 < 2 skip -2\ngame\n*start\ndefinereset\n"), "");
    EXPECT_EQ(IntVariables[60], 2);
}

TEST_F(Flow, JumpfAndJumpb) {
    EXPECT_EQ(Story("jumpf\nmov %1,1\n~mov %2,1\nmov %3,%3+1\njumpf ~ mov %4,1"), "");
    EXPECT_EQ(IntVariables[1], 0);
    EXPECT_EQ(IntVariables[2], 1);
    EXPECT_EQ(IntVariables[4], 1);
    // A loop back to the '~'.
    EXPECT_EQ(Story("~\nmov %1,%1+1\nif %1 < 5 jumpb\nmov %2,%1"), "");
    EXPECT_EQ(IntVariables[2], 5);
    // A trail byte 0x7E counts as '~': the jump lands in the middle of
    // the character (here behind the byte 0x7E of 0x81 0x7E).
    SetScript("jumpf abc\x81\x7emov %1,1\n");
    char w[WordBufferSize];
    ReadWord(w);
    ExecCommand(w, 0);
    EXPECT_EQ(Rest(), "mov %1,1\n");
    EXPECT_EQ(Story("jumpf\nmov %1,1"), "エラー: jumpf命令が~を見つけられませんでした。");
    EXPECT_EQ(Play("*define\njumpb\n"), "エラー: jumpb命令が~を見つけられませんでした。");
}

TEST_F(Flow, Tablegoto) {
    const struct {
        const char* index;
        int label;  // 1 a, 2 b, 3 c
    } cases[] = {{"0", 1}, {"1", 2}, {"2", 3}, {"-5", 1}, {"%9+1", 2}};
    for (const auto& c : cases) {
        std::string story = std::string("tablegoto ") + c.index +
                            ", *a , \"*b\",*c\n*a\nmov %1,1\ngoto *e\n*b\nmov %1,2\ngoto *e\n*c\nmov %1,3\n*e";
        EXPECT_EQ(Story(story), "") << story;
        EXPECT_EQ(IntVariables[1], c.label) << story;
    }
    EXPECT_EQ(Story("tablegoto 3,*a,*b,*c\n*a\n*b\n*c"), "構文エラー: コンマが必要なところにコンマが有りません。");
    EXPECT_EQ(Story("tablegoto 1,*nosuch1,*b\n*b"), "");  // labels passed over are not looked up
}

}  // namespace
