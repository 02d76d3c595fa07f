// lua_commands.cpp - not built yet: each command ends the game naming itself.
#include "ext/lua_commands.h"

#include "core/dispatch.h"

void Cmd_luacall() { Cmd_Unbuilt(); }
void Cmd_luastr() { Cmd_Unbuilt(); }
void Cmd_luasub() { Cmd_Unbuilt(); }
