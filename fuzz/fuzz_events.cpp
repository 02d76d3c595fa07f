// Fuzzes the headless events-file parser and the first-line settings: any
// text is either taken or refused with a reason, never read out of bounds.
#include <cstdint>
#include <string>
#include <vector>

#include "core/script.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    std::vector<HeadlessEvent> events;
    std::string error;
    if (!HeadlessParseEvents(text, "fuzz", &events, &error) && error.empty()) __builtin_trap();

    ScreenWidth = 640, ScreenHeight = 480, VariableCount = 4096, GlobalBorder = 200,
    LabelMax = 10000;
    std::vector<char> copy(text.begin(), text.end());  // exactly size bytes, no NUL
    FuzzTry([&] { ApplyFirstLine(copy.data(), (int)copy.size(), size > 0 && data[0] == '-'); });
    return 0;
}
