// readers.h - the operand readers every command uses at ReadPosition, and
// the integer and string expressions.  Each leaves ReadPosition exactly
// behind what it consumed.  Errors are fatal (ScriptError).
#pragma once
#include <cstdint>

#include "core/script.h"

enum { WordBufferSize = 256, StrOperandSize = 204800 };
// A string term or expression holds at most 8190 bytes.
enum { StrValueMax = 8190, StrValueSize = StrValueMax + 1 };

char SkipBlanks();              // the character now at ReadPosition (inline below)
char SkipBlanksAndNewlines();
void ExpectComma();             // blanks, ',', blanks; else a syntax error
char ReadWord(char* buffer);    // WordBufferSize bytes; lower-cased; next char
void ReadLabelOperand(char* buffer);  // WordBufferSize bytes; name without '*'
uint32_t ParseHexColor(const char* text);
uint32_t ReadColor();           // 0xRRGGBB
int32_t ReadNumTerm();
void ReadStrTerm(char* buffer, int size);
int32_t ReadIntExpr();
// Reads a string expression into buffer (size bytes, always terminated; a
// longer value is cut).
void ReadStrExpr(char* buffer, int size);

// Every reader starts with it: inline, so a run of operands pays no call.
inline char SkipBlanks() {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] == ' ' || s[p] == '\t') p++;
    ReadPosition = p;
    return s[p];
}
