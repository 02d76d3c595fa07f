// luahooks.h - what the interpreter asks of the Lua bridge: the function bound
// to a command name or an event key (":tag", ":text", ":text0" ...), and the
// calls of such functions.
#pragma once
#include <cstdint>

// The Lua function bound to key, or null (also when the bridge is not loaded).
const char* FindLuaHook(const char* key);
// Calls a command hook with no arguments, keeping the Lua stack's top; false
// when the call failed.
bool CallLuaCommandHook(const char* function);
// Calls an event hook with one text argument; false when the call failed.
bool CallLuaTextHook(const char* function, const char* text);

// The ":animation" hook of the animation tick: on while LuaAnimationMode is
// set, at most every LuaAnimationInterval ms (15 after start-up).
extern uint8_t LuaAnimationMode;
extern int32_t LuaAnimationInterval;
extern uint32_t LuaAnimationLast;
