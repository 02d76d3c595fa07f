// dllcache.cpp - DllCache: 256 slots of library name and handle.  A slot is
// taken for good by the first request for a name, even when loading failed,
// so a missing library is never tried twice.
#include "ext/dllcache.h"

#include <cstring>

#include "core/heapstring.h"
#include "platform/platform.h"

struct DllSlot {
    HeapString name;  // null while the slot is free
    void* handle = nullptr;
};
static DllSlot DllCache[DllCacheSlots];

void* GetDllProc(const char* file, const char* entry) {
    for (DllSlot& slot : DllCache) {
        if (!slot.name.text) {
            AssignString(&slot.name, file);
            slot.handle = PlatLoadLibrary(file);
            return slot.handle ? PlatGetProc(slot.handle, entry) : nullptr;
        }
        if (strcmp(slot.name.text, file) == 0)
            return slot.handle ? PlatGetProc(slot.handle, entry) : nullptr;
    }
    return nullptr;
}

void FreeDllCache() {
    for (DllSlot& slot : DllCache) {
        if (!slot.name.text) continue;
        if (slot.handle) PlatFreeLibrary(slot.handle);
        slot.handle = nullptr;
        FreeString(&slot.name);
    }
}
