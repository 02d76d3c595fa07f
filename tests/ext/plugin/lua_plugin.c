/* lua_plugin.c - a library whose function Lua calls through OL_bind.  It
   uses the Lua API of the one shared liblua5.1 in the process (resolved when
   the library is loaded), so it works on the engine's own Lua state. */
#include <stddef.h>

typedef struct lua_State lua_State;
extern void lua_pushinteger(lua_State* L, ptrdiff_t n);
extern ptrdiff_t lua_tointeger(lua_State* L, int index);

int LuaPluginTwice(lua_State* L) {
    lua_pushinteger(L, 2 * lua_tointeger(L, 1));
    return 1;
}
