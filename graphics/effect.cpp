// effect.cpp - the effect table, RunEffect with its preparation, the
// numbered transitions' steps and timing, the finish, and the effect
// operand.  The pixel loops are in effect_kernels.cpp.
#include "graphics/effect.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "ext/effect_plugin.h"
#include "graphics/effect_kernels.h"
#include "graphics/gfx_messages.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite_messages.h"
#include "platform/platform.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/traps.h"

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

// ---- the window during a transition -------------------------------------------------
//
// Kinds 2 to 14 draw into the window only, DestSurface keeping the old
// picture until the finish.  WindowPicture holds what the window shows
// while they run: it starts as the picture presented last (which differs
// from DestSurface after drawing by hand without `draw`), and each step is
// drawn into it and presented.

static Surface WindowPicture;

static void Present(const Surface* s, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (MovieOwnsWindow()) return;
    PlatPresentRect(s->dib.bits, s->dib.width, s->dib.height, left, top, right, bottom);
}

static void StartWindowPicture() {
    const Dib& d = DestSurface.dib;
    if (!HasPicture(&WindowPicture) || WindowPicture.dib.width != d.width ||
        WindowPicture.dib.height != d.height)
        CreateSurface(&WindowPicture, d.width, d.height);
    if (!PlatReadWindow(WindowPicture.dib.bits, d.width, d.height))
        memcpy(WindowPicture.dib.bits, d.bits, (size_t)d.imageBytes);
}

// ---- timing ------------------------------------------------------------------------------

static void SleepMs(int64_t ms) {
    if (ms > 0) PlatSleep((uint32_t)std::min<int64_t>(ms, INT32_MAX));
}

static int64_t Since(uint32_t t0) { return (int64_t)(uint32_t)(PlatTicks() - t0); }

static void SleepRest(uint32_t t0, int64_t interval) { SleepMs(interval - Since(t0)); }

// Pumps one message and tests the click: true when the transition is cut
// short (a click with EffectSkip on).
static bool PumpAndTestClick() {
    PumpMessage();
    return Clicked && EffectSkip;
}

// The common step: pump, test the click, sleep the rest of the interval.
static bool EndStep(uint32_t t0, int64_t interval) {
    if (PumpAndTestClick()) return true;
    SleepRest(t0, interval);
    return false;
}

// ---- the kinds ---------------------------------------------------------------------------

struct EffectArea {
    int32_t left, top, w, h;  // clipped to the screen
};

static void Blinds(const EffectArea& a, bool columns, bool reverse, int64_t duration) {
    StartWindowPicture();
    int64_t interval = duration / 16;
    for (int i = 0; i < 16; i++) {
        uint32_t t0 = PlatTicks();
        int32_t s = reverse ? 15 - i : i;
        if (columns) {
            EffectCopyColumns(&WindowPicture.dib, &SrcSurface.dib, a.left + s, 16,
                              a.left + a.w - 1, a.top, a.h);
        } else {
            for (int32_t y = a.top + s; y < a.top + a.h; y += 16)
                EffectCopyRect(&WindowPicture.dib, &SrcSurface.dib, a.left, y, a.w, 1);
        }
        Present(&WindowPicture, a.left, a.top, a.left + a.w - 1, a.top + a.h - 1);
        if (EndStep(t0, interval)) return;
    }
}

// Curtains: 24 lines 23 apart per step, the band moving 24 on each step.
static void Curtain(const EffectArea& a, bool columns, bool reverse, int64_t duration) {
    StartWindowPicture();
    int64_t side = columns ? ScreenWidth : ScreenHeight;
    int64_t interval = columns ? side * duration / 30720 : side * duration / 20160;
    int32_t limit = (int32_t)(columns ? side * 1170 / 640 - 1 : side * 1010 / 480 - 1);
    for (int32_t p = reverse ? limit : 0; reverse ? p >= 0 : p <= limit; p += reverse ? -24 : 24) {
        uint32_t t0 = PlatTicks();
        int32_t at[24];
        for (int i = 0; i < 24; i++) at[i] = p - 23 * i;
        if (columns) {
            EffectCopyColumnList(&WindowPicture.dib, &SrcSurface.dib, at, 24, a.left, a.w, a.top, a.h);
        } else {
            for (int i = 0; i < 24; i++)
                if (at[i] >= a.top && at[i] < a.top + a.h)
                    EffectCopyRect(&WindowPicture.dib, &SrcSurface.dib, a.left, at[i], a.w, 1);
        }
        Present(&WindowPicture, a.left, a.top, a.left + a.w - 1, a.top + a.h - 1);
        if (EndStep(t0, interval)) return;
    }
}

static void Crossfade(const EffectArea& a, int64_t duration) {
    memcpy(WorkSurface.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
    int32_t level = 1, parity = 1;
    for (;;) {
        uint32_t t0 = PlatTicks();
        CrossfadeStep(&WorkSurface.dib, &SrcSurface.dib, &DestSurface.dib, a.left, a.top, a.w,
                      a.h, level, parity);
        Present(&WorkSurface, a.left, a.top, a.left + a.w - 1, a.top + a.h - 1);
        if (level >= 255) return;
        if (PumpAndTestClick()) return;
        int64_t step = Since(t0) * 256 / duration;
        if (step == 0) {
            SleepRest(t0, duration / 256);
            step = 1;
        }
        level = (int32_t)std::min<int64_t>(255, level + step);
        parity ^= 1;
    }
}

// Scrolls: the whole screen moves by a strip each step and the strip of the
// new picture comes in at the uncovered edge.
static void Scroll(int kind, int64_t duration) {
    StartWindowPicture();
    const int32_t W = ScreenWidth, H = ScreenHeight;
    Dib* win = &WindowPicture.dib;
    const Dib* src = &SrcSurface.dib;
    if (kind == 11 || kind == 12) {
        int64_t interval = W * duration / 51200;
        int32_t count = kind == 11 ? (W >= 8 ? (W - 8) / 8 + 1 : 0) : (W > 7 ? (W - 8) / 8 + 1 : 0);
        for (int32_t i = 0; i < count; i++) {
            uint32_t t0 = PlatTicks();
            int32_t x = kind == 11 ? W - 8 - 8 * i : 8 * i;
            EffectScroll(win, kind == 11 ? 8 : -8, 0);
            int32_t to = kind == 11 ? 0 : W - 8;
            for (int32_t y = 0; y < H; y++) memcpy(DibRow(win, y) + 3 * to, DibRow(src, y) + 3 * x, 24);
            Present(&WindowPicture, 0, 0, W - 1, H - 1);
            if (EndStep(t0, interval)) return;
        }
    } else {
        int64_t interval = H * duration / 38400;
        int32_t count = H >= 6 ? (H - 6) / 6 + 1 : 0;
        for (int32_t i = 0; i < count; i++) {
            uint32_t t0 = PlatTicks();
            int32_t y = kind == 13 ? H - 6 - 6 * i : 6 * i;
            EffectScroll(win, 0, kind == 13 ? 6 : -6);
            int32_t to = kind == 13 ? 0 : H - 6;
            for (int32_t j = 0; j < 6; j++) memcpy(DibRow(win, to + j), DibRow(src, y + j), (size_t)W * 3);
            Present(&WindowPicture, 0, 0, W - 1, H - 1);
            if (EndStep(t0, interval)) return;
        }
    }
}

// Tiles the first cell of the rule picture over the whole of WorkSurface,
// unscaled from (0, 0); a larger picture is cut at the edges.
static void TileRulePicture(const char* text) {
    Surface rule;
    LoadSurface(&rule, text);
    rule.transMode = TransCopy;
    int32_t cw = GetCellWidth(&rule), chh = rule.dib.height;
    if (HasPicture(&rule) && cw > 0 && chh > 0) {
        for (int32_t y = 0; y < ScreenHeight; y += chh)
            for (int32_t x = 0; x < ScreenWidth; x += cw)
                BltToSurface(&WorkSurface, x, y, cw, chh, &rule, 0, 0);
    }
    DestroySurface(&rule);
}

static void RuleWipe(const EffectArea& a, const char* text, int64_t duration) {
    TileRulePicture(text);
    int64_t min = duration / 256, divisor = std::max<int64_t>(min, 1);
    int64_t threshold = 1;
    while (threshold < 255) {
        uint32_t t0 = PlatTicks();
        RuleWipeStep(&DestSurface.dib, &SrcSurface.dib, &WorkSurface.dib, a.left, a.top, a.w, a.h,
                     (int32_t)threshold);
        Present(&DestSurface, a.left, a.top, a.left + a.w - 1, a.top + a.h - 1);
        if (PumpAndTestClick()) return;
        int64_t step = Since(t0) / divisor;
        if (step == 0) {
            SleepRest(t0, min);
            step = 1;
        }
        threshold += step;
    }
}

static void RuleFade(const EffectArea& a, const char* text, int64_t duration) {
    TileRulePicture(text);
    Surface old;
    if (!CreateSurface(&old, ScreenWidth, ScreenHeight)) return;  // out of memory: the finish
    memcpy(old.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
    std::vector<uint8_t> done((size_t)ScreenWidth * ScreenHeight, 0);
    int64_t min = duration / 512, level = 1;
    while (level < 512) {
        uint32_t t0 = PlatTicks();
        RuleFadeStep(&DestSurface.dib, &SrcSurface.dib, &old.dib, &WorkSurface.dib, done.data(),
                     a.left, a.top, a.w, a.h, (int32_t)level);
        Present(&DestSurface, a.left, a.top, a.left + a.w - 1, a.top + a.h - 1);
        if (PumpAndTestClick()) break;
        int64_t step = Since(t0) * 512 / duration;
        if (step == 0) {
            SleepRest(t0, min);
            step = 1;
        }
        level += step;
    }
    DestroySurface(&old);
}

// The mosaics' largest block and interval: 160 pixels, or 80 with the
// interval doubled on screens narrower than 640.
static int32_t MosaicLargest(int64_t* interval) {
    if (ScreenWidth >= 640) return 160;
    *interval *= 2;
    return 80;
}

// Kind 16 leaves the coarse mosaic of the old picture in DestSurface and on
// the screen, without the finish.
static void MosaicOut(int64_t duration) {
    memcpy(WorkSurface.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
    int64_t interval = duration / 10;
    int32_t largest = MosaicLargest(&interval);
    for (int32_t s = 5; s <= largest; s *= 2) {
        uint32_t t0 = PlatTicks();
        MosaicFill(&DestSurface.dib, &WorkSurface.dib, s);
        Present(&DestSurface, 0, 0, ScreenWidth - 1, ScreenHeight - 1);
        if (EndStep(t0, interval)) break;
    }
    SleepMs(EffectBlank);
    AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
}

static void MosaicIn(int64_t duration) {
    memcpy(WorkSurface.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
    int64_t interval = duration / 10;
    for (int32_t s = MosaicLargest(&interval); s >= 5; s /= 2) {
        uint32_t t0 = PlatTicks();
        MosaicFill(&DestSurface.dib, &SrcSurface.dib, s);
        Present(&DestSurface, 0, 0, ScreenWidth - 1, ScreenHeight - 1);
        if (EndStep(t0, interval)) return;
    }
}

// Kind 90 keeps the old picture on the screen for the duration, ignoring
// clicks, and shows nothing new.
static void Hold(int64_t duration) {
    memcpy(WorkSurface.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
    int64_t interval = duration / 10;
    for (int i = 0; i < 10; i++) {
        uint32_t t0 = PlatTicks();
        // Up to a screen's height of messages, while there are any.
        for (int32_t n = 0; n < ScreenHeight && PumpMessage(); n++) {
            if (Clicked && EffectSkip) {
                if (!Traps.label[0]) Clicked = 0;
                break;
            }
        }
        Present(&DestSurface, 0, 0, ScreenWidth - 1, ScreenHeight - 1);
        memcpy(WorkSurface.dib.bits, DestSurface.dib.bits, (size_t)DestSurface.dib.imageBytes);
        SleepRest(t0, interval);
    }
    SleepMs(EffectBlank);
    AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
}

static bool IsValidKind(int32_t kind) {
    return (kind >= 1 && kind <= 18) || kind == EffectHold || kind == EffectPlugin;
}

static bool PlayerSkips() { return SkipMode || IsSkipKeyDown(); }

void RunEffect(const char* text, int32_t kind, int32_t duration, const ScreenRect* rect) {
    if (!text) text = "";
    if (kind == EffectPlugin && EffectSpeed != 2 && !(EffectCut && PlayerSkips())) {
        RunEffectPlugin(text, rect, duration);
        return;
    }
    if (kind == EffectUndefined) ScriptError(CapGfxError, MsgUndefinedEffect);
    if (kind == EffectNone) return;
    ScreenRect r = rect ? *rect : ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
    int32_t cw = r.right - r.left + 1, ch = r.bottom - r.top + 1;
    if (r.left + cw > ScreenWidth) cw = ScreenWidth - r.left;
    if (r.top + ch > ScreenHeight) ch = ScreenHeight - r.top;
    ClearDirtyRect();
    int64_t d = duration;
    if (EffectSpeed == 1) d /= 2;
    if (EffectSpeed == 2) kind = EffectInstant;
    if (EffectSpeed != 2 && (kind == EffectRuleWipe || kind == EffectRuleFade) && !text[0])
        ScriptError(CapGfxError, MsgEffectNoRule);
    if (EffectSkip && PlayerSkips()) {
        if (EffectCut)
            kind = EffectInstant;
        else
            d /= 8;
    }
    if (kind == EffectPlugin) kind = EffectInstant;
    // A transition left with no time is instant: the fades divide by the
    // duration, and a negative one gives no meaningful pauses.  Mosaic out
    // and hold keep their own ends (no finish) and run without pauses.
    if (d <= 0 && kind != 16 && kind != EffectHold && IsValidKind(kind)) kind = EffectInstant;
    // An area starting left of or above the screen is cut there.
    if (r.left < 0) cw += r.left, r.left = 0;
    if (r.top < 0) ch += r.top, r.top = 0;
    if (cw < 1 || ch < 1) return;
    if (!IsValidKind(kind)) ScriptError(CapGfxError, MsgBadEffectKind);
    bool ready = HasPicture(&SrcSurface) && HasPicture(&DestSurface) && HasPicture(&WorkSurface);
    if (!ready) kind = EffectInstant;
    Clicked = 0;
    EffectArea a{r.left, r.top, cw, ch};
    switch (kind) {
    case 2: case 3: Blinds(a, true, kind == 3, d); break;
    case 4: case 5: Blinds(a, false, kind == 5, d); break;
    case 6: case 7: Curtain(a, true, kind == 7, d); break;
    case 8: case 9: Curtain(a, false, kind == 9, d); break;
    case 10: Crossfade(a, d); break;
    case 11: case 12: case 13: case 14: Scroll(kind, d); break;
    case EffectRuleWipe: RuleWipe(a, text, d); break;
    case 16: MosaicOut(d); return;
    case 17:
        a = EffectArea{0, 0, ScreenWidth, ScreenHeight};
        r = ScreenRect{0, 0, ScreenWidth - 1, ScreenHeight - 1};
        MosaicIn(d);
        break;
    case EffectRuleFade: RuleFade(a, text, d); break;
    case EffectHold: Hold(d); return;
    default: break;
    }
    // The finish: a click during the transition is used up unless a trap
    // label wants it; the rectangle goes to DestSurface and the window.
    if (!Traps.label[0]) Clicked = 0;
    if (ready) BltToSurface(&DestSurface, a.left, a.top, a.w, a.h, &SrcSurface, a.left, a.top);
    PaintWindow(&r);
    if (kind != EffectInstant) SleepMs(EffectBlank);
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
