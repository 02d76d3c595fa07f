// readlog.cpp - the read-log's flags and "kidoku.dat".
#include "save/readlog.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/script.h"
#include "platform/platform.h"
#include "save/persist.h"
#include "save/safe_write.h"

uint8_t* ReadFlags = nullptr;
int ReadFlagsSize = 0;
int KidokuMode = 1;

static std::vector<uint8_t> Flags;  // the storage ReadFlags points into

void FreeReadFlags() {
    std::vector<uint8_t>().swap(Flags);
    ReadFlags = nullptr;
    ReadFlagsSize = 0;
}

void LoadReadFlagBytes(const uint8_t* data, size_t size) {
    size_t n = size < Flags.size() ? size : Flags.size();
    if (n) memcpy(Flags.data(), data, n);
}

void InitReadFlags() {
    FreeReadFlags();
    int size = ScriptLength > 0 ? ScriptLength / 8 : 0;
    Flags.assign((size_t)size, 0);
    ReadFlags = size > 0 ? Flags.data() : nullptr;
    ReadFlagsSize = size;
    std::vector<uint8_t> bytes;
    std::string path = PersistPath("kidoku.dat");
    if (PlatReadFile(path.c_str(), false, &bytes)) LoadReadFlagBytes(bytes.data(), bytes.size());
}

int TestReadFlag() {
    int p = ReadPosition;
    if (p < 0 || p / 8 >= ReadFlagsSize || !ReadFlags) return 0;
    return (ReadFlags[p / 8] >> (p % 8)) & 1;
}

bool WriteReadFlags() {
    if (!ReadFlags || ReadFlagsSize <= 0) return true;
    std::string path = PersistPath("kidoku.dat");
    std::string why;
    if (SafeWriteFileIfChanged(path.c_str(), ReadFlags, (size_t)ReadFlagsSize, &why)) return true;
    ReportWriteFailure(path.c_str(), why);
    return false;
}
