// The backlog through whole games in the headless runner: the script reads
// the pages back with getlog, gettaglog, getlogtext and checkpage after
// several page waits and names a failed check as a command that does not
// exist ("fail_..."), so a quiet end means every check held.  The page limit,
// tags, lookbackflush, lookbackoff, a save and load keeping pages and tags,
// and the fatal texts of the commands.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunOptions o;
    o.click_waits = true;
    return RunGame(dir, o);
}

void ExpectQuietEnd(const std::string& script) {
    RunResult r = Play(script);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

std::string FirstLine(const std::string& box) { return box.substr(0, box.find("\\n")); }

TEST(BacklogGames, PagesTagsAndTheLimit) {
    ExpectQuietEnd(
        "*define\nmaxkaisoupage 3\npretextgosub *ptg\ngame\n*start\n"
        "checkpage %0,1\nif %0 != 0 fail_empty_count\n"
        "getlog $0,1\nif $0 != \"\" fail_empty_log\n"
        "checkpage %0,0\nif %0 != 1 fail_zero_pages\n"
        // five pages, the first and the third tagged; only the last three stay
        "[太郎]あいう\\\n"
        "いろは\\\n"
        "[花子]にほへ@と\\\n"
        "ちりぬ\nるを\\\n"
        "わかよ\\\n"
        "checkpage %1,3\nif %1 != 1 fail_three_kept\n"
        "checkpage %1,4\nif %1 != 0 fail_fourth_dropped\n"
        "getlog $1,1\nif $1 != \"わかよ\" fail_newest\n"
        "getlog $2,2\nlen %4,$2\nif %4 != 11 fail_second_with_its_break\n"
        "getlogtext $3,2\nif $3 != \"ちりぬるを\" fail_logtext\n"
        "getlog $4,3\nif $4 != \"にほへと\" fail_oldest\n"
        "getlog $5,99\nif $5 != $4 fail_past_the_oldest\n"
        "gettaglog $6,3\nif $6 != \"花子\" fail_tag\n"
        "gettaglog $7,1\nif $7 != \"\" fail_untagged\n"
        "gettaglog $8,-1\nif $8 != \"\" fail_negative_tag\n"
        "getlog $9,-1\nif $9 != \"\" fail_negative\n"
        // the page being written, and a commit without new text adds nothing
        "たれそ/\ngetlog $10,0\nif $10 != \"たれそ\" fail_current\n"
        "textcommit\ntextcommit\ncheckpage %2,3\nif %2 != 1 fail_commit\n"
        "getlog $11,1\nif $11 != \"たれそ\" fail_committed\n"
        "getlogtext $12,3\nif $12 != \"ちりぬるを\" fail_limit_after_commit\n"
        // logging off: the page is lost
        "lookbackoff\nつねな\\\ngetlog $13,1\nif $13 != \"たれそ\" fail_off_committed\n"
        "lookbackon\nらむ\\\ngetlog $14,1\nif $14 != \"らむ\" fail_on_again\n"
        "lookbackflush\ncheckpage %3,1\nif %3 != 0 fail_flush\n"
        "getlog $15,0\nif $15 != \"\" fail_flush_current\n"
        "end\n"
        "*ptg\ngettag $50\nreturn\n");
}

TEST(BacklogGames, ASaveKeepsPagesAndTags) {
    ExpectQuietEnd(
        "*define\npretextgosub *ptg\ngame\n*start\n"
        "[太郎]あいう\\\nいろは\\\n"
        "savegame 1\nif %300 = 1 goto *loaded\n"
        "mov %300,1\nlookbackflush\nloadgame 1\n"
        "*loaded\n"
        "checkpage %1,2\nif %1 != 1 fail_pages_back\n"
        // (the load may show the last page again: the oldest is read)
        "getlog $1,99\nif $1 != \"あいう\" fail_page_text\n"
        "gettaglog $2,99\nif $2 != \"太郎\" fail_page_tag\n"
        "gettaglog $3,1\nif $3 != \"\" fail_untagged\n"
        "end\n"
        "*ptg\ngettag $50\nreturn\n");
}

// One fatal text through a whole game; the others in test_backlog_store.cpp.
TEST(BacklogGames, FatalText) {
    RunResult r = Play("*define\ngame\n*start\ngetlog %0,1\nend\n");
    EXPECT_EQ(r.status, 1) << r.err;
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_EQ(FirstLine(r.boxes[0]), "構文エラー: getlogの引数は文字変数です。");
}

}  // namespace
