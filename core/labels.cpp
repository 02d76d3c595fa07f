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
}

void ScanLabels() {
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
            pos += (int)strcspn(s + pos, "\n");  // to the newline or the NUL
            continue;
        }
        ReadPosition = pos;
        ReadLabelOperand(name);  // ReadWord: lower-cased
        if (NameIndexFind(&LabelIndex, name, LabelNameOf) >= 0) ScriptErrorF(CapError, MsgLabelTwice, name);
        if (LabelCount >= max) ScriptError(CapError, MsgLabelsFull);
        if (SkipBlanks() == '\n') ReadPosition++;
        Label* l = &Labels[LabelCount];
        free(l->name);
        l->name = strdup(name);
        l->offset = ReadPosition;
        NameIndexPut(&LabelIndex, l->name, LabelCount, LabelNameOf);
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

void JumpToLabel(const char* name) {
    int e = FindLabel(name);
    if (e < 0) ScriptErrorF(CapLabel, MsgNoLabel, name);
    ReadPosition = Labels[e].offset;
    AddToNameLog(Labels[e].name, &LabelLog);
}
