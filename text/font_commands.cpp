// font_commands.cpp - the font and text colour commands.  Face names are
// cut to their 256-byte fields on a character boundary.
#include "text/font_commands.h"

#include "core/error.h"
#include "core/readers.h"
#include "core/sjis.h"
#include "ext/dllcache.h"
#include "text/glyph.h"
#include "text/textline.h"
#include "text/textwin_messages.h"

static void ReadFaceName(char* field) {
    ReadStrExpr(field, FontFaceSize);
    TrimSjisTail(field);
}

void Cmd_font() { ReadFaceName(SelectedFont); }
void Cmd_setfont() { ReadFaceName(SelectedFont); }
void Cmd_defaultfont() { ReadFaceName(DefaultFont); }

void Cmd_dllfont() {
    char name[FontFaceSize];
    ReadStrExpr(name, sizeof name);
    if (!name[0]) return;
    FontPlugin = (FontPluginProc)GetDllProc(name, "Font");
}

void Cmd_mojitype() { MojiType = ReadIntExpr(); }

void Cmd_setcolor() {
    int32_t n = ReadIntExpr();
    ExpectComma();
    if (n < 0 || n > 255) ScriptError(CapTextError, MsgSetcolorNumber);
    SkipBlanks();
    TextColorTable[n] = ReadColor() & 0xFFFFFF;
}

void Cmd_shadedistance() {
    int32_t x = ReadIntExpr();
    ExpectComma();
    int32_t y = ReadIntExpr();
    ShadeDistanceOn = 1;
    ShadeDistanceX = x;
    ShadeDistanceY = y;
}

void Cmd_tateyoko() {
    VerticalTextNext = ReadIntExpr();
    if (TextCursorColumn == 0 && TextCursorLine == 0) VerticalText = VerticalTextNext;
}

void Cmd_textcolor() {
    SkipBlanks();
    uint32_t c = ReadColor();
    TextColorRed = (int32_t)((c >> 16) & 0xFF);
    TextColorGreen = (int32_t)((c >> 8) & 0xFF);
    TextColorBlue = (int32_t)(c & 0xFF);
}
