// dialog_commands.cpp - the input commands (inputstr, input, inputnum), the
// edit field on the screen (textfield) and the script's message boxes.
#include "ui/dialog_commands.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/return_value.h"
#include "core/script.h"
#include "core/sjis.h"
#include "core/variables.h"
#include "graphics/anim.h"
#include "platform/platform.h"
#include "ui/dialogs.h"
#include "ui/gui_messages.h"
#include "ui/idlewait.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"

// '$N' or '%N' right after blanks, else `message` with `caption`.
static int Target(char sigil, const char* caption, const char* message) {
    if (SkipBlanks() != sigil) ScriptError(caption, message);
    ReadPosition++;
    int32_t n = ReadNumTerm();
    if (n < 0 || n >= VariableCount) ScriptError(CapError, sigil == '$' ? MsgStrVarRange : MsgVarRange);
    return n;
}

// A string operand kept to 255 bytes of whole characters.
static std::string BoundedString() {
    static char buf[StrValueSize];
    ReadStrExpr(buf, sizeof buf);
    size_t n = SjisCutLength(buf, strlen(buf), InputTextSize - 1);
    return std::string(buf, n);
}

// The four optional sizes in points.
static void ReadDialogSizes() {
    InputSizeSet = 0;
    if (SkipBlanks() != ',') return;
    int32_t* sizes[4] = {&InputDialogWidth, &InputDialogHeight, &InputEditWidth, &InputEditHeight};
    for (int32_t* s : sizes) {
        ExpectComma();
        *s = ReadIntExpr();
    }
    InputSizeSet = 1;
}

static void SetPrompt(const std::string& prompt) {
    memcpy(InputText, prompt.data(), prompt.size());
    InputText[prompt.size()] = 0;
}

static void StringInput(const char* message, bool with_default) {
    int v = Target('$', CapSyntax, message);
    ExpectComma();
    std::string prompt = BoundedString();
    ExpectComma();
    InputDefault = with_default ? BoundedString() : std::string();
    if (with_default) ExpectComma();
    InputMaxLength = ReadIntExpr();
    ExpectComma();
    InputFullWidthOnly = ReadIntExpr();
    ReadDialogSizes();
    SetPrompt(prompt);
    RunInputDialog();
    AssignString(&StrVariables[v], InputText);
}

void Cmd_inputstr() { StringInput(MsgInputstrArg, false); }
void Cmd_input() { StringInput(MsgInputArg, true); }

void Cmd_inputnum() {
    int v = Target('%', CapSyntax, MsgInputnumArg);
    ExpectComma();
    std::string prompt = BoundedString();
    ReadDialogSizes();
    InputDefault.clear();
    InputMaxLength = -1;
    InputFullWidthOnly = 0;
    SetPrompt(prompt);
    RunInputDialog();
    long long n = strtoll(InputText, nullptr, 10);
    IntVariables[v] = n > INT32_MAX ? INT32_MAX : n < INT32_MIN ? INT32_MIN : (int32_t)n;
}

// ---- message boxes ------------------------------------------------------------------

// A box of the script: window timer 1 stops while it is open.
static int ScriptBox(uint32_t flags) {
    static char text[StrValueSize], caption[StrValueSize];
    ReadStrExpr(text, sizeof text);
    ExpectComma();
    ReadStrExpr(caption, sizeof caption);
    TrimSjisTail(text);
    TrimSjisTail(caption);
    PlatKillTimer(WindowTimerId);
    int answer = PlatMessageBox(text, caption, flags, true);
    PlatSetTimer(WindowTimerId, WindowTimerPeriod);
    return answer;
}

void Cmd_mesbox() { ScriptBox(MB_OK); }

void Cmd_yesnobox() {
    int v = Target('%', CapSyntax, MsgYesnoboxArg);
    ExpectComma();
    IntVariables[v] = ScriptBox(MB_YESNO) == IDYES ? 1 : 0;
}

void Cmd_okcancelbox() {
    int v = Target('%', CapSyntax, MsgOkcancelboxArg);
    ExpectComma();
    IntVariables[v] = ScriptBox(MB_OKCANCEL) == IDOK ? 1 : 0;
}

// ---- the edit field ----------------------------------------------------------------------

// textfield $s, left, top, right, bottom, font width, font height, full width:
// an edit field on the screen until Enter, Tab (ReturnValue 1), Esc on an
// empty field or a click ends it; s takes its text.
void Cmd_textfield() {
    ReturnValue = 0;
    int v = Target('$', CapError, MsgTextfieldArg);
    int32_t op[7];
    for (int32_t& o : op) {
        ExpectComma();
        o = ReadIntExpr();
    }
    bool full_width = op[6] != 0;
    const char* start = StringText(StrVariables[v]);
    std::string text(start, SjisCutLength(start, strlen(start), InputTextSize - 1));
    PlatTextFieldOpen(op[0], op[1], op[2] - op[0] + 1, op[3] - op[1] + 1, op[4], op[5], text.c_str());
    Clicked = 0;
    bool answered = PlatClickWaitsAnswered();  // headless: one click at once
    for (;;) {
        if (!PumpMessage()) {
            AdvanceAnimation();
            IdleFor(IdleNoLimit, 1);
        }
        // The window going away, a quit or a reset also ends the field.
        if (LastMessage == WM_DESTROY || QuitRequested || ResetRequested) break;
        for (int key; (key = PlatTextFieldKey()) != 0;) {
            if (key == VK_TAB) {
                ReturnValue = 1;
                Clicked = 1;
            } else if (key == VK_RETURN) {
                Clicked = 1;
            } else if (key == VK_ESCAPE) {
                if (!PlatTextFieldText().empty()) PlatTextFieldSetText("");
                else Clicked = 1;
            }
        }
        if (answered) Clicked = 1;
        answered = false;
        if (!Clicked) continue;
        Clicked = 0;
        std::string answer = PlatTextFieldText();
        answer.resize(SjisCutLength(answer.data(), answer.size(), InputTextSize - 1));
        if (full_width && !AllFullWidth(answer)) {
            PlatMessageBox(MsgFullWidthOnly, CapInputString, MB_OK, true);
            PlatTextFieldFocus();
            continue;
        }
        AssignString(&StrVariables[v], answer.c_str());
        break;
    }
    PlatTextFieldClose();
}
