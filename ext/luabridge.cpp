// luabridge.cpp - the built-in Lua bridge: one lua_State over the shared
// liblua5.1, the OL_ entry points, the guard of registered functions and
// the loading of Lua sources.
#include "ext/luabridge.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "archive/arcfile.h"
#include "archive/ov2.h"
#include "archive/ova.h"
#include "ext/lua_messages.h"
#include "platform/platform.h"
#include "save/savepoint.h"

static lua_State* LuaState;
static int LuaCallDepth;           // bridge calls (pcall) running now
static bool LuaClosePending;       // Finalize came while a call ran
static std::exception_ptr PendingException;  // to throw once pcall returned
static char LuaFailText[2048];

// Lua's messages go to standard error, in UTF-8 as the terminal shows it.
static void LogLuaError(const char* message) {
    std::string text = Cp932ToUtf8(message ? message : "(error object)");
    fprintf(stderr, "orva: lua: %s\n", text.c_str());
}

namespace {
struct LuaRaise {};  // LuaFail's message waits in LuaFailText
}

// Lua's own loaders (loadstring, load, loadfile, dofile and require's file
// loader) refuse precompiled chunks too: a chunk starting with the byte
// 0x1B would otherwise reach Lua 5.1's unchecked undump.
static const char kLoaderGuard[] =
    "do\n"
    "  local msg = ...\n"
    "  local rawloadstring, rawloadfile, rawload = loadstring, loadfile, load\n"
    "  local function binary(s) return type(s) == 'string' and s:byte(1) == 27 end\n"
    "  loadstring = function(s, name)\n"
    "    if binary(s) then return nil, msg end\n"
    "    return rawloadstring(s, name)\n"
    "  end\n"
    "  load = function(f, name)\n"
    "    if type(f) == 'string' then return loadstring(f, name) end\n"
    "    if type(f) ~= 'function' then return rawload(f, name) end\n"
    "    local parts = {}\n"
    "    while true do\n"
    "      local p = f()\n"
    "      if p == nil or p == '' then break end\n"
    "      parts[#parts + 1] = p\n"
    "    end\n"
    "    return loadstring(table.concat(parts), name)\n"
    "  end\n"
    "  loadfile = function(path)\n"
    "    local h = path and io.open(path, 'rb')\n"
    "    if h then\n"
    "      local c = h:read(1)\n"
    "      h:close()\n"
    "      if c == '\\27' then return nil, msg end\n"
    "    end\n"
    "    return rawloadfile(path)\n"
    "  end\n"
    "  dofile = function(path)\n"
    "    local f, e = loadfile(path)\n"
    "    if not f then error(e, 2) end\n"
    "    return f()\n"
    "  end\n"
    "  package.loaders[2] = function(name)\n"
    "    local tried = {}\n"
    "    for t in package.path:gmatch('[^;]+') do\n"
    "      local path = t:gsub('%?', (name:gsub('%.', '/')))\n"
    "      local h = io.open(path, 'rb')\n"
    "      if h then\n"
    "        h:close()\n"
    "        local f, e = loadfile(path)\n"
    "        if not f then error(\"error loading module '\" .. name .. \"' from file '\" .. path .. \"':\\n\\t\" .. e, 3) end\n"
    "        return f\n"
    "      end\n"
    "      tried[#tried + 1] = \"\\n\\tno file '\" .. path .. \"'\"\n"
    "    end\n"
    "    return table.concat(tried)\n"
    "  end\n"
    "end\n";

void LuaBridgeInitialize() {
    if (LuaState) return;
    LuaState = luaL_newstate();
    luaL_openlibs(LuaState);
    if (luaL_loadbuffer(LuaState, kLoaderGuard, sizeof kLoaderGuard - 1, "=guard") == 0) {
        lua_pushstring(LuaState, MsgBinaryChunk);
        lua_pcall(LuaState, 1, 0, 0);
    }
    lua_settop(LuaState, 0);
}

void LuaBridgeFinalize() {
    if (!LuaState) return;
    if (LuaCallDepth > 0) {  // closing under a running call would pull its stack away
        LuaClosePending = true;
        return;
    }
    lua_close(LuaState);
    LuaState = nullptr;
    LuaClosePending = false;
}

lua_State* OL_GetL() { return LuaState; }

// lua_pcall with the depth count; a failure's message goes to standard
// error; an exception kept by the guard is thrown again here, the stack
// top restored to `base` first.
static int ProtectedCall(int arguments, int results) {
    lua_State* L = LuaState;
    int base = lua_gettop(L) - arguments - 1;
    LuaCallDepth++;
    int status = lua_pcall(L, arguments, results, 0);
    LuaCallDepth--;
    if (PendingException) {
        std::exception_ptr e = PendingException;
        PendingException = nullptr;
        if (LuaCallDepth == 0 && LuaClosePending) {
            LuaBridgeFinalize();
        } else if (base >= 0) {
            lua_settop(L, base);
        }
        std::rethrow_exception(e);
    }
    if (status != 0) {
        LogLuaError(lua_tostring(L, -1));
        lua_pop(L, 1);
    }
    if (LuaCallDepth == 0 && LuaClosePending) LuaBridgeFinalize();
    return status == 0;
}

int OL_call(const char* function, int results) {
    if (!LuaState) return 0;
    lua_getglobal(LuaState, function);
    return ProtectedCall(0, results);
}

int OL_getglobal(lua_State* L, const char* name) {
    lua_getglobal(L, name);
    return 0;
}

int OL_paramcall(int arguments, int results) {
    if (!LuaState) return 0;
    return ProtectedCall(arguments, results);
}

int OL_dostring(const char* text) {
    if (!LuaState) return 0;
    if ((uint8_t)text[0] == 0x1B) {
        LogLuaError(MsgBinaryChunk);
        return 0;
    }
    if (luaL_loadbuffer(LuaState, text, strlen(text), "=chunk") != 0) {
        LogLuaError(lua_tostring(LuaState, -1));
        lua_pop(LuaState, 1);
        return 0;
    }
    return ProtectedCall(0, 0);
}

void OL_register(const char* name, LuaFunction fn) {
    if (LuaState) lua_register(LuaState, name, (lua_CFunction)fn);
}

void OL_settop(lua_State* L, int index) { lua_settop(L, index); }
int OL_gettop(lua_State* L) { return lua_gettop(L); }
void OL_pop(lua_State* L, int count) { lua_pop(L, count); }
int OL_isnumber(lua_State* L, int index) { return lua_type(L, index) == LUA_TNUMBER; }
int OL_istable(lua_State* L, int index) { return lua_type(L, index) == LUA_TTABLE; }
int OL_isstring(lua_State* L, int index) { return lua_type(L, index) == LUA_TSTRING; }
int OL_isboolean(lua_State* L, int index) { return lua_type(L, index) == LUA_TBOOLEAN; }
int OL_isnil(lua_State* L, int index) { return lua_type(L, index) == LUA_TNIL; }
double OL_tonumber(lua_State* L, int index) { return lua_tonumber(L, index); }

int32_t OL_tointeger(lua_State* L, int index) {
    double v = lua_tonumber(L, index);
    if (!(v == v)) return 0;  // NaN
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return (int32_t)v;
}

const char* OL_tostring(lua_State* L, int index) { return lua_tolstring(L, index, nullptr); }
int OL_toboolean(lua_State* L, int index) { return lua_toboolean(L, index); }
void OL_pushnumber(lua_State* L, double value) { lua_pushnumber(L, value); }
void OL_pushinteger(lua_State* L, int32_t value) { lua_pushinteger(L, value); }
void OL_pushstring(lua_State* L, const char* text) { lua_pushstring(L, text); }
void OL_pushboolean(lua_State* L, int value) { lua_pushboolean(L, value); }
void OL_gettable(lua_State* L, int index) { lua_gettable(L, index); }

void LuaFail(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    vsnprintf(LuaFailText, sizeof LuaFailText, format, ap);
    va_end(ap);
    throw LuaRaise{};
}

// The body runs under try/catch; -1 = a Lua error is to be raised.
// Lua reaches the game only through these functions (a plug-in's function
// bound by OL_bind, through the exports), and they write without journal
// entries (OVSetIntValue ...): a deferred savepoint image is built before
// any of them runs, whoever started the Lua code (a hook, or a plug-in
// calling back on the state OL_bind handed it).
static int RunBody(lua_State* L, LuaFunction body) {
    try {
        KeepSavepoint();
        return body(L);
    } catch (const LuaRaise&) {
        return -1;
    } catch (...) {
        PendingException = std::current_exception();
        snprintf(LuaFailText, sizeof LuaFailText, "engine stopped");
        return -1;
    }
}

// No object with a destructor lives in this frame: lua_error's longjmp
// leaves it safely.
int LuaRunGuarded(lua_State* L, LuaFunction body) {
    if (PendingException) {  // Lua code caught the error: keep unwinding
        lua_pushstring(L, "engine stopped");
        return lua_error(L);
    }
    int results = RunBody(L, body);
    if (results >= 0) return results;
    luaL_where(L, 1);
    lua_pushstring(L, LuaFailText);
    lua_concat(L, 2);
    return lua_error(L);
}

// ---- sources --------------------------------------------------------------

static bool IsLeadByte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

int ReadLuaSource(char* out, const uint8_t* source, int n) {
    int w = 0, i = 0;
    bool quoted = false, escaped = false;
    while (i < n) {
        uint8_t c = source[i++];
        if (c == '\r') continue;
        out[w++] = (char)c;
        if (c == '\n') {
            quoted = escaped = false;
        } else if (!quoted) {
            if (c == '"') quoted = true;
        } else if (escaped) {
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == '"') {
            quoted = false;
        } else if (IsLeadByte(c)) {
            while (i < n && source[i] == '\r') i++;
            if (i < n) {
                uint8_t second = source[i++];
                out[w++] = (char)second;
                if (second == '\\') out[w++] = '\\';
                if (second == '\n') quoted = false;
            }
        }
    }
    out[w] = 0;
    return w + 1;
}

// A Lua source is looked for in the folder, then in the ova archives, then
// in the ov2 archives; a packed ova entry is unpacked.  False: found nowhere.
static bool ReadLuaSourceFile(const char* name, std::vector<uint8_t>* out, bool* in_folder) {
    *in_folder = FolderFileExists(name);
    if (*in_folder) return PlatReadFile(name, false, out);
    OvaLookup ova;
    if (OvaMode && FindOvaEntry(name, &ova) >= 0) return ReadOvaEntry(ova, out);
    Ov2Lookup ov2;
    if (FindOv2Entry(name, &ov2) == 1) return ReadOv2Entry(ov2, out);
    return false;
}

void RunLuaFile(const char* name) {
    std::vector<uint8_t> bytes;
    bool in_folder;
    if (!ReadLuaSourceFile(name, &bytes, &in_folder)) return;
    size_t n = bytes.size();
    if (in_folder) {  // a text-mode read ends at Ctrl-Z
        const void* eof = n ? memchr(bytes.data(), 0x1A, n) : nullptr;
        if (eof) n = (const uint8_t*)eof - bytes.data();
    }
    std::vector<char> text(2 * n + 1);
    ReadLuaSource(text.data(), bytes.data(), (int)n);
    bytes.clear();
    if (!OL_dostring(text.data())) PlatExit(-1);
}
