// anim.cpp - the animation tick and the cell command.
//
// Times are the wrapping 32-bit millisecond clock: every comparison is
// unsigned, and a clock that went backwards counts as time passed.
#include "graphics/anim.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "ext/layers.h"
#include "ext/luaanim.h"
#include "ext/luahooks.h"
#include "graphics/anim_messages.h"
#include "graphics/anim_query.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "platform/platform.h"
#include "save/journal.h"

// The ":animation" hook, at most every LuaAnimationInterval ms; true when it
// asks for a redraw.
static bool RunLuaAnimation(uint32_t now) {
    if (!(now >= LuaAnimationLast + (uint32_t)LuaAnimationInterval || now < LuaAnimationLast))
        return false;
    LuaAnimationLast = now;
    const char* hook = FindLuaHook(":animation");
    if (!hook) ScriptError(CapError, MsgLuaAnimationMissing);
    bool redraw = false;
    if (!CallLuaAnimationHook(hook, &redraw)) ScriptError(CapError, MsgLuaAnimationFailed);
    return redraw;
}

// Layer slot n's timer; true when its Timer entry asks for a redraw (the
// whole screen is then dirty).
static bool RunLayerTimer(int n, uint32_t now) {
    if (n >= LayerSlotCount) return false;
    LayerSlot& slot = LayerSlots[n];
    if (slot.interval == 0) return false;
    if (!(now > slot.lastTick + (uint32_t)slot.interval || now < slot.lastTick)) return false;
    slot.lastTick = now;
    if (!slot.Timer || slot.Timer() == 0) return false;
    AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
    return true;
}

// Moves s on by one cell when its time has passed.  1: the cell changed (the
// caller marks the area dirty); 0: nothing to do, also when loop mode 1 holds
// the last cell.
static int StepCell(Surface* s, uint32_t now) {
    uint32_t since = now - s->animClock;
    uint32_t time;
    if (s->cellTime == -1) {
        if (!s->cellTimes) return 0;
        // A cell past the end (loop mode 3, cell) keeps the last cell's time.
        int32_t c = s->cell < 0 ? 0 : s->cell >= s->cellCount ? s->cellCount - 1 : s->cell;
        time = (uint32_t)s->cellTimes[c];
    } else {
        time = (uint32_t)s->cellTime;
    }
    if (!(since > time || now < s->animClock)) return 0;
    s->cell += s->cellStep;
    if (s->cell < 0 || s->cell >= s->cellCount) {
        switch (s->loopMode) {
        case 0:
            s->cell = 0;
            break;
        case 1:
            s->cell = s->cellCount - 1;
            return 0;
        case 2:
            s->cell -= 2 * s->cellStep;
            s->cellStep = -s->cellStep;
            break;
        default:
            break;  // runs on past the end; drawing shows the last cell
        }
    }
    s->animClock = now;
    return 1;
}

void AdvanceAnimation() {
    uint32_t now = PlatTicks();
    bool redraw = false;
    if (LuaAnimationMode && RunLuaAnimation(now)) redraw = true;
    for (int n = 0; n < SpriteCount; n++) {
        Sprite& sp = Sprites[n];
        if (!sp.tag[0] || !sp.visible) continue;
        if (sp.tag[0] == '*') {
            int slot = LayerSlotOfTag(sp.tag);
            if (slot >= 0) {
                if (RunLayerTimer(slot, now)) redraw = true;
                continue;
            }
        }
        if (sp.surface.cellCount > 1 && StepCell(&sp.surface, now)) {
            MarkSpriteDirty(n);
            redraw = true;
        }
    }
    // Standing pictures animate whether or not they are shown in front.
    for (int i = 0; i < HumanCount; i++) {
        Human& h = Humans[i];
        if (h.name[0] && h.surface.cellCount > 1 && StepCell(&h.surface, now)) {
            MarkHumanDirty(i);
            redraw = true;
        }
    }
    if (redraw) {
        ScreenRect r = DirtyRect;
        ComposeScreen(&r);
        RunEffect(nullptr, EffectInstant, 0, &r);
    }
}

// Ms until StepCell moves s on (the same test, solved for the time), or
// `none` when it never will: a single cell, or loop mode 1 holding its
// last cell.
static uint32_t CellDueIn(const Surface* s, uint32_t now, uint32_t none) {
    if (s->cellCount <= 1) return none;
    if (s->loopMode == 1 && (s->cell + s->cellStep < 0 || s->cell + s->cellStep >= s->cellCount)) return none;
    uint32_t time;
    if (s->cellTime == -1) {
        if (!s->cellTimes) return none;
        int32_t c = s->cell < 0 ? 0 : s->cell >= s->cellCount ? s->cellCount - 1 : s->cell;
        time = (uint32_t)s->cellTimes[c];
    } else {
        time = (uint32_t)s->cellTime;
    }
    uint32_t since = now - s->animClock;
    if (since > time || now < s->animClock) return 0;
    uint64_t d = (uint64_t)time - since + 1;
    return d > none ? none : (uint32_t)d;
}

uint32_t AnimationDueIn() {
    const uint32_t none = 0x7FFFFFFF;
    uint32_t now = PlatTicks(), due = none;
    auto least = [&](uint32_t ms) {
        if (ms < due) due = ms;
    };
    if (LuaAnimationMode) {
        uint32_t at = LuaAnimationLast + (uint32_t)LuaAnimationInterval;
        least(now >= at || now < LuaAnimationLast ? 0 : at - now);
    }
    for (int n = 0; n < SpriteCount && due > 0; n++) {
        const Sprite& sp = Sprites[n];
        if (!sp.tag[0] || !sp.visible) continue;
        if (sp.tag[0] == '*') {
            int slot = LayerSlotOfTag(sp.tag);
            if (slot >= 0) {
                if (slot < LayerSlotCount && LayerSlots[slot].interval != 0) {
                    const LayerSlot& l = LayerSlots[slot];
                    uint32_t at = l.lastTick + (uint32_t)l.interval;
                    least(now > at || now < l.lastTick ? 0 : at - now + 1);
                }
                continue;
            }
        }
        least(CellDueIn(&sp.surface, now, none));
    }
    for (int i = 0; i < HumanCount && due > 0; i++)
        if (Humans[i].name[0]) least(CellDueIn(&Humans[i].surface, now, none));
    return due;
}

// cell n, c: sprite n shows cell c from the next composition on.  The cell is
// kept within the picture's cells, so that drawing and the per-cell times
// never read outside them.
void Cmd_cell() {
    int32_t n = ReadIntExpr();
    ExpectComma();
    int32_t c = ReadIntExpr();
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    Surface& s = Sprites[n].surface;
    int32_t last = CellCountOf(&s) - 1;
    JournalInt(&s.cell);  // a journaled command
    s.cell = c < 0 ? 0 : c > last ? last : c;
    s.animClock = PlatTicks();
    if (Sprites[n].visible) MarkSpriteDirty(n);
}

// ---- the debug command's view ----------------------------------------------------------

int AnimationClockValue() { return (int32_t)Sprites[1].surface.animClock; }
int SpriteCurrentCell(int sprite) {
    return sprite >= 0 && sprite < SpriteCount ? Sprites[sprite].surface.cell : 0;
}
