// luahooks.h - what the interpreter asks of the Lua bridge: the function bound
// to a command name or an event key (":tag", ":text", ":text0" ...), and the
// calls of such functions.
#pragma once

// The Lua function bound to key, or null (also when the bridge is not loaded).
const char* FindLuaHook(const char* key);
// Calls a command hook with no arguments, keeping the Lua stack's top; false
// when the call failed.
bool CallLuaCommandHook(const char* function);
// Calls an event hook with one text argument; false when the call failed.
bool CallLuaTextHook(const char* function, const char* text);
