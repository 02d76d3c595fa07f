// bsp_commands.cpp - the bsp button-set commands: bsp, bdef, bclear, btime,
// btrans, bdown, bcursor and bexec.
#include "ui/bsp_commands.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "ui/bsp.h"
#include "ui/button_messages.h"

namespace {
std::string ReadText() {
    std::string buffer(StrValueSize, '\0');
    ReadStrExpr(&buffer[0], StrValueSize);
    return buffer.c_str();
}

bool TakeComma() {
    if (SkipBlanks() != ',') return false;
    ExpectComma();
    return true;
}
}  // namespace

void Cmd_bsp() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    std::string normal, hover, click;
    bool given = TakeComma();
    if (given) {
        normal = ReadText();
        ExpectComma();
        hover = ReadText();
        ExpectComma();
        click = ReadText();
    }
    const Sprite& s = Sprites[n];
    if (!s.tag[0]) return;
    if (!given) {
        char t[32];
        snprintf(t, sizeof t, "P%d,0", n);
        normal = t;
        snprintf(t, sizeof t, "P%d,1", n);
        hover = t;
        if (CellCountOf(&s.surface) >= 3) {
            snprintf(t, sizeof t, "P%d,2", n);
            click = t;
        }
    }
    AddButtonDef(n, normal.c_str(), hover.c_str(), click.c_str());
}

void Cmd_bdef() { AssignString(&ButtonExecDefault, ReadText().c_str()); }
void Cmd_bclear() { ClearButtonDefs(); }

void Cmd_btime() {
    ButtonExecTimeout = ReadIntExpr();
    ButtonExecStart = -1;
    ButtonExecFlags[0] = 0;
    if (TakeComma()) ButtonExecFlags[0] = ReadIntExpr() != 0;
}

void Cmd_btrans() { ButtonExecFlags[1] = 1; }
void Cmd_bdown() { ButtonExecFlags[2] = 1; }
void Cmd_bcursor() { ButtonExecFlags[3] = 1; }

void Cmd_bexec() {
    struct Target {
        bool text;
        int number;
    };
    std::vector<Target> targets;
    do {
        char c = SkipBlanks();
        if (c == '$') {
            ReadPosition++;
            targets.push_back({true, ReadStrVarNumber()});
        } else if (c == '%') {
            ReadPosition++;
            targets.push_back({false, ReadIntVarNumber()});
        } else {
            ScriptError(CapSyntax, MsgBexecArg);
        }
    } while (TakeComma());
    char result[ButtonExecResultSize];
    RunButtonExec(result, sizeof result);
    int32_t sprite = result[0] == 'S' && result[1] >= '0' && result[1] <= '9' ? atoi(result + 1) : -1;
    for (const Target& t : targets) {
        if (t.text)
            AssignString(&StrVariables[t.number], result);
        else
            IntVariables[t.number] = sprite;
    }
    ClampIntVars();
}
