// namelog_stub.cpp - in-memory name logs until the logs and their files are
// built (then this file goes).
#include "save/namelog.h"

#include <string>
#include <unordered_set>

struct NameLog {
    std::unordered_set<std::string> names;
};
NameLog FileLog;
NameLog LabelLog;

static std::string NameLogKey(const char* name) {
    std::string k(name);
    for (char& c : k) {
        if (c == '/') c = '\\';
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    }
    return k;
}

void AddToNameLog(const char* name, NameLog* log) { log->names.insert(NameLogKey(name)); }

bool FindInNameLog(const NameLog* log, const char* name) {
    return log->names.count(NameLogKey(name)) != 0;
}
