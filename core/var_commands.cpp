// var_commands.cpp - mov, mov3 to mov10, intlimit, numalias and stralias.
#include "core/var_commands.h"

#include <cstdio>

#include "core/aliases.h"
#include "core/arrays.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/journal.h"

// mov %N,expr (clamped) | mov ?N[..],expr (never clamped) | mov $N,strexpr.
void Cmd_mov() {
    switch (SkipBlanks()) {
    case '%': {
        ReadPosition++;
        int n = ReadIntVarNumber();
        ExpectComma();
        int32_t v = ReadIntExpr();
        StoreIntVar(n, v);
        return;
    }
    case '?': {
        ReadPosition++;
        int number = 0, subs[ArrayMaxDims], nsubs = 0;
        ArrayVariable* a = ReadArrayRef(&number, subs, &nsubs, ArrayRefElement);
        ExpectComma();
        int32_t v = ReadIntExpr();
        int32_t* e = ArrayElement(a, subs, nsubs);
        JournalInt(e);
        *e = v;
        return;
    }
    case '$': {
        ReadPosition++;
        int n = ReadStrVarNumber();
        ExpectComma();
        StrScratch value;
        ReadStrExprFull(value.p);
        JournalStrVar(n);
        AssignString(&StrVariables[n], value.p);
        return;
    }
    default:
        ScriptError(CapSyntax, MsgMovArg);
    }
}

// movK %N,e1,...,eK: each expression is read after the previous store, so it
// sees it; one clamp after the last.
static void MovCount(int k) {
    if (SkipBlanks() != '%') {
        char name[8];
        snprintf(name, sizeof name, "mov%d", k);
        ScriptErrorF(CapSyntax, FmtMovNArg, name);
    }
    ReadPosition++;
    int32_t n = ReadNumTerm();
    if (n < 0 || n > VariableCount - k) ScriptError(CapError, MsgVarRange);
    for (int i = 0; i < k; i++) {
        ExpectComma();
        int32_t v = ReadIntExpr();
        JournalIntVar(n + i);
        IntVariables[n + i] = v;
    }
    ClampIntVars();
}

void Cmd_mov3() { MovCount(3); }
void Cmd_mov4() { MovCount(4); }
void Cmd_mov5() { MovCount(5); }
void Cmd_mov6() { MovCount(6); }
void Cmd_mov7() { MovCount(7); }
void Cmd_mov8() { MovCount(8); }
void Cmd_mov9() { MovCount(9); }
void Cmd_mov10() { MovCount(10); }

// intlimit N,min,max: N is a numeric term naming the variable.  Nothing is
// clamped now.
void Cmd_intlimit() {
    int n = ReadIntVarNumber();
    ExpectComma();
    int32_t min = ReadIntExpr();
    ExpectComma();
    int32_t max = ReadIntExpr();
    SetIntLimit(n, min, max);
}

// numalias name,value: the value is fixed now.
void Cmd_numalias() {
    if (NumAliasCount >= AliasMax) ScriptError(CapError, MsgNumAliasFull);
    char name[WordBufferSize];
    ReadWord(name);
    if (FindNumAlias(name) >= 0) ScriptErrorF(CapError, FmtNumAliasTwice, name);
    ExpectComma();
    int32_t value = ReadIntExpr();
    AddNumAlias(name, value);
}

// stralias name,text.
void Cmd_stralias() {
    if (StrAliasCount >= AliasMax) ScriptError(CapError, MsgStrAliasFull);
    char name[WordBufferSize];
    ReadWord(name);
    if (FindStrAlias(name) >= 0) ScriptErrorF(CapError, FmtStrAliasTwice, name);
    ExpectComma();
    StrScratch text;
    ReadStrExprFull(text.p);
    AddStrAlias(name, text.p);
}
