// reset_ext.cpp - the extension interfaces' part of the reset: the texture
// functions back to the displayed picture, "system.lua" once per process,
// then the ":reset" hook.
#include "ext/reset_ext.h"

#include "core/core_messages.h"
#include "core/error.h"
#include "core/startup.h"
#include "ext/luabridge.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "ext/textures.h"

// resetのコールバック関数中でエラーが発生しました。
static const char kResetHookFailed[] =
    "reset\x82\xcc\x83R\x81[\x83\x8b\x83o\x83" "b\x83N\x8a\xd6\x90\x94\x92\x86\x82\xc5\x83G\x83\x89\x81["
    "\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" "B";

void ResetExtState() {
    TextureOffMode = 0;
    if (LuaBridgeLoaded && !SystemLuaRun) {
        SystemLuaRun = 1;
        RunLuaFile("system.lua");
    }
    const char* hook = FindLuaHook(":reset");
    if (!hook) return;
    DefineRunning = 0;
    if (!CallLuaCommandHook(hook)) ScriptError(CapError, kResetHookFailed);
}
