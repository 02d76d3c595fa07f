// loop_commands.cpp - for %N=start to end [step s], next and break.
//
// A for frame is, from the bottom: N, end, step, -(body position).  A loop
// that is over before it starts, and break without a label, look forward
// statement by statement for the first "next" (nesting is not counted).
#include "core/loop_commands.h"

#include <cstring>

#include "core/callstack.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/journal.h"

[[noreturn]] static void BadFor() { ScriptError(CapSyntax, MsgBadFor); }

static bool LoopOver(int32_t v, int32_t end, int32_t step) {
    return (v > end && step > 0) || (v < end && step < 0);
}

// From ReadPosition: at each statement start, blanks and a word; behind the
// word "next" the search ends, else it goes on behind the next newline or
// ':'.  The end of the script ends it too.
static void SkipToNext() {
    char word[WordBufferSize];
    const char* s = ScriptBuffer;
    while (s[ReadPosition]) {
        ReadWord(word);
        if (strcmp(word, "next") == 0) return;
        int p = ReadPosition;
        while (s[p] && s[p] != '\n' && s[p] != ':') p++;
        ReadPosition = s[p] ? p + 1 : p;
    }
}

// The for frame on top, checked: its variable inside the table and its body
// inside the script.
static void TopForFrame(const char* unmatched, int32_t** frame) {
    if (CallStackDepth <= 0 || CallStack[CallStackDepth - 1] >= 0) ScriptError(CapStack, unmatched);
    if (CallStackDepth < ForFrameSize || CallStackDepth > CallStackSize) StackBroken();
    *frame = &CallStack[CallStackDepth - ForFrameSize];
}

void Cmd_for() {
    if (CallStackDepth > CallStackSize - ForFrameSize) ScriptError(CapStack, MsgForStackFull);
    if (SkipBlanks() != '%') BadFor();
    ReadPosition++;
    int n = ReadIntVarNumber();
    if (SkipBlanks() != '=') BadFor();
    ReadPosition++;
    int32_t start = ReadIntExpr();
    StoreIntVar(n, start);
    JournalCallStack();
    int32_t* frame = &CallStack[CallStackDepth];
    CallStackDepth++;
    frame[0] = n;
    char word[WordBufferSize];
    ReadWord(word);
    if (strcmp(word, "to") != 0) BadFor();
    frame[1] = ReadIntExpr();
    CallStackDepth++;
    int32_t step = 1;
    if (SkipBlanks() == 's') {
        ReadWord(word);
        if (strcmp(word, "step") != 0) BadFor();
        step = ReadIntExpr();
    }
    frame[2] = step;
    frame[3] = -ReadPosition;
    CallStackDepth += 2;
    if (!LoopOver(IntVariables[n], frame[1], step)) return;
    CallStackDepth -= ForFrameSize;
    SkipToNext();
}

void Cmd_next() {
    int32_t* frame;
    TopForFrame(MsgNextUnmatched, &frame);
    int32_t n = frame[0];
    int64_t body = -(int64_t)frame[3];
    if (n < 0 || n >= VariableCount || body > INT32_MAX || !IsScriptPosition((int32_t)body)) StackBroken();
    StoreIntVar(n, (int32_t)((uint32_t)IntVariables[n] + (uint32_t)frame[2]));
    if (LoopOver(IntVariables[n], frame[1], frame[2])) {
        JournalCallStack();
        CallStackDepth -= ForFrameSize;
        return;
    }
    ReadPosition = (int32_t)body;
}

// break: out of the innermost loop, behind its next or to a label.
void Cmd_break() {
    int32_t* frame;
    TopForFrame(MsgBreakUnmatched, &frame);
    JournalCallStack();
    if (SkipBlanks() == '*') {
        char label[WordBufferSize];
        ReadLabelOperand(label);
        CallStackDepth -= ForFrameSize;
        JumpToLabel(label);
        return;
    }
    CallStackDepth -= ForFrameSize;
    SkipToNext();
}
