// library.cpp - libraries by the names scripts give them.  "x.dll" is first
// looked for as "x.so" in the same place, then under its own name; names are
// resolved like file names and only files that exist are opened, so that a
// bare name never reaches the system's library search.
#include <dlfcn.h>
#include <strings.h>
#include <sys/stat.h>

#include "platform/platform.h"

static void* OpenLibraryFile(const std::string& cp932) {
    std::string path = PlatResolve(cp932.c_str());
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    if (path[0] != '/') path = "./" + path;
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* PlatLoadLibrary(const char* cp932) {
    if (!cp932 || !*cp932) return nullptr;
    std::string name = cp932;
    size_t n = name.size();
    if (n > 4 && strcasecmp(name.c_str() + n - 4, ".dll") == 0)
        if (void* lib = OpenLibraryFile(name.substr(0, n - 4) + ".so")) return lib;
    return OpenLibraryFile(name);
}

void* PlatGetProc(void* lib, const char* entry) {
    return lib && entry ? dlsym(lib, entry) : nullptr;
}

void PlatFreeLibrary(void* lib) {
    if (lib) dlclose(lib);
}
