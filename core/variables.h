// variables.h - the numeric and string variables, their limits and the
// array table, all sized by the first line at every load.
#pragma once
#include <cstdint>
#include "core/heapstring.h"

extern int32_t* IntVariables;   // VariableCount + 2
extern HeapString* StrVariables;  // VariableCount + 2
extern int32_t* IntLimitMax;    // VariableCount; -1 = no limit
extern int32_t* IntLimitMin;    // VariableCount; -1 = no limit

enum { ArrayMaxDims = 20 };
struct ArrayVariable {
    int number = -1;                 // the array's number ?N, -1 while free
    int dims = 0;                    // dimensions declared
    int bounds[ArrayMaxDims] = {};   // inclusive upper bound of each dimension
    int32_t* data = nullptr;         // elements, last subscript fastest
    long long count = 0;             // elements
};
extern ArrayVariable* ArrayVariables;  // VariableCount records
extern int ArrayCount;                 // arrays declared

// Frees the old tables and allocates them for `v` variables (strings "").
void AllocateVariableTables(int v);
void FreeVariableTables();
