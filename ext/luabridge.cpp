// luabridge.cpp - the built-in Lua bridge.  The state and the script-side
// functions fill in as the extension interfaces are built.
#include "ext/luabridge.h"

void LuaBridgeInitialize() {}
void LuaBridgeFinalize() {}
void RegisterLuaFunctions() {}
