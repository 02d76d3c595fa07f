// callstack.h - the one call stack shared by gosub, user-defined commands,
// selgosub, textgosub, text tags, the right-click gosub and for loops, and
// the checks every reader of it makes.
//
// A call takes one entry: the position to resume at (>= 0).  A for loop takes
// four, from the bottom: the variable's number, the end value, the step and
// minus the position where the body starts (< 0), so the sign of the top
// entry tells the kind of the frame on top.  Entries come back from save
// slots too, so a position or variable number taken from the stack is
// checked before it is used.
#pragma once
#include <cstdint>

enum { CallStackSize = 1000, ForFrameSize = 4 };
extern int32_t CallStack[CallStackSize];
extern int CallStackDepth;  // entries in use

// The text routine's textgosub call: set with the depth before its push;
// the return that brings the depth back there clears it.
extern int InTextGosub;
extern int TextGosubDepth;
// A right-click gosub interrupted a wait: 0 a click wait, 1 a page wait,
// other kinds no wait.  The return from its routine shows that wait again.
extern int RightGosubTaken;
extern int RightGosubWaitKind;

// True when p may be resumed at: inside the script text (its end included)
// or inside the area where a command given as text runs.
bool IsScriptPosition(int32_t p);
// The fatal error for stack contents no command could have left there.
[[noreturn]] void StackBroken();
// The position of the call frame on top, for getparam, getparam2 and gettag
// (named by `command`): an empty stack or a for frame on top is an error.
int32_t TopCallPosition(const char* command);
