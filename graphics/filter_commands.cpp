// filter_commands.cpp - nega, monocro, bar, barclear, prnum, prnumclear.
// Slot numbers outside 0..99 read their operands and change nothing.
#include "graphics/filter_commands.h"

#include <cstdint>
#include <cstring>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/script.h"
#include "graphics/compose.h"
#include "graphics/filters.h"
#include "graphics/screenfx_messages.h"

static void MarkWholeScreen() { AddDirtyRect(0, ScreenWidth, 0, ScreenHeight); }

void Cmd_nega() {
    NegaMode = ReadIntExpr();
    MarkWholeScreen();
}

void Cmd_monocro() {
    char c = SkipBlanks();
    if (c == 'o' || c == 'O') {
        char word[WordBufferSize];
        ReadWord(word);  // lower-cased: "Off" is "off"
        if (strcmp(word, "off") != 0) ScriptError(CapSyntax, MsgMonocroOperand);
        Monocro.on = 0;
        MarkWholeScreen();
        return;
    }
    uint32_t color;
    if (c == '#') {
        color = ReadColor();
    } else {
        char text[StrValueSize];
        ReadStrExpr(text, sizeof text);
        color = ParseHexColor(text[0] ? text + 1 : text);
    }
    Monocro.on = 1;
    Monocro.red = (color >> 16) & 0xFF;
    Monocro.green = (color >> 8) & 0xFF;
    Monocro.blue = color & 0xFF;
    MarkWholeScreen();
}

// Inclusive box edges as AddDirtyRect takes them, in 64 bits and saturated.
static void MarkBox(int64_t x, int64_t y, int64_t w, int64_t h) {
    auto sat = [](int64_t v) {
        return (int32_t)(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
    };
    AddDirtyRect(sat(x), sat(x + w), sat(y), sat(y + h));
}

void Cmd_bar() {
    int32_t n = ReadIntExpr();
    bool valid = n >= 0 && n < BarSlotCount;
    if (valid && BarSlots[n].x != -1) {
        const BarSlot& o = BarSlots[n];
        MarkBox(o.x, o.y, o.width, o.height);
    }
    BarSlot s;
    int32_t* fields[] = {&s.value, &s.x, &s.y, &s.width, &s.height, &s.maximum};
    for (int32_t* f : fields) {
        ExpectComma();
        *f = ReadIntExpr();
    }
    ExpectComma();
    SkipBlanks();
    s.color = (int32_t)ReadColor();
    if (!valid) return;
    BarSlots[n] = s;
    MarkBox(s.x, s.y, s.width, s.height);
}

void Cmd_barclear() {
    for (BarSlot& s : BarSlots) s.x = -1;
}

void Cmd_prnum() {
    int32_t n = ReadIntExpr();
    bool valid = n >= 0 && n < PrnumSlotCount;
    if (valid && PrnumSlots[n].x != -1) {
        const PrnumSlot& o = PrnumSlots[n];
        MarkBox(o.x, o.y, 3 * (int64_t)o.cellWidth, o.cellHeight);
    }
    PrnumSlot s;
    int32_t* fields[] = {&s.value, &s.x, &s.y, &s.cellWidth, &s.cellHeight};
    for (int32_t* f : fields) {
        ExpectComma();
        *f = ReadIntExpr();
    }
    ExpectComma();
    SkipBlanks();
    s.color = (int32_t)ReadColor();
    if (!valid) return;
    PrnumSlots[n] = s;
    MarkBox(s.x, s.y, 3 * (int64_t)s.cellWidth, s.cellHeight);
}

void Cmd_prnumclear() {
    for (PrnumSlot& s : PrnumSlots) s.x = -1;
}
