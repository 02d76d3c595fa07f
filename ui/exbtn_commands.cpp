// exbtn_commands.cpp - the extended-button commands: exbtn,
// cellcheckexbtn, exbtn_d, textexbtn and spstr.
#include "ui/exbtn_commands.h"

#include <string>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "graphics/sprite.h"
#include "graphics/sprite_messages.h"
#include "ui/buttons.h"
#include "ui/exbtn.h"

namespace {
std::string ReadText() {
    std::string buffer(StrValueSize, '\0');
    ReadStrExpr(&buffer[0], StrValueSize);
    return buffer.c_str();
}

void ExtendedButtonCommand(bool needCells) {
    int32_t sprite = ReadIntExpr();
    if (sprite < 0 || sprite >= SpriteCount) ScriptError(CapError, MsgSpriteRange);
    ExpectComma();
    int32_t number = ReadIntExpr();
    ExpectComma();
    std::string text = ReadText();
    const Sprite& s = Sprites[sprite];
    if (!s.tag[0]) return;
    if (needCells && CellCountOf(&s.surface) < 2) return;
    AddSpriteButton(sprite, number, text.c_str());
}
}  // namespace

void Cmd_exbtn() { ExtendedButtonCommand(false); }
void Cmd_cellcheckexbtn() { ExtendedButtonCommand(true); }
void Cmd_exbtn_d() { AssignString(&ExbtnDefault, ReadText().c_str()); }

void Cmd_textexbtn() {
    int32_t number = ReadIntExpr();
    ExpectComma();
    SetTextButtonExbtn(number, ReadText().c_str());
}

void Cmd_spstr() { RunExbtnString(ReadText().c_str()); }
