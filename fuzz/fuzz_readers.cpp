// Fuzzes the operand readers, the expressions, the label scan and the text
// line expansion over any script text: each either reads or ends in a fatal
// script error (caught here), never reads past the text's end, and the error
// box text is always built within its buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/aliases.h"
#include "core/error.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "fuzz/fuzz_support.h"

namespace {

template <class F>
void Try(F fn) {
    FuzzTry(fn);
    if (ReadPosition < 0 || ReadPosition > ScriptLength) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    VariableCount = 16;
    LabelMax = 64;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(LabelMax);
    for (int i = 0; i < 16; i++) IntVariables[i] = i * 7 - 20;
    AssignString(&StrVariables[1], "#a0b0c0");
    AssignString(&StrVariables[2], "*label");
    ArrayVariable& a = ArrayVariables[0];
    a.number = 1;
    a.dims = 2;
    a.bounds[0] = 2;
    a.bounds[1] = 3;
    a.count = 12;
    a.data = (int32_t*)calloc(12, sizeof(int32_t));
    ArrayCount = 1;
    AddNumAlias("n", 5);
    AddStrAlias("s", "text");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char word[WordBufferSize];
    static char text[StrValueSize];
    static char box[4096];
    FuzzSetScript(data, size);
    Try([] { ReadIntExpr(); });
    FormatErrorText("m", box, sizeof box);
    ReadPosition = 0;
    Try([] { ReadStrExpr(text, sizeof text); });
    ReadPosition = 0;
    Try([] { ReadColor(); });
    ReadPosition = 0;
    Try([] { ReadLabelOperand(word); });
    ReadPosition = 0;
    Try([] {
        std::string out;
        ExpandTextLine(&out);
    });
    ReadPosition = 0;
    Try([] {
        LabelCount = 0;
        ScanLabels();
    });
    ReadPosition = ScriptLength;
    FormatErrorText("m", box, sizeof box);
    if (strlen(box) >= sizeof box) abort();
    return 0;
}
