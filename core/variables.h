// variables.h - the numeric and string variables, their limits and the
// array table, all sized by the first line at every load.
#pragma once
#include <cstdint>
#include "core/heapstring.h"

extern int32_t* IntVariables;   // VariableCount + 2
extern HeapString* StrVariables;  // VariableCount + 2
// The intlimit bounds: IntLimitMax[N] = -1 means %N has none.  Change them
// only through SetIntLimit, which keeps the list of bounded variables.
extern int32_t* IntLimitMax;    // VariableCount; -1 = no limit
extern int32_t* IntLimitMin;    // VariableCount
extern int32_t* LimitedVars;    // the numbers N whose IntLimitMax[N] is not -1
extern int LimitedVarCount;

enum { ArrayMaxDims = 20 };
struct ArrayVariable {
    int number = -1;                 // the array's number ?N, -1 while free
    int dims = 0;                    // dimensions declared
    int bounds[ArrayMaxDims] = {};   // inclusive upper bound of each dimension
    int32_t* data = nullptr;         // elements (malloc'd), last subscript fastest
    long long count = 0;             // elements
};
extern ArrayVariable* ArrayVariables;  // VariableCount records
extern int ArrayCount;                 // arrays declared

// Frees the old tables and allocates them for `v` variables (strings "",
// every limit -1).
void AllocateVariableTables(int v);
void FreeVariableTables();
// The local variables, those below GlobalBorder: 0 and "".
void ResetLocalVariables();

// IntLimitMin[n] = min, IntLimitMax[n] = max (n in 0..VariableCount-1).
void SetIntLimit(int n, int32_t min, int32_t max);
// Applies the bounds to every bounded variable: above the max becomes the
// max, then below the min becomes the min (so min wins over a smaller max).
void ClampLimitedVars();
// The clamp after a numeric store; nothing to do while no limit is set.
inline void ClampIntVars() {
    if (LimitedVarCount) ClampLimitedVars();
}
