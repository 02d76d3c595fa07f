// variables.cpp - allocation of the variable, limit and array tables, and the
// intlimit bounds.
#include "core/variables.h"

#include <cstdlib>

#include "core/script.h"
#include "save/journal.h"

int32_t* IntVariables;
HeapString* StrVariables;
int32_t* IntLimitMax;
int32_t* IntLimitMin;
int32_t* LimitedVars;
int LimitedVarCount;
ArrayVariable* ArrayVariables;
int ArrayCount;
static int AllocatedCount;  // string slots to free

void FreeVariableTables() {
    ClearJournal();  // it points into the tables
    if (StrVariables)
        for (int i = 0; i < AllocatedCount + 2; i++) FreeString(&StrVariables[i]);
    if (ArrayVariables)
        for (int i = 0; i < AllocatedCount; i++) free(ArrayVariables[i].data);
    delete[] IntVariables;
    delete[] StrVariables;
    delete[] IntLimitMax;
    delete[] IntLimitMin;
    delete[] LimitedVars;
    delete[] ArrayVariables;
    IntVariables = nullptr;
    StrVariables = nullptr;
    IntLimitMax = IntLimitMin = nullptr;
    LimitedVars = nullptr;
    LimitedVarCount = 0;
    ArrayVariables = nullptr;
    ArrayCount = 0;
    AllocatedCount = 0;
}

void AllocateVariableTables(int v) {
    FreeVariableTables();
    AllocatedCount = v;
    IntVariables = new int32_t[v + 2]();
    StrVariables = new HeapString[v + 2];
    for (int i = 0; i < v + 2; i++) InitEmptyString(&StrVariables[i]);
    IntLimitMax = new int32_t[v];
    IntLimitMin = new int32_t[v];
    for (int i = 0; i < v; i++) IntLimitMax[i] = IntLimitMin[i] = -1;
    LimitedVars = new int32_t[v > 0 ? v : 1];
    LimitedVarCount = 0;
    ArrayVariables = new ArrayVariable[v];
    ArrayCount = 0;
}

void ResetLocalVariables() {
    for (int n = 0; n < GlobalBorder && n < VariableCount; n++) {
        IntVariables[n] = 0;
        AssignString(&StrVariables[n], "");
    }
}

void SetIntLimit(int n, int32_t min, int32_t max) {
    bool was = IntLimitMax[n] != -1, is = max != -1;
    IntLimitMin[n] = min;
    IntLimitMax[n] = max;
    if (was == is) return;
    if (is) {
        LimitedVars[LimitedVarCount++] = n;
        return;
    }
    for (int i = 0; i < LimitedVarCount; i++) {
        if (LimitedVars[i] == n) {
            LimitedVars[i] = LimitedVars[--LimitedVarCount];
            return;
        }
    }
}

// Each variable is bounded on its own, so going through the list instead of
// the whole table gives the same result.
void ClampLimitedVars() {
    for (int i = 0; i < LimitedVarCount; i++) {
        int n = LimitedVars[i];
        int32_t v = IntVariables[n];
        if (v > IntLimitMax[n]) v = IntLimitMax[n];
        if (v < IntLimitMin[n]) v = IntLimitMin[n];
        if (v == IntVariables[n]) continue;
        StoreIntVarUnclamped(n, v);
    }
}
