// effect.h - bringing the displayed picture up to date: RunEffect shows a
// rectangle of SrcSurface in DestSurface and the window through a numbered
// transition; RunEffectOperand reads a drawing command's effect operand and
// runs it; EffectDefs holds the numbered effects and the settings that change
// every transition.
#pragma once
#include <cstdint>

#include "core/heapstring.h"
#include "graphics/compose.h"

enum { EffectCount = 256 };

// Kinds: 0 none, 1 instant, 2..18 the transitions, 90 hold, 99 plug-in;
// -1 = an undefined effect number.
enum { EffectUndefined = -1, EffectNone = 0, EffectInstant = 1, EffectRuleWipe = 15,
       EffectRuleFade = 18, EffectHold = 90, EffectPlugin = 99 };

struct EffectDef {
    int32_t kind = EffectUndefined;
    int32_t duration = 0;  // ms
    HeapString ruleImage;  // rule picture of kinds 15 and 18, plug-in text of 99
};
extern EffectDef EffectDefs[EffectCount];
// Every kind -1 and duration 0, then 0 = none and 1 = instant; the rule
// texts are kept.
void ResetEffectDefs();

extern int32_t EffectSpeed;  // 0 normal, 1 half the duration, 2 all instant
extern int32_t EffectSkip;   // a click ends a transition; skipping shortens it
extern int32_t EffectCut;    // skipping makes transitions instant
extern int32_t EffectBlank;  // ms of pause after a transition that is not instant

// kind: 0 none, 1 instant, the numbered transitions; rect null = the whole
// screen.  Empties DirtyRect (not for kind 0; kinds 16 and 90 leave the
// whole screen dirty).  Steps pump messages and sleep on PlatTicks's clock;
// a click ends a transition while EffectSkip is set.
void RunEffect(const char* text, int32_t kind, int32_t duration, const ScreenRect* rect);
// Reads "N" or "kind,duration[,text]" at ReadPosition, composes DirtyRect
// and runs the transition (nothing at all for effect number 0).
void RunEffectOperand();
extern int32_t EffectOperandActive;  // 1 while RunEffectOperand runs
