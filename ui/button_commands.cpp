// button_commands.cpp - the button-table and button-wait commands: the
// definitions (btndef, btn, spbtn ...), the wait's switches, the four wait
// commands, tbtnwait, getbtntimer and isdown.
#include "ui/button_commands.h"

#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/journal.h"
#include "graphics/imagetag.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "platform/platform.h"
#include "ui/buttons.h"
#include "ui/exbtn.h"
#include "text/textbtn.h"
#include "text/textwindow.h"
#include "ui/window_links.h"

namespace {

int32_t ReadSpriteNumber() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    return n;
}

// The word "clear" (not a string alias that starts with it) at ReadPosition.
bool TakeClearWord() {
    SkipBlanks();
    const char* p = ScriptBuffer + ReadPosition;
    if (strncasecmp(p, "clear", 5) != 0) return false;
    unsigned char next = (unsigned char)p[5];
    if (isalnum(next) || next == '_') return false;
    ReadPosition += 5;
    return true;
}

// sprite, number: the two operands of the sprite-button commands.
void ReadSpriteAndNumber(int32_t* sprite, int32_t* number) {
    *sprite = ReadSpriteNumber();
    ExpectComma();
    *number = ReadIntExpr();
}

// '%N' of a wait command: the kind is tested now, the number's range only
// after the wait (so a bad number still waits first).
int32_t ReadWaitTarget(const char* name, const char* suffix) {
    if (SkipBlanks() != '%') OperandKindError(nullptr, name, suffix);
    ReadPosition++;
    return ReadNumTerm();
}

void StoreWaitResult(int32_t var, int32_t value) {
    if (var < 0 || var >= VariableCount) ScriptError(CapError, MsgVarRange);
    IntVariables[var] = value;
    ClampIntVars();
}

int32_t RunWait(const char* name, int text, int select) {
    int32_t var = ReadWaitTarget(name, SufFirstInt);
    ButtonWaitTextMode = text;
    ButtonWaitSelectMode = select;
    int32_t r = ButtonWait();
    StoreWaitResult(var, r);
    return r;
}

}  // namespace

// ---- definitions ------------------------------------------------------------------------------

void Cmd_btndef() {
    bool clear = TakeClearWord();
    std::string tag;
    if (!clear) {
        std::string buffer(StrValueSize, '\0');
        ReadStrExpr(&buffer[0], StrValueSize);
        tag = buffer.c_str();
    }
    ResetButtonSwitches();
    TextButtonsActive = 1;
    ClearButtons();
    AssignString(&ExbtnDefault, "");
    if (clear) return;
    if (tag.empty()) {
        ReleaseSurface(&ButtonPicture);
        ButtonPicture.tag[0] = 0;
        return;
    }
    char copy[SurfaceTagSize];
    snprintf(copy, sizeof copy, "%s", tag.c_str());
    LoadSurface(&ButtonPicture, copy);
    snprintf(ButtonPicture.tag, sizeof ButtonPicture.tag, "%s", copy);
}

void Cmd_btn() {
    int32_t v[7];
    for (int i = 0; i < 7; i++) {
        if (i) ExpectComma();
        v[i] = ReadIntExpr();
    }
    // number, left, top, width, height, hover x, hover y
    AddButton(v[0], v[1], v[2], v[3], v[4], v[6], v[5]);
}

static void SpriteButtonCommand(bool needCells, bool overwrite) {
    int32_t sprite, number;
    ReadSpriteAndNumber(&sprite, &number);
    const Sprite& s = Sprites[sprite];
    if (overwrite) {
        for (int i = 0; i < Buttons.count; i++) {
            if (Buttons.number[i] != number) continue;
            Buttons.left[i] = s.x;
            Buttons.top[i] = s.y;
            Buttons.width[i] = GetCellWidth(&s.surface);
            Buttons.height[i] = s.surface.dib.height;
            Buttons.right[i] = (int32_t)((uint32_t)s.x + (uint32_t)Buttons.width[i] - 1u);
            Buttons.bottom[i] = (int32_t)((uint32_t)s.y + (uint32_t)Buttons.height[i] - 1u);
            Buttons.spriteLink[i] = -1 - sprite;
            Buttons.choiceLink[i] = 0;
            AssignString(&Buttons.exbtn[i], "");
            return;
        }
        AddSpriteButton(sprite, number, nullptr);
        return;
    }
    if (!s.tag[0]) return;
    if (needCells && CellCountOf(&s.surface) == 1) return;
    AddSpriteButton(sprite, number, nullptr);
}

void Cmd_spbtn() { SpriteButtonCommand(false, false); }
void Cmd_existspbtn() { SpriteButtonCommand(false, false); }
void Cmd_cellcheckspbtn() { SpriteButtonCommand(true, false); }
void Cmd_spbtn2() { SpriteButtonCommand(false, true); }

void Cmd_delbtn() {
    int32_t number = ReadIntExpr();
    for (int i = 0; i < Buttons.count; i++)
        if (Buttons.number[i] == number) Buttons.left[i] = DeletedButtonLeft;
}

void Cmd_btncancel() {
    int32_t n = ReadIntExpr();
    // More than the table holds empties it (the count never goes below 0).
    int64_t count = (int64_t)Buttons.count - n;
    if (count < 0) count = 0;
    if (count > Buttons.count) count = Buttons.count;
    for (int i = (int)count; i < Buttons.count; i++) AssignString(&Buttons.exbtn[i], "");
    Buttons.count = (int32_t)count;
}

// ---- switches ---------------------------------------------------------------------------------

void Cmd_transbtn() { ButtonWaitOptions.transbtn = 1; }
void Cmd_btnnowindowerase() { ButtonWaitOptions.noWindowErase = 1; }
void Cmd_maskbtn() { ButtonWaitOptions.mask = ReadIntExpr(); }
void Cmd_getmouseover() {
    ButtonWaitOptions.mouseOverMin = ReadIntExpr();
    ExpectComma();
    ButtonWaitOptions.mouseOverMax = ReadIntExpr();
}
void Cmd_getmclick() { ButtonWaitOptions.middleClick = 1; }
void Cmd_btnarea() { ButtonWaitOptions.areaLine = ReadIntExpr(); }
void Cmd_btndown() { ButtonWaitOptions.heldButton = ReadIntExpr() != 0 ? 1 : 0; }
void Cmd_btn0down() { ButtonWaitOptions.heldButton = HeldButtonUnhovered; }
void Cmd_spclclk() { ButtonWaitOptions.spaceClick = 1; }
void Cmd_getpageup() { ButtonWaitOptions.pageUp = 1; }
void Cmd_getskipoff() { ButtonWaitOptions.skipChange = 1; }
void Cmd_getinsert() { ButtonWaitOptions.insert = 1; }
void Cmd_getzxc() { ButtonWaitOptions.zxc = 1; }
void Cmd_getpage() { ButtonWaitOptions.pageKeys = 1; }
void Cmd_getcursor() { ButtonWaitOptions.cursorKeys = 1; }
void Cmd_getfunction() { ButtonGetFunction = 1; }
void Cmd_gettab() { ButtonWaitOptions.tab = 1; }
void Cmd_getenter() { ButtonGetEnter = 1; }
void Cmd_escoutcursor() {
    ButtonWaitOptions.escX = ReadIntExpr();
    ExpectComma();
    ButtonWaitOptions.escY = ReadIntExpr();
    ButtonWaitOptions.escPointOn = 1;
}
static void SetTimeout(int voice) {
    ButtonWaitOptions.timeout = ReadIntExpr();
    ButtonWaitOptions.timeoutVoice = voice;
}
void Cmd_btntime() { SetTimeout(0); }
void Cmd_btntimer() { SetTimeout(0); }
void Cmd_btntime2() { SetTimeout(1); }

// ---- waits ------------------------------------------------------------------------------------

void Cmd_btnwait() {
    if (RunWait("btnwait", 0, 0) > 0) {
        ReleaseSurface(&ButtonPicture);
        ButtonPicture.tag[0] = 0;
        ClearButtons();
    }
}
void Cmd_btnwait2() { RunWait("btnwait2", 0, 0); }
void Cmd_textbtnwait() { RunWait("textbtnwait", 1, 0); }
void Cmd_selectbtnwait() { RunWait("selectbtnwait", 1, 1); }

void Cmd_tbtnwait() {
    int32_t var = ReadIntTarget("tbtnwait", SufFirstInt);
    TextButtonCount = 0;
    IntVariables[var] = 0;
    ClampIntVars();
}

void Cmd_getbtntimer() {
    int32_t var = ReadIntTarget("getbtntimer", SufFirstInt);
    StoreIntVar(var, ButtonWaitElapsed);
}

void Cmd_isdown() {
    int32_t var = ReadIntTarget("isdown", SufOnlyInt);
    StoreIntVar(var, PlatIsForeground() && PlatKeyDown(VK_LBUTTON) ? 1 : 0);
}
