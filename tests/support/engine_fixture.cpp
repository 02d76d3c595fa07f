// engine_fixture.cpp - engine code inside a test program.
#include "tests/support/engine_fixture.h"

#include "core/script.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

static void ThrowExit(int code) { throw TestExit{code}; }

void StartHeadlessForTests() {
    static bool started = false;
    if (started) return;
    started = true;
    PlatOptions opt;
    opt.headless = true;
    PlatInit(opt);
    HeadlessEchoBoxes(false);
    PlatSetExitHook(ThrowExit);
}

std::vector<std::string> CapturedBoxes() {
    std::vector<std::string> out;
    for (const HeadlessBox& b : HeadlessBoxes())
        out.push_back(Cp932ToUtf8(b.caption) + ": " + Cp932ToUtf8(b.text));
    return out;
}

void ClearCapturedBoxes() { HeadlessClearBoxes(); }

std::string LastBoxCut(bool cut_position) {
    std::vector<std::string> boxes = CapturedBoxes();
    if (boxes.empty()) return std::string();
    std::string b = boxes.back();
    size_t cut = cut_position ? b.find("\n\n") : std::string::npos;
    return cut == std::string::npos ? b : b.substr(0, cut);
}

void UseScriptText(std::string* storage, const std::string& cp932) {
    *storage = cp932;
    storage->resize(cp932.size() + 2048, '\0');
    ScriptBuffer = &(*storage)[0];
    ScriptLength = (int)cp932.size();
    ScriptCapacity = (int)storage->size();
    ScriptTextReplaced();
    ReadPosition = 0;
}

void ForgetScriptText() {
    ScriptBuffer = nullptr;
    ScriptLength = ScriptCapacity = ReadPosition = 0;
    ScriptTextReplaced();
}
