// layers_stub.cpp - the slots stay empty until layer plug-ins are loaded
// (then this file goes).
#include "ext/layers.h"

LayerSlot LayerSlots[LayerSlotCount];

void InitializeLayers() {}
void FinalizeLayers() {}
