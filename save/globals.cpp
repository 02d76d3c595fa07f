// globals.cpp - the global variables and "gloval.sav".
#include "save/globals.h"

#include <cstdio>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "core/variables.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "save/persist_messages.h"
#include "save/safe_write.h"
#include "save/stream.h"

bool FormatGlobalImage(std::string* out) {
    SaveStream s;
    OpenSaveWriter(&s, GlobalImageLimit);
    for (int n = GlobalBorder; n < VariableCount && !s.failed; n++) {
        int32_t v = IntVariables[n];
        std::string text = StringText(StrVariables[n]);
        SerializeInt(&s, &v);
        SerializeString(&s, &text);
    }
    if (s.failed) return false;
    out->assign(s.image.begin(), s.image.end());
    return true;
}

bool ParseGlobalImage(const uint8_t* data, size_t size, int count, GlobalValues* v) {
    v->ints.assign(count > 0 ? (size_t)count : 0, 0);
    v->texts.assign(v->ints.size(), std::string());
    SaveStream s;
    OpenSaveReader(&s, data, size);
    for (int i = 0; i < count && !SaveStreamAtEnd(&s); i++) {
        SerializeInt(&s, &v->ints[i]);
        SerializeString(&s, &v->texts[i], GlobalImageLimit);
        if (s.failed) break;
    }
    // Records beyond the script's variables (written under a larger count)
    // are not read, but they must be whole records.
    while (!s.failed && !SaveStreamAtEnd(&s)) {
        int32_t extra;
        std::string text;
        SerializeInt(&s, &extra);
        SerializeString(&s, &text, GlobalImageLimit);
    }
    if (s.failed) {
        v->ints.assign(v->ints.size(), 0);
        v->texts.assign(v->ints.size(), std::string());
        return false;
    }
    return true;
}

void ReadGlobalVariables() {
    int count = VariableCount - GlobalBorder;
    if (count < 0) count = 0;
    GlobalValues v;
    std::vector<uint8_t> bytes;
    std::string path = PersistPath("gloval.sav");
    if (PlatReadFile(path.c_str(), false, &bytes)) {
        if (!ParseGlobalImage(bytes.data(), bytes.size(), count, &v))
            fprintf(stderr, "orva: %s is damaged or from another game; global variables cleared\n",
                    Cp932ToUtf8(path).c_str());
    } else {
        ParseGlobalImage(nullptr, 0, count, &v);
    }
    for (int i = 0; i < count; i++) {
        IntVariables[GlobalBorder + i] = v.ints[i];
        AssignString(&StrVariables[GlobalBorder + i], v.texts[i].c_str());
    }
}

bool WriteGlobalVariables() {
    std::string image;
    if (!FormatGlobalImage(&image)) ScriptError(CapError, MsgSaveTooLarge);
    std::string path = PersistPath("gloval.sav");
    std::string why;
    if (SafeWriteFileIfChanged(path.c_str(), image.data(), image.size(), &why)) return true;
    ReportWriteFailure(path.c_str(), why);
    return false;
}
