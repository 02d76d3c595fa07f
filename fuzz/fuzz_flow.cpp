// Fuzzes the variable, array and control-flow commands: one command of them,
// chosen by the first byte, runs over any script text with a call stack
// whose entries come from the input too (as a damaged save slot could leave
// them).  Each either finishes or ends in a fatal script error (caught here);
// it never reads or writes outside the script, the stack, the variable and
// array tables, and leaves ReadPosition inside the script (or the area of a
// command given as text) and the stack depth inside 0..1000.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/aliases.h"
#include "core/callstack.h"
#include "core/dispatch.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "fuzz/fuzz_support.h"

namespace {

const char* const Commands[] = {
    "mov", "mov3", "mov4", "mov10", "intlimit", "numalias", "stralias", "dim", "movl",
    "goto", "gosub", "return", "noreturn", "for", "next", "break", "if", "notif",
    "jumpf", "jumpb", "tablegoto", "skip", "defsub", "getparam", "getparam2", "gettag",
};
const int CommandCount = (int)(sizeof Commands / sizeof Commands[0]);

enum { HeaderSize = 2 + 4 * 4 };

int32_t Int32At(const uint8_t* p) {
    return (int32_t)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    VariableCount = 16;
    GlobalBorder = 8;
    LabelMax = 64;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(LabelMax);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < HeaderSize) return 0;
    const char* command = Commands[data[0] % CommandCount];
    int define = data[1] & 1;
    FuzzSetScript(data + HeaderSize, size - HeaderSize);
    // The stack: up to four entries from the input; with bit 1 set they are
    // taken modulo the text's length, so that they are mostly positions.
    CallStackDepth = (data[1] >> 2) % 5;
    for (int i = 0; i < 4; i++) {
        int32_t v = Int32At(data + 2 + 4 * i);
        if ((data[1] & 2) && v != INT32_MIN) v = v < 0 ? -(-v % (ScriptLength + 1)) : v % (ScriptLength + 1);
        CallStack[i] = v;
    }
    for (int i = 0; i < ArrayCount; i++) {
        free(ArrayVariables[i].data);  // no run keeps the last one's arrays
        ArrayVariables[i].data = nullptr;
    }
    ArrayCount = 0;
    if (NumAliasCount || StrAliasCount) ClearAliasTables();
    ClearDefsubNames();
    DefineRunning = (uint8_t)define;
    FuzzTry([] {
        LabelCount = 0;
        ScanLabels();
    });
    ReadPosition = 0;
    FuzzTry([&] { ExecCommand(command, define); });  // the text is its operands
    bool inside = (ReadPosition >= 0 && ReadPosition <= ScriptLength) ||
                  (ReadPosition >= ExecAreaOffset && ReadPosition < ScriptCapacity);
    if (!inside || CallStackDepth < 0 || CallStackDepth > CallStackSize) abort();
    for (int i = 0; i < VariableCount; i++) SetIntLimit(i, -1, -1);
    return 0;
}
