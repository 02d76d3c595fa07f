// Text buttons and choice buttons through the button wait, played by the
// headless runner.  With the default window (origin 21,16, cells 26 x 28)
// the text "<あい>と<うえ>" puts its buttons on x 21..72 and 99..150 of the
// first row (y 16..43).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script, const std::string& events) {
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

TEST(TextButtonGames, NumbersTextsAndSwitch) {
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\n"
        "textbtnstart 10\nbtndef \"\"\n"
        "<あい>と<うえ>と<7お>\n"
        "btnwait %1\nif %1 != 11 fail_second_button\nerasetextbtn\n"
        "gettextbtnstr $1,11\nif $1 != \"うえ\" fail_text\n"
        "gettextbtnstr $2,8\nif $2 != \"\" fail_missing_number\n"
        "gettextbtnstr $3,7\nif $3 != \"お\" fail_numbered\n"
        // textbtnoff: the wait passes over the page's buttons; btndef takes them back
        "textbtnoff\nbtnwait %2\nif %2 != 0 fail_textbtnoff\n"
        "btndef \"\"\nbtnwait %3\nif %3 != 10 fail_btndef_again\n"
        "end\n",
        "1100 move 120 30\n1150 click 120 30\n"
        "1300 move 40 30\n1350 click 40 30\n"
        "1500 move 40 30\n1550 click 40 30\n"));
}

TEST(TextButtonGames, WrappedButtonAnswersOnBothLines) {
    // 21 characters, then a button of three: two cells end the first row,
    // the third opens the second row (x 21..46, y 44..71).
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\nbtndef \"\"\n"
        "あああああああああああああああああああああ<かきく>\n"
        "btnwait %1\nif %1 != 1 fail_second_line\n"
        "btnwait %2\nif %2 != 1 fail_first_line\n"
        "end\n",
        "1100 move 30 50\n1150 click 30 50\n1300 move 590 30\n1350 click 590 30\n"));
}

TEST(TextButtonGames, ChoiceButtonsOfCsel) {
    ExpectQuietEnd(Play(
        "*define\ngame\n*start\n"
        "csel \"yes\",*y,\"no\",*n\n"
        "*customsel\ncselbtn 0,1,100,100\ncselbtn 1,2,100,150\nbtnwait %0\ncselgoto %0-1\n"
        "*y\nfail_first\n*n\nend\n",
        "1100 move 110 160\n1150 click 110 160\n"));
}

}  // namespace
