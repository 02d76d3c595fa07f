// display.cpp - DisplayText: one text shown in the text window cell by cell
// at the text speed, with its in-text controls, the line-break rules, ruby,
// text buttons, clickstr, the click and page waits (or their hand-over to
// the textgosub routine) and the backlog page.
#include "text/display.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/debug.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/startup.h"
#include "core/variables.h"
#include "graphics/anim.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "text/backlog.h"
#include "text/clickwait.h"
#include "text/display_messages.h"
#include "text/glyph.h"
#include "text/kinsoku.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/timedwait.h"
#include "ui/window_links.h"

int TagModeOn = 0;
char PreTextGosubLabel[256] = "";
int TagHandled = 0;
int ZenkakkoOn = 0;
int LuaTextHooksOn = 0;
int TextGosubOn = 0;
int PageTagMode = 0;
int LinePageOn = 0;
int LinePage2On = 0;
int NewPageBeforeText = 0;
int EnglishMode = 0;
int ClickstrLines = 0;

int32_t TextSpeeds[3] = {40, 10, 0};
int32_t TextSpeedDialogInMenu = 0;
int32_t TextSpeedDialogMin = 0, TextSpeedDialogMax = 100;  // settextspeed changes them
char ClickstrChars[ClickstrSize] = "";
int32_t ClickSkipsPage = 0;
int32_t IndentWidth = 0;
char TextGosubLabel[TextGosubLabelSize] = "";
int32_t TextGosubWaitPending = 0, TextGosubWaitKind = 0, TextGosubAtLineEnd = 0;
int32_t LastCharColumn = 0, LastCharLine = 0;
uint32_t LinkColors[2] = {0xFFFF00, 0x88FFFF};
TextButtonEntry TextButtons[TextButtonMax];

enum { LookAheadMax = 128, NoButton = -2000 };

void ResetTextDisplay() {
    KinsokuOff = 0;
    IndentWidth = 0;
    TextGosubWaitPending = 0;
    TextGosubAtLineEnd = 0;
    LastCharColumn = LastCharLine = 0;
}

void SetDisplayPassDefaults() {
    LinkColors[0] = 0xFFFF00;
    LinkColors[1] = 0x88FFFF;
    TextSpeeds[0] = 40;
    TextSpeeds[1] = 10;
    TextSpeeds[2] = 0;
}

// ---- line breaks -----------------------------------------------------------------

static int LineLimit() { return VerticalText ? TextColumns : TextRows; }

void WrapTextLine() {
    TextCursorColumn = 0;
    TextCursorLine++;
    if (TextCursorLine >= LineLimit()) ScriptError(CapError, MsgPageFull);
}

void NewTextLine() {
    BacklogAppend("\n", 1);
    WrapTextLine();
}

void IndentLine() {
    if (IndentWidth <= 0) return;
    BacklogAppend("\n", 1);
    for (int32_t i = 0; i < IndentWidth; i++) BacklogAppend(TxtFullSpace, 2);
    TextCursorColumn += IndentWidth;
}

// ---- assignments in text -----------------------------------------------------------

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A plain decimal number at text[*p] (sign allowed), without any clamp.
static int32_t PlainNumber(const char* text, int* p, bool* any) {
    int q = *p;
    bool neg = false;
    if (text[q] == '-' || text[q] == '+') neg = text[q++] == '-';
    int64_t v = 0;
    *any = false;
    while (text[q] >= '0' && text[q] <= '9') {
        v = v * 10 + (text[q++] - '0');
        if (v > 0xFFFFFFFFll) v = 0xFFFFFFFFll;  // wraps like a 32-bit conversion
        *any = true;
    }
    *p = q;
    return (int32_t)(uint32_t)(neg ? (uint64_t)-v : (uint64_t)v);
}

int ApplyTextAssignments(const char* text, int pos) {
    int p = pos + 1;
    for (;;) {
        while (IsBlank(text[p])) p++;
        char c = text[p];
        if (c == '}' || c == 0) return p;
        if (c != '$' && c != '%') ScriptError(CapError, MsgBraceBad);
        p++;
        bool any;
        int32_t n = PlainNumber(text, &p, &any);
        if (!any || text[p] != ',') ScriptError(CapError, MsgBraceBad);
        p++;
        if (c == '$') {
            if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgStrVarRange);
            int start = p;
            while (text[p] && text[p] != ',' && text[p] != '}')
                p += IsSjisLead((unsigned char)text[p]) && text[p + 1] ? 2 : 1;
            std::string value(text + start, (size_t)(p - start));
            AssignString(&StrVariables[n], value.c_str());
        } else {
            if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgVarRange);
            IntVariables[n] = PlainNumber(text, &p, &any);
        }
        while (IsBlank(text[p])) p++;
        if (text[p] == ',') {
            p++;
            continue;
        }
        if (text[p] == '}' || text[p] == 0) return p;
        ScriptError(CapError, MsgBraceBad);
    }
}

// ---- one display -------------------------------------------------------------------

enum RubyState { RubyNone, RubyBase, RubyText };

struct Display {
    const char* t;
    const int* resume;  // per byte: the script offset behind it, or null
    int i;
    int32_t x, y;
    bool ruby;          // the text reserves room for ruby
    int32_t rw, rh;     // ruby glyph size
    bool instant;
    bool restInstant;   // a click during this text: the rest without delay
    bool pageCleared;
    bool exempt;        // '_': the next cell is no clickstr wait
    uint32_t color;
    RubyState rubyState;
    int32_t rubyX, rubyY, rubyExcess, rubyBase;
    int rubyTextStart, rubyTextEnd;
    int button;         // index of the open text button, -1 none
};

static uint32_t CurrentTextColor() {
    return ((uint32_t)TextColorRed & 255) << 16 | ((uint32_t)TextColorGreen & 255) << 8 |
           ((uint32_t)TextColorBlue & 255);
}

static void SetTextColor(Display& d, uint32_t c) {
    TextColorRed = (int32_t)(c >> 16 & 255);
    TextColorGreen = (int32_t)(c >> 8 & 255);
    TextColorBlue = (int32_t)(c & 255);
    d.color = c;
}

// The pen for the cursor, as at the start of a text.
static void PenFromCursor(Display& d) {
    if (VerticalText) {
        d.x = TextOriginX + TextCharAdvance * (TextColumns - TextCursorLine - 1);
        d.y = TextOriginY + TextLineAdvance * TextCursorColumn;
        if (d.ruby) d.x += TextFontWidth - TextCharAdvance;
        return;
    }
    d.x = TextOriginX + TextCharAdvance * TextCursorColumn;
    d.y = TextOriginY + TextLineAdvance * TextCursorLine;
    if (d.ruby) {
        d.y += TextLineAdvance - TextFontHeight;
        if (RubyPerLine) d.y += d.rh;
    }
}

// The pen after a wrap.
static void PenAfterWrap(Display& d) {
    if (VerticalText || !d.ruby || !RubyPerLine) {
        PenFromCursor(d);
        return;
    }
    d.x = TextOriginX + TextCharAdvance * TextCursorColumn;
    d.y = TextOriginY + (TextLineAdvance + d.rh) * TextCursorLine + d.rh;
}

static void Wrap(Display& d) {
    WrapTextLine();
    IndentLine();
    PenAfterWrap(d);
}

// The window rectangle on the screen; false when it is empty.
static bool WindowArea(ScreenRect* r) {
    r->left = TextWindowLeft < 0 ? 0 : TextWindowLeft;
    r->top = TextWindowTop < 0 ? 0 : TextWindowTop;
    r->right = TextWindowRight > ScreenWidth - 1 ? ScreenWidth - 1 : TextWindowRight;
    r->bottom = TextWindowBottom > ScreenHeight - 1 ? ScreenHeight - 1 : TextWindowBottom;
    return r->right >= r->left && r->bottom >= r->top;
}

static void PaintTextWindow() {
    ScreenRect r;
    if (WindowArea(&r)) DrawDestToWindow(&r);
}

static void PaintCell(int32_t x, int32_t y) {
    int32_t w = TextFontWidth, h = TextFontHeight;
    if (ShadeDistanceOn) {
        w += ShadeDistanceX;
        h += ShadeDistanceY;
    }
    ScreenRect r;
    r.left = x < 0 ? 0 : x;
    r.top = y < 0 ? 0 : y;
    r.right = x + w > ScreenWidth - 1 ? ScreenWidth - 1 : x + w;
    r.bottom = y + h > ScreenHeight - 1 ? ScreenHeight - 1 : y + h;
    if (r.right >= r.left && r.bottom >= r.top) DrawDestToWindow(&r);
}

// A right-click gosub, a reset or a game loaded by the system menu ends the
// display (the loaded game goes on where it was saved).
static bool Interrupted() {
    if (GameLoaded) {
        GameLoaded = 0;
        return true;
    }
    return RightGosubTaken || MenuResetRequested || ResetRequested;
}

// Hands a wait over to the textgosub routine (kind 0 click, 1 page).
static void HandOver(int32_t kind) {
    TextGosubWaitKind = kind;
    TextGosubWaitPending = 1;
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgTextGosubStack);
    InTextGosub = 1;
    TextGosubDepth = CallStackDepth;
    CallStack[CallStackDepth++] = ReadPosition;
    if (kind == 0) TextGosubAtLineEnd = ScriptBuffer[ReadPosition] == '\n';
    JumpToLabel(TextGosubLabel);
}

// '@': false when the display ends here.
static bool ClickWaitInText(Display& d) {
    if (RestOfPageInstant) return true;
    if (d.instant) PaintTextWindow();
    if (PageAtATime || !TextModeOn) return true;
    d.restInstant = false;
    if (TextGosubOn) {
        HandOver(0);
        return false;
    }
    PlaceWaitCursor(1, d.x, d.y);
    RightGosubWaitKind = 0;
    ClickWait();
    SelectTextGlyphFont();
    return !Interrupted();
}

// '\': false when the display ends here.
static bool PageWaitInText(Display& d) {
    RestOfPageInstant = 0;
    VerticalText = VerticalTextNext;
    if (!TextModeOn) return true;
    if (d.instant) PaintTextWindow();
    d.restInstant = false;
    if (TextGosubOn) {
        HandOver(1);
        return false;
    }
    PlaceWaitCursor(2, d.x, d.y);
    RightGosubWaitKind = 1;
    ClickWait();
    SelectTextGlyphFont();
    if (Interrupted()) return false;
    CommitBacklogPage();
    ClearTextPage();
    PenFromCursor(d);
    d.pageCleared = true;
    return true;
}

// The character delay after a cell: ends early on a click, the skip key or
// Enter, which also show the rest of the text (of the page, with
// clickskippage) at once.  Clicked stays set for the next click wait.
static void CharacterDelay(Display& d, uint32_t start) {
    int32_t delay = TextSpeed == -1 ? TextSpeeds[TextSpeedIndex < 0 || TextSpeedIndex > 2 ? 1 : TextSpeedIndex]
                                    : TextSpeed;
    while ((int64_t)(uint32_t)(PlatTicks() - start) < (int64_t)delay && !d.restInstant && !SkipMode) {
        bool handled = PumpMessageOrIdle(MsLeft(delay, PlatTicks() - start));
        if ((handled && Clicked) || IsSkipKeyDown() || (handled && LastMessage == WM_CHAR && LastX == 13)) {
            d.restInstant = true;
            if (ClickSkipsPage) RestOfPageInstant = 1;
            break;
        }
        AdvanceAnimation();
    }
}

// Finds the ruby group's '/' and ')' after the '(' at pos, within the text.
static bool FindRubyGroup(const char* t, int pos, int* slash, int* close) {
    int p = pos + 1;
    while (t[p] && t[p] != '/') p++;
    if (!t[p]) return false;
    *slash = p;
    p++;
    while (t[p] && t[p] != ')') p++;
    if (!t[p]) return false;
    *close = p;
    return true;
}

static void BeginRuby(Display& d) {
    int slash, close;
    if (!FindRubyGroup(d.t, d.i, &slash, &close)) {
        // No complete group in this text: the '(' is passed over.
        d.i++;
        return;
    }
    BacklogAppend("(", 1);
    int32_t w = (slash - d.i - 1) / 2, n = (close - slash - 1) / 2;
    d.rubyX = d.x;
    d.rubyY = d.y;
    int32_t e = 0;
    if (!VerticalText) {
        int64_t p = (int64_t)n * d.rw;
        int64_t lineEnd = (int64_t)TextCharAdvance * TextColumns + TextOriginX;
        if ((int64_t)w * TextCharAdvance < p) {
            if (d.x + TextCharAdvance + p >= lineEnd) {
                Wrap(d);
                d.rubyX = d.x;
                d.rubyY = d.y;
            }
            e = RubyExcess(w, n, d.rw, d.rh, TextFontWidth, TextFontHeight, false);
            d.x += e / 2;
        } else if ((int64_t)TextCharAdvance * (w + 1) + d.x >= lineEnd) {
            Wrap(d);
            d.rubyX = d.x;
            d.rubyY = d.y;
        }
    } else {
        e = RubyExcess(w, n, d.rw, d.rh, TextFontWidth, TextFontHeight, true);
        d.y += e / 2;
    }
    d.rubyExcess = e;
    d.rubyBase = w;
    d.rubyState = RubyBase;
    d.i++;
}

static void EndRuby(Display& d) {
    BacklogAppend(")", 1);
    int32_t e = d.rubyExcess;
    if (TextCharAdvance > 0) TextCursorColumn += e / TextCharAdvance;
    if (VerticalText)
        d.y += e / 2;
    else
        d.x += e / 2;
    if (d.rubyState == RubyText)
        DrawRubyToScreen(d.t + d.rubyTextStart, d.i - d.rubyTextStart, d.rubyX, d.rubyY, d.color);
    d.rubyState = RubyNone;
    d.i++;
}

static void BeginButton(Display& d) {
    int p = d.i + 1;
    int32_t number;
    if (d.t[p] >= '0' && d.t[p] <= '9') {
        bool any;
        number = PlainNumber(d.t, &p, &any);
        TextButtonNext = number;
    } else {
        number = TextButtonNext == NoButton ? TextButtonStart : TextButtonNext;
        TextButtonNext = number + 1;
    }
    d.i = p;
    d.button = -1;
    if (TextButtonCount >= TextButtonMax) return;  // the table is full: plain text
    TextButtonEntry& b = TextButtons[TextButtonCount];
    b.number = number;
    b.left = d.x;
    b.top = d.y;
    b.right = d.x;
    int n = 0;
    for (int q = p; d.t[q] && d.t[q] != '>' && d.t[q + 1] && n + 2 < TextButtonTextSize; q += 2) {
        b.text[n++] = d.t[q];
        b.text[n++] = d.t[q + 1];
    }
    b.text[n] = 0;
    d.button = TextButtonCount;
    d.color = LinkColors[0];
}

static void EndButton(Display& d) {
    d.i++;
    if (d.button < 0) return;
    TextButtonEntry& b = TextButtons[d.button];
    b.right = d.x - 1 < TextOriginX ? TextCharAdvance * TextColumns + TextOriginX - 1 : d.x - 1;
    TextButtonCount++;
    d.button = -1;
    d.color = CurrentTextColor();
}

// Look-ahead after a cell: the double-byte characters that follow (ruby
// base characters standing in as "may not end a line") and whether a wait
// comes before any of them.
static int LookAhead(const Display& d, unsigned short* chars, bool* waitAhead) {
    const unsigned char* t = (const unsigned char*)d.t;
    int j = d.i, n = 0;
    RubyState rs = d.rubyState;
    *waitAhead = false;
    const unsigned char* endList = (const unsigned char*)KinsokuEnd;
    for (int pos = 0; pos < LookAheadMax && t[j]; pos++) {
        unsigned char c = t[j];
        if (!EnglishMode && c == '(') rs = RubyBase;
        else if (!EnglishMode && c == '/') rs = RubyText;
        else if (!EnglishMode && c == ')') rs = RubyNone;
        else if ((c == '@' || c == '\\') && n == 0) *waitAhead = true;
        if (IsSjisLead(c) && t[j + 1]) {
            if (rs != RubyText) {
                unsigned short ch = (unsigned short)(c << 8 | t[j + 1]);
                if (rs == RubyBase && endList[0] && endList[1])
                    ch = (unsigned short)(endList[0] << 8 | endList[1]);
                chars[n++] = ch;
            }
            j += 2;
        } else {
            j++;
        }
    }
    return n;
}

// One cell at d.i; false when the display ends.
static bool Cell(Display& d) {
    const char* t = d.t;
    unsigned char b1 = (unsigned char)t[d.i], b2 = (unsigned char)t[d.i + 1];
    if (d.rubyState == RubyText) {
        if (!b2) return false;
        BacklogAppend(t + d.i, 2);
        d.i += 2;
        return true;
    }
    if (!TextModeOn) ScriptError(CapErrorBang, MsgTextModeOff);
    int32_t x = d.x, y = d.y, w = TextFontWidth, h = TextFontHeight;
    if (x < 0 || y < 0 || x + w >= ScreenWidth || y + h >= ScreenHeight || x < TextWindowLeft ||
        y < TextWindowTop || x + w >= TextWindowRight || y + h >= TextWindowBottom)
        ScriptError(CapErrorBang, MsgCellOutside);
    if (!b2) return false;
    BacklogAppend(t + d.i, 2);
    uint32_t start = PlatTicks();
    char cell[3] = {(char)b1, (char)b2, 0};
    DrawGlyphCell(cell, x, y, w, h, d.color, TextBold != 0, TextShadow != 0);
    if (!d.instant) {
        PaintCell(x, y);
        if (!RestOfPageInstant) CharacterDelay(d, start);
    }
    LastCharLine = TextCursorLine;
    LastCharColumn = TextCursorColumn;
    d.i += 2;

    unsigned short chars[LookAheadMax];
    bool waitAhead;
    int n = LookAhead(d, chars, &waitAhead);
    if (VerticalText)
        d.y += TextLineAdvance;
    else
        d.x += TextCharAdvance;
    TextCursorColumn++;
    int32_t k = KinsokuKeep(chars, n);
    bool wrap = VerticalText
                    ? (int64_t)d.y + (int64_t)TextLineAdvance * k > (int64_t)TextOriginY + (int64_t)TextLineAdvance * (TextRows - 1)
                    : (int64_t)d.x + (int64_t)TextCharAdvance * k > (int64_t)TextOriginX + (int64_t)TextCharAdvance * (TextColumns - 1);
    if (wrap) Wrap(d);

    bool exempt = d.exempt;
    d.exempt = false;
    d.pageCleared = false;
    if (n > 0 && InKinsokuList(ClickstrChars, (unsigned char)(chars[0] >> 8), (unsigned char)chars[0]))
        return true;  // a run of clickstr characters waits after its last one
    if (waitAhead || exempt || !InKinsokuList(ClickstrChars, b1, b2)) return true;
    // The rest of the line is read again when the textgosub routine returns.
    if (TextGosubOn && d.resume) ReadPosition = d.resume[d.i - 1];
    if (TextCursorLine >= TextRows - ClickstrLines) return PageWaitInText(d);
    return ClickWaitInText(d);
}

// The number after '!d', '!w' or '!s': digits, or a numeric variable '%N'
// that the interpreter loop left for the display.
static int32_t Digits(const char* t, int* p) {
    bool any;
    if (t[*p] == '%') {
        ++*p;
        int32_t n = PlainNumber(t, p, &any);
        return n >= 0 && n < VariableCount ? IntVariables[n] : 0;
    }
    return PlainNumber(t, p, &any);
}

static bool NumberFollows(const char* t, int p) {
    return (t[p] >= '0' && t[p] <= '9') || (t[p] == '%' && t[p + 1] >= '0' && t[p + 1] <= '9');
}

void DisplayText(const char* text, const int* resume) {
    Display d{};
    d.t = text;
    d.resume = resume;
    d.button = -1;
    d.ruby = !EnglishMode && (RubyOn || (RubyPerLine && strchr(text, '(')));
    RubyGlyphSize(TextFontWidth, TextFontHeight, &d.rw, &d.rh);
    if (TextCursorColumn == 0 && TextCursorLine == 0) VerticalText = VerticalTextNext;
    // A game loaded before this text must not cut its first wait short.
    GameLoaded = 0;
    if (DebugMode) {
        if (SkipMode || IsSkipKeyDown())
            PlatSetCaption("---");
        else
            ShowDebugPosition();
    }
    TextGosubAtLineEnd = 0;
    DisplayedCharCount = (int32_t)(strlen(text) / 2);
    PenFromCursor(d);
    ScreenRect area;
    if (!WindowArea(&area)) return;
    if (!TextWindowShown) ShowTextWindow();
    SelectTextGlyphFont();
    d.instant = TextSpeed == 0 || (TextSpeed == -1 && TextSpeeds[TextSpeedIndex < 0 || TextSpeedIndex > 2 ? 1 : TextSpeedIndex] == 0);
    d.color = CurrentTextColor();

    for (;;) {
        const char* t = d.t;
        unsigned char c = (unsigned char)t[d.i];
        if (c == 0) {
            if (!d.pageCleared && TextCursorColumn != 0) NewTextLine();
            if (d.instant) PaintTextWindow();
            return;
        }
        if (c == '\t') {
            d.i++;
            continue;
        }
        bool english = EnglishMode != 0;
        if (c == ' ' && !english) {
            d.i++;
            continue;
        }
        if (c == '@') {
            d.i++;
            if (!ClickWaitInText(d)) return;
            continue;
        }
        if (c == '\\') {
            d.i++;
            if (!PageWaitInText(d)) return;
            continue;
        }
        if (c == '_') {
            d.exempt = true;
            d.i++;
            if (t[d.i] == '@' || t[d.i] == '\\') {
                d.i++;
                d.exempt = false;
            }
            continue;
        }
        if (!english && !IsSjisLead(c)) {
            if (c == '!') {
                char k = t[d.i + 1];
                int p = d.i + 2;
                if ((k == 'd' || k == 'w') && NumberFollows(t, p)) {
                    int32_t ms = Digits(t, &p);
                    d.i = p;
                    if (d.instant) PaintTextWindow();
                    TimedWait(ms, k == 'd');
                    continue;
                }
                if (k == 's' && t[p] == 'd') {
                    TextSpeed = TextSpeedDialogInMenu ? TextSpeeds[0] : -1;
                    d.i = p + 1;
                    continue;
                }
                if (k == 's' && NumberFollows(t, p)) {
                    TextSpeed = Digits(t, &p);
                    d.i = p;
                    continue;
                }
                d.i++;
                continue;
            }
            if (c == '#') {
                SetTextColor(d, ParseHexColor(t + d.i + 1));
                d.i += 7;
                continue;
            }
            if (c == '&' && t[d.i + 1] >= '0' && t[d.i + 1] <= '9') {
                int p = d.i + 1;
                int32_t n = Digits(t, &p);
                d.i = p;
                // Numbers past the table leave the colour as it is.
                if (n >= 0 && n < 256) SetTextColor(d, TextColorTable[n]);
                continue;
            }
            if (c == '(') {
                BeginRuby(d);
                continue;
            }
            if (c == '/') {
                if (d.rubyState == RubyBase) {
                    RubyBaseExtent = d.rubyBase * TextCharAdvance + d.rubyExcess;
                    BacklogAppend("/", 1);
                    d.rubyState = RubyText;
                    d.i++;
                    d.rubyTextStart = d.i;
                    continue;
                }
                if (t[d.i + 1] != 0) ScriptError(CapError, MsgSlashNotLast);
                if (d.instant) PaintTextWindow();
                return;
            }
            if (c == ')') {
                if (d.rubyState != RubyNone)
                    EndRuby(d);
                else
                    d.i++;
                continue;
            }
            if (c == '<') {
                BeginButton(d);
                continue;
            }
            if (c == '>') {
                EndButton(d);
                continue;
            }
            if (c == '{') {
                d.i = ApplyTextAssignments(t, d.i);
                if (t[d.i] == '}') d.i++;
                continue;
            }
        }
        if (!Cell(d)) return;
    }
}
