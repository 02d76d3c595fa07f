// luahooks_stub.cpp - no Lua hooks until the Lua bridge is built (then this
// file goes).
#include "ext/luahooks.h"

const char* FindLuaHook(const char*) { return nullptr; }
bool CallLuaCommandHook(const char*) { return false; }
bool CallLuaTextHook(const char*, const char*) { return false; }
