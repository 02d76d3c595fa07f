/* lua_plugin.c - a library whose functions Lua calls through OL_bind.  It
   uses the Lua API of the one shared liblua5.1 in the process (resolved when
   the library is loaded), so it works on the engine's own Lua state.  It is
   also an effect plug-in whose transition calls back into Lua on the state
   LuaPluginKeep kept, outside any call the engine made into Lua. */
#include <stddef.h>

#include "orva_plugin.h"

typedef struct lua_State lua_State;
extern void lua_pushinteger(lua_State* L, ptrdiff_t n);
extern ptrdiff_t lua_tointeger(lua_State* L, int index);
extern void lua_getfield(lua_State* L, int index, const char* name);
extern int lua_pcall(lua_State* L, int arguments, int results, int handler);
extern void lua_settop(lua_State* L, int index);

enum { GlobalsIndex = -10002 }; /* LUA_GLOBALSINDEX */

static lua_State* Kept;

int LuaPluginTwice(lua_State* L) {
    lua_pushinteger(L, 2 * lua_tointeger(L, 1));
    return 1;
}

int LuaPluginKeep(lua_State* L) {
    Kept = L;
    return 0;
}

/* Calls the Lua function named by the parameters, then draws nothing. */
void Effect(OrvaDC* windowDC, OrvaDC* destDC, OrvaDC* srcDC, uint8_t* destBits, uint8_t* srcBits,
            OrvaRect* area, const char* parameters, int durationMs) {
    (void)windowDC, (void)destDC, (void)srcDC, (void)destBits, (void)srcBits, (void)area, (void)durationMs;
    if (!Kept) return;
    lua_getfield(Kept, GlobalsIndex, parameters);
    if (lua_pcall(Kept, 0, 0, 0) != 0) lua_settop(Kept, 0);
}
