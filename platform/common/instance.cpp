// instance.cpp - one copy of the program per game folder: an exclusive
// flock on ".orva.lock" in the game folder, held for the life of the process.
// A folder where the file can be neither created nor opened (read-only media)
// is locked through a file in /tmp named after the folder instead.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/platform.h"

static int LockFd = -1;

static int OpenLockFile() {
    int fd = open(".orva.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) fd = open(".orva.lock", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) return fd;
    uint32_t h = 2166136261u;  // FNV-1a of the folder's path
    for (unsigned char c : PlatGameDir()) h = (h ^ c) * 16777619u;
    char name[64];
    snprintf(name, sizeof name, "/tmp/orva-%u-%08x.lock", (unsigned)getuid(), (unsigned)h);
    return open(name, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool PlatAcquireInstanceLock() {
    if (LockFd >= 0) return true;
    int fd = OpenLockFile();
    if (fd < 0) return true;  // nowhere to lock: do not refuse to run
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) {
            close(fd);
            return false;
        }
        break;  // locks not supported here: run unlocked
    }
    LockFd = fd;
    return true;
}

void PlatReleaseInstanceLock() {
    if (LockFd < 0) return;
    flock(LockFd, LOCK_UN);
    close(LockFd);
    LockFd = -1;
}
