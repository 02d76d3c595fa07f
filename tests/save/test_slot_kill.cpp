// A process killed while it writes a slot leaves the old slot or the new
// one, whole: a child rewrites the slot in a loop and is killed at random
// moments, and after each kill the file is one of the two images.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "save/safe_write.h"
#include "tests/support/game_folder.h"

TEST(SlotKill, KilledWriterLeavesTheOldOrTheNewSlot) {
    std::string dir = MakeGameFolder();
    std::string file = dir + "/save1.dat";
    // Two images of different sizes and contents, as two savepoints give.
    std::string a(150000, 'a'), b(90000, 'b');
    a[0] = 2;
    b[0] = 2;
    ASSERT_TRUE(SafeWriteFile(file.c_str(), a.data(), a.size()));
    std::mt19937 rng(12345);
    for (int round = 0; round < 40; round++) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0;; i++) {
                const std::string& img = i % 2 ? a : b;
                SafeWriteFile(file.c_str(), img.data(), img.size());
            }
        }
        usleep(1000 + rng() % 20000);
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        std::string now;
        ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &now)) << "round " << round;
        EXPECT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    }
}
