// effect.cpp - the effect table, the preparation of RunEffect and the effect
// operand.  The transitions themselves are not built yet: every valid kind
// shows its rectangle at once, as kind 1 does.
#include "graphics/effect.h"

#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "graphics/gfx_messages.h"
#include "graphics/screen.h"
#include "graphics/sprite_messages.h"
#include "text/input_state.h"
#include "text/mainwindow.h"
#include "text/traps.h"

EffectDef EffectDefs[EffectCount];
int32_t EffectSpeed;
int32_t EffectSkip = 1;
int32_t EffectCut;
int32_t EffectBlank = 30;
int32_t EffectOperandActive;

void ResetEffectDefs() {
    for (EffectDef& d : EffectDefs) {
        d.kind = EffectUndefined;
        d.duration = 0;
    }
    EffectDefs[0].kind = EffectNone;
    EffectDefs[1].kind = EffectInstant;
}

static bool IsValidKind(int32_t kind) {
    return (kind >= 1 && kind <= 18) || kind == EffectHold || kind == EffectPlugin;
}

void RunEffect(const char* text, int32_t kind, int32_t duration, const ScreenRect* rect) {
    // The plug-in runner is not built: a plug-in effect is shown at once.
    if (kind == EffectUndefined) ScriptError(CapGfxError, MsgUndefinedEffect);
    if (kind == EffectNone) return;
    ScreenRect r = rect ? *rect : ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    int32_t cw = r.right - r.left + 1, ch = r.bottom - r.top + 1;
    if (r.left + cw > ScreenWidth) cw = ScreenWidth - r.left;
    if (r.top + ch > ScreenHeight) ch = ScreenHeight - r.top;
    ClearDirtyRect();
    if (EffectSpeed == 1) duration /= 2;
    if (EffectSpeed == 2) kind = EffectInstant;
    if (EffectSpeed != 2 && (kind == EffectRuleWipe || kind == EffectRuleFade) &&
        !(text && text[0]))
        ScriptError(CapGfxError, MsgEffectNoRule);
    if (EffectSkip && (SkipMode || IsSkipKeyDown())) {
        if (EffectCut)
            kind = EffectInstant;
        else
            duration /= 8;
    }
    if (kind == EffectPlugin) kind = EffectInstant;
    (void)duration;  // read by the transitions once they are built
    if (cw < 1 || ch < 1) return;
    if (!IsValidKind(kind)) ScriptError(CapGfxError, MsgBadEffectKind);
    // The finish: a click during the transition is used up unless a trap
    // label wants it; the rectangle goes to DestSurface and the window.
    if (!Traps.label[0]) Clicked = 0;
    BltToSurface(&DestSurface, r.left, r.top, cw, ch, &SrcSurface, r.left, r.top);
    PaintWindow(&r);
}

void RunEffectOperand() {
    int32_t n = ReadIntExpr();
    char c = SkipBlanks();
    EffectOperandActive = 1;
    if (c == ',') {
        ExpectComma();
        int32_t duration = ReadIntExpr();
        char text[StrValueSize] = "";
        if (SkipBlanks() == ',') {
            ExpectComma();
            ReadStrExpr(text, sizeof text);
        }
        ComposeScreen(&DirtyRect);
        RunEffect(text, n, duration, &DirtyRect);
    } else if (n != 0) {
        // An effect number outside the table is an undefined effect.
        const EffectDef* d = (n > 0 && n < EffectCount) ? &EffectDefs[n] : nullptr;
        ComposeScreen(&DirtyRect);
        if (!d) ScriptError(CapGfxError, MsgUndefinedEffect);
        RunEffect(StringText(d->ruleImage), d->kind, d->duration, &DirtyRect);
    }
    EffectOperandActive = 0;
}
