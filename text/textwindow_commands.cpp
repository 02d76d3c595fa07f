// textwindow_commands.cpp - the text window's script commands, each in the
// order of its steps.
#include "text/textwindow_commands.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "graphics/effect.h"
#include "graphics/imagetag.h"
#include "graphics/sprite.h"
#include "text/backlog.h"
#include "text/textline.h"
#include "text/textwin_messages.h"
#include "text/textwindow.h"
#include "ui/mainwindow.h"

// The window operand: a literal or string colour ('#rrggbb') sets the tint
// and releases the picture; another text loads the window picture.  Returns
// true for a picture.
static bool ReadWindowOperand() {
    if (SkipBlanks() == '#') {
        WindowColor = (int32_t)(ReadColor() & 0xFFFFFF);
        ReleaseSurface(&WindowImage);
        return false;
    }
    char text[FontFaceSize];
    ReadStrExpr(text, sizeof text);
    if (text[0] == '#') {
        WindowColor = (int32_t)(ParseHexColor(text + 1) & 0xFFFFFF);
        ReleaseSurface(&WindowImage);
        return false;
    }
    WindowColor = -1;
    memcpy(WindowImageTag, text, sizeof text);
    LoadSurface(&WindowImage, WindowImageTag);
    return true;
}

static void RepaintWholeWindow() {
    InvalidateMainWindow(nullptr);
    PaintWindow(nullptr);
}

static void SetWindow(bool clearBacklog) {
    int32_t allowed = EraseWindowAllowed;
    EraseWindowAllowed = 1;
    HideTextWindow();
    EraseWindowAllowed = allowed;
    ClearTextPage();
    if (clearBacklog) ClearBacklog();

    TextOriginX = ReadIntExpr();
    ExpectComma();
    TextOriginY = ReadIntExpr();
    ExpectComma();
    int32_t columns = ReadIntExpr();
    ExpectComma();
    int32_t rows = ReadIntExpr();
    TextColumns = columns;
    TextRows = rows;
    if (columns < 0 || rows < 0) ScriptError(CapTextError, MsgSetwindowGrid);
    ExpectComma();
    TextFontWidth = ReadIntExpr();
    ExpectComma();
    TextFontHeight = ReadIntExpr();
    ExpectComma();
    TextCharAdvance = ReadIntExpr() + TextFontWidth;
    ExpectComma();
    TextLineAdvance = ReadIntExpr() + TextFontHeight;
    ExpectComma();
    TextSpeed = ReadIntExpr();
    ExpectComma();
    TextBold = ReadIntExpr();
    ExpectComma();
    TextShadow = ReadIntExpr();
    ExpectComma();
    bool picture = ReadWindowOperand();
    ExpectComma();
    TextWindowLeft = ReadIntExpr();
    ExpectComma();
    TextWindowTop = ReadIntExpr();
    if (picture) {
        TextWindowRight = TextWindowLeft + GetCellWidth(&WindowImage) - 1;
        TextWindowBottom = TextWindowTop + WindowImage.dib.height - 1;
    } else {
        ExpectComma();
        TextWindowRight = ReadIntExpr();
        ExpectComma();
        TextWindowBottom = ReadIntExpr();
    }
    RepaintWholeWindow();
}

void Cmd_setwindow() { SetWindow(true); }
void Cmd_setwindow3() { SetWindow(false); }

void Cmd_setwindow2() {
    TextWindowComposed = 0;
    TextWindowShown = 0;
    AddDirtyRect(TextWindowLeft, TextWindowRight, TextWindowTop, TextWindowBottom);
    ScreenRect dirty = DirtyRect;
    ComposeScreen(&dirty);
    ReadWindowOperand();
    ComposeTextWindow(nullptr);
    TextWindowComposed = 1;
    TextWindowShown = 1;
    AddDirtyRect(TextWindowLeft, TextWindowRight, TextWindowTop, TextWindowBottom);
    dirty = DirtyRect;
    RunEffect("", EffectInstant, 0, &dirty);
    RepaintWholeWindow();
}

void Cmd_windoweffect() {
    WindowEffect = ReadIntExpr();
    if (WindowEffect == EffectInstant) return;
    ExpectComma();
    WindowEffectDuration = ReadIntExpr();
    if (WindowEffect == EffectRuleWipe || WindowEffect == EffectRuleFade) {
        ExpectComma();
        ReadStrExpr(WindowEffectImage, sizeof WindowEffectImage);
    }
}

// The window chips' sprites shown or hidden; numbers outside the sprite
// table are passed over.
static void SetChipsVisible(int32_t visible) {
    for (int32_t i = 0; i < WindowChipCount; i++) {
        int32_t n = WindowChipSprites[i];
        if (n >= 0 && n < SpriteCount) Sprites[n].visible = visible;
    }
}

// Recomposes the screen and runs the window effect over the window and one
// more pixel.
static void ShowWindowArea() {
    ComposeScreen(nullptr);
    ScreenRect r{std::max(TextWindowLeft, 0), std::max(TextWindowTop, 0),
                 std::min(TextWindowRight + 1, ScreenWidth - 1), std::min(TextWindowBottom + 1, ScreenHeight - 1)};
    if (r.right < r.left || r.bottom < r.top) return;
    RunEffect(WindowEffectImage, WindowEffect, WindowEffectDuration, &r);
}

void Cmd_textoff() {
    SetChipsVisible(0);
    int32_t allowed = EraseWindowAllowed;
    EraseWindowAllowed = 1;
    HideTextWindow();
    EraseWindowAllowed = allowed;
}

void Cmd_texton() {
    SetChipsVisible(1);
    TextWindowComposed = 1;
    ShowWindowArea();
}

void Cmd_texthide() {
    TextHidden = 1;
    ShowWindowArea();
}

void Cmd_textshow() {
    TextHidden = 0;
    ShowWindowArea();
}

void Cmd_textclear() {
    CommitBacklogPage();
    ClearTextLayers();
}

void Cmd_textcommit() { CommitBacklogPage(); }

void Cmd_textmode() {
    int32_t n = ReadIntExpr();
    if (TextWindowShown) HideTextWindow();
    TextModeOn = n;
}

void Cmd_erasetextwindow() {
    int32_t n = ReadIntExpr();
    EraseWindowAllowed = n;
    WindowKeptForHumans = 0;
    if (n == 2) {
        EraseWindowAllowed = 1;
        WindowKeptForHumans = 1;
    }
}

void Cmd_windowback() { WindowBackOn = 1; }

// Entries past the table's room are dropped.
void Cmd_windowchip() {
    int32_t n = ReadIntExpr();
    if (WindowChipCount < WindowChipLimit) WindowChipSprites[WindowChipCount++] = n;
}

void Cmd_mode_brin() { BrinMode = 1; }

void Cmd_menusetwindow() {
    MenuFontWidth = ReadIntExpr();
    ExpectComma();
    MenuFontHeight = ReadIntExpr();
    ExpectComma();
    MenuCharAdvance = MenuFontWidth + ReadIntExpr();
    ExpectComma();
    MenuLineAdvance = MenuFontHeight + ReadIntExpr();
    ExpectComma();
    MenuBold = ReadIntExpr();
    ExpectComma();
    MenuShadow = ReadIntExpr();
    ExpectComma();
    SkipBlanks();
    MenuWindowColor = (int32_t)(ReadColor() & 0xFFFFFF);
}
