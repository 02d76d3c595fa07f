// luahooks.h - what the interpreter asks of the Lua bridge: the function bound
// to a command name or an event key (":tag", ":text", ":text0" ...), and the
// calls of such functions.  Every call keeps the Lua stack's top as it found
// it and reads results relative to it, so hooks also work when raised from
// inside a Lua call (OVExec, OVDoEvents ...).
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

// command name -> "OVCOM_" + name; ":" + kind -> "OVCALL_" + kind.
extern std::map<std::string, std::string, std::less<>> LuaHooks;
extern std::set<std::string> LuaRequired;  // modules OL_require loaded
extern uint8_t SystemLuaRun;               // "system.lua" ran (once per process)

// The Lua function bound to key, or null (also when the bridge is not loaded).
const char* FindLuaHook(const char* key);
// Calls a command hook with no arguments, keeping the Lua stack's top; false
// when the call failed.
bool CallLuaCommandHook(const char* function);
// Calls an event hook with one text argument; false when the call failed.
bool CallLuaTextHook(const char* function, const char* text);
// Calls an event hook with one integer argument (":save", ":load").
bool CallLuaIntHook(const char* function, int32_t value);

// The ":animation" hook of the animation tick: on while LuaAnimationMode is
// set, at most every LuaAnimationInterval ms (15 after start-up).
extern uint8_t LuaAnimationMode;
extern int32_t LuaAnimationInterval;
extern uint32_t LuaAnimationLast;
