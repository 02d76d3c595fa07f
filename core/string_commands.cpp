// string_commands.cpp - len, mid, cmp, itoa, itoa2, atoi, split, splitnum,
// labelexist.
#include "core/string_commands.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "save/journal.h"

void LeadingIntReader::Put(unsigned char c) {
    if (stage == 2) return;
    if (stage == 0 && (c == ' ' || (c >= '\t' && c <= '\r'))) return;
    if (stage == 0 && (c == '+' || c == '-')) {
        negative = c == '-';
        stage = 1;
    } else if (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (uint64_t)(c - '0');
        if (magnitude > 2147483648u) magnitude = 2147483648u;
        stage = 1;
    } else {
        stage = 2;
    }
}

int32_t LeadingIntReader::Value() const {
    if (negative) return magnitude >= 2147483648u ? INT_MIN : -(int32_t)magnitude;
    return magnitude > 2147483647u ? INT_MAX : (int32_t)magnitude;
}

int32_t ParseLeadingInt(const char* text) {
    LeadingIntReader r;
    for (const char* p = text; *p && r.stage != 2; p++) r.Put((unsigned char)*p);
    return r.Value();
}

// ", text" into a buffer of StrValueSize bytes.
static void ReadCommaText(char* buffer) {
    ExpectComma();
    ReadStrExpr(buffer, StrValueSize);
}

void Cmd_len() {
    int n = ReadIntTarget("len", SufFirstInt);
    StrScratch text;
    ReadCommaText(text.p);
    StoreIntVarUnclamped(n, (int32_t)strlen(text.p));
}

// mid $N,text,start,length: at most length bytes from byte offset start; a
// start outside the text or a length of 0 or less gives "".
void Cmd_mid() {
    int n = ReadStrTarget("mid", SufFirstStr);
    StrScratch text;
    ReadCommaText(text.p);
    ExpectComma();
    int32_t start = ReadIntExpr();
    ExpectComma();
    int32_t length = ReadIntExpr();
    size_t size = strlen(text.p);
    JournalStrVar(n);
    if (start < 0 || (size_t)start > size || length <= 0) {
        AssignString(&StrVariables[n], "");
        return;
    }
    size_t take = size - (size_t)start;
    if ((size_t)length < take) take = (size_t)length;
    text.p[start + take] = 0;
    AssignString(&StrVariables[n], text.p + start);
}

void Cmd_cmp() {
    int n = ReadIntTarget("cmp", SufFirstInt);
    StrScratch a, b;
    ReadCommaText(a.p);
    ReadCommaText(b.p);
    int r = strcmp(a.p, b.p);  // compares as unsigned char
    StoreIntVarUnclamped(n, r == 0 ? 0 : r < 0 ? -1 : 1);
}

void Cmd_itoa() {
    int n = ReadStrTarget("itoa", SufFirstStr, TargetAtPosition);
    ExpectComma();
    char digits[16];
    snprintf(digits, sizeof digits, "%d", (int)ReadIntExpr());
    JournalStrVar(n);
    AssignString(&StrVariables[n], digits);
}

// itoa2: the decimal text with '-' as the full-width minus and the digits as
// full-width digits, two bytes each.
void Cmd_itoa2() {
    int n = ReadStrTarget("itoa2", SufFirstStr, TargetAtPosition);
    ExpectComma();
    char digits[16];
    snprintf(digits, sizeof digits, "%d", (int)ReadIntExpr());
    char wide[32];
    size_t w = 0;
    for (const char* d = digits; *d; d++) {
        const char* glyph = *d == '-' ? TxtFullMinus : TxtFullDigits + 2 * (*d - '0');
        wide[w++] = glyph[0];
        wide[w++] = glyph[1];
    }
    wide[w] = 0;
    JournalStrVar(n);
    AssignString(&StrVariables[n], wide);
}

void Cmd_atoi() {
    int n = ReadIntTarget("atoi", SufFirstInt, TargetAtPosition);
    StrScratch text;
    ReadCommaText(text.p);
    StoreIntVarUnclamped(n, ParseLeadingInt(text.p));
}

// The fields of text, split at the one-byte delimiter, go into the targets
// in order; a two-byte character is never split nor taken for the delimiter.
static void SplitInto(const char* text, char delimiter) {
    StrScratch field;
    size_t cursor = 0;
    for (;;) {
        size_t len = 0;
        while (text[cursor] && text[cursor] != delimiter) {
            if (IsSjisLead((unsigned char)text[cursor]) && text[cursor + 1]) field.p[len++] = text[cursor++];
            field.p[len++] = text[cursor++];
        }
        if (text[cursor]) cursor++;  // the delimiter
        field.p[len] = 0;
        char c = SkipBlanks();
        if (c != '$' && c != '%') ScriptError(CapError, MsgSplitTarget);
        ReadPosition++;
        int n = ReadIntVarNumber();  // one range message for both kinds
        if (c == '$') {
            JournalStrVar(n);
            AssignString(&StrVariables[n], field.p);
        } else {
            StoreIntVarUnclamped(n, ParseLeadingInt(field.p));
        }
        if (SkipBlanks() != ',') return;
        ReadPosition++;
    }
}

static void SplitCommand(bool with_count) {
    StrScratch text, delimiter;
    ReadStrExpr(text.p, StrValueSize);
    ReadCommaText(delimiter.p);
    if (strlen(delimiter.p) != 1) ScriptError(CapError, MsgSplitDelimiter);
    ExpectComma();
    if (with_count) {
        ReadIntExpr();  // read, never used
        ExpectComma();
    }
    SplitInto(text.p, delimiter.p[0]);
}

void Cmd_split() { SplitCommand(false); }
void Cmd_splitnum() { SplitCommand(true); }

void Cmd_labelexist() {
    int n = ReadIntTarget("labelexist", SufFirstInt, 0, CapError);
    ExpectComma();
    char label[WordBufferSize];
    ReadLabelOperand(label);
    StoreIntVarUnclamped(n, FindLabel(label) >= 0 ? 1 : 0);
}
