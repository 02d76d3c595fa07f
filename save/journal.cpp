// journal.cpp - the savepoint journal and the commands it covers.
#include "save/journal.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/callstack.h"
#include "core/heapstring.h"
#include "save/savepoint.h"

JournalInt32 IntJournal[JournalLimit];
int IntJournalCount = 0;
int JournalUsed = 0;

namespace {

// A string variable (n), or a text in a fixed buffer of the image (buffer).
struct TextEntry {
    int n;
    char* buffer;
    std::string old;
};
std::vector<TextEntry> Texts;  // entries in use: TextCount (their storage is kept)
size_t TextCount = 0;

struct StackImage {
    int depth = 0;
    int32_t entries[CallStackSize];
};
bool StackRecorded = false;
StackImage SavedStack;  // the stack at the savepoint; after UndoJournal the live one

void SwapStack() {
    static StackImage live;
    live.depth = CallStackDepth;
    int n = std::clamp(CallStackDepth, 0, (int)CallStackSize);
    std::memcpy(live.entries, CallStack, sizeof(int32_t) * (size_t)n);
    int m = std::clamp(SavedStack.depth, 0, (int)CallStackSize);
    std::memcpy(CallStack, SavedStack.entries, sizeof(int32_t) * (size_t)m);
    CallStackDepth = SavedStack.depth;
    std::swap(SavedStack, live);
}

}  // namespace

// The journal is full: the image is built now, and nothing more is recorded
// for this savepoint.
void JournalIntFull() { BuildSavepointImage(); }

static void JournalText(int n, char* buffer, const char* old) {
    if (!SavepointPending) return;
    if (TextCount == JournalLimit) return BuildSavepointImage();
    if (TextCount == Texts.size()) Texts.emplace_back();
    TextEntry& e = Texts[TextCount++];
    e.n = n;
    e.buffer = buffer;
    e.old = old;
    JournalUsed = 1;
}

void JournalStrVar(int n) { JournalText(n, nullptr, StringText(StrVariables[n])); }
void JournalFixedText(char* buffer) { JournalText(-1, buffer, buffer); }

void JournalCallStack() {
    if (!SavepointPending || StackRecorded) return;
    StackRecorded = true;
    SavedStack.depth = CallStackDepth;
    int n = std::clamp(CallStackDepth, 0, (int)CallStackSize);
    std::memcpy(SavedStack.entries, CallStack, sizeof(int32_t) * (size_t)n);
    JournalUsed = 1;
}

void ClearJournalRest() {
    TextCount = 0;
    StackRecorded = false;
    JournalUsed = 0;
}

// Each entry swaps its value with the live one: undone from the last to the
// first, a value changed twice ends at its oldest; redone from the first to
// the last, at its newest.
// A fixed buffer's text was recorded from that buffer, so it fits it.
static void SwapText(TextEntry& e) {
    if (e.buffer) {
        MarkImageRecordAt(e.buffer);
        std::string live = e.buffer;
        std::memcpy(e.buffer, e.old.c_str(), e.old.size() + 1);
        e.old.swap(live);
        return;
    }
    std::string live = StringText(StrVariables[e.n]);
    AssignString(&StrVariables[e.n], e.old.c_str());
    e.old.swap(live);
}

// A sprite field swapped marks its record changed for the image's copy of
// the sprite sections (save/imagecache.h).
void UndoJournal() {
    for (int i = IntJournalCount - 1; i >= 0; i--) {
        std::swap(*IntJournal[i].where, IntJournal[i].old);
        MarkImageRecordAt(IntJournal[i].where);
    }
    for (size_t i = TextCount; i-- > 0;) SwapText(Texts[i]);
    if (StackRecorded) SwapStack();
}

void RedoJournal() {
    for (int i = 0; i < IntJournalCount; i++) {
        std::swap(*IntJournal[i].where, IntJournal[i].old);
        MarkImageRecordAt(IntJournal[i].where);
    }
    for (size_t i = 0; i < TextCount; i++) SwapText(Texts[i]);
    if (StackRecorded) SwapStack();
}

// Variables, arrays, conditions, jumps, calls and loops, string conversions,
// the queries scripts poll in loops (timer, pointer, keys, modes, sprites),
// and the sprite commands that load, move, show and step sprites (their
// tags, places, visibility, cells and alphas).
const char* const JournaledCommands[] = {
    "add",      "amsp",       "amsp2",     "atoi",      "break",    "cell",      "checkkey",
    "cmp",      "cos",        "date",      "debuglog",  "dec",      "div",       "for",
    "getbtntimer", "getmousepos", "getparam", "getparam2", "getspmode", "getsppos", "getspsize",
    "gettimer", "getversion", "gosub",     "goto",      "if",       "inc",       "isctrl",
    "isdown",   "isfull",     "ispage",    "isskip",    "itoa",     "itoa2",     "jumpb",
    "jumpf",    "labelexist", "len",       "lsp",       "lsph",     "mid",       "mod",
    "mov",      "mov10",      "mov3",      "mov4",      "mov5",     "mov6",      "mov7",
    "mov8",     "mov9",       "movl",      "msp",       "msp2",     "mul",       "next",
    "noreturn", "notif",      "resettimer", "return",   "rnd",      "rnd2",      "sin",
    "skip",     "split",      "splitnum",  "sub",       "tablegoto", "tan",      "time",
    "vsp",      "vsp2",
};
const int JournaledCommandCount = sizeof JournaledCommands / sizeof JournaledCommands[0];

// Showing the screen with an effect, and forgetting the pointer's place.
const char* const ImageFreeCommands[] = {"clickclear", "print"};
const int ImageFreeCommandCount = sizeof ImageFreeCommands / sizeof ImageFreeCommands[0];

static bool InList(const char* const* list, int count, const char* name) {
    for (int i = 0; i < count; i++)
        if (std::strcmp(list[i], name) == 0) return true;
    return false;
}
bool CommandIsJournaled(const char* name) { return InList(JournaledCommands, JournaledCommandCount, name); }
bool CommandIsImageFree(const char* name) { return InList(ImageFreeCommands, ImageFreeCommandCount, name); }
