// rmenu_commands.cpp - rmode, rgosub, rlookback, roff, rmenu and systemcall.
#include "ui/rmenu_commands.h"

#include <cstring>
#include <vector>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "ui/input_state.h"
#include "ui/mainwindow.h"
#include "ui/select_messages.h"
#include "ui/system_actions.h"

void Cmd_rmode() { RightClickOn = ReadIntExpr(); }

void Cmd_rgosub() {
    char label[WordBufferSize];
    ReadLabelOperand(label);
    static_assert((int)WordBufferSize <= (int)RightGosubLabelSize, "a label fits");
    memcpy(RightGosubLabel, label, WordBufferSize);
    RightClickMode = RightGosub;
}

void Cmd_rlookback() { RightClickMode = RightLookback; }
void Cmd_roff() { RightClickMode = RightNothing; }

struct ActionWord {
    const char* word;
    int32_t action;
};

static const ActionWord RmenuWords[] = {
    {"lookback", ActionLookback}, {"lookback2", ActionLookback2}, {"windowerase", ActionWindowErase},
    {"reset", ActionReset},       {"resetdlg", ActionResetBox},   {"skip", ActionSkip},
    {"load", ActionLoad},         {"save", ActionSave},           {"end", ActionEnd},
};

// rmenu caption, keyword, caption, keyword ... to the end of the line.
void Cmd_rmenu() {
    std::vector<char> caption(StrValueSize);
    char word[WordBufferSize];
    int32_t count = 0;
    for (;;) {
        ReadStrExpr(caption.data(), StrValueSize);
        ExpectComma();
        ReadWord(word);
        int32_t action = -1;
        for (const ActionWord& w : RmenuWords)
            if (strcmp(word, w.word) == 0) action = w.action;
        if (action < 0) ScriptError(CapError, MsgRmenuBad);
        if (count >= RmenuLimit) ScriptError(CapError, MsgRmenuTooMany);
        if (strlen(caption.data()) >= RmenuTextSize) ScriptError(CapError, MsgChoiceTooLong);
        strcpy(RmenuTexts[count], caption.data());
        RmenuActions[count] = action;
        count++;
        RmenuCount = count;
        if (SkipBlanks() != ',') break;
        ReadPosition++;
    }
    RightClickMode = RightMenu;
}

static const ActionWord SystemcallWords[] = {
    {"lookback", ActionLookback}, {"windowerase", ActionWindowErase}, {"reset", ActionReset},
    {"resetdlg", ActionResetBox}, {"skip", ActionSkip},               {"load", ActionLoad},
    {"save", ActionSave},         {"loaddlg", ActionLoadDialog},      {"savedlg", ActionSaveDialog},
    {"rmenu", ActionRightClick},
};

void Cmd_systemcall() {
    PlatRemoveAll(WM_LBUTTONUP);
    char word[WordBufferSize];
    ReadWord(word);
    bool automode = strcmp(word, "automode") == 0;
    int32_t action = -2;
    for (const ActionWord& w : SystemcallWords)
        if (strcmp(word, w.word) == 0) action = w.action;
    if (!automode && action == -2) ScriptError(CapError, MsgSystemcallBad);
    if (action == ActionSaveDialog) {
        // A string operand and a comma follow; they are read and not used.
        std::vector<char> unused(StrValueSize);
        if (SkipBlanks() == ',') ReadPosition++;
        char c = SkipBlanks();
        if (c && c != '\n' && c != ':' && c != ';' && c != ',') ReadStrExpr(unused.data(), StrValueSize);
        if (SkipBlanks() == ',') ReadPosition++;
    }
    struct Active {
        Active() { SystemCallActive = 1; }
        ~Active() { SystemCallActive = 0; }
    } active;
    if (automode)
        PlatSendMessage(WM_COMMAND, CmdAutoMode, 0);
    else
        RunSystemAction(action);
    if (MenuResetRequested) {
        SystemCallActive = 0;
        ResetToStart();
        return;
    }
    if (GameLoaded) GameLoaded = 0;
}
