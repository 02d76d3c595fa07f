// effect.h - bringing the displayed picture up to date: RunEffect shows a
// rectangle of SrcSurface in DestSurface and the window through a numbered
// transition; RunEffectOperand reads a drawing command's effect operand and
// runs it.
#pragma once
#include <cstdint>

#include "graphics/compose.h"

enum { EffectCount = 256 };

// kind: 0 none, 1 instant, the numbered transitions; rect null = the whole
// screen.  Empties DirtyRect (not for kind 0).
void RunEffect(const char* text, int32_t kind, int32_t duration, const ScreenRect* rect);
// Reads "N" or "kind,duration[,text]" at ReadPosition, composes DirtyRect
// and runs the transition (nothing at all for effect number 0).
void RunEffectOperand();
extern int32_t EffectOperandActive;  // 1 while RunEffectOperand runs
