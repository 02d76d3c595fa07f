// arcfile.cpp - file helpers of the archive readers.
#include "archive/arcfile.h"

#include <sys/stat.h>

#include <set>
#include <string>

#include "archive/arcindex.h"
#include "core/error.h"
#include "platform/platform.h"

FILE* OpenArchiveFile(const char* name, uint64_t* size) {
    FILE* f = PlatOpen(name, "rb");
    if (!f) return nullptr;
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        fclose(f);
        return nullptr;
    }
    *size = (uint64_t)st.st_size;
    return f;
}

bool ReadFileRange(FILE* f, uint64_t offset, uint64_t size, std::vector<uint8_t>* out) {
    out->clear();
    if (fseeko(f, (off_t)offset, SEEK_SET) != 0) return false;
    out->resize(size);
    return size == 0 || fread(out->data(), 1, size, f) == size;
}

bool FolderFileExists(const char* name) {
    struct stat st;
    std::string path = PlatResolve(name);
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void BrokenArchiveError(const char* archive) {
    // アーカイブ"%s"が壊れています！
    ScriptErrorF("\x83G\x83\x89\x81[",  // エラー
                 "\x83" "A\x81[\x83J\x83" "C\x83u\"%s\"\x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2"
                 "\x82\xdc\x82\xb7\x81I",
                 archive);
}

static std::set<std::string> WarnedArchives;

void WarnIfDamaged(const char* archive, int result, size_t entries, int damaged) {
    if (result == ArchiveOk && damaged == 0) return;
    if (!WarnedArchives.insert(archive).second) return;
    std::string name = Cp932ToUtf8(archive);
    size_t usable = entries - (size_t)damaged;
    if (result == ArchiveOk)
        fprintf(stderr, "orva: archive %s is damaged: %d of its %zu entries cannot be read\n", name.c_str(),
                damaged, entries);
    else if (damaged == 0)
        fprintf(stderr, "orva: archive %s is damaged: its index ends early; %zu of its entries can be read\n",
                name.c_str(), usable);
    else
        fprintf(stderr,
                "orva: archive %s is damaged: its index ends early; %zu of its entries can be read, %d cannot\n",
                name.c_str(), usable, damaged);
}

void ForgetArchiveWarnings() { WarnedArchives.clear(); }
