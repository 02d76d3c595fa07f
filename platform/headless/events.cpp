// events.cpp - the headless events file: key names and the line parser.
#include <errno.h>
#include <stdlib.h>
#include <strings.h>

#include <sstream>

#include "platform/headless/headless.h"

struct KeyName {
    const char* name;
    int vk;
};

static const KeyName KeyNames[] = {
    {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"space", VK_SPACE},
    {"tab", VK_TAB}, {"backspace", VK_BACK}, {"up", VK_UP}, {"down", VK_DOWN},
    {"left", VK_LEFT}, {"right", VK_RIGHT}, {"pageup", VK_PRIOR},
    {"pagedown", VK_NEXT}, {"home", VK_HOME}, {"end", VK_END},
    {"insert", VK_INSERT}, {"delete", VK_DELETE}, {"shift", VK_SHIFT},
    {"ctrl", VK_CONTROL}, {"alt", VK_MENU},
    {"f1", VK_F1}, {"f2", VK_F2}, {"f3", VK_F3}, {"f4", VK_F4},
    {"f5", VK_F5}, {"f6", VK_F6}, {"f7", VK_F7}, {"f8", VK_F8},
    {"f9", VK_F9}, {"f10", VK_F10}, {"f11", VK_F11}, {"f12", VK_F12},
};

int HeadlessKeyCode(const char* name) {
    if (!name || !*name) return 0;
    if (!name[1]) {
        char c = name[0];
        if (c >= 'a' && c <= 'z') return c - 32;
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return c;
        return 0;
    }
    for (const KeyName& k : KeyNames)
        if (strcasecmp(k.name, name) == 0) return k.vk;
    return 0;
}

// A whole-token integer in [lo, hi].
static bool ParseInt(const std::string& s, long long lo, long long hi, long long* v) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long x = strtoll(s.c_str(), &end, 10);
    if (errno || *end || x < lo || x > hi) return false;
    *v = x;
    return true;
}

int HeadlessParseEventLine(const char* line, HeadlessEvent* ev, std::string* error) {
    std::string text = line ? line : "";
    // Comments are whole lines: '#' elsewhere is a character of the line.
    size_t first = text.find_first_not_of(" \t");
    if (first != std::string::npos && text[first] == '#') return 0;
    std::istringstream in(text);
    std::vector<std::string> w;
    for (std::string t; in >> t;) w.push_back(t);
    if (w.empty()) return 0;

    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return -1;
    };
    long long time;
    if (w[0][0] == '-' || w[0][0] == '+' || !ParseInt(w[0], 0, (1LL << 53), &time))
        return fail("the time '" + w[0] + "' is not a number of milliseconds");
    if (w.size() < 2) return fail("an event is missing after the time");
    HeadlessEvent e;
    e.time = (uint64_t)time;
    const std::string& name = w[1];
    size_t args = w.size() - 2;
    auto want = [&](size_t n) {
        return args == n ? std::string()
                         : "'" + name + "' takes " + std::to_string(n) + " argument" +
                               (n == 1 ? "" : "s") + ", not " + std::to_string(args);
    };
    std::string bad;
    if (!strcasecmp(name.c_str(), "click") || !strcasecmp(name.c_str(), "rclick") ||
        !strcasecmp(name.c_str(), "mclick") || !strcasecmp(name.c_str(), "move")) {
        e.kind = !strcasecmp(name.c_str(), "click")    ? EvClick
                 : !strcasecmp(name.c_str(), "rclick") ? EvRClick
                 : !strcasecmp(name.c_str(), "mclick") ? EvMClick
                                                       : EvMove;
        if (!(bad = want(2)).empty()) return fail(bad);
        long long x, y;
        if (!ParseInt(w[2], -32768, 32767, &x) || !ParseInt(w[3], -32768, 32767, &y))
            return fail("'" + name + "' needs two coordinates from -32768 to 32767");
        e.x = (int)x;
        e.y = (int)y;
    } else if (!strcasecmp(name.c_str(), "wheel")) {
        e.kind = EvWheel;
        if (!(bad = want(1)).empty()) return fail(bad);
        long long n;
        if (!ParseInt(w[2], -100, 100, &n) || n == 0)
            return fail("'wheel' needs a notch count from -100 to 100, not 0");
        e.n = (int)n;
    } else if (!strcasecmp(name.c_str(), "key") || !strcasecmp(name.c_str(), "keydown") ||
               !strcasecmp(name.c_str(), "keyup")) {
        e.kind = !strcasecmp(name.c_str(), "key")       ? EvKey
                 : !strcasecmp(name.c_str(), "keydown") ? EvKeyDown
                                                        : EvKeyUp;
        if (!(bad = want(1)).empty()) return fail(bad);
        e.n = HeadlessKeyCode(w[2].c_str());
        if (!e.n) return fail("unknown key name '" + w[2] + "'");
    } else if (!strcasecmp(name.c_str(), "close")) {
        e.kind = EvClose;
        if (!(bad = want(0)).empty()) return fail(bad);
    } else if (!strcasecmp(name.c_str(), "answer")) {
        e.kind = EvAnswer;
        if (!(bad = want(1)).empty()) return fail(bad);
        const char* a = w[2].c_str();
        e.n = !strcasecmp(a, "yes")      ? IDYES
              : !strcasecmp(a, "no")     ? IDNO
              : !strcasecmp(a, "ok")     ? IDOK
              : !strcasecmp(a, "cancel") ? IDCANCEL
                                         : 0;
        if (!e.n) return fail("'answer' takes yes, no, ok or cancel, not '" + w[2] + "'");
    } else if (!strcasecmp(name.c_str(), "input") || !strcasecmp(name.c_str(), "list-text")) {
        // The rest of the line after the word and the one blank after it,
        // as written: blanks and '#' are part of the answer.
        e.kind = !strcasecmp(name.c_str(), "input") ? EvInput : EvListText;
        size_t at = text.find_first_not_of(" \t");
        at = text.find_first_of(" \t", at);           // after the time
        at = text.find_first_not_of(" \t", at);
        at = text.find_first_of(" \t", at);           // after the word
        e.text = Utf8ToCp932(at == std::string::npos ? "" : text.substr(at + 1));
    } else if (!strcasecmp(name.c_str(), "input-cancel")) {
        e.kind = EvInputCancel;
        if (!(bad = want(0)).empty()) return fail(bad);
    } else if (!strcasecmp(name.c_str(), "slider")) {
        e.kind = EvSlider;
        if (args < 1 || args > 8) return fail("'slider' takes 1 to 8 positions");
        for (size_t i = 2; i < w.size(); i++) {
            long long v;
            if (!ParseInt(w[i], -2147483647LL, 2147483647LL, &v))
                return fail("'slider' needs whole-number positions, not '" + w[i] + "'");
            e.values.push_back((int)v);
        }
    } else if (!strcasecmp(name.c_str(), "list")) {
        e.kind = EvList;
        if (!(bad = want(1)).empty()) return fail(bad);
        long long v = -1;
        if (strcasecmp(w[2].c_str(), "cancel") && !ParseInt(w[2], 0, 1000000, &v))
            return fail("'list' takes an entry number or cancel, not '" + w[2] + "'");
        e.n = (int)v;
    } else if (!strcasecmp(name.c_str(), "menu")) {
        e.kind = EvMenu;
        if (!(bad = want(1)).empty()) return fail(bad);
        long long v;
        if (!ParseInt(w[2], 1, 65535, &v)) return fail("'menu' needs a command number from 1 to 65535");
        e.n = (int)v;
    } else if (!strcasecmp(name.c_str(), "menudump") || !strcasecmp(name.c_str(), "debugdump")) {
        e.kind = !strcasecmp(name.c_str(), "menudump") ? EvMenuDump : EvDebugDump;
        if (!(bad = want(1)).empty()) return fail(bad);
        e.text = w[2];
    } else if (!strcasecmp(name.c_str(), "debugstep")) {
        e.kind = EvDebugStep;
        if (!(bad = want(1)).empty()) return fail(bad);
        if (strcasecmp(w[2].c_str(), "on") && strcasecmp(w[2].c_str(), "off"))
            return fail("'debugstep' takes on or off, not '" + w[2] + "'");
        e.n = !strcasecmp(w[2].c_str(), "on");
    } else if (!strcasecmp(name.c_str(), "debugclose")) {
        e.kind = EvDebugClose;
        if (!(bad = want(0)).empty()) return fail(bad);
    } else {
        return fail("unknown event '" + name + "'");
    }
    *ev = e;
    return 1;
}

bool HeadlessParseEvents(const std::string& text, const char* name,
                         std::vector<HeadlessEvent>* out, std::string* error) {
    out->clear();
    size_t pos = 0;
    for (int line = 1; pos <= text.size(); line++) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string one = text.substr(pos, end - pos);
        if (!one.empty() && one.back() == '\r') one.pop_back();
        HeadlessEvent ev;
        std::string why;
        int r = HeadlessParseEventLine(one.c_str(), &ev, &why);
        if (r < 0) {
            if (error) *error = std::string(name ? name : "events") + ":" + std::to_string(line) + ": " + why;
            return false;
        }
        if (r > 0) out->push_back(ev);
        pos = end + 1;
    }
    return true;
}
