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

struct TextEntry {
    int n;
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

void JournalStrVar(int n) {
    if (!SavepointPending) return;
    if (TextCount == JournalLimit) return BuildSavepointImage();
    if (TextCount == Texts.size()) Texts.emplace_back();
    Texts[TextCount].n = n;
    Texts[TextCount].old = StringText(StrVariables[n]);
    TextCount++;
    JournalUsed = 1;
}

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
void UndoJournal() {
    for (int i = IntJournalCount - 1; i >= 0; i--) std::swap(*IntJournal[i].where, IntJournal[i].old);
    for (size_t i = TextCount; i-- > 0;) {
        TextEntry& e = Texts[i];
        std::string live = StringText(StrVariables[e.n]);
        AssignString(&StrVariables[e.n], e.old.c_str());
        e.old.swap(live);
    }
    if (StackRecorded) SwapStack();
}

void RedoJournal() {
    for (int i = 0; i < IntJournalCount; i++) std::swap(*IntJournal[i].where, IntJournal[i].old);
    for (size_t i = 0; i < TextCount; i++) {
        TextEntry& e = Texts[i];
        std::string saved = StringText(StrVariables[e.n]);
        AssignString(&StrVariables[e.n], e.old.c_str());
        e.old.swap(saved);
    }
    if (StackRecorded) SwapStack();
}

// Variables, arrays, conditions, jumps, calls and loops, string conversions,
// and the queries scripts poll in loops (timer, pointer, keys, modes,
// sprites); none of them draws, plays, waits or calls out.
const char* const JournaledCommands[] = {
    "add",      "atoi",       "break",     "checkkey",  "cmp",      "cos",       "date",
    "debuglog", "dec",        "div",       "for",       "getbtntimer", "getmousepos",
    "getparam", "getparam2",  "getspmode", "getsppos",  "getspsize", "gettimer", "getversion",
    "gosub",    "goto",       "if",        "inc",       "isctrl",   "isdown",    "isfull",
    "ispage",   "isskip",     "itoa",      "itoa2",     "jumpb",    "jumpf",     "labelexist",
    "len",      "mid",        "mod",       "mov",       "mov10",    "mov3",      "mov4",
    "mov5",     "mov6",       "mov7",      "mov8",      "mov9",     "movl",      "mul",
    "next",     "noreturn",   "notif",     "resettimer", "return",  "rnd",       "rnd2",
    "sin",      "skip",       "split",     "splitnum",  "sub",      "tablegoto", "tan",
    "time",
};

const int JournaledCommandCount = sizeof JournaledCommands / sizeof JournaledCommands[0];

bool CommandIsJournaled(const char* name) {
    for (const char* j : JournaledCommands)
        if (std::strcmp(j, name) == 0) return true;
    return false;
}
