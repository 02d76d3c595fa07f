// Fuzzes the image-tag parser and the loader: any tag either parses or ends
// in a fatal script error (caught here), and loading it in an empty game
// folder either gives a picture, nothing (noloaderror) or a fatal error.
#include <cstdint>
#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/script.h"
#include "core/variables.h"
#include "graphics/imagetag.h"
#include "fuzz/fuzz_support.h"

// The engine runs in an empty folder of its own: a fatal error saves the
// persistent data to the current folder.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    VariableCount = 10;
    AllocateVariableTables(VariableCount);
    AssignString(&StrVariables[3], "text");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string tag((const char*)data, size);
    tag = tag.c_str();  // up to the first NUL, as the engine's texts are
    ImageTag t;
    try {
        ParseImageTag(tag.c_str(), &t);
        if (t.cellCount < 1 || t.cellCount > MaxPictureSide) abort();
        if (t.cellTime == -1 && t.cellTimes.size() != (size_t)t.cellCount) abort();
        if (t.colors.size() > StringSpriteColorMax) abort();
        if (!t.file.empty() && t.file[0] == '>') {
            int32_t w, h;
            std::vector<int32_t> colors;
            ParseSolidStrips(t.file.c_str(), &w, &h, &colors);
            if (w < 0 || h < 0 || colors.empty() || colors.size() > SolidStripMax) abort();
            if ((int64_t)w * h > (1 << 22)) return 0;  // large fills only cost time
        }
    } catch (const FuzzExit&) {
        HeadlessClearBoxes();
        return 0;
    }
    NoLoadError = (int32_t)(size & 1);
    BlankIfMissing = (int32_t)(size >> 1 & 1);
    Surface s;
    FuzzTry([&] {
        LoadSurface(&s, tag.c_str());
        if (s.dib.info && (s.dib.width < 1 || s.dib.height < 1)) abort();
    });
    DestroySurface(&s);
    return 0;
}
