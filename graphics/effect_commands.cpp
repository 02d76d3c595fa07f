// effect_commands.cpp - the commands that define numbered effects and set
// the transitions' speed, skip rules and pause.
#include "graphics/effect_commands.h"

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/variables.h"
#include "graphics/effect.h"
#include "graphics/effect_messages.h"

// effect number, kind[, duration[, rule image]]: kind 1 keeps the duration;
// only kinds 15 and 18 take a rule image (a kind-99 entry keeps its text).
void Cmd_effect() {
    int32_t n = ReadIntExpr();
    if (n < 2 || n > 255) ScriptError(CapEffectParam, MsgEffectNumber);
    EffectDef& d = EffectDefs[n];
    ExpectComma();
    d.kind = ReadIntExpr();
    if (d.kind == EffectInstant) return;
    ExpectComma();
    d.duration = ReadIntExpr();
    if (d.kind == EffectRuleWipe || d.kind == EffectRuleFade) {
        ExpectComma();
        char text[StrValueSize];
        ReadStrExpr(text, sizeof text);
        AssignString(&d.ruleImage, text);
    }
}

void Cmd_effectblank() { EffectBlank = ReadIntExpr(); }

void Cmd_effectcut() { EffectCut = 1; }

void Cmd_effectskip() { EffectSkip = ReadIntExpr() != 0 ? 1 : 0; }

void Cmd_seteffectspeed() { EffectSpeed = ReadIntExpr(); }

void Cmd_geteffectspeed() {
    int v = ReadIntTarget("geteffectspeed", SufFirstInt);
    IntVariables[v] = EffectSpeed;
    ClampIntVars();
}
