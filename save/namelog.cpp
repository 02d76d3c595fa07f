// namelog.cpp - the picture and label logs and their files.
#include "save/namelog.h"

#include <cstdio>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "save/persist_messages.h"
#include "save/safe_write.h"

NameLog FileLog{{}, {}, "Orvaflog.dat"};
NameLog LabelLog{{}, {}, "Orvallog.dat"};
int32_t LabelLogOn;
int32_t FileLogOn;  // filelog: the picture loader logs what it loads (graphics/loader_links.h)

enum { NameLogScramble = 0x5B, NameLogStartCapacity = 10000 };

static std::string NameLogKey(const char* name, size_t n) {
    std::string k(name, n);
    for (char& c : k) {
        if (c == '/') c = '\\';
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    }
    return k;
}

// The limit follows LabelMax, which the first line may raise above the
// capacity at start; the log grows as needed, so every count is safe.
static size_t NameLogLimit() { return LabelMax > 0 ? (size_t)LabelMax : (size_t)NameLogStartCapacity; }

static void AddKey(NameLog* log, const std::string& key) {
    if (!log->index.insert(key).second) return;
    log->names.push_back(key);
}

void AddToNameLog(const char* name, NameLog* log) {
    std::string key = NameLogKey(name, strlen(name));
    if (log->index.count(key)) return;
    AddKey(log, key);
    if (log->names.size() >= NameLogLimit()) ScriptError(CapError, MsgNameLogFull);
}

bool FindInNameLog(const NameLog* log, const char* name) {
    return log->index.count(NameLogKey(name, strlen(name))) != 0;
}

void ClearNameLog(NameLog* log) {
    log->clears++;
    log->names.clear();
    log->index.clear();
}

void SetNameLogPath(NameLog* log, const char* file) {
    log->file = file;
    ClearNameLog(log);
}

std::string FormatNameLog(const NameLog* log) {
    char head[24];
    snprintf(head, sizeof head, "%d\n", (int)log->names.size());
    std::string out = head;
    for (const std::string& name : log->names) {
        size_t n = name.size() < (size_t)NameLogNameMax ? name.size() : (size_t)NameLogNameMax;
        out += '"';
        for (size_t i = 0; i < n; i++) out += (char)(name[i] ^ NameLogScramble);
        out += '"';
    }
    return out;
}

static bool IsBlank(uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool ParseNameLog(const uint8_t* data, size_t size, NameLog* log) {
    ClearNameLog(log);
    size_t p = 0;
    while (p < size && IsBlank(data[p])) p++;
    bool negative = p < size && (data[p] == '-' || data[p] == '+') && data[p++] == '-';
    size_t digits = 0;
    long long count = 0;
    for (; p < size && data[p] >= '0' && data[p] <= '9'; p++, digits++)
        if (count < 100000000) count = count * 10 + (data[p] - '0');
    if (digits == 0 || negative) return false;
    while (p < size && IsBlank(data[p])) p++;
    bool whole = true;
    for (long long i = 0; i < count; i++) {
        if (p >= size || data[p] != '"') return false;
        size_t start = ++p;
        while (p < size && data[p] != '"') p++;
        if (p >= size) return false;
        size_t n = p - start;
        p++;
        if (n > NameLogNameMax) {
            whole = false;
            n = NameLogNameMax;
        }
        std::string name((const char*)data + start, n);
        for (char& c : name) c = (char)(c ^ NameLogScramble);
        std::string key = NameLogKey(name.data(), name.size());
        if (key.find('\0') != std::string::npos) {
            whole = false;
            continue;
        }
        if (log->names.size() >= NameLogLimit()) return false;
        AddKey(log, key);
    }
    return whole;
}

void LoadNameLog(NameLog* log) {
    std::vector<uint8_t> bytes;
    if (!PlatReadFile(log->file.c_str(), false, &bytes)) return;
    if (!ParseNameLog(bytes.data(), bytes.size(), log))
        fprintf(stderr, "orva: %s is damaged; %d names of it kept\n",
                Cp932ToUtf8(log->file).c_str(), (int)log->names.size());
}

bool SaveNameLog(const NameLog* log) {
    std::string image = FormatNameLog(log);
    std::string why;
    if (SafeWriteFileIfChanged(log->file.c_str(), image.data(), image.size(), &why)) return true;
    ReportWriteFailure(log->file.c_str(), why);
    return false;
}
