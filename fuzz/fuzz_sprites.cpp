// Fuzzes the sprite, standing-picture and background commands: one command,
// chosen by the first byte, runs over any operand text on a 64 x 48 screen,
// then the dirty rectangle is composed and shown, as print would.  The tables
// keep their state from input to input.  Each command either finishes or
// ends in a fatal script error (caught here); the dirty rectangle stays
// inside the screen and nothing is read or written outside the tables and
// the screen surfaces.  Pictures come from solid-colour tags (">W,H,#c"), so
// no file is needed.
#include <cstdint>
#include <cstdlib>

#include "core/dispatch.h"
#include "core/script.h"
#include "core/variables.h"
#include "fuzz/fuzz_support.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/pass_defaults.h"
#include "graphics/screen.h"

namespace {

const char* const Commands[] = {
    "lsp", "lsph", "lsp2", "lsph2", "lsp2add", "lsph2add", "lsp2sub", "lsph2sub", "csp", "csp2",
    "vsp", "vsp2", "msp", "amsp", "msp2", "amsp2", "allsphide", "allspresume", "allsp2hide",
    "allsp2resume", "sphide", "spresume", "spreload", "getspmode", "getsppos", "getspsize", "ld",
    "cl", "tal", "humanz", "humanorder", "humanpos", "underline", "transmode", "bg", "bgalia",
    "noteraseman", "getbgname", "print", "repaint",
};
const int CommandCount = (int)(sizeof Commands / sizeof Commands[0]);

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    ScreenWidth = 64, ScreenHeight = 48;
    VariableCount = 16;
    AllocateVariableTables(VariableCount);
    RebuildScreenSurfaces();
    SetStandingPictureDefaults();
    ResetEffectTable();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const char* command = Commands[data[0] % CommandCount];
    FuzzSetScript(data + 1, size - 1);
    ReadPosition = 0;
    // Define-only commands run in their own mode, the others after it.
    int define = 0;
    if (!FindBuiltinCommand(command, 0)) define = 1;
    EffectOperandActive = 0;
    FuzzTry([&] { ExecCommand(command, define); });
    const ScreenRect& d = DirtyRect;
    if (d.left < 0 || d.top < 0 || d.right > ScreenWidth || d.bottom > ScreenHeight) abort();
    FuzzTry([] {
        ComposeScreen(&DirtyRect);
        RunEffect("", EffectInstant, 0, &DirtyRect);
    });
    return 0;
}
