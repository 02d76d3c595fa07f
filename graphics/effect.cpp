// effect.cpp - RunEffect and the effect operand.  Not built yet beyond the
// instant kind: every kind shows its rectangle at once.
#include "graphics/effect.h"

#include "core/script.h"
#include "graphics/screen.h"
#include "text/mainwindow.h"

int32_t EffectOperandActive;

void RunEffect(const char*, int32_t kind, int32_t, const ScreenRect* rect) {
    if (kind == 0) return;
    ScreenRect r = rect ? *rect : ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    ClearDirtyRect();
    BltToSurface(&DestSurface, r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1,
                 &SrcSurface, r.left, r.top);
    PaintWindow(&r);
}

void RunEffectOperand() {}
