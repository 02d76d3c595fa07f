// display_commands.cpp - the commands of the text display and ruby: puttext,
// br, indent, clickstr, clickskippage, kinsoku, setkinsoku, addkinsoku,
// linkcolor, textgosub, pretextgosub, texec, texec2, ispage, rubyon,
// rubyon2, rubyoff.
#include "text/display_commands.h"

#include <cstring>
#include <string>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/variables.h"
#include "save/journal.h"
#include "text/backlog.h"
#include "text/display.h"
#include "text/display_messages.h"
#include "text/kinsoku.h"
#include "text/ruby.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/input_state.h"

// A string operand (StrValueSize bytes at most).
struct StrOperand {
    std::string bytes = std::string(StrValueSize, '\0');
    const char* Read() {
        ReadStrExpr(&bytes[0], StrValueSize);
        return bytes.c_str();
    }
};

// puttext text
void Cmd_puttext() {
    StrOperand text;
    DisplayText(text.Read());
    if (MenuResetRequested) ResetToStart();
}

void Cmd_br() { NewTextLine(); }

void Cmd_indent() { IndentWidth = ReadIntExpr(); }

// clickstr characters, lines: a list that does not fit is refused.
void Cmd_clickstr() {
    StrOperand chars;
    const char* s = chars.Read();
    ExpectComma();
    int32_t lines = ReadIntExpr();
    if (strlen(s) >= ClickstrSize) ScriptError(CapError, MsgClickstrLong);
    strcpy(ClickstrChars, s);
    ClickstrLines = lines;
}

void Cmd_clickskippage() { ClickSkipsPage = 1; }

void Cmd_kinsoku() {
    char word[WordBufferSize];
    SkipBlanks();
    ReadWord(word);
    if (strcmp(word, "on") == 0)
        KinsokuOff = 0;
    else if (strcmp(word, "off") == 0)
        KinsokuOff = 1;
    else
        ScriptError(CapError, MsgKinsokuWord);
}

static void KinsokuLists(bool append) {
    StrOperand start, end;
    const char* a = start.Read();
    ExpectComma();
    const char* b = end.Read();
    // Both lists are checked before either changes.
    char newStart[KinsokuListSize], newEnd[KinsokuListSize];
    memcpy(newStart, KinsokuStart, sizeof newStart);
    memcpy(newEnd, KinsokuEnd, sizeof newEnd);
    if (!SetKinsokuList(newStart, a, append) || !SetKinsokuList(newEnd, b, append))
        ScriptError(CapError, MsgKinsokuLong);
    memcpy(KinsokuStart, newStart, sizeof newStart);
    memcpy(KinsokuEnd, newEnd, sizeof newEnd);
}

void Cmd_setkinsoku() { KinsokuLists(false); }
void Cmd_addkinsoku() { KinsokuLists(true); }

void Cmd_linkcolor() {
    SkipBlanks();
    uint32_t normal = ReadColor();
    ExpectComma();
    SkipBlanks();
    uint32_t highlight = ReadColor();
    LinkColors[0] = normal;
    LinkColors[1] = highlight;
}

void Cmd_textgosub() {
    ReadLabelOperand(TextGosubLabel);
    TextGosubOn = 1;
}

void Cmd_pretextgosub() {
    ReadLabelOperand(PreTextGosubLabel);
    TagModeOn = 1;
}

// texec and texec2: the textgosub routine completes the wait it was handed.
static void CompleteHandedWait(bool page_later) {
    if (!TextGosubWaitPending) return;
    TextGosubWaitPending = 0;
    if (TextGosubWaitKind == 0) {
        if (TextGosubAtLineEnd && TextCursorColumn != 0) NewTextLine();
        return;
    }
    if (page_later) {
        NewPageBeforeText = 1;
        return;
    }
    TextCursorColumn = 0;
    TextCursorLine = 0;
    CommitBacklogPage();
    ClearTextPage();
}

void Cmd_texec() { CompleteHandedWait(false); }
void Cmd_texec2() { CompleteHandedWait(true); }

void Cmd_ispage() {
    int v = ReadIntTarget("ispage", SufOnlyInt);
    StoreIntVar(v, TextGosubWaitKind);
}

// rubyon [w, h[, face]]; alone on its line: half the text font, its face.
static void RubyCommand(int32_t* flag) {
    *flag = 1;
    const char* s = ScriptBuffer;
    int p = ReadPosition;
    while (s[p] == ' ' || s[p] == '\t' || s[p] == ':' || s[p] == ';') p++;
    if (s[p] == '\n' || s[p] == '\r' || s[p] == 0) {
        RubyFontWidth = RubyFontHeight = -1;
        RubyFontFace[0] = 0;
        return;
    }
    int32_t w = ReadIntExpr();
    ExpectComma();
    int32_t h = ReadIntExpr();
    RubyFontWidth = w;
    RubyFontHeight = h;
    RubyFontFace[0] = 0;
    if (SkipBlanks() == ',') {
        ExpectComma();
        StrOperand face;
        const char* f = face.Read();
        if (strlen(f) >= RubyFaceSize) ScriptError(CapError, MsgRubyFaceLong);
        strcpy(RubyFontFace, f);
    }
}

void Cmd_rubyon() { RubyCommand(&RubyOn); }
void Cmd_rubyon2() { RubyCommand(&RubyPerLine); }
void Cmd_rubyoff() { RubyOn = RubyPerLine = 0; }
