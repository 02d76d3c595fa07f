// extract.cpp - extraction to temporary files, the `arc` registrations, the
// built-in arc reader and archive plug-ins.
//
// Every extraction gets a new file (mkstemps) in the run's temporary folder,
// named "orva-XXXXXX" plus the extension of the requested name: nothing of
// an archive's or a script's naming can place a file elsewhere, and two
// files of the same base name never overwrite each other.
#include "archive/extract.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>

#include "archive/arcfile.h"
#include "archive/arcindex.h"
#include "archive/arcplugin.h"
#include "archive/lzss.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/error.h"
#include "ext/dllcache.h"
#include "platform/platform.h"

std::string ArcArchives[ArcArchiveMax];
int ArcArchiveCount = 0;

static const char ErrorCaption[] = "\x83G\x83\x89\x81[";  // エラー
// %sが開けませんでした。
static const char CannotOpenMessage[] =
    "%s\x82\xaa\x8aJ\x82\xaf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81" "B";

// Files made here and not deleted yet (CP932 paths).
static std::vector<std::string> ExtractedFiles;

// Archives the built-in reader has read: stored name to entry, first kept.
struct BuiltinArc {
    std::string archive;
    std::unordered_map<std::string, ArcRawEntry> names;
};
static std::vector<BuiltinArc> BuiltinArcs;

bool AddArcArchive(const char* text) {
    if (ArcArchiveCount >= ArcArchiveMax) return false;
    std::string s(text);
    for (char& c : s) c = LowerAscii(c);
    ArcArchives[ArcArchiveCount++] = s;
    return true;
}

void ClearArcArchiveList() {
    for (std::string& s : ArcArchives) s.clear();
    ArcArchiveCount = 0;
}

// The part after the last '\' or '/'.
static std::string BaseName(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// ".ext" of a base name when it is a plain extension (letters, digits, '_',
// at most 16 of them), else "".
static std::string SafeExtension(const std::string& base) {
    size_t dot = base.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = base.substr(dot);
    if (ext.size() < 2 || ext.size() > 17) return "";
    for (size_t i = 1; i < ext.size(); i++) {
        unsigned char c = (unsigned char)ext[i];
        if (!isalnum(c) && c != '_') return "";
    }
    return ext;
}

// Creates a new empty file in the temporary folder, open for writing;
// *path gets its CP932 path.  null when it cannot be made.
static FILE* CreateExtractFile(const std::string& base, std::string* path) {
    std::string ext = SafeExtension(base);
    std::string tmpl = PlatTempDir() + "/orva-XXXXXX" + ext;
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    int fd = mkstemps(buf.data(), (int)ext.size());
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        unlink(buf.data());
        return nullptr;
    }
    *path = Utf8ToCp932(buf.data());
    ExtractedFiles.push_back(*path);
    return f;
}

void DeleteExtractedFile(const std::string& path) {
    auto it = std::find(ExtractedFiles.begin(), ExtractedFiles.end(), path);
    if (it == ExtractedFiles.end()) return;
    unlink(Cp932ToUtf8(path).c_str());
    ExtractedFiles.erase(it);
}

// Closes a file being written; false when a write failed.
static bool FinishExtractFile(FILE* f) {
    bool ok = !ferror(f);
    return fclose(f) == 0 && ok;
}

// Copies an ova entry to a fresh file; any failure is fatal.
static void ExtractOvaEntry(const OvaLookup& e, const std::string& requested,
                            const std::string& base, std::string* temp_path) {
    uint64_t size;
    FILE* in = OpenArchiveFile(e.archive.c_str(), &size);
    if (!in || e.type == OvaSpb) {
        if (in) fclose(in);
        ScriptErrorF(ErrorCaption, CannotOpenMessage, requested.c_str());
    }
    FILE* out = CreateExtractFile(base, temp_path);
    if (!out) {
        fclose(in);
        ScriptErrorF(ErrorCaption, CannotOpenMessage, requested.c_str());
    }
    uint64_t start = (uint64_t)OvaPrefixBytes() + e.offset;
    std::vector<uint8_t> data;
    bool ok = true;
    if (e.type == OvaLzss) {
        ok = ReadFileRange(in, start, e.stored, &data) &&
             LzssDecodeToFile(data.data(), data.size(), e.unpacked, out) >= 0;
    } else if (e.type == OvaStored) {
        ok = ReadFileRange(in, start, e.unpacked, &data) &&
             (data.empty() || fwrite(data.data(), 1, data.size(), out) == data.size());
    }
    fclose(in);
    if (!FinishExtractFile(out) || !ok) {
        DeleteExtractedFile(*temp_path);
        ScriptErrorF(ErrorCaption, CannotOpenMessage, requested.c_str());
    }
}

int ExtractToTemp(std::string* path) {
    std::string name = *path;
    std::replace(name.begin(), name.end(), '/', '\\');
    if (Ov2Mode) {
        // OV2はテンポラリファイルへの展開に対応していません。（とりあえず）
        ScriptError(ErrorCaption,
                    "OV2\x82\xcd\x83" "e\x83\x93\x83|\x83\x89\x83\x8a\x83t\x83@\x83" "C\x83\x8b"
                    "\x82\xd6\x82\xcc\x93W\x8aJ\x82\xc9\x91\xce\x89\x9e\x82\xb5\x82\xc4\x82\xa2"
                    "\x82\xdc\x82\xb9\x82\xf1\x81" "B\x81i\x82\xc6\x82\xe8\x82\xa0\x82\xa6\x82\xb8"
                    "\x81j");
    }
    if (OvaMode) {
        OvaLookup e;
        if (FindOvaEntry(name.c_str(), &e) >= 0) {
            std::string temp;
            ExtractOvaEntry(e, *path, BaseName(name), &temp);
            *path = temp;
            return 1;
        }
    }
    return ExtractFromArcArchives(path);
}

// ---- the built-in arc reader ------------------------------------------------

// The index of a built-in arc archive, read once; null when it does not open.
// An archive that ends early gives the entries before the end.
static const BuiltinArc* BuiltinArcIndex(const char* archive) {
    for (const BuiltinArc& a : BuiltinArcs)
        if (a.archive == archive) return &a;
    uint64_t size;
    FILE* f = OpenArchiveFile(archive, &size);
    if (!f) return nullptr;
    InStream s;
    StreamFromFile(&s, f);
    std::vector<ArcRawEntry> entries;
    int r = ParseArcIndex(&s, size, &entries);
    fclose(f);
    WarnIfDamaged(archive, r, entries.size(), DamagedEntries(entries));
    BuiltinArcs.emplace_back();
    BuiltinArc& a = BuiltinArcs.back();
    a.archive = archive;
    for (ArcRawEntry& e : entries) a.names.emplace(e.name, e);
    return &a;
}

static const ArcRawEntry* FindBuiltinArcEntry(const char* archive, const char* name) {
    const BuiltinArc* a = BuiltinArcIndex(archive);
    if (!a) return nullptr;
    auto it = a->names.find(ArchiveProbe(name));
    return it == a->names.end() || it->second.damaged ? nullptr : &it->second;
}

int ReadBuiltinArc(const char* archive, const char* name, std::string* temp_path) {
    const ArcRawEntry* e = FindBuiltinArcEntry(archive, name);
    if (!e) return 0;
    uint64_t size;
    FILE* in = OpenArchiveFile(archive, &size);
    if (!in) return 0;
    std::vector<uint8_t> data;
    bool ok = ReadFileRange(in, e->offset, e->size, &data);
    fclose(in);
    if (!ok) return 0;
    std::string temp;
    FILE* out = CreateExtractFile(BaseName(ArchiveProbe(name)), &temp);
    if (!out) return 0;
    if (!data.empty() && fwrite(data.data(), 1, data.size(), out) != data.size()) ok = false;
    if (!FinishExtractFile(out) || !ok) {
        DeleteExtractedFile(temp);
        return 0;
    }
    *temp_path = temp;
    return 1;
}

void ForgetBuiltinArcs() {
    BuiltinArcs.clear();
}

// ---- registrations and plug-ins ---------------------------------------------

// Splits a registration; false when it names no library (no '|').
static bool SplitRegistration(const std::string& text, std::string* archive, std::string* library) {
    size_t bar = text.find('|');
    if (bar == std::string::npos) return false;
    *archive = text.substr(0, bar);
    *library = text.substr(bar + 1);
    return true;
}

static bool IsBuiltinReader(const std::string& library) {
    return BaseName(library) == "zelunarc.dll";
}

// Asks a plug-in for `name`; its position, or 0 when it does not hold it.
static uint32_t PluginPosition(const std::string& archive, const std::string& library,
                               const char* name) {
    ArcGetFileInfoProc info = (ArcGetFileInfoProc)GetDllProc(library.c_str(), "GetFileInfo");
    if (!info) return 0;
    uint8_t record[ArcFileInfoSize] = {};
    std::string real = PlatResolve(archive.c_str());
    if (info(real.c_str(), 0, name, ArcInfoFlags, record) != 0) return 0;
    uint32_t position;
    memcpy(&position, record + ArcFileInfoPosition, 4);
    return position;
}

// The first regular file in `dir`, "" when none.
static std::string FirstFileIn(const std::string& dir) {
    std::string found;
    DIR* d = opendir(dir.c_str());
    if (!d) return found;
    while (struct dirent* e = readdir(d)) {
        std::string p = dir + "/" + e->d_name;
        struct stat st;
        if (lstat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            found = p;
            break;
        }
    }
    closedir(d);
    return found;
}

// Removes a folder and the files a plug-in left in it.
static void RemoveFolder(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (d) {
        while (struct dirent* e = readdir(d))
            if (strcmp(e->d_name, ".") && strcmp(e->d_name, ".."))
                unlink((dir + "/" + e->d_name).c_str());
        closedir(d);
    }
    rmdir(dir.c_str());
}

// Has a plug-in write `name` into a folder of its own, then moves the file
// to a fresh temporary name.  1 on success.
static int ExtractWithPlugin(const std::string& archive, const std::string& library,
                             const std::string& name, std::string* temp_path) {
    uint32_t position = PluginPosition(archive, library, name.c_str());
    if (!position) return 0;
    ArcGetFileProc get = (ArcGetFileProc)GetDllProc(library.c_str(), "GetFile");
    if (!get) return 0;
    std::string tmpl = PlatTempDir() + "/orva-plugin-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    if (!mkdtemp(buf.data())) return 0;
    std::string folder = buf.data();
    std::string real = PlatResolve(archive.c_str());
    int result = get(real.c_str(), (long)position, (folder + "/").c_str(), 0, nullptr, 0);
    std::string written = result == 0 ? FirstFileIn(folder) : std::string();
    int done = 0;
    if (!written.empty()) {
        std::string temp;
        FILE* placeholder = CreateExtractFile(BaseName(name), &temp);
        if (placeholder) {
            fclose(placeholder);
            if (rename(written.c_str(), Cp932ToUtf8(temp).c_str()) == 0) {
                *temp_path = temp;
                done = 1;
            } else {
                DeleteExtractedFile(temp);
            }
        }
    }
    RemoveFolder(folder);
    return done;
}

int ExtractFromArcArchives(std::string* path) {
    std::string name = *path;
    std::replace(name.begin(), name.end(), '/', '\\');
    std::string archive, library, temp;
    for (int i = 0; i < ArcArchiveCount; i++) {
        if (!SplitRegistration(ArcArchives[i], &archive, &library)) continue;
        int r = IsBuiltinReader(library) ? ReadBuiltinArc(archive.c_str(), name.c_str(), &temp)
                                         : ExtractWithPlugin(archive, library, name, &temp);
        if (r) {
            *path = temp;
            return 1;
        }
    }
    return 0;
}

bool ArcArchivesHold(const char* name) {
    std::string n(name);
    std::replace(n.begin(), n.end(), '/', '\\');
    std::string archive, library;
    for (int i = 0; i < ArcArchiveCount; i++) {
        if (!SplitRegistration(ArcArchives[i], &archive, &library)) continue;
        if (IsBuiltinReader(library) ? FindBuiltinArcEntry(archive.c_str(), n.c_str()) != nullptr
                                     : PluginPosition(archive, library, n.c_str()) != 0)
            return true;
    }
    return false;
}

bool ReadFromArcArchives(const char* name, std::vector<uint8_t>* out) {
    out->clear();
    std::string n(name);
    std::replace(n.begin(), n.end(), '/', '\\');
    std::string archive, library;
    for (int i = 0; i < ArcArchiveCount; i++) {
        if (!SplitRegistration(ArcArchives[i], &archive, &library)) continue;
        if (IsBuiltinReader(library)) {
            const ArcRawEntry* e = FindBuiltinArcEntry(archive.c_str(), n.c_str());
            if (!e) continue;
            uint64_t size;
            FILE* f = OpenArchiveFile(archive.c_str(), &size);
            if (!f) continue;
            bool ok = ReadFileRange(f, e->offset, e->size, out);
            fclose(f);
            if (ok) return true;
            continue;
        }
        std::string temp;
        if (!ExtractWithPlugin(archive, library, n, &temp)) continue;
        bool ok = PlatReadFile(temp.c_str(), false, out);
        DeleteExtractedFile(temp);
        if (ok) return true;
    }
    out->clear();
    return false;
}
