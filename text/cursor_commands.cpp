// cursor_commands.cpp - the text cursor, the text queries and the text
// speeds: locate, getcursorpos, getcursorpos2, getnextline, gettext,
// toplain, getwindowsize, defaultspeed, settextspeed, textspeed,
// textspeeddefault, linepage, linepage2, zenkakko.
#include "text/cursor_commands.h"

#include <string>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "text/backlog.h"
#include "text/display.h"
#include "text/display_messages.h"
#include "text/textline.h"
#include "text/textwindow.h"

void Cmd_locate() {
    int32_t column = ReadIntExpr();
    ExpectComma();
    int32_t line = ReadIntExpr();
    TextCursorColumn = column;
    TextCursorLine = line;
}

// The two %-targets of getcursorpos and its kin: the first's number a term,
// the second's an expression.
static void TwoIntTargets(const char* name, int* vx, int* vy) {
    *vx = ReadIntTarget(name, SufFirstInt);
    ExpectComma();
    *vy = ReadIntTarget(name, SufSecondInt, TargetNumberExpr);
}

static void StoreTwo(int vx, int vy, int32_t x, int32_t y) {
    IntVariables[vx] = x;
    IntVariables[vy] = y;
    ClampIntVars();
}

// The pixel position of a cell of the page.
static void CellPosition(int32_t column, int32_t line, int32_t* x, int32_t* y) {
    if (VerticalText) {
        *x = (TextColumns - line - 1) * TextCharAdvance + TextOriginX;
        *y = column * TextLineAdvance + TextOriginY;
    } else {
        *x = column * TextCharAdvance + TextOriginX;
        *y = line * TextLineAdvance + TextOriginY;
    }
}

void Cmd_getcursorpos() {
    int vx, vy;
    TwoIntTargets("getcursorpos", &vx, &vy);
    int32_t x, y;
    CellPosition(TextCursorColumn, TextCursorLine, &x, &y);
    StoreTwo(vx, vy, x, y);
}

void Cmd_getcursorpos2() {
    int vx, vy;
    TwoIntTargets("getcursorpos2", &vx, &vy);
    int32_t x, y;
    CellPosition(LastCharColumn, LastCharLine, &x, &y);
    StoreTwo(vx, vy, x, y);
}

void Cmd_getnextline() {
    if (SkipBlanks() != '%') ScriptError(CapSyntax, MsgGetnextlineArgs);
    ReadPosition++;
    int vx = ReadIntVarNumber();
    ExpectComma();
    if (SkipBlanks() != '%') ScriptError(CapSyntax, MsgGetnextlineArgs);
    ReadPosition++;
    int vy = ReadIntVarNumber(TargetNumberExpr);
    StoreTwo(vx, vy, TextOriginX, (TextCursorLine + 1) * TextLineAdvance + TextOriginY);
}

static int StrTarget(const char* message) {
    if (SkipBlanks() != '$') ScriptError(CapSyntax, message);
    ReadPosition++;
    return ReadStrVarNumber();
}

// gettext $v: the page being written without its newlines and '\' bytes
// (a second byte that is '\' stays with its character).
void Cmd_gettext() {
    int v = StrTarget(MsgGettextArg);
    const char* s = BacklogPageText();
    std::string out;
    for (size_t i = 0; s[i];) {
        unsigned char c = (unsigned char)s[i];
        if (IsSjisLead(c) && s[i + 1]) {
            out.append(s + i, 2);
            i += 2;
            continue;
        }
        if (c != '\n' && c != '\\') out.push_back((char)c);
        i++;
    }
    AssignString(&StrVariables[v], out.c_str());
}

// toplain $v, text: display controls removed; ruby keeps its base.
void Cmd_toplain() {
    int v = StrTarget(MsgToplainArg);
    ExpectComma();
    std::string buffer(StrValueSize, '\0');
    ReadStrExpr(&buffer[0], StrValueSize);
    const char* s = buffer.c_str();
    std::string out;
    for (size_t i = 0; s[i];) {
        unsigned char c = (unsigned char)s[i];
        if (IsSjisLead(c) && s[i + 1]) {
            out.append(s + i, 2);
            i += 2;
        } else if (c == '\\') {
            i++;
        } else if (c == '(') {
            i++;
            while (s[i] && s[i] != '/') out.push_back(s[i++]);
            if (!s[i]) ScriptError(CapError, MsgRubyForm);
            while (s[i] && s[i] != ')') i++;
            if (!s[i]) ScriptError(CapError, MsgRubyForm);
            i++;
        } else {
            out.push_back((char)c);
            i++;
        }
    }
    AssignString(&StrVariables[v], out.c_str());
}

void Cmd_getwindowsize() {
    int vw, vh;
    TwoIntTargets("getwindowsize", &vw, &vh);
    StoreTwo(vw, vh, ScreenWidth, ScreenHeight);
}

void Cmd_defaultspeed() {
    int32_t v[3];
    for (int i = 0; i < 3; i++) {
        if (i) ExpectComma();
        v[i] = ReadIntExpr();
    }
    for (int i = 0; i < 3; i++) TextSpeeds[i] = v[i];
}

void Cmd_settextspeed() {
    int32_t lo = ReadIntExpr();
    ExpectComma();
    int32_t hi = ReadIntExpr();
    TextSpeedDialogMin = lo;
    TextSpeedDialogMax = hi;
}

void Cmd_textspeed() {
    SkipBlanks();
    TextSpeed = ReadIntExpr();
}

void Cmd_textspeeddefault() { TextSpeed = TextSpeedDialogInMenu ? TextSpeeds[0] : -1; }

void Cmd_linepage() { LinePageOn = 1; }

void Cmd_linepage2() {
    LinePage2On = 1;
    ClickstrLines = ReadIntExpr();
}

void Cmd_zenkakko() { ZenkakkoOn = 1; }
