// sprite_commands.cpp - the commands of the three picture tables: load,
// move, show, hide, clear and query sprites, rotated sprites and standing
// pictures, and their settings.  Commands change the tables and grow
// DirtyRect; only print, ld, cl, tal and humanorder show the result.
#include "graphics/sprite_commands.h"

#include <cstring>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "save/journal.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "text/textwindow.h"

// Operand helpers.

static int ReadSpriteNumber() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    return n;
}

static int ReadSprite2Number() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= Sprite2Count) ScriptError(CapError, MsgSpriteRange);
    return n;
}

static void MarkWholeScreen() { AddDirtyRect(0, ScreenWidth, 0, ScreenHeight); }

// A layer sprite changes the whole screen; any other its own area.
static void MarkSpriteArea(int n) {
    if (LayerSlotOfTag(Sprites[n].tag) >= 0)
        MarkWholeScreen();
    else
        MarkSpriteDirty(n);
}

// Moves add as 32-bit registers do: wrapping, never undefined.
static int32_t AddWrapped(int32_t a, int32_t b) { return (int32_t)((uint32_t)a + (uint32_t)b); }

static int32_t Clamp255(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : (int32_t)v; }

// Copies a tag into a table's field, cut on a character boundary.
static void CopyTag(char* field, const char* tag) { CopySjisBounded(field, SpriteTagSize, tag); }

// ", effect" behind ld, cl, tal and humanorder.
static void EffectOperand() {
    ExpectComma();
    RunEffectOperand();
}

// The standing-picture slot of a position letter, or -1.
static int HumanSlotOfLetter(char c) {
    switch (c) {
    case 'l': case 'L': return 0;
    case 'c': case 'C': return 1;
    case 'r': case 'R': return 2;
    default: return -1;
    }
}

// The next character as a position letter (blanks skipped).
static char ReadPositionLetter() {
    char c = SkipBlanks();
    if (c) ReadPosition++;
    return c;
}

// Upright sprites.

// lsp, msp, amsp, vsp and their rotated forms are journaled commands: what
// they change of the savepoint image is recorded before it changes.
static void JournalSprite(Sprite& s) {
    JournalFixedText(s.tag);
    JournalInt(&s.x);
    JournalInt(&s.y);
    JournalInt(&s.visible);
    JournalInt(&s.surface.cell);
    JournalInt(&s.surface.alpha);
}

static void LoadSprite(bool shown) {
    HideTextWindow();
    int n = ReadSpriteNumber();
    Sprite& s = Sprites[n];
    JournalSprite(s);
    if (s.visible && s.tag[0]) MarkSpriteArea(n);
    ExpectComma();
    char tag[StrValueSize];
    ReadStrExpr(tag, sizeof tag);
    if (tag[0] != '*') {
        ExpectComma();
        s.x = ReadIntExpr();
        ExpectComma();
        s.y = ReadIntExpr();
    }
    CopyTag(s.tag.Edit(), tag);
    LoadSurface(&s.surface, s.tag);
    s.visible = shown ? 1 : 0;
    if (SkipBlanks() == ',') {
        ExpectComma();
        // Stored as given; drawing clamps it to -1..255.
        s.surface.alpha = ReadIntExpr();
    }
    if (shown) MarkSpriteArea(n);
}

void Cmd_lsp() { LoadSprite(true); }
void Cmd_lsph() { LoadSprite(false); }

void Cmd_csp() {
    HideTextWindow();
    int32_t n = ReadIntExpr();
    if (n == -1) {
        for (int i = 0; i < SpriteCount; i++) {
            Sprite& s = Sprites[i];
            if (!s.tag[0]) continue;
            if (s.visible) MarkSpriteArea(i);
            s.tag.Edit()[0] = 0;
            s.x = s.y = -1000;
            ReleaseSurface(&s.surface);
        }
        return;
    }
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    Sprite& s = Sprites[n];
    if (!s.tag[0]) return;
    if (s.visible) MarkSpriteArea(n);
    s.tag.Edit()[0] = 0;
    ReleaseSurface(&s.surface);
}

void Cmd_vsp() {
    HideTextWindow();
    int n = ReadSpriteNumber();
    ExpectComma();
    int32_t flag = ReadIntExpr();
    Sprite& s = Sprites[n];
    if (!s.tag[0]) return;
    JournalInt(&s.visible);
    int32_t old = s.visible;
    s.visible = flag;
    if (old != flag) MarkSpriteArea(n);
}

static void MoveSprite(bool relative) {
    HideTextWindow();
    int n = ReadSpriteNumber();
    Sprite& s = Sprites[n];
    if (!s.tag[0]) ScriptErrorF(CapError, FmtUndefinedSprite, n);
    ExpectComma();
    int32_t x = ReadIntExpr();
    ExpectComma();
    int32_t y = ReadIntExpr();
    JournalInt(&s.x);
    JournalInt(&s.y);
    JournalInt(&s.surface.alpha);
    if (s.visible) MarkSpriteArea(n);
    s.x = relative ? AddWrapped(s.x, x) : x;
    s.y = relative ? AddWrapped(s.y, y) : y;
    if (s.visible) MarkSpriteArea(n);
    if (SkipBlanks() == ',') {
        ExpectComma();
        int32_t a = ReadIntExpr();
        int64_t base = s.surface.alpha == -1 ? 255 : s.surface.alpha;
        s.surface.alpha = Clamp255(relative ? base + a : a);
    }
}

void Cmd_msp() { MoveSprite(true); }
void Cmd_amsp() { MoveSprite(false); }

void Cmd_allsphide() {
    AllSpritesHidden = 1;
    MarkWholeScreen();
}
void Cmd_allspresume() {
    AllSpritesHidden = 0;
    MarkWholeScreen();
}
void Cmd_allsp2hide() {
    Sprite2Hidden = 1;
    MarkWholeScreen();
}
void Cmd_allsp2resume() {
    Sprite2Hidden = 0;
    MarkWholeScreen();
}

void Cmd_sphide() {
    int32_t first = ReadIntExpr();
    ExpectComma();
    int32_t last = ReadIntExpr();
    HiddenSpriteFirst = first;
    HiddenSpriteLast = last;
    MarkWholeScreen();
}

void Cmd_spresume() {
    HiddenSpriteFirst = 9999;
    HiddenSpriteLast = -9999;
    MarkWholeScreen();
}

// Loads the sprite's tag anew: an emptied surface tag defeats the loader's
// same-tag rule, so the file is read again.
void Cmd_spreload() {
    int32_t n = ReadIntExpr();
    if (n == -1) {
        // The text window's picture, when it has one.
        if (WindowColor == -1 && WindowImageTag[0]) {
            WindowImage.tag[0] = 0;
            LoadSurface(&WindowImage, WindowImageTag);
        }
        return;
    }
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    Sprite& s = Sprites[n];
    if (!s.tag[0]) return;
    s.surface.tag[0] = 0;
    LoadSurface(&s.surface, s.tag);
}

void Cmd_getspmode() {
    int var = ReadIntTarget("getspmode", SufFirstInt);
    ExpectComma();
    int n = ReadSpriteNumber();
    StoreIntVar(var, Sprites[n].visible);
}

void Cmd_getsppos() {
    int n = ReadSpriteNumber();
    ExpectComma();
    int vx = ReadIntTarget("getsppos", SufSecondIntKanji);
    ExpectComma();
    int vy = ReadIntTarget("getsppos", SufThirdInt);
    StoreIntVar(vx, Sprites[n].x);
    StoreIntVar(vy, Sprites[n].y);
}

void Cmd_getspsize() {
    int n = ReadSpriteNumber();
    ExpectComma();
    int vw = ReadIntTarget("getspsize", SufSecondInt);
    ExpectComma();
    int vh = ReadIntTarget("getspsize", SufThirdInt);
    const Surface& s = Sprites[n].surface;
    StoreIntVar(vw, GetCellWidth(&s));
    StoreIntVar(vh, s.dib.height);
    if (SkipBlanks() == ',') {
        ExpectComma();
        int vc = ReadIntTarget("getspsize", SufFourthInt);
        StoreIntVar(vc, s.cellCount);
    }
}

// Rotated sprites.

static void LoadSprite2(bool shown, int32_t blend) {
    HideTextWindow();
    int n = ReadSprite2Number();
    Sprite2& s = Sprites2[n];
    s.blend = blend;
    if (s.visible) MarkSprite2Dirty(n);
    ExpectComma();
    char tag[StrValueSize];
    ReadStrExpr(tag, sizeof tag);
    int32_t v[5];
    for (int32_t& x : v) {
        ExpectComma();
        x = ReadIntExpr();
    }
    s.cx = v[0], s.cy = v[1], s.xscale = v[2], s.yscale = v[3], s.rotation = v[4];
    CopyTag(s.tag.Edit(), tag);
    LoadSurface(&s.surface, s.tag);
    s.surface.alpha = 255;
    if (SkipBlanks() == ',') {
        ExpectComma();
        s.surface.alpha = ReadIntExpr();  // drawing clamps it
    }
    s.visible = shown ? 1 : 0;
    if (shown) MarkSprite2Dirty(n);
}

void Cmd_lsp2() { LoadSprite2(true, 0); }
void Cmd_lsph2() { LoadSprite2(false, 0); }
void Cmd_lsp2add() { LoadSprite2(true, 1); }
void Cmd_lsph2add() { LoadSprite2(false, 1); }
void Cmd_lsp2sub() { LoadSprite2(true, 2); }
void Cmd_lsph2sub() { LoadSprite2(false, 2); }

void Cmd_csp2() {
    HideTextWindow();
    int32_t n = ReadIntExpr();
    if (n == -1) {
        for (int i = 0; i < Sprite2Count; i++) {
            Sprite2& s = Sprites2[i];
            if (!s.tag[0]) continue;
            if (s.visible) MarkSprite2Dirty(i);
            s.tag.Edit()[0] = 0;
            s.cx = s.cy = -1000;
            ReleaseSurface(&s.surface);
        }
        return;
    }
    if (n < 0 || n >= Sprite2Count) ScriptError(CapError, MsgSpriteRange);
    Sprite2& s = Sprites2[n];
    if (!s.tag[0]) return;
    if (s.visible) MarkSprite2Dirty(n);
    s.tag.Edit()[0] = 0;
    ReleaseSurface(&s.surface);
}

void Cmd_vsp2() {
    HideTextWindow();
    int n = ReadSprite2Number();
    ExpectComma();
    int32_t flag = ReadIntExpr();
    Sprite2& s = Sprites2[n];
    if (!s.tag[0]) return;
    JournalInt(&s.visible);
    int32_t old = s.visible;
    s.visible = flag;
    if (old != flag) MarkSprite2Dirty(n);
}

// One turn is taken off or added, no more.
static int32_t NormaliseRotation(int64_t r) {
    if (r >= 360)
        r -= 360;
    else if (r < 0)
        r += 360;
    return (int32_t)r;
}

static void MoveSprite2(bool relative) {
    HideTextWindow();
    int n = ReadSprite2Number();
    Sprite2& s = Sprites2[n];
    if (!s.tag[0]) ScriptErrorF(CapError, FmtUndefinedSprite2, n);
    int32_t v[5];
    for (int32_t& x : v) {
        ExpectComma();
        x = ReadIntExpr();
    }
    for (ImageInt* p : {&s.cx, &s.cy, &s.xscale, &s.yscale, &s.rotation, &s.surface.alpha}) JournalInt(p);
    if (s.visible) MarkSprite2Dirty(n);
    if (relative) {
        s.cx = AddWrapped(s.cx, v[0]), s.cy = AddWrapped(s.cy, v[1]);
        s.xscale = AddWrapped(s.xscale, v[2]), s.yscale = AddWrapped(s.yscale, v[3]);
        s.rotation = NormaliseRotation((int64_t)s.rotation + v[4]);
    } else {
        s.cx = v[0], s.cy = v[1], s.xscale = v[2], s.yscale = v[3];
        s.rotation = NormaliseRotation(v[4]);
    }
    if (s.visible) MarkSprite2Dirty(n);
    if (SkipBlanks() == ',') {
        ExpectComma();
        int32_t a = ReadIntExpr();
        int64_t base = s.surface.alpha == -1 ? 255 : s.surface.alpha;
        s.surface.alpha = Clamp255(relative ? base + a : a);
    }
}

void Cmd_msp2() { MoveSprite2(true); }
void Cmd_amsp2() { MoveSprite2(false); }

// Standing pictures.

static void HideTextWindowForHumans() {
    if (!WindowKeptForHumans) HideTextWindow();
}

void Cmd_ld() {
    HideTextWindowForHumans();
    int slot = HumanSlotOfLetter(ReadPositionLetter());
    ExpectComma();
    char tag[StrValueSize];
    ReadStrExpr(tag, sizeof tag);
    if (slot >= 0) {
        Human& h = Humans[slot];
        MarkHumanDirty(slot);
        CopyTag(h.name, tag);
        LoadSurface(&h.surface, h.name);
        // humanpos and underline take any value: wrap instead of overflowing.
        h.x = AddWrapped(HumanCentreX[slot], -(GetCellWidth(&h.surface) / 2));
        h.y = AddWrapped(HumanBaseline, -h.surface.dib.height);
        MarkHumanDirty(slot);
    }
    EffectOperand();
}

static void ClearHuman(int slot) {
    Human& h = Humans[slot];
    MarkHumanDirty(slot);
    ReleaseSurface(&h.surface);
    h.name[0] = 0;
}

void Cmd_cl() {
    HideTextWindowForHumans();
    char c = ReadPositionLetter();
    if (c == 'a' || c == 'A') {
        for (int i = 0; i < HumanCount; i++) ClearHuman(i);
    } else {
        int slot = HumanSlotOfLetter(c);
        if (slot >= 0) ClearHuman(slot);
    }
    EffectOperand();
}

void Cmd_tal() {
    HideTextWindowForHumans();
    int slot = HumanSlotOfLetter(ReadPositionLetter());
    ExpectComma();
    int32_t a = ReadIntExpr();
    if (slot >= 0) {
        Humans[slot].surface.alpha = Clamp255(a);
        MarkHumanDirty(slot);
    }
    EffectOperand();
}

void Cmd_humanz() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n > 999) ScriptError(CapError, MsgHumanzRange);
    HumanZ = n;
}

void Cmd_humanorder() {
    char text[StrValueSize];
    ReadStrExpr(text, sizeof text);
    CopySjisBounded(HumanOrder, HumanOrderSize, text);
    MarkWholeScreen();
    EffectOperand();
}

void Cmd_humanpos() {
    int32_t v[HumanCount];
    for (int i = 0; i < HumanCount; i++) {
        if (i) ExpectComma();
        v[i] = ReadIntExpr();
    }
    for (int i = 0; i < HumanCount; i++) HumanCentreX[i] = v[i];
}

void Cmd_underline() { HumanBaseline = ReadIntExpr(); }

void Cmd_transmode() {
    char word[WordBufferSize];
    ReadWord(word);
    if (strcmp(word, "leftup") == 0)
        DefaultTransMode = TransLeftUp;
    else if (strcmp(word, "copy") == 0)
        DefaultTransMode = TransCopy;
    else if (strcmp(word, "alpha") == 0)
        DefaultTransMode = TransAlpha;
    else
        ScriptErrorF(CapSyntax, MsgBadCommand, "transmode");
}
