// The crash-safe writer under SIGKILL: a child rewrites one file in a loop
// with two different contents and is killed at random moments; the file is
// always one of the two, whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "platform/platform.h"
#include "save/safe_write.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

TEST(SafeWriteKill, KilledWriterLeavesOldOrNewFile) {
    StartHeadlessForTests();
    std::string saved = PlatGameDir();
    std::string dir = MakeGameFolder();
    ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    const std::string a(30000, 'a'), b(70000, 'b');
    ASSERT_TRUE(SafeWriteFile("gloval.sav", a.data(), a.size()));
    std::mt19937 random(12345);
    for (int round = 0; round < 40; round++) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; i++) {
                const std::string& s = i % 2 ? a : b;
                SafeWriteFile("gloval.sav", s.data(), s.size());
            }
        }
        usleep(200 + random() % 5000);
        kill(child, SIGKILL);
        int status;
        waitpid(child, &status, 0);
        std::string now;
        ASSERT_TRUE(ReadGameFileBytes(dir, "gloval.sav", &now)) << round;
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
    PlatSetGameDir(saved.c_str());
}
