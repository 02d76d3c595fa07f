// arrays.cpp - array references and element addressing.
#include "core/arrays.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"

ArrayVariable* FindArray(int number) {
    for (int i = 0; i < ArrayCount; i++)
        if (ArrayVariables[i].number == number) return &ArrayVariables[i];
    return nullptr;
}

ArrayVariable* ReadArrayRef(int* number, int* subs, int* nsubs, int mode) {
    *number = ReadNumTerm();
    SkipBlanks();
    int n = 0;
    while (ScriptBuffer[ReadPosition] == '[') {
        if (n == ArrayMaxDims) ScriptError(CapError, MsgBadSubscripts);
        ReadPosition++;
        subs[n++] = ReadIntExpr();
        if (SkipBlanks() != ']') ScriptError(CapError, MsgBadArrayRef);
        ReadPosition++;
    }
    *nsubs = n;
    if (mode == ArrayRefPlain) return nullptr;
    ArrayVariable* a = FindArray(*number);
    int want = a ? a->dims - (mode == ArrayRefRow ? 1 : 0) : -1;
    if (!a || want != n) ScriptError(CapError, MsgBadSubscripts);
    for (int k = 0; k < n; k++) {
        // Subscripts below -1 would address outside the array: range errors.
        if (subs[k] > a->bounds[k] || subs[k] < -1)
            ScriptErrorF(CapError, FmtSubscriptRange, k + 1, a->bounds[k], subs[k]);
    }
    return a;
}

int32_t* ArrayElement(ArrayVariable* a, const int* subs, int nsubs) {
    if (a->dims == 0) return &a->data[0];
    if (nsubs < a->dims) ScriptError(CapError, MsgBadSubscripts);
    long long index = 0;
    for (int k = 0; k < a->dims; k++) {
        if (subs[k] == -1) ScriptError(CapError, MsgBadSubscripts);
        index = index * ((long long)a->bounds[k] + 1) + subs[k];
    }
    if (index < 0 || index >= a->count) ScriptError(CapError, MsgBadSubscripts);
    return &a->data[index];
}

int32_t ReadArrayValue(int* number) {
    int subs[ArrayMaxDims];
    int n = 0;
    ArrayVariable* a = ReadArrayRef(number, subs, &n, ArrayRefElement);
    return *ArrayElement(a, subs, n);
}
