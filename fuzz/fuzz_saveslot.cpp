// Fuzzes the slot reader over any bytes: a slot is either refused whole or
// accepted, and an accepted one is applied without reading outside it and
// leaves the call stack, the texts and the resume position in their limits.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/callstack.h"
#include "core/script.h"
#include "core/variables.h"
#include "fuzz/fuzz_support.h"
#include "graphics/sprite.h"
#include "save/gamestate.h"
#include "save/savepoint.h"

// The script the corpus slot was saved from (its line and colon count).
static char Script[] =
    "*define\ngame\n*start\n"
    "savefileexist %5,1\n"
    "if %5 = 1 mov %300,5:mov %7,123:loadgame 1\n"
    "mov %1,42\n"
    "mov $2,\"hello\"\n"
    "mov %3,7:mov %4,8:savegame 1:mov %6,%6+1\n"
    "csvopen \"out.csv\",\"w\"\n"
    "csvwrite %1,$2,%3,%4,%5,%6,%7,%300\n"
    "csvclose\n"
    "end\n";

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    FuzzStartEngine(argc, argv);
    ScriptBuffer = Script;
    ScriptLength = int(sizeof Script - 1);
    ScriptCapacity = int(sizeof Script);
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int position = -1;
    if (!CheckSlotImage(data, size, &position)) return 0;
    if (position < 0 || position > ScriptLength) abort();
    SaveStream s;
    OpenSaveReader(&s, data, size);
    if (!ReadGameState(&s, true)) abort();  // what was checked must apply
    if (CallStackDepth < 0 || CallStackDepth > CallStackSize) abort();
    for (int i = 0; i < CallStackDepth; i++)
        if (CallStack[i] >= 0 && !IsScriptPosition(CallStack[i])) abort();
    for (int i = 0; i < SpriteCount; i++)
        if (strnlen(Sprites[i].tag, SpriteTagSize) >= SpriteTagSize) abort();
    return 0;
}
