// safe_write.cpp - temporary file, fsync, rename, fsync of the folder.
#include "save/safe_write.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/platform.h"

static bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + strerror(errno);
    return false;
}

bool SafeWriteFile(const char* cp932_name, const void* data, size_t size, std::string* error) {
    if (!PlatWriteAllowed(cp932_name)) {
        errno = EACCES;
        return Fail(error, Cp932ToUtf8(cp932_name));
    }
    std::string path = PlatResolve(cp932_name);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".tmp%ld", (long)getpid());
    std::string temp = path + suffix;
    // Never through a link planted under the temporary file's name.
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return Fail(error, temp);
    const uint8_t* p = (const uint8_t*)data;
    size_t left = size;
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int e = n < 0 ? errno : ENOSPC;
            close(fd);
            unlink(temp.c_str());
            errno = e;
            return Fail(error, temp);
        }
        p += n;
        left -= (size_t)n;
    }
    if (fsync(fd) != 0) {
        int e = errno;
        close(fd);
        unlink(temp.c_str());
        errno = e;
        return Fail(error, temp);
    }
    if (close(fd) != 0) {
        int e = errno;
        unlink(temp.c_str());
        errno = e;
        return Fail(error, temp);
    }
    if (rename(temp.c_str(), path.c_str()) != 0) {
        int e = errno;
        unlink(temp.c_str());
        errno = e;
        return Fail(error, path);
    }
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);  // the rename is on disk; some file systems refuse this, harmlessly
        close(dir);
    }
    return true;
}

bool SafeWriteFileIfChanged(const char* cp932_name, const void* data, size_t size, std::string* error) {
    std::vector<uint8_t> old;
    if (PlatFileSize(cp932_name) == (long long)size && PlatReadFile(cp932_name, false, &old) &&
        old.size() == size && (size == 0 || memcmp(old.data(), data, size) == 0))
        return true;
    return SafeWriteFile(cp932_name, data, size, error);
}

// "NAME.tmpPID": true with *pid and the length of NAME.
static bool SplitTempName(const char* entry, long* pid, size_t* name_length) {
    const char* tmp = strrchr(entry, '.');
    if (!tmp || tmp == entry || strncmp(tmp, ".tmp", 4) != 0 || !tmp[4]) return false;
    long v = 0;
    for (const char* d = tmp + 4; *d; d++) {
        if (*d < '0' || *d > '9' || v > 99999999) return false;
        v = v * 10 + (*d - '0');
    }
    *pid = v;
    *name_length = (size_t)(tmp - entry);
    return v > 0;
}

void RemoveStaleTempFiles(const char* cp932_folder, bool (*ours)(const char* name)) {
    std::string folder = cp932_folder && *cp932_folder ? PlatResolve(cp932_folder) : ".";
    DIR* d = opendir(folder.c_str());
    if (!d) return;
    std::vector<std::string> stale;
    while (struct dirent* e = readdir(d)) {
        long pid = 0;
        size_t length = 0;
        if (!SplitTempName(e->d_name, &pid, &length) || pid == (long)getpid()) continue;
        if (!ours(std::string(e->d_name, length).c_str())) continue;
        std::string path = folder + "/" + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid()) continue;
        if (kill((pid_t)pid, 0) == 0 || errno != ESRCH) continue;  // its writer may still run
        stale.push_back(path);
    }
    closedir(d);
    for (const std::string& path : stale) unlink(path.c_str());
}
