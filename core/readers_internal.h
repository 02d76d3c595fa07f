// readers_internal.h - what the operand readers and the expressions share:
// the full-size string readers and the nesting bound.
#pragma once

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
