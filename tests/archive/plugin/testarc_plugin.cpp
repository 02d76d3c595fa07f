// A tiny archive plug-in for the archive tests.  Its archives are "TPAK"
// followed by entries: name, NUL, 32-bit little-endian size, the bytes.
// Names are compared ignoring ASCII case.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/arcplugin.h"

static std::string LastArchive;

static bool SameName(const std::string& a, const char* b) {
    if (a.size() != strlen(b)) return false;
    for (size_t i = 0; i < a.size(); i++) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

// Walks the archive; calls fn(index, name, offset, size) until it says stop.
template <class F>
static bool Walk(const char* archive, F fn) {
    FILE* f = fopen(archive, "rb");
    if (!f) return false;
    char magic[4];
    if (fread(magic, 1, 4, f) != 4 || memcmp(magic, "TPAK", 4) != 0) {
        fclose(f);
        return false;
    }
    for (uint32_t index = 1;; index++) {
        std::string name;
        int c;
        while ((c = fgetc(f)) > 0) name.push_back((char)c);
        if (c < 0) break;
        uint8_t b[4];
        if (fread(b, 1, 4, f) != 4) break;
        uint32_t size = b[0] | b[1] << 8 | b[2] << 16 | (uint32_t)b[3] << 24;
        long offset = ftell(f);
        if (!fn(index, name, offset, size, f)) break;
        fseek(f, offset + (long)size, SEEK_SET);
    }
    fclose(f);
    return true;
}

extern "C" int GetFileInfo(const char* archive, long length, const char* name, unsigned int flags,
                           void* info) {
    LastArchive = archive;
    if (length != 0 || flags != ArcInfoFlags) return 2;
    uint32_t found = 0;
    Walk(archive, [&](uint32_t index, const std::string& n, long, uint32_t, FILE*) {
        if (SameName(n, name)) found = index;
        return found == 0;
    });
    if (!found) return 1;
    memset(info, 0, ArcFileInfoSize);
    memcpy((char*)info + ArcFileInfoPosition, &found, 4);
    return 0;
}

extern "C" int GetFile(const char* archive, long position, const char* folder, unsigned int flags,
                       void* progress, long data) {
    if (flags != 0 || progress || data) return 2;
    int result = 1;
    Walk(archive, [&](uint32_t index, const std::string& n, long, uint32_t size, FILE* f) {
        if ((long)index != position) return true;
        std::string base = n.substr(n.find_last_of('\\') == std::string::npos ? 0 : n.find_last_of('\\') + 1);
        std::string bytes(size, 0);
        if (size && fread(&bytes[0], 1, size, f) != size) return false;
        FILE* out = fopen((std::string(folder) + base).c_str(), "wb");
        if (!out) return false;
        fwrite(bytes.data(), 1, size, out);
        fclose(out);
        result = 0;
        return false;
    });
    return result;
}

extern "C" const char* TestArcLastArchive() {
    return LastArchive.c_str();
}
