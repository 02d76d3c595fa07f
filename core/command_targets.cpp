// command_targets.cpp - '%N' and '$N' operands of the storing commands.
#include "core/command_targets.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"

void OperandKindError(const char* caption, const char* name, const char* suffix) {
    ScriptErrorF(caption ? caption : CapSyntax, "%s%s", name, suffix);
}

static int32_t ReadVarNumber(int flags) {
    return (flags & TargetNumberExpr) ? ReadIntExpr() : ReadNumTerm();
}

int ReadIntVarNumber(int flags) {
    int32_t n = ReadVarNumber(flags);
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
    return n;
}

int ReadStrVarNumber(int flags) {
    int32_t n = ReadVarNumber(flags);
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgStrVarRange);
    return n;
}

static bool TakeSigil(char sigil, int flags) {
    char c = (flags & TargetAtPosition) ? ScriptBuffer[ReadPosition] : SkipBlanks();
    if (c != sigil) return false;
    ReadPosition++;
    return true;
}

int ReadIntTarget(const char* name, const char* suffix, int flags, const char* caption) {
    if (!TakeSigil('%', flags)) OperandKindError(caption, name, suffix);
    return ReadIntVarNumber(flags);
}

int ReadStrTarget(const char* name, const char* suffix, int flags, const char* caption) {
    if (!TakeSigil('$', flags)) OperandKindError(caption, name, suffix);
    return ReadStrVarNumber(flags);
}
