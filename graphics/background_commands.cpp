// background_commands.cpp - the background (bg, bgalia, getbgname), the
// standing pictures' survival of allsphide (noteraseman) and the commands
// that show the composed screen (print, repaint).
#include "graphics/background_commands.h"

#include <strings.h>

#include <cstring>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "text/textwindow.h"

// 0xRRGGBB as the fills take it (0x00BBGGRR).
static uint32_t ColorRefOf(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

static void FillBackground(uint32_t rgb) {
    FillSurfaceRect(&BgSurface, 0, 0, ScreenWidth, ScreenHeight, ColorRefOf(rgb));
}

// A picture of another size than the screen is centred on black.
static void LoadBackgroundPicture(const char* tag) {
    LoadSurface(&BgSurface, tag);
    BgSurface.transMode = TransCopy;
    int32_t cw = GetCellWidth(&BgSurface), h = BgSurface.dib.height;
    if (cw == ScreenWidth && h == ScreenHeight) return;
    FillSurfaceRect(&WorkSurface, 0, 0, ScreenWidth, ScreenHeight, 0);
    BltToSurface(&WorkSurface, ScreenWidth / 2 - cw / 2, ScreenHeight / 2 - h / 2, cw, h,
                 &BgSurface, 0, 0);
    CreateSurface(&BgSurface, ScreenWidth, ScreenHeight);
    BltToSurface(&BgSurface, 0, 0, ScreenWidth, ScreenHeight, &WorkSurface, 0, 0);
}

// The string form: "black" and "white" in any case become colours, "#rrggbb"
// a colour, anything else an image tag.
static void SetBackgroundFromText() {
    char text[StrValueSize];
    ReadStrExpr(text, sizeof text);
    if (strcasecmp(text, "black") == 0) strcpy(text, "#000000");
    if (strcasecmp(text, "white") == 0) strcpy(text, "#FFFFFF");
    AssignString(&BgName, text);
    if (text[0] == '#')
        FillBackground(ParseHexColor(text + 1));
    else
        LoadBackgroundPicture(text);
}

static void SetBackground() {
    if (SkipBlanks() == '"') {
        SetBackgroundFromText();
        return;
    }
    if (BgAlia.x == -1)
        CreateSurface(&BgSurface, ScreenWidth, ScreenHeight);
    else
        CreateSurface(&BgSurface, BgAlia.width, BgAlia.height);
    if (ScriptBuffer[ReadPosition] == '#') {
        char name[8];
        memcpy(name, ScriptBuffer + ReadPosition, 7);
        name[7] = 0;
        uint32_t rgb = ReadColor();
        AssignString(&BgName, name);
        FillBackground(rgb);
        return;
    }
    int start = ReadPosition;
    char word[WordBufferSize];
    ReadWord(word);
    if (strcmp(word, "black") == 0 || strcmp(word, "white") == 0) {
        AssignString(&BgName, word);
        FillBackground(word[0] == 'b' ? 0x000000 : 0xFFFFFF);
        return;
    }
    ReadPosition = start;
    SetBackgroundFromText();
}

void Cmd_bg() {
    HideTextWindow();
    SetBackground();
    for (Human& h : Humans) {
        h.name[0] = 0;
        ReleaseSurface(&h.surface);
    }
    DirtyRect = ScreenRect{0, 0, ScreenWidth, ScreenHeight};
    ExpectComma();
    RunEffectOperand();
}

void Cmd_bgalia() {
    int32_t v[4];
    for (int i = 0; i < 4; i++) {
        if (i) ExpectComma();
        v[i] = ReadIntExpr();
    }
    BgAlia.x = v[0], BgAlia.y = v[1], BgAlia.width = v[2], BgAlia.height = v[3];
}

void Cmd_noteraseman() { NotEraseHumans = 1; }

void Cmd_getbgname() {
    int v = ReadStrTarget("getbgname", SufFirstStr);
    AssignString(&StrVariables[v], StringText(BgName));
}

void Cmd_print() { RunEffectOperand(); }

void Cmd_repaint() {
    ComposeScreen(nullptr);
    RunEffect("", EffectInstant, 0, nullptr);
}
