// files.cpp - file names as the scripts write them, and the folders of the
// run: the game folder (the current folder) and a private temporary folder.
//
// A script names files in CP932 with '\' between components and does not
// care about case.  PlatResolve turns such a name into a real path: the
// components are split (a '\' that is the second byte of a two-byte
// character is kept), converted to UTF-8, and each one that does not exist
// under its own spelling is looked up in its folder ignoring ASCII case.
//
// Folder listings are kept: the scripts probe for many files that are not
// there (the numbered scripts, optional pictures and sounds), and each miss
// would otherwise read the whole folder.  A kept listing is used while the
// folder's identity and modification time are those it was read with; a
// folder changed so recently that a further change could leave the time as
// it is (file times move in coarse steps) is read again at each use, and a
// file the engine opens for writing drops the listing of its folder.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/common/readinto.h"

#include "platform/common/backend.h"

static bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

static bool PathExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

static std::string LowerAscii(const char* s) {
    std::string k(s);
    for (char& c : k)
        if (c >= 'A' && c <= 'Z') c = (char)(c + 32);
    return k;
}

// A folder's entries by their ASCII-lower-cased names, each the first
// spelling in byte order.
struct Listing {
    dev_t dev = 0;
    ino_t ino = 0;
    struct timespec mtime = {0, 0};
    std::unordered_map<std::string, std::string> names;
};

static std::mutex ListingsLock;
static std::unordered_map<std::string, Listing> Listings;  // by folder path as given
static long long ListingScans;

// File times move in steps of the kernel's coarse clock (a few ms); a folder
// changed less than this before it was read may change again unseen.  A
// time without its nanoseconds comes from a file system that keeps whole
// seconds (or two, as FAT does).
static long long SettledNs(const struct timespec& mtime) {
    return mtime.tv_nsec != 0 ? 50 * 1000000LL : 2100 * 1000000LL;
}

static bool ReadListing(const char* path, Listing* l) {
    DIR* d = opendir(path);
    if (!d) return false;
    ListingScans++;
    while (struct dirent* e = readdir(d)) {
        std::string key = LowerAscii(e->d_name);
        auto it = l->names.find(key);
        if (it == l->names.end())
            l->names.emplace(std::move(key), e->d_name);
        else if (strcmp(e->d_name, it->second.c_str()) < 0)
            it->second = e->d_name;
    }
    closedir(d);
    return true;
}

// The entry of `dir` ("" for the current folder) spelt like `name` but for
// ASCII case; of several, the first in byte order.  false when none.
static bool FindIgnoringCase(const std::string& dir, const std::string& name, std::string* found) {
    const char* path = dir.empty() ? "." : dir.c_str();
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    std::string key = LowerAscii(name.c_str());
    std::lock_guard<std::mutex> hold(ListingsLock);
    auto it = Listings.find(dir);
    if (it != Listings.end() && it->second.dev == st.st_dev && it->second.ino == st.st_ino &&
        it->second.mtime.tv_sec == st.st_mtim.tv_sec && it->second.mtime.tv_nsec == st.st_mtim.tv_nsec) {
        auto n = it->second.names.find(key);
        if (n == it->second.names.end()) return false;
        *found = n->second;
        return true;
    }
    if (it != Listings.end()) Listings.erase(it);
    Listing l;
    l.dev = st.st_dev;
    l.ino = st.st_ino;
    l.mtime = st.st_mtim;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (!ReadListing(path, &l)) return false;
    auto n = l.names.find(key);
    bool any = n != l.names.end();
    if (any) *found = n->second;
    long long age = (long long)(now.tv_sec - st.st_mtim.tv_sec) * 1000000000LL + (now.tv_nsec - st.st_mtim.tv_nsec);
    if (age > SettledNs(st.st_mtim)) Listings.emplace(dir, std::move(l));
    return any;
}

// The engine writes into the folder of path (a real path): its listing goes.
static void ForgetListingOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
    std::lock_guard<std::mutex> hold(ListingsLock);
    Listings.erase(dir);
}

void PlatForgetListings() {
    std::lock_guard<std::mutex> hold(ListingsLock);
    Listings.clear();
}

long long PlatListingScans() {
    std::lock_guard<std::mutex> hold(ListingsLock);
    return ListingScans;
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

// A text-mode read stream: the whole file, filtered, served from memory.
struct TextStream {
    std::vector<uint8_t> bytes;
    size_t at = 0;
};

static ssize_t TextStreamRead(void* cookie, char* buf, size_t size) {
    TextStream* t = (TextStream*)cookie;
    size_t n = std::min(size, t->bytes.size() - t->at);
    if (n > 0) memcpy(buf, t->bytes.data() + t->at, n);
    t->at += n;
    return (ssize_t)n;
}

static int TextStreamSeek(void* cookie, off64_t* offset, int whence) {
    TextStream* t = (TextStream*)cookie;
    long long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (long long)t->at
                                                                 : (long long)t->bytes.size();
    long long to = base + *offset;
    if (to < 0) return -1;
    t->at = std::min((size_t)to, t->bytes.size());
    *offset = (off64_t)t->at;
    return 0;
}

static int TextStreamClose(void* cookie) {
    delete (TextStream*)cookie;
    return 0;
}

FILE* PlatOpen(const char* cp932, const char* mode) {
    if (!mode) return nullptr;
    std::string path = PlatResolve(cp932);
    if (path.empty()) return nullptr;
    // A plain read ("r" or "rt", no 'b' nor '+') is a text-mode read: CR LF
    // becomes LF and a Ctrl-Z ends the file.  Other modes go to fopen, which
    // knows no 't'.
    if (mode[0] == 'r' && !strchr(mode, 'b') && !strchr(mode, '+')) {
        TextStream* t = new TextStream;
        if (!PlatReadFile(cp932, true, &t->bytes)) {
            delete t;
            return nullptr;
        }
        cookie_io_functions_t io = {TextStreamRead, nullptr, TextStreamSeek, TextStreamClose};
        FILE* f = fopencookie(t, "r", io);
        if (!f) delete t;
        return f;
    }
    std::string m;
    for (const char* c = mode; *c; c++)
        if (*c != 't') m += *c;
    if (m.find_first_of("wa+") != std::string::npos && !PlatWriteAllowed(cp932)) {
        errno = EACCES;
        return nullptr;
    }
    FILE* f = fopen(path.c_str(), m.c_str());
    if (mode[0] != 'r') ForgetListingOf(path);  // it may have made the file
    return f;
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
    if (bytes->empty()) return;
    bytes->resize(PlatTextModeFilterInPlace(bytes->data(), bytes->size()));
}

size_t PlatTextModeFilterInPlace(uint8_t* b, size_t n) {
    // A Ctrl-Z ends a text-mode read: old editors leave one at the end.
    if (n == 0) return 0;
    if (const void* eof = memchr(b, 0x1A, n)) n = (size_t)((const uint8_t*)eof - b);
    // The runs between CRs move down whole; a CR goes only before an LF.
    const uint8_t* cr = (const uint8_t*)memchr(b, '\r', n);
    if (!cr) return n;
    size_t w = (size_t)(cr - b), r = w;
    while (r < n) {  // b[r] is a CR
        if (r + 1 < n && b[r + 1] == '\n')
            r++;
        else
            b[w++] = b[r++];
        const uint8_t* next = r < n ? (const uint8_t*)memchr(b + r, '\r', n - r) : nullptr;
        size_t end = next ? (size_t)(next - b) : n;
        memmove(b + w, b + r, end - r);
        w += end - r;
        r = end;
    }
    return w;
}

bool PlatAppendFile(const char* cp932, bool text_mode, char** buf, size_t* cap, size_t* len, size_t spare) {
    std::string path = PlatResolve(cp932);
    if (path.empty()) return false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    size_t size = (size_t)st.st_size;
    if (*len + size + spare > *cap) {
        size_t grown = std::max(*len + size + spare, *cap + *cap / 2);
        char* b = new char[grown];
        if (*len) memcpy(b, *buf, *len);
        delete[] *buf;
        *buf = b;
        *cap = grown;
    }
    uint8_t* at = (uint8_t*)*buf + *len;
    // Fresh pages are faulted in here rather than one by one inside read(),
    // which costs far more per page in the kernel (and much more in VMs).
    memset(at, 0, size);
    size_t got = 0;
    while (got < size) {
        ssize_t n = read(fd, at + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += (size_t)n;
    }
    close(fd);
    if (got != size) return false;  // shortened while read, or a read error
    *len += text_mode ? PlatTextModeFilterInPlace(at, size) : size;
    return true;
}

// ---- folders -------------------------------------------------------------------

static std::once_flag TempOnce;
static std::string TempDir;
static std::atomic<bool> TempMade{false};  // TempDir is a folder of our own
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

// The folders "orva-PID-XXXXXX" of `base` that belong to copies no longer
// running: their ".lock" can be taken, or they have none and PID is gone.
// A free lock in a folder made within the last minute by a running PID is
// a copy starting at this moment, before it has taken its lock: it stays.
// Other users' folders and anything else are left alone.
static void RemoveLeftoverTempDirs(const std::string& base) {
    DIR* d = opendir(base.c_str());
    if (!d) return;
    std::vector<std::string> stale;
    while (struct dirent* e = readdir(d)) {
        long pid = 0;
        int end = 0;
        if (sscanf(e->d_name, "orva-%ld-%*6[A-Za-z0-9]%n", &pid, &end) != 1 || end == 0 ||
            e->d_name[end] || pid <= 0 || pid == (long)getpid())
            continue;
        std::string path = base + "/" + e->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) continue;
        int fd = open((path + "/.lock").c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        bool ended = kill((pid_t)pid, 0) != 0 && errno == ESRCH;
        bool gone;
        if (fd >= 0) {
            gone = flock(fd, LOCK_EX | LOCK_NB) == 0 && (ended || time(nullptr) - st.st_mtime > 60);
            close(fd);
        } else {
            gone = ended;
        }
        if (gone) stale.push_back(path);
    }
    closedir(d);
    for (const std::string& path : stale) nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

const std::string& PlatTempDir() {
    std::call_once(TempOnce, [] {
        const char* env = getenv("TMPDIR");
        std::string base = env && *env ? env : "/tmp";
        while (base.size() > 1 && base.back() == '/') base.pop_back();
        RemoveLeftoverTempDirs(base);
        std::string tmpl = base + "/orva-" + std::to_string((long)getpid()) + "-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back(0);
        if (mkdtemp(buf.data())) {
            TempDir = buf.data();
            TempOwner = getpid();
            TempMade = true;
            // Held for the life of the process (a forked child shares it);
            // another copy starting may hold it for a moment as it looks.
            int fd = open((TempDir + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fd >= 0) flock(fd, LOCK_EX);
            NoteTempDirForSignals(TempDir.c_str());
            atexit(RemovePlatTempDir);
        } else {
            TempDir = base;  // no folder of our own: use the shared one
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

// ---- where the scripts may write ----------------------------------------------------------

// The real place of a resolved path whose last components need not exist:
// the longest start that exists goes through realpath (every symlink
// followed), the rest is added lexically ("." dropped, ".." one up).  ""
// when an existing start cannot be followed (a dangling or looping link).
static std::string RealPlace(const std::string& path) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        size_t slash = path.find('/', at);
        if (slash == std::string::npos) slash = path.size();
        if (slash > at) parts.push_back(path.substr(at, slash - at));
        at = slash + 1;
    }
    bool absolute = !path.empty() && path[0] == '/';
    std::string base;
    size_t known = parts.size();
    for (;; known--) {
        std::string start = absolute ? "/" : ".";
        for (size_t i = 0; i < known; i++) start += (start.back() == '/' ? "" : "/") + parts[i];
        struct stat st;
        if (known == 0 || lstat(start.c_str(), &st) == 0) {
            char* real = realpath(start.c_str(), nullptr);
            if (!real) return std::string();
            base = real;
            free(real);
            break;
        }
    }
    for (size_t i = known; i < parts.size(); i++) {
        if (parts[i] == ".") continue;
        if (parts[i] == "..") {
            size_t slash = base.rfind('/');
            base = slash == 0 || slash == std::string::npos ? "/" : base.substr(0, slash);
        } else {
            base += (base == "/" ? "" : "/") + parts[i];
        }
    }
    return base;
}

static bool Within(const std::string& path, const std::string& folder) {
    if (folder.empty()) return false;
    if (folder == "/") return true;
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

bool PlatWriteAllowed(const char* cp932) {
    if (!cp932 || !*cp932) return true;  // names nothing: the write itself fails
    unsigned char c0 = (unsigned char)cp932[0];
    bool drive = ((c0 | 0x20) >= 'a' && (c0 | 0x20) <= 'z') && cp932[1] == ':';
    std::string real = drive ? std::string() : RealPlace(PlatResolve(cp932));
    if (!real.empty()) {
        std::string game = RealPlace(PlatGameDir());
        if (Within(real, game)) return true;
        if (TempMade && Within(real, RealPlace(TempDir))) return true;
    }
    fprintf(stderr, "orva: refused to write outside the game folder: %s%s%s\n",
            Cp932ToUtf8(cp932).c_str(), real.empty() ? "" : " -> ", real.c_str());
    return false;
}
