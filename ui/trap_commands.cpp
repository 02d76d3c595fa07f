// trap_commands.cpp - the trap commands.  They only arm, stop, resume and
// switch off the traps (ui/traps.h); the jump itself is made by the
// interpreter loop between statements, except for "resume", which delivers a
// trap hit while stopped at once.
#include "ui/trap_commands.h"

#include <cstring>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "platform/platform.h"
#include "ui/trap_messages.h"
#include "ui/traps.h"
#include "ui/window_links.h"

namespace {

enum { Keep = -1 };  // a mode flag the command leaves as it is

enum TrapWord { WordLabel, WordOff, WordStop, WordResume, WordOther };

// The operand: "*label" (the name into label), or one of the words.
TrapWord ReadTrapOperand(char* label) {
    if (SkipBlanks() == '*') {
        ReadLabelOperand(label);
        return WordLabel;
    }
    char word[WordBufferSize];
    ReadWord(word);
    if (strcmp(word, "off") == 0) return WordOff;
    if (strcmp(word, "stop") == 0) return WordStop;
    if (strcmp(word, "resume") == 0) return WordResume;
    return WordOther;
}

// Jumps to a trap's label and empties it (nothing when it is empty).
void JumpAndEmpty(char* label, size_t size) {
    if (!label[0]) return;
    char name[WordBufferSize];
    CopySjisBounded(name, sizeof name < size ? sizeof name : size, label);
    label[0] = 0;
    JumpToLabel(name);
}

void ClickTrap(int rightAlso, int skipAlso, int rightOnly) {
    TrapSettings& t = Traps;
    if (rightAlso != Keep) t.right_click_also = rightAlso;
    if (skipAlso != Keep) t.skip_also = skipAlso;
    if (rightOnly != Keep) t.right_click_only = rightOnly;
    char label[WordBufferSize];
    switch (ReadTrapOperand(label)) {
    case WordLabel:
        t.timer_armed = 0;
        CopySjisBounded(t.label, sizeof t.label, label);
        t.state = 0;
        // A click already made must not fire the new trap.
        PlatRemoveAll(WM_LBUTTONUP);
        PlatRemoveAll(WM_CHAR);
        break;
    case WordOff: t.label[0] = 0; break;
    case WordStop: t.state = 1; break;
    case WordResume:
        if (t.state == 2) {
            t.state = 0;
            JumpAndEmpty(t.label, sizeof t.label);
        }
        t.state = 0;
        break;
    case WordOther: ScriptError(CapError, MsgTrapOperand);
    }
}

}  // namespace

void Cmd_trap() { ClickTrap(0, 0, 0); }
void Cmd_lr_trap() { ClickTrap(1, Keep, 0); }
void Cmd_r_trap() { ClickTrap(0, Keep, 1); }
void Cmd_trap2() { ClickTrap(Keep, 1, Keep); }
void Cmd_lr_trap2() { ClickTrap(1, 1, 0); }

void Cmd_timertrap() {
    TrapSettings& t = Traps;
    char label[WordBufferSize];
    switch (ReadTrapOperand(label)) {
    case WordLabel: {
        ExpectComma();
        int32_t ms = ReadIntExpr();
        t.timer_armed = 1;
        CopySjisBounded(t.timer_label, sizeof t.timer_label, label);
        t.timer_state = 0;
        // A negative duration is taken as its 32-bit pattern: a very long time.
        t.timer_duration = (uint32_t)ms;
        t.timer_start = PlatTicks();
        break;
    }
    case WordOff: t.timer_label[0] = 0; break;
    case WordStop: t.timer_state = 1; break;
    case WordResume:
        if (t.timer_state == 2) {
            t.timer_state = 0;
            JumpAndEmpty(t.timer_label, sizeof t.timer_label);
        }
        t.timer_state = 0;
        break;
    case WordOther: ScriptError(CapError, MsgTimertrapOperand);
    }
}

void Cmd_lr_trap_value() {
    char c = SkipBlanks();
    if (c == '%') {
        int v = ReadIntTarget("lr_trap_value", SufOnlyInt, 0, CapError);
        IntVariables[v] = 0;
        TrapValueVariable = v;
        return;
    }
    char word[WordBufferSize];
    ReadWord(word);
    if (strcmp(word, "off") != 0) OperandKindError(CapError, "lr_trap_value", SufOnlyInt);
    TrapValueVariable = -1;
}
