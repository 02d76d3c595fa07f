// lua_commands.h - script commands (not built yet: see lua_commands.cpp).
#pragma once

void Cmd_luacall();
void Cmd_luastr();
void Cmd_luasub();
