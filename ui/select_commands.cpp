// select_commands.cpp - select, selgosub, selnum, csel, cselgoto,
// getcselnum, getcselstr, nextcsel, selectcolor, menuselectcolor, cselbtn.
#include "ui/select_commands.h"

#include <cstring>
#include <vector>

#include "core/callstack.h"
#include "core/command_targets.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/compose.h"
#include "graphics/effect.h"
#include "save/savepoint.h"
#include "text/textline.h"
#include "text/textwindow.h"
#include "ui/buttons.h"
#include "ui/input_state.h"
#include "ui/select_messages.h"
#include "ui/selections.h"

// Reads "text[, label], text[, label] ..." (line breaks allowed before each
// text and each comma).  Choices with an empty text are dropped with their
// label.  Returns the count kept; more than limit, or a text too long for
// the table, is a fatal error.
static int32_t ReadChoices(int32_t limit, char (*texts)[SelectTextSize], char (*labels)[SelectTextSize]) {
    std::vector<char> text(StrValueSize);
    char label[WordBufferSize];
    int32_t count = 0;
    for (;;) {
        SkipBlanksAndNewlines();
        ReadStrExpr(text.data(), StrValueSize);
        if (labels) {
            SkipBlanksAndNewlines();
            ExpectComma();
            SkipBlanksAndNewlines();
            ReadLabelOperand(label);
        }
        if (text[0]) {
            if (count >= limit) ScriptError(CapError, MsgTooManyChoices);
            if (strlen(text.data()) >= SelectTextSize) ScriptError(CapError, MsgChoiceTooLong);
            strcpy(texts[count], text.data());
            if (labels) {
                static_assert((int)WordBufferSize <= (int)SelectTextSize, "a label fits its slot");
                memcpy(labels[count], label, WordBufferSize);
            }
            count++;
        }
        int32_t at = ReadPosition;
        if (SkipBlanksAndNewlines() != ',') {
            ReadPosition = at;
            return count;
        }
        ReadPosition++;
    }
}

// What ends a selection command early.  true when the command is done.
static bool TakenOver() {
    if (MenuResetRequested) {
        ResetToStart();
        return true;
    }
    if (GameLoaded) {
        GameLoaded = 0;
        return true;
    }
    return false;
}

static int32_t Choose(int32_t count) {
    return SelectionWait(count, TextCursorColumn, TextCursorLine, SelectTexts);
}

static void EndPage() {
    CommitBacklogPage();
    ClearTextPage();
}

void Cmd_select() {
    int32_t count = ReadChoices(SelectLimit, SelectTexts, SelectLabels);
    int32_t i = Choose(count);
    if (RightGosubTaken || TakenOver() || i < 0 || i >= count) return;
    EndPage();
    JumpToLabel(SelectLabels[i]);
}

void Cmd_selgosub() {
    int32_t count = ReadChoices(SelectLimit, SelectTexts, SelectLabels);
    int32_t i = Choose(count);
    if (RightGosubTaken || TakenOver() || i < 0 || i >= count) return;
    EndPage();
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgSelgosubStackFull);
    CallStack[CallStackDepth++] = ReadPosition;
    JumpToLabel(SelectLabels[i]);
}

void Cmd_selnum() {
    if (SkipBlanks() != '%') ScriptError(CapSyntax, MsgSelnumArg);
    ReadPosition++;
    int v = ReadIntVarNumber();
    ExpectComma();
    int32_t count = ReadChoices(SelectLimit, SelectTexts, nullptr);
    int32_t i = Choose(count);
    if (RightGosubTaken) return;
    EndPage();
    if (TakenOver() || i < 0 || i >= count) return;
    IntVariables[v] = i;
    ClampIntVars();
}

void Cmd_csel() {
    CselCount = ReadChoices(CselLimit, CselTexts, SelectLabels);
    SaveOn = 0;
    ComposeScreen(nullptr);
    RunEffect("", EffectInstant, 0, nullptr);
    JumpToLabel("customsel");
}

void Cmd_cselgoto() {
    int32_t i = ReadIntExpr();
    if (i < 0 || i >= CselCount || i >= CselLimit) ScriptError(CapError, MsgCselIndex);
    EndPage();
    JumpToLabel(SelectLabels[i]);
}

void Cmd_getcselnum() {
    if (SkipBlanks() != '%') ScriptError(CapSyntax, MsgGetcselnumArg);
    ReadPosition++;
    int v = ReadIntVarNumber();
    IntVariables[v] = CselCount;
    ClampIntVars();
}

void Cmd_getcselstr() {
    if (SkipBlanks() != '$') ScriptError(CapSyntax, MsgGetcselstrArg);
    ReadPosition++;
    int v = ReadStrVarNumber();
    ExpectComma();
    int32_t i = ReadIntExpr();
    if (i < 0 || i >= CselLimit) ScriptError(CapError, MsgCselIndex);
    AssignString(&StrVariables[v], CselTexts[i]);
}

// nextcsel %v: 1 when the statement the innermost call returns to (past
// blanks, line breaks and comment lines) is csel.  0 outside any call.
void Cmd_nextcsel() {
    if (SkipBlanks() != '%') ScriptError(CapError, MsgNextcselArg);
    ReadPosition++;
    int v = ReadIntVarNumber();
    int32_t found = 0;
    int32_t top = CallStackDepth > 0 && CallStackDepth <= CallStackSize ? CallStack[CallStackDepth - 1] : -1;
    if (top >= 0 && IsScriptPosition(top)) {
        int32_t saved = ReadPosition;
        ReadPosition = top;
        char c = SkipBlanksAndNewlines();
        while (c == ';') {
            while (ScriptBuffer[ReadPosition] && ScriptBuffer[ReadPosition] != '\n') ReadPosition++;
            c = SkipBlanksAndNewlines();
        }
        if (c == 'c' || c == 'C') {
            char word[WordBufferSize];
            ReadWord(word);
            found = strcmp(word, "csel") == 0;
        }
        ReadPosition = saved;
    }
    IntVariables[v] = found;
    ClampIntVars();
}

void Cmd_selectcolor() {
    uint32_t high = ReadColor();
    ExpectComma();
    uint32_t normal = ReadColor();
    SelectColors[0] = high;
    SelectColors[1] = normal;
}

void Cmd_menuselectcolor() {
    uint32_t high = ReadColor();
    ExpectComma();
    uint32_t normal = ReadColor();
    ExpectComma();
    uint32_t unusable = ReadColor();
    MenuSelectColors[0] = high;
    MenuSelectColors[1] = normal;
    MenuSelectColors[2] = unusable;
}

// cselbtn index, number, left, top: the csel text of that index as a
// choice button, sized by its bytes in the text window's cells.
void Cmd_cselbtn() {
    int32_t i = ReadIntExpr();
    ExpectComma();
    int32_t number = ReadIntExpr();
    ExpectComma();
    int32_t left = ReadIntExpr();
    ExpectComma();
    int32_t top = ReadIntExpr();
    if (i < 0 || i >= CselLimit) ScriptError(CapError, MsgCselIndex);
    int32_t length = (int32_t)strlen(CselTexts[i]);
    int32_t width = VerticalText ? TextCharAdvance : length * TextCharAdvance / 2;
    int32_t height = VerticalText ? length * TextLineAdvance / 2 : TextLineAdvance;
    AddButton(number, left, top, width, height, 0, -1 - i);
}
