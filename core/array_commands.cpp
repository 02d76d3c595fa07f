// array_commands.cpp - dim and movl.
#include "core/array_commands.h"

#include <vector>

#include "core/arrays.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/readers.h"
#include "core/script.h"

// dim ?N[b1][b2]...: the bounds are integer expressions; no brackets declares
// a single element.
void Cmd_dim() {
    if (SkipBlanks() != '?') ScriptError(CapError, MsgDimArg);
    ReadPosition++;
    int number = 0, bounds[ArrayMaxDims], n = 0;
    ReadArrayRef(&number, bounds, &n, ArrayRefPlain);
    DeclareArray(number, bounds, n);
}

// movl ?N[i1]...[i(d-1)],v0,...,vb: exactly b + 1 values (b the last bound),
// all read before the row is written.
void Cmd_movl() {
    if (SkipBlanks() != '?') ScriptError(CapError, MsgMovlArg);
    ReadPosition++;
    int number = 0, subs[ArrayMaxDims], n = 0;
    ArrayVariable* a = ReadArrayRef(&number, subs, &n, ArrayRefRow);
    int count = a->bounds[a->dims - 1] + 1;
    std::vector<int32_t> values((size_t)count);
    for (int i = 0; i < count; i++) {
        ExpectComma();
        values[(size_t)i] = ReadIntExpr();
    }
    FillLastDimension(a, subs, values.data());
}
