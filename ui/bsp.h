// bsp.h - bsp button sets: sprites registered as buttons with a normal, a
// hover and a click string (extended-button strings), and RunButtonExec,
// the wait behind bexec that answers with a text.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/heapstring.h"

enum { ButtonDefLimit = 256, ButtonExecResultSize = 32 };

struct ButtonDef {
    int32_t sprite = 0;
    HeapString normal, hover, click;
};
extern ButtonDef ButtonDefs[ButtonDefLimit];
extern int32_t ButtonDefCount;

extern int32_t ButtonExecTimeout;  // ms, -1 none
extern int64_t ButtonExecStart;    // PlatTicks() of the time-out's start, -1 unset
// [0] the time-out waits for the voice, [1] btrans, [2] bdown, [3] bcursor.
extern uint8_t ButtonExecFlags[4];
extern HeapString ButtonExecDefault;  // bdef: run while no button is hovered

// Appends a definition; the 257th is fatal.
void AddButtonDef(int32_t sprite, const char* normal, const char* hover, const char* click);
// bclear: no definitions, no time-out, no default, the flags off.
void ClearButtonDefs();
// The definition whose sprite holds (x, y) (right and bottom exclusive; the
// last one wins; with btrans not on a transparent pixel), or -1.
int FindButtonDefAt(int32_t x, int32_t y);
// Waits and writes the result text ("S12", "LCLICK", "TIMEOUT", "Q" ...;
// "" when the game quits or resets) into result (size bytes).
void RunButtonExec(char* result, size_t size);
