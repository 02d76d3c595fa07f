// signals.cpp - SIGINT, SIGTERM and SIGHUP as a close request.
//
// The first signal only sets a flag and writes a byte to a pipe (all a
// handler may safely do); a thread asleep on the pipe wakes a blocked wait,
// and the engine turns the flag into WM_CLOSE with wparam 1 (closed by a
// signal: no question box) from the message pump and between statements;
// the orderly end then exits with status 128 + the signal's number.  A
// second signal ends the process at once, after removing the private
// temporary folder with async-signal-safe calls only.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <thread>

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

// The handler's pipe to the waker: read end, write end (-1 without one).
static int WakePipe[2] = {-1, -1};

static void OnSignal(int sig) {
    if (!PlatSignalPending) {
        SignalNumber = sig;
        PlatSignalPending = 1;
        if (WakePipe[1] >= 0) {
            int saved = errno;
            char byte = 0;
            ssize_t n = write(WakePipe[1], &byte, 1);
            (void)n;
            errno = saved;
        }
        return;
    }
    RemoveTempDirNow();
    _exit(128 + sig);
}

// A blocked wait does not end for a signal by itself (the display's wait
// goes on after one): the waker, a thread asleep on the handler's pipe,
// ends it.  It costs nothing while no signal comes.
static void StartSignalWaker() {
    static std::once_flag once;
    std::call_once(once, [] {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        fcntl(fds[1], F_SETFL, O_NONBLOCK);
        WakePipe[0] = fds[0];
        WakePipe[1] = fds[1];
        std::thread([] {
            for (;;) {
                char byte;
                ssize_t n = read(WakePipe[0], &byte, 1);
                if (n > 0)
                    Backend->wake();
                else if (n < 0 && errno != EINTR)
                    return;
            }
        }).detach();
    });
}

void InstallSignalHandlers() {
    StartSignalWaker();
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
