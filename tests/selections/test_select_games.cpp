// Selections played through the headless runner: select, selgosub, selnum
// and csel with the mouse and the keys, the right click inside a selection,
// and the full call stack of selgosub.  The scripts check their
// own results and name a failed check as a command that does not exist
// ("fail_..."), so a quiet end means every check held.
//
// The first statement runs about 510 ms after the start (virtual time), so
// the events begin at 1000 ms.
//
// Layout of the default text window: origin 21,16, cells 26 x 28, so the
// choices of a selection at the top of the page lie on rows y 16..43,
// 44..71, 72..99, and a one-letter choice from x 22 to 47.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script, const std::string& events = "") {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunOptions opt;
    opt.events = events;
    opt.max_ms = 20000;
    return RunGame(dir, opt);
}

void ExpectQuietEnd(const RunResult& r) {
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

std::string FirstLine(const std::string& box) { return box.substr(0, box.find("\\n")); }

TEST(SelectGames, ChoicesWithMouseAndKeys) {
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\n"
        // the mouse: a move onto the second row and a click (a wheel turn up
        // before it opens the lookback viewer, which has nothing to show)
        "select \"A\",*a1,\n  \"B\",*b1\n*a1\nfail_select_mouse\n*b1\n"
        // Up with nothing hovered goes to the last choice; the empty one is not offered
        "selnum %1,\"x\",\"\",\"y\",\"z\"\nif %1 != 2 fail_selnum_up\n"
        // Down with nothing hovered goes to the first; selgosub returns behind itself
        "selgosub \"p\",*p,\"q\",*q\nif %2 != 1 fail_selgosub\n"
        // an empty first text: the one choice left is index 0 with the second label
        "select \"\",*n1,\"only\",*o1\n*n1\nfail_empty_first\n*o1\n"
        // Down twice from the first wraps back over the last
        "selnum %3,\"a\",\"b\"\nif %3 != 0 fail_wrap\n"
        // a click outside every choice is ignored
        "selnum %4,\"a\",\"b\"\nif %4 != 1 fail_click_outside\n"
        "end\n"
        "*p\nmov %2,1\nreturn\n*q\nfail_q\n",
        "1100 move 30 50\n1120 wheel 1\n1150 click 30 50\n"
        "1290 move 600 400\n1300 key up\n1350 key enter\n"
        "1490 move 600 400\n1500 key down\n1550 key enter\n"
        "1690 move 600 400\n1700 key down\n1750 key enter\n"
        "1890 move 600 400\n1900 key down\n2100 key down\n2300 key down\n2350 key enter\n"
        "2490 move 600 400\n2500 click 600 400\n2550 move 30 50\n2600 click 30 50\n"));
}

TEST(SelectGames, RightClickInASelection) {
    // The default mode hides the window until the next click, which does not
    // choose; the selection then goes on.  Esc does the same.
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\n"
        "select \"A\",*a,\"B\",*b\n*b\nfail_restoring_click_chose\n*a\n"
        "select \"A\",*a2,\"B\",*b2\n*b2\nfail_after_escape\n*a2\n"
        "end\n",
        "1100 move 30 50\n1150 rclick 30 50\n1250 click 30 50\n1350 move 30 22\n1400 click 30 22\n"
        "1600 move 30 50\n1650 key escape\n1750 click 30 50\n1850 move 30 22\n1900 click 30 22\n"));
    // rgosub: the command ends without a jump, the routine runs and its
    // return goes on behind the selection; roff: a right click does nothing.
    ExpectQuietEnd(Play(
        "*define\nrgosub *rg\ngame\n*start\n"
        "select \"A\",*a,\"B\",*b\nif %1 != 1 fail_rgosub_not_run\nif %2 != 0 fail_jumped\n"
        "rmode 0\nselect \"A\",*c,\"B\",*d\n*c\nfail_rmode_off_choice\n*d\n"
        "end\n*a\n*b\nmov %2,1\nend\n"
        "*rg\nmov %1,1\nreturn\n",
        "1100 rclick 30 22\n1300 rclick 30 22\n1350 move 30 50\n1400 click 30 50\n"));
}

TEST(SelectGames, CustomSelection) {
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\n"
        "gosub *ask\n"
        "; a comment line between\n"
        "csel \"yes\",*y,\"\",*x,\n  \"no\",*n\n"
        "fail_csel_returned\n"
        "*ask\nnextcsel %9\nreturn\n"
        "*customsel\n"
        "getcselnum %1\nif %1 != 2 fail_count\n"
        "getcselstr $1,1\nif $1 != \"no\" fail_text\n"
        "getcselstr $2,0\nif $2 != \"yes\" fail_text0\n"
        "cselgoto 1\n"
        "*y\nfail_first_label\n"
        "*n\nif %9 != 1 fail_nextcsel\n"
        "gosub *plain\nif %8 != 0 fail_nextcsel_plain\n"
        "end\n"
        "*plain\nnextcsel %8\nreturn\n"));
}

// The one fatal text that needs a selection to be answered (the others are
// tested in-process).
TEST(SelectGames, SelgosubOnAFullStack) {
    RunResult r = Play(
        "*define\ngame\n*start\n*r\ninc %0\nif %0 <= 1000 gosub *r\nselgosub \"A\",*l\n*l\n",
        "1100 move 30 22\n1150 click 30 22\n");
    EXPECT_EQ(r.status, 1) << r.err;
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_EQ(FirstLine(r.boxes[0]), "スタックエラー: gosub文のせいでスタックが溢れました。");
}

}  // namespace
