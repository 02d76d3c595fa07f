// effect_plugin.h - the effect plug-in hand-over: a transition of kind 99
// run by the library its text names ("library/parameters").
#pragma once
#include <cstdint>

#include "graphics/compose.h"

// Runs the plug-in's transition over the area (inclusive; null = the whole
// screen) for the duration in ms, then shows the area from SrcSurface in
// DestSurface and the window, empties DirtyRect and pauses EffectBlank ms.
void RunEffectPlugin(const char* text, const ScreenRect* area, int32_t duration);
