// ini.cpp - see ini.h.
#include "core/ini.h"

#include <cstdint>
#include <vector>

#include "core/sjis.h"
#include "platform/platform.h"

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// [b, e) without its blanks at both ends.
static void Trim(const char** b, const char** e) {
    while (*b < *e && IsBlank(**b)) (*b)++;
    while (*e > *b && IsBlank((*e)[-1])) (*e)--;
}

// [b, e) equals name ignoring the case of ASCII letters; a two-byte
// character is compared as it is.
static bool NameEquals(const char* b, const char* e, const char* name) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c; };
    bool trail = false;
    for (; b < e; b++, name++) {
        unsigned char x = (unsigned char)*b, y = (unsigned char)*name;
        if (!y) return false;
        if (trail ? x != y : lower(x) != lower(y)) return false;
        trail = !trail && IsSjisLead(x);
    }
    return *name == 0;
}

std::string IniLookup(const char* text, size_t len, const char* section, const char* key) {
    const char* p = text;
    const char* end = text + len;
    if (len >= 3 && (unsigned char)p[0] == 0xEF && (unsigned char)p[1] == 0xBB &&
        (unsigned char)p[2] == 0xBF)
        p += 3;
    bool in_section = section[0] == 0;  // lines before any header: the section ""
    while (p < end) {
        const char* line = p;
        while (p < end && *p != '\n') p++;
        const char* line_end = p;
        if (p < end) p++;
        if (line_end > line && line_end[-1] == '\r') line_end--;
        Trim(&line, &line_end);
        if (line == line_end || *line == ';') continue;
        if (*line == '[') {
            if (in_section) return "";  // the first section of the name is the only one
            const char* b = line + 1;
            const char* e = b;
            while (e < line_end && *e != ']') e++;
            Trim(&b, &e);
            in_section = NameEquals(b, e, section);
            continue;
        }
        if (!in_section) continue;
        const char* eq = line;
        while (eq < line_end && *eq != '=') eq++;
        const char* kb = line;
        const char* ke = eq;
        Trim(&kb, &ke);
        if (!NameEquals(kb, ke, key)) continue;
        if (eq == line_end) return "";
        const char* vb = eq + 1;
        const char* ve = line_end;
        Trim(&vb, &ve);
        if (ve - vb >= 2 && (*vb == '"' || *vb == '\'') && ve[-1] == *vb) vb++, ve--;
        size_t n = SjisCutLength(vb, (size_t)(ve - vb), IniValueMax);
        return std::string(vb, n);
    }
    return "";
}

std::string ReadIniValue(const char* name, const char* section, const char* key) {
    std::vector<uint8_t> bytes;
    if (!PlatReadFile(name, false, &bytes)) return "";
    return IniLookup((const char*)bytes.data(), bytes.size(), section, key);
}
