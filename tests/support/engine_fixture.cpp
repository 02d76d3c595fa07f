// engine_fixture.cpp - engine code inside a test program.
#include "tests/support/engine_fixture.h"

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
