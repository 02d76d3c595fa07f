// luabridge.h - the built-in Lua bridge over the shared liblua5.1 (one VM
// in the process, so plug-ins that call Lua share it): its OL_ entry
// points, the guard that keeps C++ unwinding and Lua's longjmp apart, and
// the loading of Lua sources.
//
// Errors inside functions Lua calls: a registered function never calls
// lua_error itself.  It is registered through LuaGuarded, which runs it
// under try/catch: LuaFail (a Lua error) and every other C++ exception
// (the engine's exit in tests, say) are caught there, after the body's
// destructors ran, and turned into a Lua error raised from a frame with no
// objects.  Other exceptions are kept and thrown again once the bridge's
// lua_pcall has returned, so they reach the engine's C++ callers whole.
#pragma once
#include <cstdint>

struct lua_State;
typedef int (*LuaFunction)(lua_State* L);

void LuaBridgeInitialize();   // creates the Lua state (once)
void LuaBridgeFinalize();     // closes it; deferred while a call runs
void RegisterLuaFunctions();  // the script-side functions (lua_functions.cpp)

// The OL_ entry points.  `call`, `paramcall` and `dostring` give 1 when
// the chunk or call ran without error, else 0 (the Lua message goes to
// standard error as "orva: lua: ...").
lua_State* OL_GetL();
int OL_call(const char* function, int results);
int OL_getglobal(lua_State* L, const char* name);
int OL_paramcall(int arguments, int results);
int OL_dostring(const char* text);  // refuses a precompiled chunk (0x1B)
void OL_register(const char* name, LuaFunction fn);
void OL_settop(lua_State* L, int index);
int OL_gettop(lua_State* L);
void OL_pop(lua_State* L, int count);
int OL_isnumber(lua_State* L, int index);   // strict: a Lua number
int OL_istable(lua_State* L, int index);
int OL_isstring(lua_State* L, int index);   // strict: a Lua string
int OL_isboolean(lua_State* L, int index);
int OL_isnil(lua_State* L, int index);
double OL_tonumber(lua_State* L, int index);
int32_t OL_tointeger(lua_State* L, int index);  // truncated toward zero, saturated
const char* OL_tostring(lua_State* L, int index);
int OL_toboolean(lua_State* L, int index);
void OL_pushnumber(lua_State* L, double value);
void OL_pushinteger(lua_State* L, int32_t value);
void OL_pushstring(lua_State* L, const char* text);
void OL_pushboolean(lua_State* L, int value);
void OL_gettable(lua_State* L, int index);

// Raises a Lua error with the printf-formatted message from inside a
// guarded function (throws; the guard raises it in Lua).
[[noreturn]] void LuaFail(const char* format, ...);
// The guard every registered function goes through.
int LuaRunGuarded(lua_State* L, LuaFunction body);
template <LuaFunction Body>
int LuaGuarded(lua_State* L) { return LuaRunGuarded(L, Body); }

// Lua source text: carriage returns dropped; inside a double-quoted string
// a Shift-JIS lead byte takes the next byte with it and a second byte '\'
// is written twice.  `out` holds 2 * n + 1 bytes; the text is
// NUL-terminated; the result is the bytes written plus 1.
int ReadLuaSource(char* out, const uint8_t* source, int n);
// Loads a Lua source from the folder, else the ova archives, else the ov2
// archives (packed entries decoded) and runs it; found nowhere: skipped.
// A chunk that fails ends the process with -1.
void RunLuaFile(const char* name);
