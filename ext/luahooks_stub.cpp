// luahooks_stub.cpp - no Lua hooks until the Lua bridge is built (then this
// file goes).
#include "ext/luahooks.h"

const char* FindLuaHook(const char*) { return nullptr; }
bool CallLuaCommandHook(const char*) { return false; }
bool CallLuaTextHook(const char*, const char*) { return false; }

uint8_t LuaAnimationMode = 0;
int32_t LuaAnimationInterval = 15;
uint32_t LuaAnimationLast = 0;
