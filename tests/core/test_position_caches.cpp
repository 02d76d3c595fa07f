// What the interpreter keeps by script position (a command's handler, a
// label operand's label, a literal or variable term) follows a new script
// text, new labels and new user commands; jumps keep the label log right;
// the resolver's kept folder listings follow the folder; the text-mode
// filter.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/callstack.h"
#include "core/dispatch.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "platform/common/readinto.h"
#include "platform/platform.h"
#include "save/namelog.h"
#include "tests/core/script_fixture.h"

namespace {

class Kept : public ScriptTest {
protected:
    // The story from *start to its definereset.
    void RunStory() {
        JumpToLabel("start");
        CallStackDepth = 0;
        RestartRequested = 0;
        RunInterpreter(0);
        RestartRequested = 0;
    }
    // Writes "0.txt" and loads it as definereset does.
    void LoadFile(const std::string& text) {
        std::ofstream("0.txt", std::ios::binary) << text;
        LoadScript();
        ScanLabels();
    }
};

// Each pair of texts puts different statements, labels or terms at the same
// positions; the second run must read its own text, not what was kept from
// the first (each statement runs twice per text, so the first run's kept
// entries are in use when the text is replaced).
TEST_F(Kept, ReadsTheNewTextAfterALoad) {
    const struct {
        const char* what;
        const char* first;
        int first_value;
        const char* second;
        int second_value;
    } cases[] = {
        {"goto target",
         "*define\ngame\n*start\ngoto *a\n*b\nadd %0,2\ninc %9\nif %9<2 goto *start\ndefinereset\n"
         "*a\nadd %0,1\ninc %9\nif %9<2 goto *start\ndefinereset\n", 2,
         "*define\ngame\n*start\ngoto *a\n*a\nadd %0,2\ninc %9\nif %9<2 goto *start\ndefinereset\n"
         "*b\nadd %0,1\ninc %9\nif %9<2 goto *start\ndefinereset\n", 4},
        {"command", "*define\ngame\n*start\nadd %0,5\ninc %9\nif %9<2 goto *start\ndefinereset\n", 10,
         "*define\ngame\n*start\nsub %0,5\ninc %9\nif %9<2 goto *start\ndefinereset\n", -10},
        {"literal", "*define\ngame\n*start\nadd %0,5\ninc %9\nif %9<2 goto *start\ndefinereset\n", 10,
         "*define\ngame\n*start\nadd %0,7\ninc %9\nif %9<2 goto *start\ndefinereset\n", 14},
        {"variable term",
         "*define\ngame\n*start\nmov %1,3:mov %2,4:add %0,%1\ninc %9\nif %9<2 goto *start\ndefinereset\n", 6,
         "*define\ngame\n*start\nmov %1,3:mov %2,4:add %0,%2\ninc %9\nif %9<2 goto *start\ndefinereset\n", 8},
    };
    EnterGameFolder();
    for (const auto& c : cases) {
        LoadFile(c.first);
        RunStory();
        EXPECT_EQ(IntVariables[0], c.first_value) << c.what;
        LoadFile(c.second);  // fresh variables
        RunStory();
        EXPECT_EQ(IntVariables[0], c.second_value) << c.what;
    }
}

// A text put in place by hand (ScriptTextReplaced) and a new label scan over
// the same text are new generations too.
TEST_F(Kept, FollowsAReplacedTextAndANewLabelScan) {
    std::string storage;
    FreeScript();  // the fixture's own text
    UseScriptText(&storage, "*define\ngame\n*start\nadd %0,5\ngoto *x\n*x\ndefinereset\n");
    ScanLabels();
    RunStory();
    EXPECT_EQ(IntVariables[0], 5);
    // The same length: "add" becomes "sub" in place.
    storage.replace(storage.find("add"), 3, "sub");
    ScriptTextReplaced();
    RunStory();
    EXPECT_EQ(IntVariables[0], 0);
    // The labels scanned again: the kept goto still finds *x.
    LabelCount = 0;
    ScanLabels();
    RunStory();
    EXPECT_EQ(IntVariables[0], -5);
    ForgetScriptText();
}

// A built-in command kept for a statement gives way to a user command of
// the same name declared later.
TEST_F(Kept, UserCommandTakesOverAKeptStatement) {
    SetScript("*define\ngame\n*start\nadd %0,1\ndefinereset\n*add\ngetparam %5,%6\nmov %1,99\nreturn\n");
    ScanLabels();
    RunStory();
    EXPECT_EQ(IntVariables[0], 1);
    AddDefsubName("add");
    RunStory();
    EXPECT_EQ(IntVariables[0], 1);
    EXPECT_EQ(IntVariables[1], 99);
}

// A jump logs its label once; once the log was emptied the next jump, and
// the next label line passed, log it again.
TEST_F(Kept, JumpsLogTheirLabelAgainAfterTheLogWasCleared) {
    SetScript("*define\ngame\n*start\ngoto *far\n*far\n*near\ndefinereset\n");
    ScanLabels();
    ClearNameLog(&LabelLog);
    RunStory();
    EXPECT_TRUE(FindInNameLog(&LabelLog, "far"));
    EXPECT_TRUE(FindInNameLog(&LabelLog, "near"));
    ClearNameLog(&LabelLog);
    RunStory();
    EXPECT_TRUE(FindInNameLog(&LabelLog, "far"));
    EXPECT_TRUE(FindInNameLog(&LabelLog, "near"));
}

// ---- folder listings ------------------------------------------------------------------

// Sets the folder's modification time well into the past, so its listing is
// kept (a folder changed within the last moments is read at each use).
void Settle(const std::string& dir) {
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 60;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, dir.c_str(), times, 0), 0);
}

TEST_F(Kept, FolderListingIsReadOnceAndFollowsChanges) {
    std::string dir = EnterGameFolder();
    std::ofstream("Present.TXT") << "x";
    Settle(dir);
    // Absent names, in any case, cost one reading of the folder in all.
    long long before = PlatListingScans();
    for (int n = 0; n < 50; n++) {
        char name[16];
        snprintf(name, sizeof name, "%d.txt", n);
        EXPECT_FALSE(PlatExists(name));
    }
    EXPECT_TRUE(PlatExists("present.txt"));
    EXPECT_LE(PlatListingScans() - before, 1);
    // A file the engine writes is found at once under any case.
    FILE* f = PlatOpen("Written.Dat", "wb");
    ASSERT_NE(f, nullptr);
    fclose(f);
    EXPECT_TRUE(PlatExists("WRITTEN.DAT"));
    // So are files made and removed behind the resolver's back.
    Settle(dir);
    EXPECT_FALSE(PlatExists("OUTSIDE.TXT"));
    std::ofstream("Outside.txt") << "x";
    EXPECT_TRUE(PlatExists("OUTSIDE.TXT"));
    Settle(dir);
    EXPECT_TRUE(PlatExists("PRESENT.TXT"));
    ASSERT_EQ(unlink("Present.TXT"), 0);
    EXPECT_FALSE(PlatExists("PRESENT.TXT"));
}

// ---- the text-mode filter ----------------------------------------------------------------

TEST(TextModeFilter, DropsTheCrOfCrLfAndEndsAtCtrlZ) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"", ""},
        {"plain\nlines\n", "plain\nlines\n"},
        {"a\r\nb\r\n", "a\nb\n"},
        {"lone\rcr", "lone\rcr"},
        {"\r\r\n", "\r\n"},
        {"ends in cr\r", "ends in cr\r"},
        {"\r\n\r\n\r\n", "\n\n\n"},
        {"cut\r\nhere\x1a\r\nnot this", "cut\nhere"},
        {"\x1a", ""},
        {"cr before eof\r\x1a\n", "cr before eof\r"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes(c.in.begin(), c.in.end());
        PlatTextModeFilter(&bytes);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.out) << c.in;
    }
}

}  // namespace
