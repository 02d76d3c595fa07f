// strsp_commands.cpp - the string-sprite commands: logsp, logsp2, strsp and
// their hidden forms render a text block into a sprite with the text
// window's settings, changed for the rendering only; spfont sets the sprite
// font; font2bmp and createdummy draw text into bitmap files.
#include "text/strsp_commands.h"

#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "graphics/compose.h"
#include "graphics/screen.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "text/string_sprite.h"
#include "text/strsp_messages.h"
#include "text/textline.h"
#include "text/textwindow.h"

namespace {

enum Family { LogSp, LogSp2, StrSp };

// The text window settings a rendering may change.
struct WindowSettings {
    int32_t fontWidth, fontHeight, charAdvance, lineAdvance, columns, rows, bold, shadow;
    char face[FontFaceSize];
};

WindowSettings SaveSettings() {
    WindowSettings w;
    w.fontWidth = TextFontWidth, w.fontHeight = TextFontHeight;
    w.charAdvance = TextCharAdvance, w.lineAdvance = TextLineAdvance;
    w.columns = TextColumns, w.rows = TextRows, w.bold = TextBold, w.shadow = TextShadow;
    memcpy(w.face, TextFontFace, sizeof w.face);
    return w;
}

void RestoreSettings(const WindowSettings& w) {
    TextFontWidth = w.fontWidth, TextFontHeight = w.fontHeight;
    TextCharAdvance = w.charAdvance, TextLineAdvance = w.lineAdvance;
    TextColumns = w.columns, TextRows = w.rows, TextBold = w.bold, TextShadow = w.shadow;
    memcpy(TextFontFace, w.face, sizeof w.face);
}

// A layer sprite changes the whole screen; any other its own area.
void MarkSpriteArea(int n) {
    if (LayerSlotOfTag(Sprites[n].tag) >= 0)
        AddDirtyRect(0, ScreenWidth, 0, ScreenHeight);
    else
        MarkSpriteDirty(n);
}

int32_t NextInt() {
    ExpectComma();
    return ReadIntExpr();
}

void LogSprite(Family family, bool shown) {
    HideTextWindow();
    int32_t n = ReadIntExpr();
    if (n < 0 || n >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    Sprite& sp = Sprites[n];
    ExpectComma();
    char text[StrValueSize];
    ReadStrExpr(text, sizeof text);
    if (sp.tag[0] && sp.visible) MarkSpriteArea(n);
    sp.x = NextInt();
    sp.y = NextInt();
    WindowSettings saved = SaveSettings();
    if (family == StrSp) {
        int32_t columns = NextInt(), rows = NextInt();
        TextColumns = columns;
        TextRows = rows;
    }
    if (family != LogSp) {
        int32_t w = NextInt(), h = NextInt(), px = NextInt(), py = NextInt();
        TextFontWidth = w;
        TextFontHeight = h;
        TextCharAdvance = (int32_t)((uint32_t)w + (uint32_t)px);
        TextLineAdvance = (int32_t)((uint32_t)h + (uint32_t)py);
    }
    if (family == StrSp) {
        int32_t bold = NextInt(), shadow = NextInt();
        TextBold = bold;
        TextShadow = shadow;
        if (SpriteFontWidth != -1) memcpy(TextFontFace, SpriteFontFace, sizeof SpriteFontFace);
    }
    memcpy(sp.tag.Edit(), "bklg", 5);
    RenderStringSprite(text, n);
    RestoreSettings(saved);
    sp.visible = shown ? 1 : 0;
    if (shown) MarkSpriteArea(n);
}

}  // namespace

void Cmd_logsp() { LogSprite(LogSp, true); }
void Cmd_logsph() { LogSprite(LogSp, false); }
void Cmd_logsp2() { LogSprite(LogSp2, true); }
void Cmd_logsph2() { LogSprite(LogSp2, false); }
void Cmd_strsp() { LogSprite(StrSp, true); }
void Cmd_strsph() { LogSprite(StrSp, false); }

void Cmd_spfont() {
    char c = SkipBlanks();
    if (c == 'c' || c == 'C') {
        char word[WordBufferSize];
        ReadWord(word);
        if (strcmp(word, "clear") != 0) ScriptError(CapError, MsgSpfontOperand);
        SpriteFontWidth = -1;
        return;
    }
    char face[StrValueSize];
    ReadStrExpr(face, sizeof face);
    CopySjisBounded(SpriteFontFace, sizeof SpriteFontFace, face);
    if (SkipBlanks() != ',') {
        SpriteFontWidth = TextFontWidth;
        SpriteFontHeight = TextFontHeight;
        SpriteCharAdvance = TextCharAdvance;
        SpriteLineAdvance = TextLineAdvance;
        SpriteBold = TextBold;
        SpriteShadow = TextShadow;
        return;
    }
    int32_t w = NextInt(), h = NextInt(), px = NextInt(), py = NextInt();
    SpriteBold = NextInt();
    SpriteShadow = NextInt();
    SpriteFontWidth = w;
    SpriteFontHeight = h;
    SpriteCharAdvance = (int32_t)((uint32_t)px + (uint32_t)w);
    SpriteLineAdvance = (int32_t)((uint32_t)py + (uint32_t)h);
}

void Cmd_font2bmp() {
    char face[StrValueSize];
    ReadStrExpr(face, sizeof face);
    char bounded[FontFaceSize];
    CopySjisBounded(bounded, sizeof bounded, face);
    int32_t w = NextInt(), h = NextInt();
    RenderFontTest(bounded, w, h);
}

void Cmd_createdummy() {
    char file[StrValueSize];
    ReadStrExpr(file, sizeof file);
    WriteDummyPicture(file);
}
