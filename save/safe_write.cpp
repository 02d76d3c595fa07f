// safe_write.cpp - temporary file, fsync, rename, fsync of the folder.
#include "save/safe_write.h"

#include <errno.h>
#include <fcntl.h>
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
    std::string path = PlatResolve(cp932_name);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".tmp%ld", (long)getpid());
    std::string temp = path + suffix;
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
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
