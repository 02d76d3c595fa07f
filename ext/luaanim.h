// luaanim.h - the call of the Lua ":animation" hook for the animation tick.
#pragma once

// Calls the Lua function `function` with one result, restoring the stack's
// top afterwards.  False when the call failed; *redraw is true when the
// function returned the boolean true (a redraw asked for).
bool CallLuaAnimationHook(const char* function, bool* redraw);
