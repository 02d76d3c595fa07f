// pass_defaults.cpp - the graphics settings of each start-up pass.
#include "graphics/pass_defaults.h"

#include "graphics/imagetag.h"
#include "graphics/surface.h"

void SetGraphicsPassDefaults() { BlankIfMissing = 0; }
void SetStandingPictureDefaults() {}
void SetGraphicsLoadDefaults() { DefaultTransMode = TransLeftUp; }

void ClearImagePlugins() {
    for (HeapString& h : ImagePlugins) AssignString(&h, "");
    ImagePluginCount = 0;
}

void ResetEffectTable() {}
