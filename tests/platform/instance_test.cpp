// The single-instance lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>

#include "plat_test.h"

// What another copy of the program started in `dir` would get: 1 when it
// could take the lock, 0 when not.
static int OtherCopyCanLock(const std::string& dir) {
    pid_t pid = fork();
    if (pid == 0) {
        // A new process opens the file afresh: do exactly that (the
        // inherited descriptor would share this process's lock).
        int ok = 0;
        if (chdir(dir.c_str()) == 0) {
            int fd = open(".orva.lock", O_RDWR | O_CREAT, 0644);
            ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
        }
        _exit(ok);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same through PlatAcquireInstanceLock in a fresh process.
static int OtherCopyAcquires(const std::string& dir) {
    std::string cmd = "cd '" + dir + "' && PLAT_LOCK_HELPER=1 /proc/" + std::to_string(getpid()) +
                      "/exe --gtest_filter=Instance.HelperProcess >/dev/null 2>&1";
    int status = system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Instance, HelperProcess) {
    if (!getenv("PLAT_LOCK_HELPER")) GTEST_SKIP() << "run by Instance.SecondCopyIsRefused";
    _exit(PlatAcquireInstanceLock() ? 1 : 0);
}

TEST(Instance, SecondCopyIsRefused) {
    ScratchDir dir;
    InGameDir in(dir.path);
    EXPECT_EQ(OtherCopyCanLock(dir.path), 1);  // nobody holds it yet
    ASSERT_TRUE(PlatAcquireInstanceLock());
    struct stat st;
    EXPECT_EQ(stat((dir / ".orva.lock").c_str(), &st), 0);
    EXPECT_TRUE(PlatAcquireInstanceLock());  // again in the same process
    EXPECT_EQ(OtherCopyCanLock(dir.path), 0);
    EXPECT_EQ(OtherCopyAcquires(dir.path), 0);
    // Another game folder is another lock.
    ScratchDir other;
    EXPECT_EQ(OtherCopyAcquires(other.path), 1);
    PlatReleaseInstanceLock();
    EXPECT_EQ(OtherCopyCanLock(dir.path), 1);
    EXPECT_EQ(OtherCopyAcquires(dir.path), 1);
    PlatReleaseInstanceLock();  // harmless when not held
}
