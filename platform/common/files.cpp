// files.cpp - file names as the scripts write them, and the folders of the
// run: the game folder (the current folder) and a private temporary folder.
//
// A script names files in CP932 with '\' between components and does not
// care about case.  PlatResolve turns such a name into a real path: the
// components are split (a '\' that is the second byte of a two-byte
// character is kept), converted to UTF-8, and each one that does not exist
// under its own spelling is looked up in its folder ignoring ASCII case.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

#include "platform/platform.h"

static bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

static bool PathExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

static bool SameIgnoringCase(const char* a, const char* b) {
    for (;; a++, b++) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
        if (!x) return true;
    }
}

// The entry of `dir` ("" for the current folder) spelt like `name` but for
// ASCII case; of several, the first in byte order.  false when none.
static bool FindIgnoringCase(const std::string& dir, const std::string& name, std::string* found) {
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return false;
    bool any = false;
    while (struct dirent* e = readdir(d)) {
        if (!SameIgnoringCase(e->d_name, name.c_str())) continue;
        if (!any || strcmp(e->d_name, found->c_str()) < 0) *found = e->d_name;
        any = true;
    }
    closedir(d);
    return any;
}

std::string PlatResolve(const char* cp932) {
    if (!cp932 || !*cp932) return std::string();
    // Split at separators that are not trail bytes.
    std::vector<std::string> parts;
    std::string cur;
    const unsigned char* p = (const unsigned char*)cp932;
    bool absolute = *p == '\\' || *p == '/';
    bool trailing = false;
    for (; *p; p++) {
        if (IsLeadByte(*p) && p[1]) {
            cur += (char)p[0];
            cur += (char)p[1];
            p++;
            trailing = false;
        } else if (*p == '\\' || *p == '/') {
            if (!cur.empty()) parts.push_back(Cp932ToUtf8(cur));
            cur.clear();
            trailing = true;
        } else {
            cur += (char)*p;
            trailing = false;
        }
    }
    if (!cur.empty()) parts.push_back(Cp932ToUtf8(cur));

    std::string path = absolute ? "/" : "";
    auto join = [](std::string& base, const std::string& part) {
        if (!base.empty() && base.back() != '/') base += '/';
        base += part;
    };
    std::string whole = path;
    for (const std::string& part : parts) join(whole, part);
    if (trailing && !parts.empty()) whole += '/';
    if (PathExists(whole)) return whole;

    bool missing = false;  // a component was not found: the rest is as given
    for (const std::string& part : parts) {
        std::string next = path;
        join(next, part);
        std::string real;
        if (!missing && part != "." && part != ".." && !PathExists(next)) {
            if (FindIgnoringCase(path, part, &real)) {
                next = path;
                join(next, real);
            } else {
                missing = true;
            }
        }
        path = next;
    }
    if (trailing && !parts.empty()) path += '/';
    return path;
}

bool PlatExists(const char* cp932) {
    struct stat st;
    std::string path = PlatResolve(cp932);
    if (path.empty() || stat(path.c_str(), &st) != 0) return false;
    return S_ISREG(st.st_mode) || S_ISDIR(st.st_mode);
}

FILE* PlatOpen(const char* cp932, const char* mode) {
    if (!mode) return nullptr;
    std::string path = PlatResolve(cp932);
    if (path.empty()) return nullptr;
    // fopen knows no text mode: drop the 't' of "rt" and "wt".
    std::string m;
    for (const char* c = mode; *c; c++)
        if (*c != 't') m += *c;
    return fopen(path.c_str(), m.c_str());
}

long long PlatFileSize(const char* cp932) {
    struct stat st;
    std::string path = PlatResolve(cp932);
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return (long long)st.st_size;
}

bool PlatReadFile(const char* cp932, bool text_mode, std::vector<uint8_t>* out) {
    out->clear();
    std::string path = PlatResolve(cp932);
    if (path.empty()) return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    out->resize((size_t)st.st_size);
    size_t got = 0;
    while (got < out->size()) {
        ssize_t n = read(fd, out->data() + got, out->size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += (size_t)n;
    }
    close(fd);
    if (got != out->size()) {  // shortened while read, or a read error
        out->clear();
        return false;
    }
    if (text_mode) PlatTextModeFilter(out);
    return true;
}

void PlatTextModeFilter(std::vector<uint8_t>* bytes) {
    uint8_t* b = bytes->data();
    size_t n = bytes->size(), w = 0;
    for (size_t r = 0; r < n; r++)
        if (!(b[r] == '\r' && r + 1 < n && b[r + 1] == '\n')) b[w++] = b[r];
    bytes->resize(w);
}

// ---- folders -------------------------------------------------------------------

static std::once_flag TempOnce;
static std::string TempDir;
static pid_t TempOwner;

static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    remove(path);
    return 0;
}

void RemovePlatTempDir() {
    // A forked child leaves its parent's folder alone.
    if (TempDir.empty() || TempOwner != getpid()) return;
    nftw(TempDir.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

const std::string& PlatTempDir() {
    std::call_once(TempOnce, [] {
        const char* base = getenv("TMPDIR");
        if (!base || !*base) base = "/tmp";
        std::string tmpl = std::string(base) + "/orva-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back(0);
        if (mkdtemp(buf.data())) {
            TempDir = buf.data();
            TempOwner = getpid();
            atexit(RemovePlatTempDir);
        } else {
            TempDir = base;  // no folder of our own: use the shared one
            while (TempDir.size() > 1 && TempDir.back() == '/') TempDir.pop_back();
        }
    });
    return TempDir;
}

static std::string GameDir;

const std::string& PlatGameDir() {
    if (GameDir.empty()) {
        char buf[PATH_MAX];
        if (getcwd(buf, sizeof buf)) GameDir = buf;
    }
    return GameDir;
}

bool PlatSetGameDir(const char* utf8) {
    if (!utf8 || chdir(utf8) != 0) return false;
    GameDir.clear();
    PlatGameDir();
    return true;
}
