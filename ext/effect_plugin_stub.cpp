// effect_plugin_stub.cpp - effect plug-ins are not loaded yet: the area is
// shown at once, with the pause that follows a plug-in's transition (this
// file goes when the plug-ins come).
#include <algorithm>

#include "core/script.h"
#include "ext/effect_plugin.h"
#include "graphics/effect.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "text/mainwindow.h"

void RunEffectPlugin(const char*, const ScreenRect* area, int32_t) {
    ScreenRect r = area ? *area : ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    r.left = std::clamp(r.left, 0, ScreenWidth - 1);
    r.right = std::clamp(r.right, 0, ScreenWidth - 1);
    r.top = std::clamp(r.top, 0, ScreenHeight - 1);
    r.bottom = std::clamp(r.bottom, 0, ScreenHeight - 1);
    if (r.left <= r.right && r.top <= r.bottom) {
        BltToSurface(&DestSurface, r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1,
                     &SrcSurface, r.left, r.top);
        PaintWindow(&r);
    }
    ClearDirtyRect();
    if (EffectBlank > 0) PlatSleep((uint32_t)EffectBlank);
}
