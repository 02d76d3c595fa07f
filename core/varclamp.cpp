// varclamp.cpp - the variable bounds.
#include "core/varclamp.h"

#include "core/script.h"
#include "core/variables.h"

void ClampIntVars() {
    if (!IntLimitMax || !IntLimitMin) return;
    // Most variables have no limit: blocks whose maxima are all -1 are
    // passed over with one AND over the block, which the compiler vectorises.
    const uint32_t* max = (const uint32_t*)IntLimitMax;
    const int n = VariableCount;
    for (int b = 0; b < n; b += 256) {
        int e = b + 256 < n ? b + 256 : n;
        uint32_t all = 0xFFFFFFFFu;
        if (e - b == 256) {
            for (int i = 0; i < 256; i++) all &= max[b + i];
        } else {
            for (int i = b; i < e; i++) all &= max[i];
        }
        if (all == 0xFFFFFFFFu) continue;
        for (int i = b; i < e; i++) {
            if (IntLimitMax[i] == -1) continue;
            if (IntVariables[i] > IntLimitMax[i]) IntVariables[i] = IntLimitMax[i];
            if (IntVariables[i] < IntLimitMin[i]) IntVariables[i] = IntLimitMin[i];
        }
    }
}
