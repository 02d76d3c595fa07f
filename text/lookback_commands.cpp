// lookback_commands.cpp - lookbacksp, lookbackbutton and lookbackcolor.
#include "text/lookback_commands.h"

#include <string>

#include "core/readers.h"
#include "graphics/imagetag.h"
#include "text/lookback.h"

void Cmd_lookbacksp() {
    int32_t up = ReadIntExpr();
    ExpectComma();
    int32_t down = ReadIntExpr();
    LookbackSpMode = 1;
    LookbackUpSprite = up;
    LookbackDownSprite = down;
}

// Four image tags: older highlighted, older normal, newer highlighted,
// newer normal.
void Cmd_lookbackbutton() {
    std::string tag(StrValueSize, '\0');
    for (int i = 0; i < 4; i++) {
        if (i) ExpectComma();
        ReadStrExpr(&tag[0], StrValueSize);
        LoadSurface(&LookbackButtons[i], tag.c_str());
    }
}

void Cmd_lookbackcolor() { LookbackColor = ReadColor() & 0xFFFFFF; }
