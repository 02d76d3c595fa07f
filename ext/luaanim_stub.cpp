// luaanim_stub.cpp - no Lua calls until the Lua bridge is built (then the
// bridge defines CallLuaAnimationHook and this file goes).
#include "ext/luaanim.h"

bool CallLuaAnimationHook(const char*, bool* redraw) {
    *redraw = false;
    return true;
}
