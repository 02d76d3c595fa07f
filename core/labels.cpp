// labels.cpp - the label table: ScanLabels builds it in script order at every
// load, JumpToLabel finds a label by name (through a hash index that gives
// the same answer as a search from the first entry) and logs it.
#include "core/labels.h"

#include <cstdlib>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/nameindex.h"
#include "core/readers.h"
#include "core/script.h"
#include "save/namelog.h"

Label* Labels = nullptr;
int LabelCount = 0;
static int LabelCapacity = 0;
static NameIndex LabelIndex;

static const char* LabelNameOf(int e) { return e < LabelCount ? Labels[e].name : nullptr; }

static void FreeLabelNames() {
    for (int i = 0; i < LabelCapacity; i++) {
        free(Labels[i].name);
        Labels[i].name = nullptr;
    }
}

void AllocateLabelTable(int max) {
    FreeLabelTable();
    ScriptChanged();
    if (max < 0) max = 0;
    Labels = new Label[max > 0 ? max : 1];
    LabelCapacity = max;
    LabelCount = 0;
}

void FreeLabelTable() {
    if (Labels) {
        FreeLabelNames();
        delete[] Labels;
    }
    Labels = nullptr;
    LabelCapacity = 0;
    LabelCount = 0;
    NameIndexClear(&LabelIndex);
    ScriptChanged();
}

void ScanLabels() {
    ScriptChanged();
    LabelCount = 0;
    NameIndexClear(&LabelIndex);
    int max = LabelMax < LabelCapacity ? LabelMax : LabelCapacity;
    const char* s = ScriptBuffer;
    int pos = 0;
    char name[WordBufferSize];
    for (;;) {
        char c = s[pos];
        if (c == 0) break;
        if (c == ' ' || c == '\t' || c == '\n') {
            pos++;
            continue;
        }
        if (c != '*') {
            pos = (int)(strchrnul(s + pos, '\n') - s);  // to the newline or the NUL
            continue;
        }
        ReadPosition = pos;
        ReadLabelOperand(name);  // ReadWord: lower-cased
        // Entered under the next number at once; LabelNameOf knows it only
        // once it is counted below.
        if (NameIndexFindOrPut(&LabelIndex, name, LabelCount, LabelNameOf) >= 0)
            ScriptErrorF(CapError, MsgLabelTwice, name);
        if (LabelCount >= max) ScriptError(CapError, MsgLabelsFull);
        if (SkipBlanks() == '\n') ReadPosition++;
        Label* l = &Labels[LabelCount];
        free(l->name);
        l->name = strdup(name);
        l->offset = ReadPosition;
        l->logged = 0;
        LabelCount++;
        pos = ReadPosition;
    }
}

// Index of the label (the name lower-cased), or -1.
int FindLabel(const char* name) {
    char lower[WordBufferSize];
    size_t n = strlen(name);
    if (n >= sizeof lower) return -1;  // longer than any label name
    for (size_t i = 0; i <= n; i++) {
        char c = name[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
    }
    return NameIndexFind(&LabelIndex, lower, LabelNameOf);
}

// Puts label e in the label log unless it is known to be there.
static void LogLabel(int e) {
    Label& l = Labels[e];
    if (l.logged == LabelLog.clears + 1) return;
    AddToNameLog(l.name, &LabelLog);
    l.logged = LabelLog.clears + 1;
}

void JumpToLabel(const char* name) {
    int e = FindLabel(name);
    if (e < 0) ScriptErrorF(CapLabel, MsgNoLabel, name);
    JumpToLabelIndex(e);
}

void JumpToLabelIndex(int e) {
    ReadPosition = Labels[e].offset;
    LogLabel(e);
}

// ---- label operands kept by position ---------------------------------------------------

namespace {

struct CachedLabel {
    int32_t start = -1;  // position of the '*'
    int32_t end = 0;     // behind the operand and its blanks
    int32_t label = 0;
    uint32_t generation = 0;
};
enum { LabelCacheSize = 1024 };  // direct-mapped by position
CachedLabel LabelCache[LabelCacheSize];

CachedLabel* LabelCacheSlot(int start) { return &LabelCache[(uint32_t)start & (LabelCacheSize - 1)]; }

}  // namespace

int ReadLabelTarget(char* buffer) {
    SkipBlanks();
    int start = ReadPosition;
    CachedLabel* c = LabelCacheSlot(start);
    if (c->start == start && c->generation == ScriptGeneration && c->label < LabelCount) {
        ReadPosition = c->end;
        return c->label;
    }
    bool literal = ScriptBuffer[start] == '*';
    ReadLabelOperand(buffer);
    int e = FindLabel(buffer);
    if (e >= 0 && literal && start < ScriptLength) {
        c->start = start;
        c->end = ReadPosition;
        c->label = e;
        c->generation = ScriptGeneration;
    }
    return e;
}

void PassLabelLine() {
    char name[WordBufferSize];
    int e = ReadLabelTarget(name);
    if (e >= 0)
        LogLabel(e);
    else
        AddToNameLog(name, &LabelLog);
}
