// The program's start: the runner, the missing script, the single instance
// and "config.txt".
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

#include "core/startup.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

TEST(Startup, MissingScriptIsAFatalErrorThatEndsWithOne) {
    std::string dir = MakeGameFolder();
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 1) << r.err;
    ASSERT_FALSE(r.boxes.empty()) << r.err;
    EXPECT_EQ(r.boxes[0].rfind("エラー: スクリプトファイルが見つかりません。", 0), 0u) << r.boxes[0];
}

TEST(Startup, BadFirstLineEndsWithMinusOne) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, ";$S800\n*define\ngame\n*start\n");
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 255);
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_EQ(r.boxes[0], "エラー: 一行目の設定が間違っています。");
}

TEST(Startup, SecondCopyOnTheSameFolderIsRefused) {
    std::string dir = MakeGameFolder();
    // The first copy marks that its story runs, then loops for good.
    WriteScript(dir, "*define\ngame\n*start\nfilecreate \"running.txt\"\n*loop\ngoto *loop\n");
    std::string exe = ORVA_EXE;
    pid_t first = fork();
    if (first == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(exe.c_str(), exe.c_str(), "--headless", dir.c_str(), (char*)nullptr);
        _exit(127);
    }
    ASSERT_GT(first, 0);
    std::string marker;
    for (int i = 0; i < 3000 && !ReadGameFileBytes(dir, "running.txt", &marker); i++)
        usleep(10000);
    RunResult r = RunGame(dir);
    int alive = kill(first, 0);
    kill(first, SIGKILL);
    waitpid(first, nullptr, 0);
    EXPECT_EQ(alive, 0) << "the first copy stopped";
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.boxes.size(), 1u) << r.err;
    EXPECT_EQ(r.boxes[0], "起動エラー: 同時に二つ実行しないでください");
}

TEST(Startup, BadCommandLineAndMissingFolder) {
    std::string dir = MakeGameFolder();
    RunOptions opt;
    RunResult r = RunGame(dir + "/no/such/folder", opt);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
}

// The runner's options: a bad command line is status 2 with a line naming
// the fault, and --max-ms ends a run that goes on with 124.
TEST(Startup, RunnerOptionsAndTheirStatuses) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\nend\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err;  // a part of standard error
    } cases[] = {
        {{"--headless", dir}, 0, ""},
        {{"--headless", "--max-ms"}, 2, "orva --help"},
        {{"--headless", "--max-ms", "", dir}, 2, "orva --help"},
        {{"--headless", "--max-ms", "-1", dir}, 2, "orva --help"},
        {{"--headless", "--max-ms", "10x", dir}, 2, "orva --help"},
        {{"--headless", "--bogus", dir}, 2, "orva --help"},
        {{"--headless", dir, dir}, 2, "orva --help"},
        {{"--click-waits", dir}, 2, "need --headless"},
        {{"--max-ms", "5", dir}, 2, "need --headless"},
        {{"--headless", "--events", dir + "/none.txt", dir}, 2, "cannot read the events file"},
    };
    for (const Case& c : cases) {
        RunResult r = RunOrva(c.args, dir);
        std::string what = c.args[1];
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << what << "\n" << r.err;
    }
    // The window is shown 500 ms before the story starts: a shorter run is
    // stopped on the way, a longer one reaches the end.
    RunResult r = RunOrva({"--headless", "--max-ms", "100", dir}, dir);
    EXPECT_EQ(r.status, 124) << r.err;
    EXPECT_NE(r.err.find("stopped after 100 ms"), std::string::npos) << r.err;
    r = RunOrva({"--headless", "--max-ms", "1000", dir}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST(ConfigFile, CdFadeOffComparesTheFirstNineCharacters) {
    StartHeadlessForTests();
    struct { const char* text; int expect; } cases[] = {
        {"", 0},
        {"cdfadeof\n", 0},
        {"volume 3\ncdfadeoff\n", 1},
        {"cdfadeoffandmore\r\n", 1},
        {" cdfadeoff\n", 0},
    };
    for (auto c : cases) {
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "config.txt", c.text);
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
        CdFadeOff = 0;
        ReadConfigFile();
        EXPECT_EQ(CdFadeOff, c.expect) << c.text;
    }
}

}  // namespace
