// The text display through whole games on the headless runner: where the
// cursor ends (wrapping, both line-break rules, ruby widening its base,
// vertical columns, the trailing '/', a lone last byte), the backlog page as
// gettext reads it, assignments in text, the textgosub hand-over, clickstr,
// and every fatal text.  The games check themselves: a failed check is a
// command that does not exist ("fail_..."), so a quiet end means all held.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script, const RunOptions& opt = RunOptions()) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    return RunGame(dir, opt);
}

// A game: *define with `define`, then the story; text is instant.
std::string Game(const std::string& define, const std::string& story) {
    return "*define\n" + define + "game\n*start\ntextspeed 0\n" + story + "end\n";
}

void ExpectQuietEnd(const std::string& script, const RunOptions& opt = RunOptions()) {
    RunResult r = Play(script, opt);
    EXPECT_EQ(r.status, 0) << script << "\n" << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b << "\n" << script;
}

// The first line of the only box of a game that must fail.
std::string FatalOf(const std::string& script) {
    RunResult r = Play(script);
    EXPECT_EQ(r.status, 1) << script << "\n" << r.err;
    if (r.boxes.size() != 1) return "<" + std::to_string(r.boxes.size()) + " boxes>";
    return r.boxes[0].substr(0, r.boxes[0].find("\\n"));
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    while (n-- > 0) out += s;
    return out;
}

// Checks of the cursor: getcursorpos into %0 %1 must give (x, y).
std::string CursorIs(int x, int y, const std::string& name) {
    return "getcursorpos %0,%1\nif %0 != " + std::to_string(x) + " fail_" + name + "_x\nif %1 != " +
           std::to_string(y) + " fail_" + name + "_y\n";
}

// Default window: origin 21,16, 23 columns, advance 26, line advance 28.
int X(int column) { return 21 + 26 * column; }
int Y(int line) { return 16 + 28 * line; }

TEST(DisplayGames, ControlCheckFails) {
    EXPECT_EQ(FatalOf(Game("", "あ/\n" + CursorIs(X(0), Y(0), "control"))),
              "構文エラー: 不正な命令\"fail_control_x\"です。");
}

TEST(DisplayGames, CursorAfterWrapsAndLineBreakRules) {
    struct Case {
        const char* name;
        std::string define, story;  // *define lines; story lines before the check
        int column, line;
    } cases[] = {
        {"one_line", "", "あいう/\n", 3, 0},
        {"line_end", "", "あいう\n", 0, 1},
        {"wrap", "", Repeat("あ", 24) + "/\n", 1, 1},
        {"full_line_then_end", "", Repeat("あ", 23) + "\n", 0, 1},
        // "。" may not begin a line: the character before it moves along.
        {"start_rule", "", Repeat("あ", 22) + "い。/\n", 2, 1},
        {"start_rule_off", "", "kinsoku off\n" + Repeat("あ", 22) + "い。/\n", 1, 1},
        {"start_rule_on_again", "", "kinsoku off\nkinsoku on\n" + Repeat("あ", 22) + "い。/\n", 2, 1},
        // "「" may not end a line: it moves to the next one.
        {"end_rule", "", Repeat("あ", 22) + "「い/\n", 2, 1},
        {"added_rule", "addkinsoku \"う\",\"\"\n", Repeat("あ", 22) + "いう/\n", 2, 1},
        {"replaced_rule", "setkinsoku \"\",\"\"\n", Repeat("あ", 22) + "い。/\n", 1, 1},
        {"lone_byte", "", "puttext \"ABC\"\n", 1, 0},
        {"blanks_skipped", "", "あ い\tう/\n", 3, 0},
        {"controls_take_no_cell", "", "あ!s0#ff0000&3!w0!d0い/\n", 2, 0},
        {"indent", "", "indent 2\n" + Repeat("あ", 24) + "/\n", 3, 1},
        {"br", "", "あ/\nbr\nい/\n", 1, 1},
        {"locate", "", "locate 5,3\nあ/\n", 6, 3},
        {"puttext", "", "puttext \"あい/\"\n", 2, 0},
    };
    for (const Case& c : cases)
        ExpectQuietEnd(Game(c.define, c.story + CursorIs(X(c.column), Y(c.line), c.name)));
}

TEST(DisplayGames, LastCellAndNextLine) {
    ExpectQuietEnd(Game("", Repeat("あ", 24) + "\n"
                        "getcursorpos2 %0,%1\nif %0 != " + std::to_string(X(0)) + " fail_x\nif %1 != " +
                        std::to_string(Y(1)) + " fail_y\n"
                        "getnextline %2,%3\nif %2 != 21 fail_nx\nif %3 != " + std::to_string(Y(3)) + " fail_ny\n"
                        "getwindowsize %4,%5\nif %4 != 640 fail_w\nif %5 != 480 fail_h\n"));
}

TEST(DisplayGames, RubyWidensItsBase) {
    // Half-size ruby (13 wide) over one character of 26: three ruby
    // characters widen it by 13 (no column), five by 39 (one column).
    ExpectQuietEnd(Game("", "rubyon\n(漢/かんじ)/\n" + CursorIs(X(1), Y(0), "three") +
                                "br\n(字/かんかんじ)/\n" + CursorIs(X(2), Y(1), "five") +
                                "gettext $0\nif $0 != \"(漢/かんじ)(字/かんかんじ)\" fail_log\n"));
    // A group that would overrun the line moves to the next one whole.
    ExpectQuietEnd(Game("", Repeat("あ", 22) + "(漢字/かんじ)/\n" + CursorIs(X(2), Y(1), "group")));
    // Without '/' and ')' the '(' is passed over and the rest is text.
    ExpectQuietEnd(Game("", "あ(いう/\n" + CursorIs(X(3), Y(0), "open")));
    ExpectQuietEnd(Game("", "rubyon 10,10\n(漢/か)/\nrubyon2\n(字/じ)/\nrubyoff\nい/\n" +
                                CursorIs(X(3), Y(0), "sizes")));
}

TEST(DisplayGames, VerticalColumnsRunRightToLeft) {
    int right = 21 + 26 * 22;
    ExpectQuietEnd(Game("", "tateyoko 1\nあいう/\n" + CursorIs(right, Y(3), "down") + "br\n" +
                                Repeat("い", 17) + "/\n" + CursorIs(right - 2 * 26, Y(1), "wrapped")));
}

TEST(DisplayGames, BacklogPageText) {
    ExpectQuietEnd(Game("", "あい\nうえ/\ngettext $0\nif $0 != \"あいうえ\" fail_page\n"
                            "表示/\ngettext $1\nif $1 != \"あいうえ表示\" fail_trail_byte\n"
                            "br\nお\\\ngettext $2\nif $2 != \"\" fail_new_page\n"
                            "toplain $3,\"(漢/かん)字@#ffffff\\\\\"\nif $3 != \"漢字@#ffffff\" fail_toplain\n"),
                   [] {
                       RunOptions o;
                       o.click_waits = true;
                       return o;
                   }());
}

TEST(DisplayGames, AssignmentsInText) {
    ExpectQuietEnd(Game("", "あ{%5,42,$3,漢字a, %6,-7}い{}/\n"
                            "if %5 != 42 fail_num\nif $3 != \"漢字a\" fail_str\nif %6 != -7 fail_neg\n" +
                            CursorIs(X(2), Y(0), "cells")));
}

TEST(DisplayGames, TextgosubHandsTheWaitOver) {
    ExpectQuietEnd(
        "*define\ntextgosub *tg\ngame\n*start\ntextspeed 0\n"
        "mov %20,0\n"
        "あ@い\n"
        "getcursorpos2 %0,%1\nif %0 != 47 fail_same_line\nif %1 != 16 fail_same_line_y\n"
        "if %20 != 1 fail_calls\nif %11 != 0 fail_kind\n"
        "う@\n"
        "getcursorpos %0,%1\nif %0 != 21 fail_break_x\nif %1 != 72 fail_break_y\n"
        "え\\\nispage %12\n"
        "if %11 != 1 fail_page_kind\n"
        "end\n"
        "*tg\ninc %20\nispage %11\ntexec\nreturn\n");
}

TEST(DisplayGames, ClickstrWaits) {
    // clickstr "。" with 1 line left: clicks on lines 0..14, a page on 15.
    RunOptions o;
    o.click_waits = true;
    ExpectQuietEnd(
        "*define\nclickstr \"。\",1\ntextgosub *tg\ngame\n*start\ntextspeed 0\n"
        "あ。。い/\n"
        "if %20 != 1 fail_run_waits_once\nif %11 != 0 fail_click_kind\n"
        "locate 0,15\nう。え/\n"
        "if %11 != 1 fail_page_kind\n"
        "あ_。/\nif %20 != 2 fail_exempt\n"
        "end\n"
        "*tg\ninc %20\nispage %11\ntexec\nreturn\n",
        o);
}

TEST(DisplayGames, NothingLostAfterALoadOrAClickstrHandOver) {
    RunOptions o;
    o.click_waits = true;
    // A load (of a missing slot too) before a text does not end it at its
    // first wait.
    ExpectQuietEnd(Game("", "loadgame 7\nputtext \"ABCD@EFGH\"\ngettext $1\n"
                            "if $1 != \"ABCDEFGH\" fail_load_lost\n"),
                   o);
    // clickstr with textgosub: after the routine the rest of the script line
    // is read again, whatever the expansion added before or after it.
    struct Case {
        const char* name;
        std::string define, line, shown;
        int calls;
    } cases[] = {
        {"string_variable", "", "あ。い$0う", "あ。いかきう", 1},
        {"number_variable", "", "あ。い%0う", "あ。い１２う", 1},
        {"variable_before", "", "$0。いう", "かき。いう", 1},
        {"linepage", "linepage\n", "あ。いう", "あ。いう", 2},
        {"plain", "", "あ。いう", "あ。いう", 1},
    };
    for (const Case& c : cases) {
        std::string script = "*define\nclickstr \"。\",0\ntextgosub *tg\n" + c.define +
                             "game\n*start\ntextspeed 0\nmov $0,\"かき\"\nmov %0,12\n" + c.line +
                             "\nif %20 != " + std::to_string(c.calls) + " fail_calls\nif $10 != \"" + c.shown +
                             "\" fail_shown\nend\n*tg\ninc %20\ngettext $10\ntexec\nreturn\n";
        // Without linepage the line's own end shows what the last call missed.
        if (c.calls == 1) script.replace(script.find("if %20"), 0, "gettext $10\n");
        RunResult r = Play(script, o);
        EXPECT_EQ(r.status, 0) << c.name << "\n" << r.err;
        for (const std::string& b : r.boxes) ADD_FAILURE() << c.name << ": " << b;
    }
}

TEST(DisplayGames, FatalTexts) {
    struct Case {
        std::string define, story, box;
    } cases[] = {
        {"", "あ/い\n", "エラー: 表示文中の、/の次は改行文字でなければなりません。"},
        {"", Repeat("br\n", 16), "エラー: 文字が枠をはみ出してしまいました。"},
        {"", "locate 30,0\nあ\n", "エラー！: 文字がウィンドウからはみ出ました"},
        {"", "kinsoku maybe\n", "エラー: kinsoku命令にはonかoffを指定してください。"},
        {"", "ispage 5\n", "構文エラー: ispageの引数は数字変数です。"},
        {"", "ispage %99999\n", "エラー: 変数番号が範囲外をさしています。"},
        {"", "あ{%99999,1}\n", "エラー: 変数番号が範囲外をさしています。"},
        {"", "あ{$99999,a}\n", "エラー: 文字列変数番号が範囲外です。"},
        {"", "あ{x}\n", "エラー: 表示文中の{}の指定が間違っています。"},
        {"", "あ{%1 2}\n", "エラー: 表示文中の{}の指定が間違っています。"},
        {"", "rubyon 10,10,\"" + Repeat("a", 256) + "\"\n", "エラー: ルビフォント名が長すぎます。"},
        {"", "setcursor 2,\"c.bmp\",0,0\n", "エラー: カーソルは０（通常）と１（クリック消去用）です。"},
        {"", "clickpos 1,%2\n", "構文エラー: clickposの第一引数は数字変数です。"},
        {"", "clickpos %1,2\n", "構文エラー: clickposの第ニ引数は数字変数です。"},
        {"", "getnextline %1,2\n", "構文エラー: getnextlineの第１，２引数は数字変数です。"},
        {"", "gettext %1\n", "構文エラー: gettextの引数は文字変数です。"},
        {"", "toplain %1,\"a\"\n", "構文エラー: toplainの引数は文字変数です。"},
        {"", "toplain $1,\"(abc\"\n", "エラー: ルビ形式に間違いがあります。"},
        {"", "toplain $1,\"(a/bc\"\n", "エラー: ルビ形式に間違いがあります。"},
        {"", "getcursorpos 1,%2\n", "構文エラー: getcursorposの第一引数は数字変数です。"},
        // Fields that would overflow are refused.
        {"clickstr \"" + Repeat("。", 128) + "\",1\n", "", "エラー: clickstrの文字列が長すぎます。"},
        {"setkinsoku \"" + Repeat("。", 256) + "\",\"\"\n", "", "エラー: 禁則文字が多すぎます。"},
        {"addkinsoku \"" + Repeat("。", 200) + "\",\"\"\naddkinsoku \"" + Repeat("。", 100) + "\",\"\"\n", "",
         "エラー: 禁則文字が多すぎます。"},
    };
    for (const Case& c : cases) EXPECT_EQ(FatalOf(Game(c.define, c.story)), c.box) << c.story;
}

TEST(DisplayGames, FieldsThatFitAreKept) {
    // 127 characters of clickstr and lists just under 512 bytes fit;
    // '&' past the colour table leaves the colour and the text goes on.
    ExpectQuietEnd(Game("clickstr \"" + Repeat("ん", 127) + "\",1\n"
                        "setkinsoku \"" + Repeat("。", 255) + "\",\"\"\n",
                        "&999あい/\n" + CursorIs(X(2), Y(0), "colour_index")));
}

}  // namespace
