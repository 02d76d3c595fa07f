// layers_stub.cpp - no layer plug-ins until they are built (then this file
// goes).
#include "ext/layers.h"

void InitializeLayers() {}
void FinalizeLayers() {}
