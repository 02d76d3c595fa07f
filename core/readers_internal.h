// readers_internal.h - what the operand readers and the expressions share:
// the full-size string readers and the nesting bound.
#pragma once
#include <cstdint>

#include "core/debug.h"
#include "core/script.h"
#include "core/variables.h"

// Readers call each other for nested terms (%%0, [..], ?N[..], condition
// forms); past this depth the expression error is raised instead of letting
// the stack run out.
enum { ReaderNestingMax = 256 };
extern int ReaderNesting;
void NestingTooDeep();
struct NestingGuard {
    NestingGuard() {
        // Checked before counting: the error does not come back to undo it.
        if (ReaderNesting >= ReaderNestingMax) NestingTooDeep();
        ++ReaderNesting;
    }
    ~NestingGuard() { --ReaderNesting; }
};

// Numeric terms kept by position: a literal and a variable with a literal
// number ("%12") read the same every time in one ScriptGeneration, so their
// value or variable number and their end are kept (readers.cpp).  Not while
// the debug window traces every access.
enum TermKind : int32_t { TermLiteral, TermVariable };
struct CachedTerm {
    int32_t start = -1;  // position of the term (behind the blanks before it)
    int32_t end = 0;     // behind the term and its blanks
    uint32_t generation = 0;
    TermKind kind = TermLiteral;
    int32_t value = 0;   // the literal, or the variable's number
};
enum { TermCacheSize = 4096 };  // direct-mapped by position
extern CachedTerm TermCache[TermCacheSize];

// The term kept for position start: true with *value and ReadPosition behind
// the term and its blanks; false (nothing read) when none is kept.
inline bool ReadKeptTerm(int start, int32_t* value) {
    const CachedTerm* t = &TermCache[(uint32_t)start & (TermCacheSize - 1)];
    if (t->start != start || t->generation != ScriptGeneration || DebugWindowOpen) return false;
    if (t->kind == TermLiteral) {
        *value = t->value;
    } else if (t->value < VariableCount) {  // the tables may have been sized again
        *value = IntVariables[t->value];
    } else {
        return false;
    }
    ReadPosition = t->end;
    return true;
}

// String term and expression into a buffer of StrValueSize bytes.
void ReadStrTermFull(char* buffer);
void ReadStrExprFull(char* buffer);

// A heap buffer of StrValueSize bytes for one nested string.
struct StrScratch {
    char* p;
    StrScratch();
    ~StrScratch();
    StrScratch(const StrScratch&) = delete;
    StrScratch& operator=(const StrScratch&) = delete;
};
