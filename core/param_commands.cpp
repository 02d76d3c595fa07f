// param_commands.cpp - defsub, getparam, getparam2 and gettag.
//
// The arguments of a user-defined command stay in the script text behind the
// command word; the call frame on top of the stack holds their position A.
// These commands read their own operands at ReadPosition and the arguments at
// A by turns, then store the advanced A back into the frame, so that return
// resumes behind the last argument consumed.  Their numeric stores are not
// clamped.
#include "core/param_commands.h"

#include <string>

#include "core/callstack.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/dispatch.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/readers.h"
#include "core/readers_internal.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "save/journal.h"

void Cmd_defsub() {
    char name[WordBufferSize];
    ReadWord(name);
    if (name[0] == '_') ScriptError(CapError, MsgDefsubUnderscore);
    AddDefsubName(name);
}

namespace {

// Reading at the argument position and back at the statement.
struct ArgumentCursor {
    int statement = 0;  // where the command's own operands continue
    int32_t arg = 0;    // A
    void ToArgument() {
        statement = ReadPosition;
        ReadPosition = arg;
    }
    void ToStatement() {
        arg = ReadPosition;
        ReadPosition = statement;
    }
};

bool AtLineEnd(char c) { return c == '\n' || c == 0; }

// getparam (two = false) and getparam2 (two = true).
void ReadParameters(bool two, const char* name, const char* bad) {
    ArgumentCursor cur;
    cur.arg = TopCallPosition(name);
    for (;;) {
        char kind = SkipBlanks();
        char ref = 0;  // 'i' or 's': the argument's variable number is stored
        if (kind == 'i' || kind == 's') {
            ref = kind;
            ReadPosition++;
            kind = ScriptBuffer[ReadPosition];
            if (kind != '%') ScriptError(CapError, bad);
        } else if (kind != '%' && kind != '$') {
            ScriptError(CapError, bad);
        }
        ReadPosition++;
        int n = kind == '$' ? ReadStrVarNumber() : ReadIntVarNumber();
        if (kind == '$')
            JournalStrVar(n);
        else
            JournalIntVar(n);
        cur.ToArgument();
        char c = SkipBlanks();
        if (ref) {
            char want = ref == 'i' ? '%' : '$';
            if (c != want) ScriptError(CapError, ref == 'i' ? MsgNeedIntVar : MsgNeedStrVar);
            ReadPosition++;
            IntVariables[n] = ReadNumTerm();
        } else if (kind == '$') {
            if (two && AtLineEnd(c)) {
                AssignString(&StrVariables[n], "");
            } else if (c == '*') {
                char label[WordBufferSize + 1];
                label[0] = '*';
                ReadLabelOperand(label + 1);
                AssignString(&StrVariables[n], label);
            } else {
                StrScratch value;
                ReadStrExprFull(value.p);
                AssignString(&StrVariables[n], value.p);
            }
        } else {
            IntVariables[n] = two && AtLineEnd(c) ? 0 : ReadIntExpr();
        }
        cur.ToStatement();
        if (SkipBlanks() != ',') break;
        ReadPosition++;
        cur.ToArgument();
        if (!two) {
            ExpectComma();
        } else if (SkipBlanks() == ',') {
            ReadPosition++;
            SkipBlanks();
        }
        cur.ToStatement();
    }
    JournalCallStack();
    CallStack[CallStackDepth - 1] = cur.arg;
}

}  // namespace

void Cmd_getparam() { ReadParameters(false, "getparam", MsgBadGetparam); }
void Cmd_getparam2() { ReadParameters(true, "getparam2", MsgBadGetparam2); }

// gettag $N / %N, ...: the tag's parameters, separated by any one character
// ('/' as a rule) and ended by ']'.  A tag without parameters gives "" and 0.
void Cmd_gettag() {
    ArgumentCursor cur;
    cur.arg = TopCallPosition("gettag");
    bool more = ScriptBuffer[cur.arg] == '[';
    if (more) cur.arg++;
    for (;;) {
        char kind = SkipBlanks();
        if (kind != '$' && kind != '%') ScriptError(CapError, MsgBadGettag);
        ReadPosition++;
        int n = kind == '$' ? ReadStrVarNumber() : ReadIntVarNumber();
        if (!more) {
            if (kind == '$')
                AssignString(&StrVariables[n], "");
            else
                IntVariables[n] = 0;
        } else {
            cur.ToArgument();
            if (kind == '$') {
                const char* s = ScriptBuffer;
                int p = ReadPosition;
                while (s[p] == ' ' || s[p] == '\t') p++;
                int start = p;
                while (s[p] && s[p] != '/' && s[p] != ']') {
                    // A lead byte keeps its trail byte, whatever that is.
                    if (IsSjisLead((unsigned char)s[p]) && s[p + 1]) p++;
                    p++;
                }
                std::string text(s + start, (size_t)(p - start));
                AssignString(&StrVariables[n], text.c_str());
                ReadPosition = p;
            } else {
                IntVariables[n] = ReadNumTerm();
            }
            cur.ToStatement();
        }
        if (SkipBlanks() != ',') break;
        ReadPosition++;
        if (more) {
            // One separator and the blanks around it; a ']' ends the tag's
            // parameters.
            cur.ToArgument();
            char sep = SkipBlanks();
            if (sep) ReadPosition++;
            SkipBlanks();
            if (sep == ']' || sep == 0) more = false;
            cur.ToStatement();
        }
    }
    while (ScriptBuffer[cur.arg] == ']') cur.arg++;
    CallStack[CallStackDepth - 1] = cur.arg;
}
