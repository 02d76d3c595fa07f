// The command line as a new user meets it: --help on standard output, and
// every fault naming what was wrong with status 2.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/game_folder.h"

namespace {

TEST(CommandLine, HelpExplainsEveryOptionOnStandardOutput) {
    std::string dir = MakeGameFolder();
    for (const char* flag : {"--help", "-h"}) {
        RunResult r = RunOrva({flag}, dir);
        EXPECT_EQ(r.status, 0) << flag;
        EXPECT_EQ(r.err, "") << flag;
        for (const char* option : {"usage: orva", "--headless", "--events FILE", "--click-waits",
                                   "--max-ms N", "--frame-out FILE.bmp", "Exit status"})
            EXPECT_NE(r.out.find(option), std::string::npos) << flag << " lacks " << option;
    }
}

TEST(CommandLine, FaultsSayWhatWasWrong) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "plain.txt", "x");
    struct Case {
        std::vector<std::string> args;
        std::string said;  // part of the standard-error text
    } cases[] = {
        {{"--fullscreen"}, "unknown option: --fullscreen"},
        {{"-x", dir}, "unknown option: -x"},
        {{"--headless", "--max-ms"}, "a value is missing after: --max-ms"},
        {{"--headless", "--events"}, "a value is missing after: --events"},
        {{"--headless", "--frame-out"}, "a value is missing after: --frame-out"},
        {{"--headless", "--max-ms", "ten", dir}, "not: ten"},
        {{"--headless", "--max-ms", "-5", dir}, "not: -5"},
        {{"--headless", dir, dir}, "extra argument: " + dir},
        {{"--max-ms", "10", dir}, "need --headless"},
        {{"--headless", dir + "/nothing-here"}, dir + "/nothing-here does not exist"},
        {{"--headless", dir + "/plain.txt"}, dir + "/plain.txt is a file, not a game folder"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        RunResult r = RunOrva(c.args, dir);
        EXPECT_EQ(r.status, 2) << line << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << line << "\n" << r.err;
        EXPECT_EQ(r.out, "") << line;
    }
}

}  // namespace
