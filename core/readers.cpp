// readers.cpp - the operand readers: blanks, the comma, words, label operands,
// colours and the numeric and string terms, all read in place at ReadPosition
// in ScriptBuffer.
#include "core/readers.h"

#include <cstdlib>
#include <cstring>

#include "core/aliases.h"
#include "core/arrays.h"
#include "core/core_messages.h"
#include "core/debug.h"
#include "core/error.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "save/namelog.h"

int ReaderNesting = 0;

void NestingTooDeep() { ScriptError(CapError, MsgBadExpr); }

StrScratch::StrScratch() : p((char*)malloc(StrValueSize)) { p[0] = 0; }
StrScratch::~StrScratch() { free(p); }

char SkipBlanksAndNewlines() {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] == ' ' || s[p] == '\t' || s[p] == '\n') p++;
    ReadPosition = p;
    return s[p];
}

void ExpectComma() {
    if (SkipBlanks() != ',') ScriptError(CapSyntax, MsgNoComma);
    ReadPosition++;
    SkipBlanks();
}

char ReadWord(char* buffer) {
    SkipBlanks();
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    int n = 0;
    for (;;) {
        char c = s[p];
        char lc = (c >= 'A' && c <= 'Z') ? (char)(c + ('a' - 'A')) : c;
        if (!((lc >= 'a' && lc <= 'z') || lc == '_' || (n > 0 && lc >= '0' && lc <= '9'))) break;
        if (n == WordBufferSize - 2) {
            buffer[n] = lc;  // the 255th character: shown, then refused
            buffer[n + 1] = 0;
            ReadPosition = p;
            ScriptErrorF(CapCommand, MsgTokenTooLong, buffer);
        }
        buffer[n++] = lc;
        p++;
    }
    buffer[n] = 0;
    ReadPosition = p;
    return SkipBlanks();
}

void ReadLabelOperand(char* buffer) {
    char c = SkipBlanks();
    if (c == '*') {
        ReadPosition++;
        ReadWord(buffer);
        return;
    }
    if (c == '"' || c == '$') {
        StrScratch value;
        ReadStrExprFull(value.p);
        if (value.p[0] != '*') ScriptError(CapRuntime, MsgLabelStringNoStar);
        CopySjisBounded(buffer, WordBufferSize, value.p + 1);
        return;
    }
    ScriptError(CapSyntax, MsgNoLabelOperand);
}

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint32_t ParseHexColor(const char* text) {
    uint32_t v = 0;
    for (int i = 0; i < 6; i++) {
        int d = HexDigit(text[i]);
        if (d < 0) ScriptError(CapSyntax, MsgBadColor);
        v = v * 16 + (uint32_t)d;
    }
    return v;
}

uint32_t ReadColor() {
    if (ScriptBuffer[ReadPosition] == '#') {
        uint32_t v = ParseHexColor(ScriptBuffer + ReadPosition + 1);
        ReadPosition += 7;
        return v;
    }
    // A string operand: its first character (normally '#') is passed over
    // whatever it is; a text too short for six digits is the colour error.
    StrScratch value;
    ReadStrExprFull(value.p);
    if (strlen(value.p) < 7) ScriptError(CapSyntax, MsgBadColor);
    return ParseHexColor(value.p + 1);
}

// Literal: optional sign and up to 18 digits, saturated at 2147483647 before
// the sign is applied; a sign without digits is 0.
static int32_t ReadLiteral() {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    bool negative = false;
    if (s[p] == '+' || s[p] == '-') negative = s[p++] == '-';
    int start = p;
    uint32_t v = 0;
    while (s[p] >= '0' && s[p] <= '9') {
        if (p - start == 18) {
            char digits[24];
            memcpy(digits, s + start, 19);
            digits[19] = 0;
            ReadPosition = p + 1;
            ScriptErrorF(CapSyntax, MsgNumberTooLong, digits);
        }
        uint64_t w = (uint64_t)v * 10 + (uint64_t)(s[p] - '0');
        v = w > 2147483647u ? 2147483647u : (uint32_t)w;
        p++;
    }
    ReadPosition = p;
    SkipBlanks();
    return negative ? -(int32_t)v : (int32_t)v;
}

// ---- terms kept by position (readers_internal.h) ------------------------------------

CachedTerm TermCache[TermCacheSize];

namespace {

void KeepTerm(int start, TermKind kind, int32_t value) {
    if (start >= ScriptLength || DebugWindowOpen) return;
    CachedTerm* t = &TermCache[(uint32_t)start & (TermCacheSize - 1)];
    t->start = start;
    t->end = ReadPosition;
    t->generation = ScriptGeneration;
    t->kind = kind;
    t->value = value;
}

}  // namespace

int32_t ReadNumTerm() {
    char c = SkipBlanks();
    int start = ReadPosition;
    int32_t kept;
    if (ReadKeptTerm(start, &kept)) return kept;
    switch (c) {
    case '%': {
        NestingGuard nest;
        ReadPosition++;
        char d = ScriptBuffer[ReadPosition];
        int32_t n = ReadNumTerm();
        if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
        int32_t v = IntVariables[n];
        if (DebugWindowOpen) TraceAccessF(FmtTraceIntVar, n, v);
        SkipBlanks();
        if (d >= '0' && d <= '9') KeepTerm(start, TermVariable, n);
        return v;
    }
    case '?': {
        NestingGuard nest;
        ReadPosition++;
        int number = 0;
        int32_t v = ReadArrayValue(&number);
        if (DebugWindowOpen) TraceAccessF(FmtTraceArray, number, v);
        return v;
    }
    case '[': {
        NestingGuard nest;
        ReadPosition++;
        int32_t v = ReadIntExpr();
        if (SkipBlanks() != ']') ScriptError(CapError, MsgBadNumber);
        ReadPosition++;
        if (DebugWindowOpen) TraceAccessF(FmtTraceBracket, v);
        return v;
    }
    case '+':
    case '-':
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9': {
        int32_t v = ReadLiteral();
        KeepTerm(start, TermLiteral, v);
        return v;
    }
    default: {
        char word[WordBufferSize];
        ReadWord(word);
        int e = FindNumAlias(word);
        if (e < 0) ScriptError(CapSyntax, MsgNoNumber);
        int32_t v = NumAliasValues[e];
        if (DebugWindowOpen) TraceAccessF(FmtTraceAlias, word, v);
        return v;
    }
    }
}

// Copies a variable's or alias's text into a term buffer (at most 8190 bytes).
static void CopyTermText(char* buffer, const char* text) {
    CopySjisBounded(buffer, StrValueSize, text);
}

// "(" name ")" a b  or  "[" label "]" a b: both alternatives are read, the
// first is kept when the name is in the log.
static void ReadConditionTerm(char* buffer, bool found) {
    StrScratch other;
    ReadStrTermFull(found ? buffer : other.p);
    ReadStrTermFull(found ? other.p : buffer);
}

void ReadStrTermFull(char* buffer) {
    char c = SkipBlanks();
    switch (c) {
    case '$': {
        NestingGuard nest;
        ReadPosition++;
        int32_t n = ReadNumTerm();
        if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgStrVarRange);
        CopyTermText(buffer, StringText(StrVariables[n]));
        if (DebugWindowOpen) TraceAccessF(FmtTraceStrVar, n, buffer);
        SkipBlanks();
        return;
    }
    case '"': {
        const char* s = ScriptBuffer;
        int p = ReadPosition + 1;
        int n = 0;
        while (s[p] != '"') {
            // A NUL (the end of a command given as text) ends the line too.
            if (s[p] == '\n' || s[p] == 0) {
                ReadPosition = p;
                ScriptError(CapSyntax, MsgNewlineInString);
            }
            if (n == StrValueMax) {
                buffer[n] = 0;
                ReadPosition = p;
                ScriptErrorF(CapSyntax, MsgStringTooLongFmt, buffer);
            }
            buffer[n++] = s[p++];
        }
        buffer[n] = 0;
        ReadPosition = p + 1;
        SkipBlanks();
        return;
    }
    case '(': {
        NestingGuard nest;
        ReadPosition++;
        StrScratch name;
        ReadStrTermFull(name.p);
        if (ScriptBuffer[ReadPosition] != ')') ScriptError(CapError, MsgBadFileCondition);
        ReadPosition++;
        ReadConditionTerm(buffer, FindInNameLog(&FileLog, name.p));
        return;
    }
    case '[': {
        NestingGuard nest;
        ReadPosition++;
        char label[WordBufferSize];
        ReadLabelOperand(label);
        if (ScriptBuffer[ReadPosition] != ']') ScriptError(CapError, MsgBadFileCondition);
        ReadPosition++;
        ReadConditionTerm(buffer, FindInNameLog(&LabelLog, label));
        return;
    }
    default: {
        char word[WordBufferSize];
        ReadWord(word);
        int e = FindStrAlias(word);
        if (e < 0) ScriptError(CapSyntax, MsgNoString);
        CopyTermText(buffer, StringText(StrAliasTexts[e]));
        return;
    }
    }
}

void ReadStrTerm(char* buffer, int size) {
    if (size >= StrValueSize) {
        ReadStrTermFull(buffer);
        return;
    }
    StrScratch value;
    ReadStrTermFull(value.p);
    if (size > 0) CopySjisBounded(buffer, (size_t)size, value.p);
}
