// Fuzzes the text display's in-text control parsing: any text is shown in
// the text window of a 640 x 480 screen, with the switches of the first
// byte (English mode, ruby reserved, vertical text, line-break rules off,
// clickstr on "。", an indent, text buttons).  Waits end at once (autoclick
// 0), timed waits are short.  Each text either finishes or ends in a fatal
// script error (caught here); the cursor never leaves the page without that
// error and nothing is read or written outside the text, the page and the
// screen surfaces.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "fuzz/fuzz_support.h"
#include "graphics/screen.h"
#include "text/clickwait.h"
#include "text/display.h"
#include "text/kinsoku.h"
#include "text/pass_defaults.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/input_state.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    ScreenWidth = 640, ScreenHeight = 480;
    VariableCount = 16;
    AllocateVariableTables(VariableCount);
    RebuildScreenSurfaces();
    GlyphLayer = new uint8_t[(size_t)ScreenWidth * ScreenHeight]();
    RebuildTextColorSurface();
    SetDefaultKinsokuLists();
    SetDisplayPassDefaults();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    uint8_t flags = data[0];
    // The script text is the shown text too, so a clickstr rewind stays inside it.
    FuzzSetScript(data + 1, size - 1);
    ReadPosition = ScriptLength;
    std::string text(ScriptBuffer, (size_t)ScriptLength);
    // Timed waits ("!d", "!w") are cut short: only their first digit counts.
    for (size_t i = 0; i + 2 < text.size(); i++)
        if (text[i] == '!' && (text[i + 1] == 'd' || text[i + 1] == 'w'))
            for (size_t j = i + 3; j < text.size() && text[j] >= '0' && text[j] <= '9'; j++) text[j] = 'x';
    FuzzTry([] { ResetTextWindow(); });
    ResetTextDisplay();
    ResetRuby();
    TextSpeed = 0;
    AutoClickOn = 1;
    AutoClickTime = 0;
    CallStackDepth = 0;
    TextGosubOn = 0;
    EnglishMode = flags & 1;
    RubyOn = (flags >> 1) & 1;
    VerticalTextNext = (flags >> 2) & 1;
    KinsokuOff = (flags >> 3) & 1;
    strcpy(ClickstrChars, (flags & 16) ? "\x81\x42" : "");  // "。"
    ClickstrLines = 2;
    IndentWidth = (flags >> 5) & 1 ? 2 : 0;
    FuzzTry([&] { DisplayText(text.c_str()); });
    if (TextButtonCount < 0 || TextButtonCount > TextButtonMax) abort();
    return 0;
}
