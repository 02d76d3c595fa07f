// lua_commands.h - luasub (a command bound to a Lua function), luacall (an
// engine event bound to a Lua function) and luastr (a word run as Lua).
#pragma once

void Cmd_luacall();
void Cmd_luastr();
void Cmd_luasub();
