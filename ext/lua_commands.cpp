// lua_commands.cpp - luasub, luacall and luastr.
#include "ext/lua_commands.h"

#include <cstring>
#include <string>

#include "core/core_messages.h"
#include "core/error.h"
#include "core/readers.h"
#include "ext/lua_messages.h"
#include "ext/luabridge.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "text/textline.h"

static void NeedBridge() {
    if (!LuaBridgeLoaded) ScriptError(CapError, MsgNoLuaBridge);
}

// luasub NAME: the statement NAME calls the Lua function "OVCOM_" + NAME.
void Cmd_luasub() {
    NeedBridge();
    char name[WordBufferSize];
    ReadWord(name);
    if (name[0] == '_') ScriptError(CapError, MsgLuasubUnderscore);
    if (LuaHooks.count(name)) ScriptErrorF(CapError, FmtLuasubTwice, name);
    LuaHooks.emplace(name, std::string("OVCOM_") + name);
}

// luacall KIND: the event ":" + KIND calls "OVCALL_" + KIND.
void Cmd_luacall() {
    static const char* const kKinds[] = {"tag",  "text0",     "text",  "animation",
                                         "close", "end",      "transition", "savepoint",
                                         "save", "load",      "reset"};
    NeedBridge();
    char kind[WordBufferSize];
    ReadWord(kind);
    bool known = false;
    for (const char* k : kKinds) known = known || strcmp(k, kind) == 0;
    if (!known) ScriptError(CapError, MsgLuacallUnknown);
    if (strcmp(kind, "tag") == 0) TagModeOn = 1;
    if (strncmp(kind, "text", 4) == 0 || strcmp(kind, "tag") == 0) LuaTextHooksOn = 1;
    std::string key = std::string(":") + kind;
    if (LuaHooks.count(key)) ScriptErrorF(CapError, FmtLuacallTwice, key.c_str());
    LuaHooks.emplace(key, std::string("OVCALL_") + kind);
}

// luastr WORD: the word (lower-cased letters, digits and '_') run as a chunk.
void Cmd_luastr() {
    NeedBridge();
    char word[WordBufferSize];
    ReadWord(word);
    if (!OL_dostring(word)) ScriptError(CapError, MsgLuastrFailed);
}
