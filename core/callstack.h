// callstack.h - the one call stack shared by gosub, user-defined commands,
// selgosub, textgosub, text tags and for loops.  A call takes one entry (the
// position to resume at, >= 0); a for loop takes four, the top one minus the
// body position (<= 0), so the sign of the top entry tells the frame's kind.
#pragma once
#include <cstdint>

enum { CallStackSize = 1000 };
extern int32_t CallStack[CallStackSize];
extern int CallStackDepth;  // entries in use
