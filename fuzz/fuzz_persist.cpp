// Fuzzes the readers of the persistent files: "envdata", "gloval.sav",
// "kidoku.dat" and the name logs, chosen by the first byte, over any bytes.
// Each reader either accepts the image or refuses it; it never reads outside
// it, and what it accepts stays inside its limits (settings in range, names
// of at most 511 bytes without NUL, exactly `count` global values, flags of
// their own size).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/script.h"
#include "fuzz/fuzz_support.h"
#include "save/envdata.h"
#include "save/globals.h"
#include "save/namelog.h"
#include "save/readlog.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    LabelMax = 10000;
    ScriptLength = 8 * 16 + 3;
    InitReadFlags();  // no "kidoku.dat" in the fuzzer's folder: 16 clear bytes
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint8_t which = data[0];
    const uint8_t* body = data + 1;
    size_t n = size - 1;
    switch (which % 4) {
    case 0: {
        EnvData e;
        if (ParseEnvData(body, n, &e)) {
            if (e.text_speed < 0 || e.text_speed > 2 || e.voice_volume < 0 || e.voice_volume > 100 ||
                e.font.size() > EnvTextMax || e.save_directory.size() > EnvTextMax)
                abort();
            std::string again = FormatEnvData(e);
            EnvData back;
            if (!ParseEnvData((const uint8_t*)again.data(), again.size(), &back)) abort();
        }
        break;
    }
    case 1: {
        int count = which >> 2;  // 0..63 variables
        GlobalValues v;
        ParseGlobalImage(body, n, count, &v);
        if ((int)v.ints.size() != count || (int)v.texts.size() != count) abort();
        break;
    }
    case 2: {
        NameLog log;
        ParseNameLog(body, n, &log);
        if (log.names.size() != log.index.size()) abort();
        for (const std::string& name : log.names)
            if (name.size() > NameLogNameMax || memchr(name.data(), 0, name.size())) abort();
        std::string again = FormatNameLog(&log);
        NameLog back;
        if (!ParseNameLog((const uint8_t*)again.data(), again.size(), &back)) abort();
        if (back.names != log.names) abort();
        break;
    }
    default:
        LoadReadFlagBytes(body, n);
        if (ReadFlagsSize != 16) abort();
        break;
    }
    return 0;
}
