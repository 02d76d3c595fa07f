// flow_commands.cpp - goto, gosub, return, noreturn, tablegoto, jumpf, jumpb
// and skip.
#include "core/flow_commands.h"

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "save/journal.h"
#include "save/savepoint.h"
#include "text/textline.h"

void Cmd_goto() {
    char label[WordBufferSize];
    int e = ReadLabelTarget(label);
    if (e < 0)
        JumpToLabel(label);  // the missing label's error
    else
        JumpToLabelIndex(e);
}

// gosub *label: the call resumes behind the label operand and its blanks.
void Cmd_gosub() {
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgGosubStackFull);
    char label[WordBufferSize];
    int e = ReadLabelTarget(label);
    JournalCallStack();
    CallStack[CallStackDepth++] = ReadPosition;
    if (e < 0)
        JumpToLabel(label);  // the missing label's error
    else
        JumpToLabelIndex(e);
}

// return: back behind the call on top.  return *label: the top entry is
// dropped, whatever it is, and the label taken instead.
void Cmd_return() {
    if (CallStackDepth <= 0) ScriptError(CapStack, MsgReturnUnmatched);
    if (CallStackDepth > CallStackSize) StackBroken();
    JournalCallStack();
    char c = SkipBlanks();
    // A NUL ends a command given as text as a newline ends a line.
    if (c != '\n' && c != ':' && c != ';' && c != 0) {
        char label[WordBufferSize];
        ReadLabelOperand(label);
        CallStackDepth--;
        JumpToLabel(label);
    } else {
        int32_t p = CallStack[--CallStackDepth];
        if (CallStackDepth == TextGosubDepth) InTextGosub = 0;
        if (p < 0) ScriptError(CapStack, MsgReturnInFor);
        if (!IsScriptPosition(p)) StackBroken();
        ReadPosition = p;
    }
    if (RightGosubTaken) {
        // The wait the right-click routine interrupted is shown again.
        RightGosubTaken = 0;
        KeepSavepoint();  // the wait changes what the journal does not record
        if (RightGosubWaitKind == 0)
            DisplayText("@");
        else if (RightGosubWaitKind == 1)
            DisplayText("\\");
    }
}

void Cmd_noreturn() {
    if (CallStackDepth <= 0) ScriptError(CapStack, MsgNoreturnUnmatched);
    if (CallStackDepth > CallStackSize) StackBroken();
    JournalCallStack();
    CallStackDepth--;
}

// tablegoto index,*l0,*l1,...: index <= 0 takes the first label; the labels
// passed over are only read.
void Cmd_tablegoto() {
    int32_t index = ReadIntExpr();
    ExpectComma();
    char label[WordBufferSize];
    for (int32_t i = 0; i < index; i++) {
        ReadLabelOperand(label);
        ExpectComma();
    }
    ReadLabelOperand(label);
    JumpToLabel(label);
}

// jumpf: behind the next '~' (the one at ReadPosition included).  Bytes are
// compared singly, so a trail byte 0x7E counts.
void Cmd_jumpf() {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] != '~') {
        if (s[p] == 0) ScriptError(CapError, MsgJumpfNoTilde);
        p++;
    }
    ReadPosition = p + 1;
}

// jumpb: behind the previous '~' (the one at ReadPosition included).
void Cmd_jumpb() {
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] != '~') {
        if (p == 0) ScriptError(CapError, MsgJumpbNoTilde);
        p--;
    }
    ReadPosition = p + 1;
}

// The error is reported at the skip statement itself.
[[noreturn]] static void SkipOutside() { ScriptError(CapSyntax, MsgSkipOutside); }

// skip N: to the start of the N-th line below (N > 0) or of the |N|-th line
// above (N < 0).  The first line of the script can not be reached backwards.
void Cmd_skip() {
    int32_t n = ReadIntExpr();
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    if (n > 0) {
        for (int32_t i = 0; i < n; i++) {
            while (s[p] != '\n') {
                if (s[p] == 0) SkipOutside();
                p++;
            }
            p++;
        }
    } else if (n < 0) {
        if (s[p] == '\n' && p > 0) p--;
        // 1 - n times (as a 64-bit count: n may be the most negative value).
        for (int64_t i = 0; i < 1 - (int64_t)n; i++) {
            while (p > 0 && s[p] != '\n') p--;
            if (p <= 0) SkipOutside();
            p--;
        }
        p++;
    }
    ReadPosition = p;
}
