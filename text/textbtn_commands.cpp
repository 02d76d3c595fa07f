// textbtn_commands.cpp - textbtnstart, textbtnoff, gettextbtnstr and
// erasetextbtn.
#include "text/textbtn_commands.h"

#include "core/core_messages.h"
#include "core/command_targets.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "ui/buttons.h"
#include "text/display.h"
#include "ui/select_messages.h"
#include "text/textbtn.h"
#include "text/textwindow.h"

void Cmd_textbtnstart() { TextButtonStart = ReadIntExpr(); }

void Cmd_textbtnoff() { TextButtonsActive = 0; }

// gettextbtnstr $v, n: the text of the page's first text button numbered n.
void Cmd_gettextbtnstr() {
    if (SkipBlanks() != '$') ScriptError(CapSyntax, MsgGettextbtnstrArg);
    ReadPosition++;
    int v = ReadStrVarNumber();
    ExpectComma();
    int32_t number = ReadIntExpr();
    const char* text = "";
    for (int32_t i = 0; i < TextButtonCount && i < TextButtonMax; i++)
        if (TextButtons[i].number == number) {
            text = TextButtons[i].text;
            break;
        }
    AssignString(&StrVariables[v], text);
}

void Cmd_erasetextbtn() { DrawTextButton(LastTextButton, 0); }
