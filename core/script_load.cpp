// script_load.cpp - LoadScript: the script's three sources, the first-line
// settings, the tables sized by them, and positions turned into file and line.
#include "core/script.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/variables.h"
#include "ext/optional.h"
#include "platform/platform.h"

char* ScriptBuffer;
int ScriptCapacity;
int ScriptLength;
int ReadPosition;
int ExecAreaOffset;
int ExecAreaSavedPosition;
int ScriptFileEnds[100];
int TextFileMode;
uint8_t LuaOnlyMode;

int ScreenWidth = 640, ScreenHeight = 480;
int VariableCount = 4096;
int GlobalBorder = 200;
int LabelMax = 10000;

// Sane bounds for the first-line settings: larger values would only exhaust
// memory (the tables and screen buffers are sized by them).
enum { MaxScreenSide = 8192, MaxVariables = 1000000, MaxLabels = 4000000 };

static const char kErrorCaption[] = "\x83G\x83\x89\x81[";  // エラー
static const char kNoScript[] =  // スクリプトファイルが見つかりません。
    "\x83X\x83N\x83\x8a\x83v\x83g\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x8c\xa9\x82\xc2"
    "\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81" "B";
static const char kBorderTooLarge[] =  // グローバル変数設定に与える数字が大きすぎます。
    "\x83O\x83\x8d\x81[\x83o\x83\x8b\x95\xcf\x90\x94\x90\xdd\x92\xe8\x82\xc9\x97^\x82\xa6"
    "\x82\xe9\x90\x94\x8e\x9a\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xdc\x82\xb7\x81" "B";
static const char kBadFirstLine[] =  // 一行目の設定が間違っています。
    "\x88\xea\x8ds\x96\xda\x82\xcc\x90\xdd\x92\xe8\x82\xaa\x8a\xd4\x88\xe1\x82\xc1\x82\xc4"
    "\x82\xa2\x82\xdc\x82\xb7\x81" "B";

static const char kLuaOnlyScript[] = "*define\ndeletemenu\nluasub main\ngame\n*start\nmain\n";

void ScrambleBytes(uint8_t* bytes, int len, uint8_t key) {
    for (int i = 0; i < len; i++) bytes[i] ^= key;
}

void RecentreWindow(int w, int h) {
    int cx, cy;
    PlatDesktopSize(&cx, &cy);
    int left = cx / 2 - w / 2, top = cy / 2 - h / 2;
    int right = cx / 2 + w / 2 - 1, bottom = cy / 2 + h / 2 - 1;
    PlatMoveWindow(left, top, right - left + 1, bottom - top + 1);
}

// Offsets of the script's newlines, built at the first look-up after a load
// so that the debug trace and error messages do not rescan the script.
static std::vector<int> NewlineOffsets;
static bool NewlinesIndexed;
static const char* IndexedBuffer;
static int IndexedLength;

// ---- first line ----------------------------------------------------------------

[[noreturn]] static void FirstLineFailure(const char* message) {
    PlatMessageBox(message, kErrorCaption, MB_OK, false);
    PlatExit(-1);
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// atoi over [p, end): blanks, a sign, digits; saturates instead of overflowing.
static int ParseInt(const char* p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' ||
                       *p == '\f'))
        p++;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long long v = 0;
    while (p < end && IsDigit(*p)) {
        v = v * 10 + (*p++ - '0');
        if (v > 0x7FFFFFFFLL) v = 0x80000000LL;
    }
    v = negative ? -v : v;
    if (v > 0x7FFFFFFFLL) v = 0x7FFFFFFFLL;
    return (int)v;
}

static bool StartsWith(const char* p, const char* end, const char* word) {
    size_t n = strlen(word);
    return (size_t)(end - p) >= n && memcmp(p, word, n) == 0;
}

static void CheckBorder() {
    if ((long long)GlobalBorder > (long long)VariableCount - 2) FirstLineFailure(kBorderTooLarge);
}

void ApplyFirstLine(const char* text, int len, bool lua_form) {
    const char* p = text;
    const char* end = text + len;
    auto skip = [&] {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) p++;
    };
    skip();
    if (lua_form) {
        if (!StartsWith(p, end, "--")) return;
        p += 2;
    } else {
        if (p >= end || *p != ';') return;
        p++;
    }
    skip();
    const char* at = p;  // every form below is read relative to this position

    static const struct { const char* word; int w, h; } modes[] = {
        {"mode800", 800, 600}, {"mode400", 400, 300}, {"mode320", 320, 240}};
    for (const auto& m : modes)
        if (StartsWith(at, end, m.word)) {
            ScreenWidth = m.w;
            ScreenHeight = m.h;
            RecentreWindow(ScreenWidth, ScreenHeight);
        }

    if (StartsWith(at, end, "value")) {
        GlobalBorder = ParseInt(at + 5, end);
        CheckBorder();
    } else if (ScreenWidth != 640 && end - at > 7 && StartsWith(at + 7, end, ",value")) {
        GlobalBorder = ParseInt(at + 13, end);
        CheckBorder();
    }

    if (at < end && *at == '$') {
        const char* q = at + 1;
        while (q < end && *q != '\n' && *q != '\r' && *q != 0) {
            char c = *q;
            if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
            if (c != 'G' && c != 'L' && c != 'V' && c != 'S') {
                q++;
                continue;
            }
            q++;
            int value = ParseInt(q, end);
            if (q < end && IsDigit(*q))
                while (q < end && IsDigit(*q)) q++;
            if (c == 'G') {
                GlobalBorder = value;
                CheckBorder();
            } else if (c == 'L') {
                LabelMax = value;
            } else if (c == 'V') {
                VariableCount = value;
            } else {
                ScreenWidth = value;
                if (q >= end || *q != ',') FirstLineFailure(kBadFirstLine);
                q++;
                ScreenHeight = ParseInt(q, end);
                if (q < end && IsDigit(*q))
                    while (q < end && IsDigit(*q)) q++;
                if (ScreenWidth > 0 && ScreenHeight > 0)
                    RecentreWindow(ScreenWidth, ScreenHeight);
            }
        }
    }

    // The whole line is read: every value must now fit the tables it sizes,
    // whatever order the settings came in.
    if (VariableCount < 2 || VariableCount > MaxVariables || LabelMax < 1 ||
        LabelMax > MaxLabels || ScreenWidth < 1 || ScreenWidth > MaxScreenSide ||
        ScreenHeight < 1 || ScreenHeight > MaxScreenSide)
        FirstLineFailure(kBadFirstLine);
    if (GlobalBorder < 0) FirstLineFailure(kBadFirstLine);
    CheckBorder();
}

// ---- sources -----------------------------------------------------------------------

// The buffer for `text` and the exec area, sized by the source's size; every
// source passes a size its text (with the separators) stays within + 100.
static void SetBuffer(const std::vector<uint8_t>& text, long long size) {
    ScriptCapacity = (int)(size + 2048);
    ScriptBuffer = new char[ScriptCapacity]();
    memcpy(ScriptBuffer, text.data(), text.size());
    ScriptBuffer[text.size()] = 0;
    ScriptLength = (int)text.size();
    ExecAreaOffset = (int)(size + 512);
}

// Reads a scrambled file and appends it unscrambled with one newline; a file
// that does not read contributes nothing.
static long long AppendScrambled(const char* name, uint8_t key, std::vector<uint8_t>* text) {
    std::vector<uint8_t> bytes;
    if (!PlatReadFile(name, false, &bytes)) return 0;
    ScrambleBytes(bytes.data(), (int)bytes.size(), key);
    text->insert(text->end(), bytes.begin(), bytes.end());
    text->push_back('\n');
    return (long long)bytes.size();
}

static const char* TextFileName(int n, bool leading_zero, char* out) {
    snprintf(out, 16, leading_zero ? "0%d.txt" : "%d.txt", n);
    return out;
}

// The first 100 bytes of "system.lua" as stored in an ova (while OvaMode is
// on) or else an ov2 archive (while Ov2Mode is on): only its settings line
// is wanted, so a packed entry is not unpacked.
static bool ReadSystemLuaFromArchives(std::vector<uint8_t>* out) {
    std::string archive;
    long long offset = -1;
    if (OvaMode) {
        OvaLookup e;
        if ((offset = FindOvaEntry("system.lua", &e)) >= 0) {
            archive = e.archive;
            offset = (long long)e.offset + OvaPrefixBytes();
        }
    } else if (Ov2Mode) {
        Ov2Lookup e;
        if (FindOv2Entry("system.lua", &e) == 1) {
            archive = e.archive;
            offset = (long long)e.offset;
        }
    }
    if (offset < 0) return false;
    FILE* f = PlatOpen(archive.c_str(), "rb");
    if (!f) return false;
    out->assign(100, 0);
    bool ok = fseeko(f, (off_t)offset, SEEK_SET) == 0;
    size_t got = ok ? fread(out->data(), 1, out->size(), f) : 0;
    fclose(f);
    out->resize(got);
    return got > 0;
}

static void LoadLuaOnly() {
    LuaOnlyMode = 1;
    std::vector<uint8_t> text(kLuaOnlyScript, kLuaOnlyScript + sizeof kLuaOnlyScript);
    SetBuffer(text, 49);
    ScriptLength = 49;  // the built-in script is counted with its NUL
    std::vector<uint8_t> lua, head;
    if (PlatReadFile("system.lua", false, &lua)) {
        for (uint8_t b : lua) {  // the Lua reader drops every CR
            if (head.size() == 100) break;
            if (b != '\r') head.push_back(b);
        }
    } else if (!ReadSystemLuaFromArchives(&head)) {
        return;  // no "system.lua": the settings stand
    }
    ApplyFirstLine((const char*)head.data(), (int)head.size(), true);
}

void LoadScript() {
    memset(ScriptFileEnds, 0, sizeof ScriptFileEnds);
    ScriptFileEnds[99] = 0xFFFFFF;
    TextFileMode = 0;
    LuaOnlyMode = 0;
    FreeScript();

    bool numbered = PlatExists("0.txt") || PlatExists("00.txt");
    std::vector<uint8_t> text;
    char name[16];
    if (!numbered && PlatExists("orvascript.zat")) {
        long long size = AppendScrambled("orvascript.zat", ZatScrambleKey, &text);
        SetBuffer(text, size);
    } else if (!numbered && PlatExists("orvascript.dat")) {
        long long size = AppendScrambled("orvascript.dat", ScrambleKey, &text);
        for (int n = 0; n < 100; n++) {
            snprintf(name, sizeof name, "%02d.np", n);
            if (PlatExists(name)) size += AppendScrambled(name, ScrambleKey, &text) + 2;
        }
        SetBuffer(text, size);
    } else {
        long long size = 0;
        for (int n = 0; n < 100; n++) {
            long long s = PlatFileSize(TextFileName(n, false, name));
            if (s > 0) size += s;
            if (n < 10 && (s = PlatFileSize(TextFileName(n, true, name))) > 0) size += s;
        }
        if (size == 0) {
            if (LuaBridgeLoaded) {
                LoadLuaOnly();
            } else {
                ScriptError(kErrorCaption, kNoScript);
            }
        } else {
            TextFileMode = 1;
            for (int n = 0; n < 100; n++) {
                std::vector<uint8_t> bytes;
                if (PlatReadFile(TextFileName(n, false, name), true, &bytes) ||
                    (n < 10 && PlatReadFile(TextFileName(n, true, name), true, &bytes)))
                    text.insert(text.end(), bytes.begin(), bytes.end());
                ScriptFileEnds[n] = (int)text.size();
                text.push_back('\n');
            }
            // A file that grew since it was measured moves the exec area and
            // the spare room behind the text as it was read.
            size = std::max(size, (long long)text.size() - 100);
            SetBuffer(text, size);
        }
    }

    if (!LuaOnlyMode) ApplyFirstLine(ScriptBuffer, ScriptLength, false);
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(LabelMax);
}

void FreeScript() {
    NewlinesIndexed = false;
    NewlineOffsets.clear();
    delete[] ScriptBuffer;
    ScriptBuffer = nullptr;
    ScriptLength = 0;
    ScriptCapacity = 0;
}

// ---- positions -------------------------------------------------------------------

void ScriptTextReplaced() { NewlinesIndexed = false; }

static void IndexNewlines() {
    IndexedBuffer = ScriptBuffer;
    IndexedLength = ScriptLength;
    NewlineOffsets.clear();
    NewlinesIndexed = true;
    if (!ScriptBuffer) return;  // no script: no newlines
    const char* end = ScriptBuffer + ScriptLength;
    for (const char* p = ScriptBuffer; (p = (const char*)memchr(p, '\n', end - p)); p++)
        NewlineOffsets.push_back((int)(p - ScriptBuffer));
}

// Newlines in [0, end).
static int NewlinesBefore(int end) {
    return (int)(std::lower_bound(NewlineOffsets.begin(), NewlineOffsets.end(), end) -
                 NewlineOffsets.begin());
}

// Walking the bytes j = 0 .. position - 1, the file index f steps on by one at
// each j greater than ScriptFileEnds[f], and the line count restarts there.
// The steps happen at j_k = max(ends[k-1] + 1, j_(k-1) + 1), so only the
// file ends are walked and the newlines are counted by look-up.
void PositionToLine(int position, int* file, int* line) {
    if (position > ScriptLength) position = ScriptLength;
    if (!NewlinesIndexed || IndexedBuffer != ScriptBuffer || IndexedLength != ScriptLength)
        IndexNewlines();
    int f = 0, step = -1;
    while (f < 99) {
        long long next = std::max((long long)ScriptFileEnds[f] + 1, (long long)step + 1);
        if (next >= position) break;
        step = (int)next;
        f++;
    }
    *file = f;
    *line = NewlinesBefore(position) - NewlinesBefore(step) + 1;  // the file's lines from step
}

void ScriptFileName(int file, char* out, int size) {
    char name[16];
    snprintf(name, sizeof name, "%d.txt", file);
    if (PlatExists(name))
        snprintf(out, size, "%d.txt", file);
    else
        snprintf(out, size, "0%d.txt", file);
}
