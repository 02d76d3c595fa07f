// signals.cpp - SIGINT, SIGTERM and SIGHUP as a close request.
//
// The first signal only sets a flag (all a handler may safely do); the
// engine turns it into WM_CLOSE with wparam 1 (closed by a signal: no
// question box) from the message pump and between statements, and the
// orderly end then exits with status 128 + the signal's number.  A second
// signal ends the process at once, after removing the private temporary
// folder with async-signal-safe calls only.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/common/backend.h"

volatile sig_atomic_t PlatSignalPending;
static volatile sig_atomic_t SignalNumber;  // the first signal's number, 0 for none
static bool Delivered;                      // its WM_CLOSE has been sent

// The temporary folder as the handler removes it: set once it exists.
static char TempPath[4096];
static volatile pid_t TempPid;

void NoteTempDirForSignals(const char* path) {
    size_t n = strlen(path);
    if (n >= sizeof TempPath) return;
    memcpy(TempPath, path, n + 1);
    TempPid = getpid();
}

// Removes everything below the open folder `fd` and closes it, using only
// system calls.  The depth is bounded; what lies deeper stays.
static void RemoveBelow(int fd, int depth) {
    char buf[2048];
    bool removed = true;
    // Entries removed while the folder is read may shift the rest: read it
    // again from the start until a pass removes nothing.
    while (removed) {
        removed = false;
        lseek(fd, 0, SEEK_SET);
        long n;
        while ((n = syscall(SYS_getdents64, fd, buf, sizeof buf)) > 0) {
            for (long at = 0; at < n;) {
                struct Entry {
                    uint64_t ino;
                    int64_t off;
                    unsigned short reclen;
                    unsigned char type;
                    char name[1];
                };
                const Entry* e = (const Entry*)(buf + at);
                at += e->reclen;
                const char* name = e->name;
                if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]))) continue;
                if (unlinkat(fd, name, 0) != 0 && depth < 16) {
                    int sub = openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                    if (sub >= 0) RemoveBelow(sub, depth + 1);
                    if (unlinkat(fd, name, AT_REMOVEDIR) != 0) continue;
                }
                removed = true;
            }
        }
    }
    close(fd);
}

static void RemoveTempDirNow() {
    if (!TempPath[0] || TempPid != getpid()) return;
    int fd = open(TempPath, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) RemoveBelow(fd, 0);
    rmdir(TempPath);
}

static void OnSignal(int sig) {
    if (!PlatSignalPending) {
        SignalNumber = sig;
        PlatSignalPending = 1;
        return;
    }
    RemoveTempDirNow();
    _exit(128 + sig);
}

void InstallSignalHandlers() {
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

void PlatDeliverSignal() {
    if (!PlatSignalPending || Delivered) return;
    Delivered = true;
    if (!QueueHasWindowProc()) PlatExit(0);  // no window to close yet: end now
    PlatSendMessage(WM_CLOSE, 1, 0);
}

int SignalExitStatus() { return SignalNumber ? 128 + SignalNumber : 0; }

void ResetSignalsForTests() {
    PlatSignalPending = 0;
    SignalNumber = 0;
    Delivered = false;
}
