// Whole games through the headless runner that check their own results: the
// script compares what it computed and names the failed check as a command
// that does not exist ("fail_..."), so a quiet end (status 0, no box) means
// every check held.  Clamping and the stores that do not clamp, aliases,
// arrays, calls, loops, conditions, relative moves, user-defined commands,
// and reset keeping the global variables.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    return RunGame(dir);
}

void ExpectQuietEnd(const std::string& script) {
    RunResult r = Play(script);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

// The control: checks written like the ones below must fail when their
// condition holds, or a broken `if` would let every game pass.
TEST(FlowGames, ControlChecksFail) {
    struct Case {
        const char* check;
        const char* name;
    } cases[] = {
        {"if 1 = 1 fail_true", "fail_true"},
        {"if %0 != 1 fail_unset", "fail_unset"},
        {"mov $0,\"a\"\nif $0 = \"a\" fail_text", "fail_text"},
        {"notif 1 = 2 fail_notif", "fail_notif"},
        {"if 2 > 1 && 1 >= 1 fail_and", "fail_and"},
    };
    for (const Case& c : cases) {
        RunResult r = Play(std::string("*define\ngame\n*start\n") + c.check + "\nend\n");
        EXPECT_EQ(r.status, 1) << c.check << "\n" << r.err;
        ASSERT_EQ(r.boxes.size(), 1u) << c.check << "\n" << r.err;
        EXPECT_EQ(r.boxes[0].substr(0, r.boxes[0].find("\\n")),
                  std::string("構文エラー: 不正な命令\"") + c.name + "\"です。")
            << c.check;
    }
}

TEST(FlowGames, VariablesLimitsAndAliases) {
    ExpectQuietEnd(
        "*define\n"
        "numalias hp,10\nstralias hero,\"Taro\"\nnumalias both,1\nstralias both,\"b\"\n"
        "intlimit hp,0,100\nintlimit 11,50,20\ndim ?0[1]\n"
        "game\n*start\n"
        "mov %hp,150\nif %hp != 100 fail_max\n"
        "mov %hp,-5\nif %hp != 0 fail_min\n"
        "if %11 != 50 fail_min_over_max\n"
        "mov $0,hero+\"/\"+both\nif $0 != \"Taro/b\" fail_stralias\n"
        "mov %0,both+HP\nif %0 != 11 fail_numalias\n"
        "mov3 %20,1,%20+1,%21+1\nif %22 != 3 fail_mov3\n"
        "mov ?0[1],500\nif ?0[1] != 500 fail_array_clamped\n"
        "end\n");
}

TEST(FlowGames, ArraysInSeveralDimensions) {
    ExpectQuietEnd(
        "*define\ndim ?0[2][3][4]\ndim ?1[4]\ngame\n*start\n"
        "for %0=0 to 2\nfor %1=0 to 3\nfor %2=0 to 4\n"
        "mov ?0[%0][%1][%2],%0*100+%1*10+%2\nnext\nnext\nnext\n"
        "if ?0[2][3][4] != 234 fail_last\nif ?0[1][0][3] != 103 fail_middle\n"
        "movl ?1,5,6,7,8,9\nif ?1[4] != 9 fail_movl\n"
        "end\n");
    RunResult r = Play("*define\ndim ?0[2][3]\ngame\n*start\nmov %0,?0[2][4]\n");
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_EQ(r.boxes[0].substr(0, r.boxes[0].find("\\n")),
              "エラー: 配列の添字が宣言された範囲を超えています（第2次元 最大値3 指定値4）");
}

TEST(FlowGames, CallsLoopsAndJumps) {
    ExpectQuietEnd(
        "*define\ndefsub addto\ngame\n*start\n"
        // nested calls
        "gosub *a\nif %5 != 321 fail_gosub\n"
        // a loop with a negative step and break
        "for %0=10 to 1 step -3\nmov %6,%6+1\nif %0 < 5 break\nnext\n"
        "if %6 != 3 fail_for_count\nif %0 != 4 fail_for_var\n"
        // conditions
        "mov $1,\"abc\"\nif $1 = \"abc\" && %6 = 3 mov %7,1\nif %7 != 1 fail_and\n"
        "notif %6 = 3 | $1 = \"x\" mov %8,1\nif %8 != 1 fail_notif_or\n"
        "if lchk *a mov %9,1\nif %9 != 1 fail_lchk\n"
        // skip over lines and ~
        "skip 2\nfail_skip\njumpf\nfail_jumpf\n~\n"
        "tablegoto 2,*t0,*t1,*t2\n*t0\n*t1\nfail_tablegoto\n*t2\n"
        // a user-defined command reading numbers, texts and references
        "addto %10,5,\"x\",$11\nif %10 != 5 fail_defsub_num\nif $11 != \"x\" fail_defsub_str\n"
        "end\n"
        "*a\nmov %5,%5*10+3\ngosub *b\nreturn\n"
        "*b\nmov %5,%5*10+2\ngosub *c\nreturn\n"
        "*c\nmov %5,%5*10+1\nreturn\n"
        "*addto\ngetparam i%30,%31,$30,s%32\nmov %%30,%31\nmov $%32,$30\nreturn\n");
}

TEST(FlowGames, ResetKeepsTheGlobalVariables) {
    ExpectQuietEnd(
        "*define\ngame\n*start\n"
        "if %1 != 0 fail_local_kept\nif $1 != \"\" fail_local_text_kept\n"
        "mov %1,1\nmov $1,\"x\"\nmov %300,%300+1\n"
        "if %300 < 3 reset\n"
        "if %300 != 3 fail_global\nend\n");
}

}  // namespace
