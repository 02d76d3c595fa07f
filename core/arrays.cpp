// arrays.cpp - array declaration, references and element addressing.
#include "core/arrays.h"

#include <cstdlib>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/readers.h"
#include "core/script.h"
#include "save/journal.h"

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

// Row-major index of the first nsubs subscripts, counted in whole rows of the
// dimensions behind them.
static long long RowMajorIndex(const ArrayVariable* a, const int* subs, int nsubs) {
    long long index = 0;
    for (int k = 0; k < nsubs; k++) {
        if (subs[k] == -1) ScriptError(CapError, MsgBadSubscripts);
        index = index * ((long long)a->bounds[k] + 1) + subs[k];
    }
    return index;
}

int32_t* ArrayElement(ArrayVariable* a, const int* subs, int nsubs) {
    if (a->dims == 0) return &a->data[0];
    if (nsubs < a->dims) ScriptError(CapError, MsgBadSubscripts);
    long long index = RowMajorIndex(a, subs, a->dims);
    if (index < 0 || index >= a->count) ScriptError(CapError, MsgBadSubscripts);
    return &a->data[index];
}

int32_t ReadArrayValue(int* number) {
    int subs[ArrayMaxDims];
    int n = 0;
    ArrayVariable* a = ReadArrayRef(number, subs, &n, ArrayRefElement);
    return *ArrayElement(a, subs, n);
}

void CreateArray(ArrayVariable* a, const int* bounds, int ndims, int number) {
    long long count = 1;
    for (int k = 0; k < ndims; k++) {
        if (bounds[k] < 0) ScriptError(CapError, MsgBadArraySize);
        count *= (long long)bounds[k] + 1;
        if (count > ArrayElementMax) ScriptError(CapError, MsgBadArraySize);
    }
    int32_t* data = (int32_t*)calloc((size_t)count, sizeof(int32_t));
    if (!data) ScriptError(CapError, MsgBadArraySize);
    free(a->data);
    a->data = data;
    a->count = count;
    a->dims = ndims;
    memset(a->bounds, 0, sizeof a->bounds);
    memcpy(a->bounds, bounds, sizeof(int) * (size_t)ndims);
    a->number = number;
}

void DeclareArray(int number, const int* bounds, int ndims) {
    if (FindArray(number)) ScriptError(CapError, MsgArrayTwice);
    if (ArrayCount >= VariableCount) ScriptError(CapError, MsgTooManyArrays);
    CreateArray(&ArrayVariables[ArrayCount], bounds, ndims, number);
    ArrayCount++;
}

void FillLastDimension(ArrayVariable* a, const int* subs, const int32_t* values) {
    int last = a->dims - 1;
    long long row = RowMajorIndex(a, subs, last);
    long long width = (long long)a->bounds[last] + 1;
    long long first = row * width;
    if (first < 0 || first + width > a->count) ScriptError(CapError, MsgBadSubscripts);
    for (long long i = 0; i < width; i++) JournalInt(a->data + first + i);
    memcpy(a->data + first, values, sizeof(int32_t) * (size_t)width);
}
