// How a run ends, as a shell script or test runner sees it: the exit status
// of each ending, and --max-ms bounding also a script that never waits.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

TEST(RunEndings, ExitStatusTellsSuccessFromFailure) {
    struct Case {
        const char* what;
        const char* script;  // "" for no script at all
        long long max_ms;
        int status;
    } cases[] = {
        {"the story ends", "*define\ngame\n*start\nend\n", 600000, 0},
        {"a fatal script error", "*define\ngame\n*start\nnosuch\n", 600000, 1},
        {"a fatal error in *define", "*define\nnosuch\ngame\n", 600000, 1},
        {"the end of the script", "*define\ngame\n*start\n", 600000, 1},
        {"no script", "", 600000, 1},
        {"a bad first line ends with -1", ";$S0,0\n*define\ngame\n*start\nend\n", 600000, 255},
        {"--max-ms runs out", "*define\ngame\n*start\n*l\nwait 10\ngoto *l\n", 2000, 124},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        if (*c.script) WriteScript(dir, c.script);
        RunOptions opt;
        opt.max_ms = c.max_ms;
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    }
}

// Statements move virtual time too (1 ms each 10,000), so a loop that never
// waits still meets --max-ms, at the same point in every run.
TEST(RunEndings, MaxMsStopsALoopThatNeverWaits) {
    struct Case {
        const char* what;
        const char* story;
    } cases[] = {
        {"goto loop", "*l\ngoto *l\n"},
        {"arithmetic loop", "*l\ninc %1\nif %1 > 1000000 mov %1,0\ngoto *l\n"},
        {"for loop", "*l\nfor %2 = 1 to 100\nnext\ngoto *l\n"},
        {"gosub loop", "*l\ngosub *s\ngoto *l\n*s\nreturn\n"},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\ngame\n*start\n") + c.story);
        RunOptions opt;
        opt.max_ms = 700;  // the 505 ms before the story, then about 2 million statements
        opt.real_timeout_s = 30;
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, 124) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find("stopped after 700 ms of virtual time"), std::string::npos) << r.err;
    }
}

}  // namespace
