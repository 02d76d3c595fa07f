// layers.cpp - LayerSlots: binding a slot's entries from its library, and
// the start and end calls of every bound slot.
#include "ext/layers.h"

#include <cstring>

#include "core/sjis.h"
#include "ext/dllcache.h"

LayerSlot LayerSlots[LayerSlotCount];

void LoadLayerPlugin(int n, int32_t interval, const char* text) {
    LayerSlot& slot = LayerSlots[n];
    slot.interval = interval;
    char name[LayerParameterSize];
    const char* slash = strchr(text, '/');
    size_t len = slash ? (size_t)(slash - text) : strlen(text);
    if (len >= sizeof name) len = sizeof name - 1;
    memcpy(name, text, len);
    name[len] = 0;
    CopySjisBounded(slot.parameter, LayerParameterSize, slash ? slash + 1 : "");
    slot.Initialize = (void (*)(const char*))GetDllProc(name, "Initialize");
    slot.Finalize = (void (*)())GetDllProc(name, "Finalize");
    slot.Draw = (void (*)(uint8_t*, int32_t*))GetDllProc(name, "Draw");
    slot.Timer = (int (*)())GetDllProc(name, "Timer");
    slot.Message = (int (*)(const char*, int32_t*, char*))GetDllProc(name, "Message");
}

void InitializeLayers() {
    for (LayerSlot& slot : LayerSlots)
        if (slot.Initialize) slot.Initialize(slot.parameter);
}

// Each slot finishes once: the end paths can meet (a fatal error inside a
// Finalize, "end" followed by the window's destruction).
void FinalizeLayers() {
    for (LayerSlot& slot : LayerSlots) {
        void (*finalize)() = slot.Finalize;
        slot.Finalize = nullptr;
        if (finalize) finalize();
    }
}
