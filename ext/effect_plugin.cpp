// effect_plugin.cpp - effect kind 99: the transition run by a plug-in's
// Effect entry, which draws into the window's picture itself.
#include "ext/effect_plugin.h"

#include <algorithm>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/script.h"
#include "ext/dllcache.h"
#include "ext/exports.h"
#include "ext/plugin_messages.h"
#include "graphics/effect.h"
#include "graphics/screen.h"
#include "platform/platform.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

enum { EffectDllNameSize = 256 };

void RunEffectPlugin(const char* text, const ScreenRect* area, int32_t duration) {
    ScreenRect r = area ? *area : ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    r.left = std::clamp(r.left, 0, ScreenWidth - 1);
    r.right = std::clamp(r.right, 0, ScreenWidth - 1);
    r.top = std::clamp(r.top, 0, ScreenHeight - 1);
    r.bottom = std::clamp(r.bottom, 0, ScreenHeight - 1);
    if (EffectSpeed == 1) duration /= 2;
    if ((SkipMode || IsSkipKeyDown()) && !EffectCut) duration /= 8;

    char name[EffectDllNameSize];
    const char* slash = strchr(text, '/');
    size_t len = slash ? (size_t)(slash - text) : strlen(text);
    if (len >= sizeof name) ScriptError(CapError, MsgEffectDllBad);
    memcpy(name, text, len);
    name[len] = 0;
    auto effect = (OrvaEffectProc)GetDllProc(name, "Effect");
    if (!effect) ScriptError(CapError, MsgEffectDllBad);

    OrvaRect rect{r.left, r.top, r.right, r.bottom};
    struct WindowContext {
        OrvaDC* dc = OpenWindowDC();
        ~WindowContext() { CloseWindowDC(); }
    } window;
    effect(window.dc, DestSurfaceDC(), SrcSurfaceDC(), DestSurface.dib.bits, SrcSurface.dib.bits,
           &rect, slash ? slash + 1 : "", duration);

    if (r.left <= r.right && r.top <= r.bottom) {
        BltToSurface(&DestSurface, r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1,
                     &SrcSurface, r.left, r.top);
        DrawDestToWindow(&r);
    }
    ClearDirtyRect();
    if (EffectBlank > 0) PlatSleep((uint32_t)EffectBlank);
}
