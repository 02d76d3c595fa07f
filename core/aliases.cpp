// aliases.cpp - the alias tables and their name indexes.
#include "core/aliases.h"

#include "core/nameindex.h"

HeapString NumAliasNames[AliasMax];
int32_t NumAliasValues[AliasMax];
int NumAliasCount = 0;
HeapString StrAliasNames[AliasMax];
HeapString StrAliasTexts[AliasMax];
int StrAliasCount = 0;

static NameIndex NumIndex, StrIndex;

static const char* NumNameOf(int e) {
    return e < NumAliasCount ? StringText(NumAliasNames[e]) : nullptr;
}
static const char* StrNameOf(int e) {
    return e < StrAliasCount ? StringText(StrAliasNames[e]) : nullptr;
}

int FindNumAlias(const char* name) { return NameIndexFind(&NumIndex, name, NumNameOf); }
int FindStrAlias(const char* name) { return NameIndexFind(&StrIndex, name, StrNameOf); }

void AddNumAlias(const char* name, int32_t value) {
    if (NumAliasCount >= AliasMax) return;
    if (NumAliasCount == 0) NameIndexClear(&NumIndex);  // the table was emptied
    int e = NumAliasCount++;
    AssignString(&NumAliasNames[e], name);
    NumAliasValues[e] = value;
    NameIndexPut(&NumIndex, StringText(NumAliasNames[e]), e, NumNameOf);
}

void AddStrAlias(const char* name, const char* text) {
    if (StrAliasCount >= AliasMax) return;
    if (StrAliasCount == 0) NameIndexClear(&StrIndex);
    int e = StrAliasCount++;
    AssignString(&StrAliasNames[e], name);
    AssignString(&StrAliasTexts[e], text);
    NameIndexPut(&StrIndex, StringText(StrAliasNames[e]), e, StrNameOf);
}

void ClearAliasTables() {
    for (int i = 0; i < AliasMax; i++) {
        if (NumAliasNames[i].text) AssignString(&NumAliasNames[i], "");
        NumAliasValues[i] = 0;
        if (StrAliasNames[i].text) AssignString(&StrAliasNames[i], "");
        if (StrAliasTexts[i].text) AssignString(&StrAliasTexts[i], "");
    }
    NumAliasCount = 0;
    StrAliasCount = 0;
    NameIndexClear(&NumIndex);
    NameIndexClear(&StrIndex);
}
