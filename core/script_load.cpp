// script_load.cpp - LoadScript: the script's three sources, the first-line
// settings, the tables sized by them, and positions turned into file and line.
#include "core/script.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/variables.h"
#include "ext/optional.h"
#include "platform/common/readinto.h"
#include "platform/platform.h"

char* ScriptBuffer;
int ScriptCapacity;
int ScriptLength;
int ReadPosition;
int ExecAreaOffset;
int ExecAreaSavedPosition;
int ScriptFileEnds[100];
uint32_t ScriptGeneration = 1;
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

static const char kUnreadableScript[] =  // スクリプトファイル%sを読み込めません。
    "\x83X\x83N\x83\x8a\x83v\x83g\x83t\x83@\x83" "C\x83\x8b%s\x82\xf0\x93\xc7\x82\xdd\x8d\x9e"
    "\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x81" "B";
static const char kScriptTooLarge[] =  // スクリプトが大きすぎます（%sで2GBを超えます）。
    "\x83X\x83N\x83\x8a\x83v\x83g\x82\xaa\x91\xe5\x82\xab\x82\xb7\x82\xac\x82\xdc\x82\xb7"
    "\x81i%s\x82\xc5" "2GB\x82\xf0\x92\xb4\x82\xa6\x82\xdc\x82\xb7\x81j\x81" "B";

// Positions in the script are 32-bit: the text with its separators, the exec
// area and the spare room behind it must stay below 2 GiB.
static const long long MaxScriptBytes = 0x7FFFFFFFLL - 4096;

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

// ---- the Shift-JIS check ----------------------------------------------------------

// Characters of a valid UTF-8 text, -1 when it is not valid UTF-8.
static long long Utf8Characters(const uint8_t* p, size_t n, long long* non_ascii) {
    long long chars = 0;
    *non_ascii = 0;
    for (size_t i = 0; i < n; chars++) {
        // Runs of ASCII go eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t w;
            memcpy(&w, p + i, 8);
            if (w & 0x8080808080808080ull) break;
            i += 8;
            chars += 8;
        }
        if (i >= n) break;
        uint8_t c = p[i];
        int more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2
                 : c >= 0xF0 && c <= 0xF4 ? 3 : -1;
        if (more < 0 || (size_t)more >= n - i) return -1;  // a bad or cut sequence
        for (int k = 1; k <= more; k++)
            if ((p[i + k] & 0xC0) != 0x80) return -1;
        if (more) ++*non_ascii;
        i += (size_t)more + 1;
    }
    return chars;
}

// Characters of a Shift-JIS reading that Japanese text is made of (kana,
// full-width punctuation, first-level kanji), -1 when it is no valid
// Shift-JIS.
static long long SjisJapaneseCharacters(const uint8_t* p, size_t n) {
    long long count = 0;
    for (size_t i = 0; i < n;) {
        uint8_t c = p[i];
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) {
            i++;
            continue;
        }
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= n) return -1;
        uint8_t t = p[i + 1];
        if (t < 0x40 || t == 0x7F || t > 0xFC) return -1;
        if ((c == 0x81 && t <= 0xAC) || (c == 0x82 && t >= 0x9F && t <= 0xF1) ||
            (c == 0x83 && t <= 0x96) || (c >= 0x88 && c <= 0x98))
            count++;
        i += 2;
    }
    return count;
}

// Scripts are Shift-JIS.  A file that reads as UTF-8 with non-ASCII text, and
// as Shift-JIS either not at all or as less Japanese than it reads as UTF-8,
// was most likely saved as UTF-8 by mistake: one warning line, and the
// script still runs as written.
static void WarnIfUtf8(const char* name, const uint8_t* p, size_t n) {
    long long non_ascii;
    if (Utf8Characters(p, n, &non_ascii) < 0 || non_ascii == 0) return;
    if (SjisJapaneseCharacters(p, n) >= non_ascii) return;
    fprintf(stderr,
            "orva: %s looks like UTF-8 text; scripts are Shift-JIS (CP932), so its non-ASCII "
            "text will show garbled\n",
            name);
}

// ---- sources -----------------------------------------------------------------------

// The buffer for `text` and the exec area, sized by the source's size; every
// source passes a size its text (with the separators) stays within + 100.
static void SetBuffer(const void* text, size_t len, long long size) {
    ScriptChanged();
    ScriptCapacity = (int)(size + 2048);
    ScriptBuffer = new char[ScriptCapacity]();
    if (len) memcpy(ScriptBuffer, text, len);
    ScriptBuffer[len] = 0;
    ScriptLength = (int)len;
    ExecAreaOffset = (int)(size + 512);
}
static void SetBuffer(const std::vector<uint8_t>& text, long long size) {
    SetBuffer(text.data(), text.size(), size);
}

// A file the script is made of that exists but cannot be read (a folder,
// no permission) or that takes the total past the 32-bit limit is refused
// with its name, before anything is allocated for it.
static void CheckScriptFile(const char* name, long long* total) {
    long long size = PlatFileSize(name);
    if (size < 0 || access(PlatResolve(name).c_str(), R_OK) != 0)
        ScriptErrorF(kErrorCaption, kUnreadableScript, name);
    *total += size;
    if (*total > MaxScriptBytes) ScriptErrorF(kErrorCaption, kScriptTooLarge, name);
}

// Reads a scrambled file and appends it unscrambled with one newline.
static long long AppendScrambled(const char* name, uint8_t key, std::vector<uint8_t>* text) {
    std::vector<uint8_t> bytes;
    if (!PlatReadFile(name, false, &bytes)) ScriptErrorF(kErrorCaption, kUnreadableScript, name);
    ScrambleBytes(bytes.data(), (int)bytes.size(), key);
    WarnIfUtf8(name, bytes.data(), bytes.size());
    text->insert(text->end(), bytes.begin(), bytes.end());
    text->push_back('\n');
    return (long long)bytes.size();
}

static const char* TextFileName(int n, bool leading_zero, char* out) {
    snprintf(out, 16, leading_zero ? "0%d.txt" : "%d.txt", n);
    return out;
}

// A large script buffer is faulted in by 2 MB pages where the system gives
// them on request: a 25 MB script then costs a dozen faults, not 6,000.
static void AdviseHugePages(char* buf, size_t size) {
    const uintptr_t huge = 2u << 20;
    uintptr_t from = ((uintptr_t)buf + huge - 1) & ~(huge - 1);
    uintptr_t to = ((uintptr_t)buf + size) & ~(huge - 1);
    if (to > from) madvise((void*)from, to - from, MADV_HUGEPAGE);
}

// The numbered text files, read one after the other straight into the
// script buffer (size: their measured total), each followed by a newline.
static void ReadNumberedFiles(long long size) {
    // The text with its separators, the exec area and the spare room.
    size_t cap = (size_t)size + 2048, len = 0;
    char* buf = new char[cap];
    AdviseHugePages(buf, cap);
    char name[16];
    for (int n = 0; n < 100; n++) {
        size_t before = len;
        // Room for the newlines behind each file; the spare room behind the
        // text is made sure of at the end.
        if (PlatAppendFile(TextFileName(n, false, name), true, &buf, &cap, &len, 100) ||
            (n < 10 && PlatAppendFile(TextFileName(n, true, name), true, &buf, &cap, &len, 100))) {
            WarnIfUtf8(name, (const uint8_t*)buf + before, len - before);
        } else if (PlatExists(name)) {
            delete[] buf;
            ScriptErrorF(kErrorCaption, kUnreadableScript, name);  // vanished or changed
        }
        if ((long long)len + 100 > MaxScriptBytes) {
            delete[] buf;
            ScriptErrorF(kErrorCaption, kScriptTooLarge, name);  // grew since measured
        }
        ScriptFileEnds[n] = (int)len;
        buf[len++] = '\n';
    }
    // A file that grew since it was measured moves the exec area and the
    // spare room behind the text as it was read.
    size = std::max(size, (long long)len - 100);
    size_t need = (size_t)size + 2048;
    if (cap < need) {
        char* b = new char[need];
        memcpy(b, buf, len);
        delete[] buf;
        buf = b;
        cap = need;
    }
    memset(buf + len, 0, need - len);
    ScriptChanged();
    ScriptBuffer = buf;
    ScriptCapacity = (int)need;
    ScriptLength = (int)len;
    ExecAreaOffset = (int)(size + 512);
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
            if (head.size() == 100 || b == 0x1A) break;  // a text-mode read ends at Ctrl-Z
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
    long long total = 0;
    if (!numbered && PlatExists("orvascript.zat")) {
        CheckScriptFile("orvascript.zat", &total);
        long long size = AppendScrambled("orvascript.zat", ZatScrambleKey, &text);
        SetBuffer(text, size);
    } else if (!numbered && PlatExists("orvascript.dat")) {
        CheckScriptFile("orvascript.dat", &total);
        for (int n = 0; n < 100; n++) {
            snprintf(name, sizeof name, "%02d.np", n);
            if (PlatExists(name)) CheckScriptFile(name, &total);
        }
        long long size = AppendScrambled("orvascript.dat", ScrambleKey, &text);
        for (int n = 0; n < 100; n++) {
            snprintf(name, sizeof name, "%02d.np", n);
            if (PlatExists(name)) size += AppendScrambled(name, ScrambleKey, &text) + 2;
        }
        SetBuffer(text, size);
    } else {
        long long size = 0;
        for (int n = 0; n < 100; n++) {
            // A file that is there must be readable; of the two spellings
            // the one read is the first that exists.
            if (PlatExists(TextFileName(n, false, name)) ||
                (n < 10 && PlatExists(TextFileName(n, true, name))))
                CheckScriptFile(name, &total);
            long long s = PlatFileSize(TextFileName(n, false, name));
            if (s > 0) size += s;
            if (n < 10 && (s = PlatFileSize(TextFileName(n, true, name))) > 0) size += s;
        }
        if (size > MaxScriptBytes) ScriptErrorF(kErrorCaption, kScriptTooLarge, name);
        if (size == 0) {
            if (LuaBridgeLoaded) {
                LoadLuaOnly();
            } else {
                ScriptError(kErrorCaption, kNoScript);
            }
        } else {
            TextFileMode = 1;
            ReadNumberedFiles(size);
        }
    }

    if (!LuaOnlyMode) ApplyFirstLine(ScriptBuffer, ScriptLength, false);
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(LabelMax);
}

void UseScriptText(const char* text, size_t len) {
    FreeScript();
    SetBuffer(text, len, (long long)len);
    for (int& e : ScriptFileEnds) e = 0xFFFFFF;
    ReadPosition = 0;
    ExecAreaSavedPosition = 0;
}

void FreeScript() {
    ScriptChanged();
    NewlinesIndexed = false;
    NewlineOffsets.clear();
    delete[] ScriptBuffer;
    ScriptBuffer = nullptr;
    ScriptLength = 0;
    ScriptCapacity = 0;
}

// ---- positions -------------------------------------------------------------------

void ScriptTextReplaced() {
    NewlinesIndexed = false;
    ScriptChanged();
}

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
