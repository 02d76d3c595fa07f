// varclamp.cpp - the variable bounds.
#include "core/varclamp.h"

#include "core/script.h"
#include "core/variables.h"

void ClampIntVars() {
    if (!IntLimitMax || !IntLimitMin) return;
    for (int n = 0; n < VariableCount; n++) {
        int32_t max = IntLimitMax[n];
        if (max == -1) continue;
        if (IntVariables[n] > max) IntVariables[n] = max;
        if (IntVariables[n] < IntLimitMin[n]) IntVariables[n] = IntLimitMin[n];
    }
}
