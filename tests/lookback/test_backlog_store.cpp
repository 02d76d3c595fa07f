// The backlog's store inside the test program: the page and tag lists never
// hold more than the limit (also for pages restored from a slot, and with a
// limit of 0 or below), the tag is cut to its field, and the page numbers
// of GetBacklogPage; the fatal texts of the backlog commands.
#include <gtest/gtest.h>

#include <string>

#include "core/script.h"
#include "core/variables.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "text/backlog.h"
#include "text/backlog_commands.h"
#include "text/textline.h"

namespace {

class BacklogStore : public ::testing::Test {
protected:
    void SetUp() override {
        ClearBacklog();
        LookbackOn = 1;
        BacklogPageLimit = 16;
    }
    void TearDown() override { SetUp(); }
    static void Page(const std::string& text, const char* tag = nullptr) {
        if (tag) SetBacklogPageTag(tag);
        BacklogAppend(text.data(), (int)text.size());
        CommitBacklogPage();
    }
    static std::string Get(int n) {
        const char* s = "?";
        return GetBacklogPage(n, &s) ? s : "<none>";
    }
    static std::string Tag(int n) {
        const char* s = "?";
        return GetBacklogTag(n, &s) ? s : "<none>";
    }
};

TEST_F(BacklogStore, PageNumbers) {
    EXPECT_EQ(Get(1), "");  // an empty list: its empty end
    EXPECT_EQ(Get(0), "");
    Page("ab", "t1");
    Page("cd");
    BacklogAppend("ef", 2);
    EXPECT_EQ(Get(0), "ef");
    EXPECT_EQ(Get(1), "cd");
    EXPECT_EQ(Get(2), "ab");
    EXPECT_EQ(Get(3), "ab");  // past the oldest: the oldest
    EXPECT_EQ(Get(-1), "<none>");
    EXPECT_EQ(Tag(2), "t1");
    EXPECT_EQ(Tag(1), "");
    EXPECT_EQ(Tag(-1), "<none>");
    EXPECT_EQ(IsBacklogShorterThan(2), 0);
    EXPECT_EQ(IsBacklogShorterThan(3), -1);
}

TEST_F(BacklogStore, ListsBoundedByTheLimit) {
    BacklogPageLimit = 2;
    Page("a", "ta");
    Page("b", "tb");
    Page("c", "tc");
    EXPECT_EQ(BacklogCommittedCount(), 2);
    EXPECT_EQ(Get(2), "b");
    EXPECT_EQ(Tag(2), "tb");  // the tag went with its page
    // Pages restored from a slot are bounded as well.
    for (const char* p : {"x", "y", "z"}) RestoreBacklogPage(p, p);
    EXPECT_EQ(BacklogCommittedCount(), 2);
    EXPECT_EQ(Get(2), "y");
    EXPECT_EQ(Tag(1), "z");
    // A limit of 0 or below keeps nothing.
    BacklogPageLimit = -5;
    Page("d");
    EXPECT_EQ(BacklogCommittedCount(), 0);
    EXPECT_EQ(Tag(1), "");
}

TEST_F(BacklogStore, TagCutToItsField) {
    std::string tag(300, 't');
    Page("a", tag.c_str());
    EXPECT_EQ(Tag(1).size(), (size_t)BacklogTagSize - 1);
    // A commit while logging is off does nothing; nor does a second one.
    LookbackOn = 0;
    BacklogAppend("b", 1);
    CommitBacklogPage();
    EXPECT_EQ(BacklogCommittedCount(), 1);
    LookbackOn = 1;
    CommitBacklogPage();
    EXPECT_EQ(BacklogCommittedCount(), 1);
}

TEST(BacklogCommands, FatalTexts) {
    StartHeadlessForTests();
    int saved = VariableCount;
    VariableCount = 16;
    AllocateVariableTables(VariableCount);
    struct Case {
        void (*command)();
        const char* operands;
        const char* box;
    } cases[] = {
        {Cmd_checkpage, "$0,1", "構文エラー: checkpageの第一引数は数字変数です。"},
        {Cmd_getlog, "%0,1", "構文エラー: getlogの引数は文字変数です。"},
        {Cmd_gettaglog, "1,1", "構文エラー: gettaglogの引数は文字変数です。"},
        {Cmd_getlogtext, "%1,1", "構文エラー: getlogtextの引数は文字変数です。"},
        {Cmd_checkpage, "%16,1", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_gettaglog, "$16,1", "エラー: 文字列変数番号が範囲外です。"},
    };
    std::string script;
    for (const Case& c : cases) {
        UseScriptText(&script, c.operands);
        EXPECT_EQ(FatalBoxOf(c.command, true), c.box) << c.operands;
    }
    ForgetScriptText();
    VariableCount = saved;
    AllocateVariableTables(VariableCount);
}

}  // namespace
