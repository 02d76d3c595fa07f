// variables.cpp - allocation of the variable, limit and array tables.
#include "core/variables.h"

#include <cstdlib>

int32_t* IntVariables;
HeapString* StrVariables;
int32_t* IntLimitMax;
int32_t* IntLimitMin;
ArrayVariable* ArrayVariables;
int ArrayCount;
static int AllocatedCount;  // string slots to free

void FreeVariableTables() {
    if (StrVariables)
        for (int i = 0; i < AllocatedCount + 2; i++) FreeString(&StrVariables[i]);
    if (ArrayVariables)
        for (int i = 0; i < AllocatedCount; i++) free(ArrayVariables[i].data);
    delete[] IntVariables;
    delete[] StrVariables;
    delete[] IntLimitMax;
    delete[] IntLimitMin;
    delete[] ArrayVariables;
    IntVariables = nullptr;
    StrVariables = nullptr;
    IntLimitMax = IntLimitMin = nullptr;
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
    ArrayVariables = new ArrayVariable[v];
    ArrayCount = 0;
}
