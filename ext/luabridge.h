// luabridge.h - the built-in Lua bridge (Lua 5.1).
#pragma once

void LuaBridgeInitialize();   // creates the Lua state
void LuaBridgeFinalize();
void RegisterLuaFunctions();  // the script-side functions
