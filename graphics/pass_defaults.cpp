// pass_defaults.cpp - the graphics settings of each start-up pass.
#include "graphics/pass_defaults.h"

#include "core/script.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/sprite.h"
#include "graphics/surface.h"

void SetGraphicsPassDefaults() { BlankIfMissing = 0; }
void SetStandingPictureDefaults() {
    HumanCentreX[0] = ScreenWidth / 4;
    HumanCentreX[1] = ScreenWidth / 2;
    HumanCentreX[2] = ScreenWidth / 4 * 3;
    HumanBaseline = ScreenHeight;
}
void SetGraphicsLoadDefaults() { DefaultTransMode = TransLeftUp; }

void ClearImagePlugins() {
    for (HeapString& h : ImagePlugins) AssignString(&h, "");
    ImagePluginCount = 0;
}

void ResetEffectTable() { ResetEffectDefs(); }
