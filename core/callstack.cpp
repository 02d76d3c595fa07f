// callstack.cpp - the call stack's storage and checks.
#include "core/callstack.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/script.h"

int32_t CallStack[CallStackSize];
int CallStackDepth = 0;
int InTextGosub = 0;
int TextGosubDepth = 0;
int RightGosubTaken = 0;
int RightGosubWaitKind = 0;

bool IsScriptPosition(int32_t p) {
    if (p >= 0 && p <= ScriptLength) return true;
    return p >= ExecAreaOffset && p < ScriptCapacity;
}

void StackBroken() { ScriptError(CapStack, MsgStackBroken); }

int32_t TopCallPosition(const char* command) {
    if (CallStackDepth > CallStackSize) StackBroken();
    if (CallStackDepth <= 0 || CallStack[CallStackDepth - 1] < 0)
        ScriptErrorF(CapStack, FmtNoCallFrame, command);
    int32_t p = CallStack[CallStackDepth - 1];
    if (!IsScriptPosition(p)) StackBroken();
    return p;
}
