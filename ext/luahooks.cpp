// luahooks.cpp - the hook table and the calls of hooks through the bridge.
#include "ext/luahooks.h"

#include "ext/luaanim.h"
#include "ext/luabridge.h"
#include "ext/optional.h"
#include "ui/window_links.h"

std::map<std::string, std::string, std::less<>> LuaHooks;
std::set<std::string> LuaRequired;
uint8_t SystemLuaRun;

uint8_t LuaAnimationMode = 0;
int32_t LuaAnimationInterval = 15;
uint32_t LuaAnimationLast = 0;

const char* FindLuaHook(const char* key) {
    if (!LuaBridgeLoaded || LuaHooks.empty()) return nullptr;
    auto it = LuaHooks.find(std::string_view(key));
    return it == LuaHooks.end() ? nullptr : it->second.c_str();
}

bool CallLuaCommandHook(const char* function) {
    lua_State* L = OL_GetL();
    if (!L) return false;
    int top = OL_gettop(L);
    int ok = OL_call(function, 0);
    OL_settop(L, top);
    return ok != 0;
}

bool CallLuaTextHook(const char* function, const char* text) {
    lua_State* L = OL_GetL();
    if (!L) return false;
    int top = OL_gettop(L);
    OL_getglobal(L, function);
    OL_pushstring(L, text);
    int ok = OL_paramcall(1, 0);
    OL_settop(L, top);
    return ok != 0;
}

bool CallLuaIntHook(const char* function, int32_t value) {
    lua_State* L = OL_GetL();
    if (!L) return false;
    int top = OL_gettop(L);
    OL_getglobal(L, function);
    OL_pushinteger(L, value);
    int ok = OL_paramcall(1, 0);
    OL_settop(L, top);
    return ok != 0;
}

// One result, read at the top noted before the call (top + 1), not at an
// absolute index: the stack need not be empty when the hook is raised.
static int CallOneResult(const char* function) {
    lua_State* L = OL_GetL();
    if (!L) return -1;
    int top = OL_gettop(L);
    if (!OL_call(function, 1)) {
        OL_settop(L, top);
        return -1;
    }
    int answer = OL_isboolean(L, top + 1) && OL_toboolean(L, top + 1);
    OL_settop(L, top);
    return answer;
}

bool CallLuaAnimationHook(const char* function, bool* redraw) {
    int answer = CallOneResult(function);
    *redraw = answer == 1;
    return answer >= 0;
}

int CallLuaBoolHook(const char* function) { return CallOneResult(function); }
