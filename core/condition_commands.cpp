// condition_commands.cpp - if and notif.
//
// A condition is one term, or terms joined only by '&' / "&&" or only by
// '|' / "||".  A term is fchk "file", lchk *label, two string expressions
// (when it starts with '"' or '$') or two integer expressions, with one of
// == = != <> < <= > >= between them.  With '&' the terms after the first
// unmet one are not read; with '|' all are read.
#include "core/condition_commands.h"

#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/startup.h"
#include "save/namelog.h"

namespace {

enum Relation { RelEq, RelNe, RelLt, RelLe, RelGt, RelGe };

[[noreturn]] void BadCondition() { ScriptError(CapError, MsgBadCondition); }

Relation ReadRelation() {
    const char* s = ScriptBuffer;
    char c = SkipBlanks();
    int p = ReadPosition;
    Relation r;
    int len = 1;
    switch (c) {
    case '=':
        r = RelEq;
        if (s[p + 1] == '=') len = 2;
        break;
    case '!':
        if (s[p + 1] != '=') BadCondition();
        r = RelNe;
        len = 2;
        break;
    case '<':
        if (s[p + 1] == '>') {
            r = RelNe;
            len = 2;
        } else if (s[p + 1] == '=') {
            r = RelLe;
            len = 2;
        } else {
            r = RelLt;
        }
        break;
    case '>':
        r = RelGt;
        if (s[p + 1] == '=') {
            r = RelGe;
            len = 2;
        }
        break;
    default:
        BadCondition();
    }
    ReadPosition = p + len;
    return r;
}

// cmp < 0, == 0 or > 0 against the relation.
bool Holds(Relation r, int cmp) {
    switch (r) {
    case RelEq: return cmp == 0;
    case RelNe: return cmp != 0;
    case RelLt: return cmp < 0;
    case RelLe: return cmp <= 0;
    case RelGt: return cmp > 0;
    default: return cmp >= 0;
    }
}

// Reads one term and tells whether it is true.
bool ReadTerm() {
    char c = SkipBlanks();
    if (c == 'f' || c == 'l') {
        char word[WordBufferSize];
        ReadWord(word);
        if (strcmp(word, c == 'f' ? "fchk" : "lchk") != 0) BadCondition();
        if (DefineRunning) ScriptError(CapError, c == 'f' ? MsgFchkInDefine : MsgLchkInDefine);
        if (c == 'f') {
            StrScratch name;
            ReadStrExprFull(name.p);
            return FindInNameLog(&FileLog, name.p);
        }
        char label[WordBufferSize];
        ReadLabelOperand(label);
        return FindInNameLog(&LabelLog, label);
    }
    if (c == '"' || c == '$') {
        StrScratch a, b;
        ReadStrExprFull(a.p);
        Relation r = ReadRelation();
        ReadStrExprFull(b.p);
        return Holds(r, strcmp(a.p, b.p));  // strcmp compares unsigned bytes
    }
    int32_t a = ReadIntExpr();
    Relation r = ReadRelation();
    int32_t b = ReadIntExpr();
    return Holds(r, a < b ? -1 : a > b ? 1 : 0);
}

// Reads the condition; met_when: the truth value that meets a term.
bool ReadCondition(bool met_when) {
    char joint = 0;  // '&' or '|' once one was used
    bool any_met = false;
    for (;;) {
        bool met = ReadTerm() == met_when;
        any_met = any_met || met;
        if (joint == '&' && !met) return false;
        char c = SkipBlanks();
        if (c != '&' && c != '|') break;
        if (joint && joint != c) ScriptError(CapError, MsgMixedAndOr);
        joint = c;
        ReadPosition++;
        if (ScriptBuffer[ReadPosition] == c) ReadPosition++;
        if (c == '&' && !met) return false;
    }
    return joint == '&' ? true : any_met;
}

void RunCondition(bool met_when) {
    if (ReadCondition(met_when)) return;  // the rest of the line runs
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] && s[p] != '\n') p++;
    ReadPosition = s[p] ? p + 1 : p;
}

}  // namespace

void Cmd_if() { RunCondition(true); }
void Cmd_notif() { RunCondition(false); }

