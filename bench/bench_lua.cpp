// bench_lua.cpp - the Lua bridge's hot paths, each beside a plain Lua call
// in the same run: a luasub command hook called a million times from a
// script loop (and the same loop around a built-in command), the hook call
// alone beside a plain lua_pcall of an empty function, and OVGetIntValue /
// OVSetIntValue called from a Lua loop beside empty Lua functions.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

extern "C" {
#include <lua.h>
}

#include "core/callstack.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "ext/luabridge.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "bench/bench_support.h"
#include "platform/platform.h"

namespace {

void Start() {
    if (!StartHeadlessOnce()) return;
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    AllocateLabelTable(100);
    LuaBridgeLoaded = true;
    LuaBridgeInitialize();
    RegisterLuaFunctions();
    OL_dostring(
        "function OVCOM_nop() end\n"
        "function nop() end\n"
        "function get(n) return 0 end\n"
        "function set(n, v) end\n"
        "function engine_loop(n) for i = 1, n do OVSetIntValue(1, OVGetIntValue(1) + 1) end end\n"
        "function plain_loop(n) for i = 1, n do set(1, get(1) + 1) end end\n");
    LuaHooks["nop"] = "OVCOM_nop";
}

// A script loop of a million statements `body`; items are loop rounds.
void ScriptLoop(benchmark::State& state, const char* body) {
    Start();
    const int rounds = 1000000;
    SetScriptText(std::string("*define\ngame\n*start\nfor %0=1 to ") + std::to_string(rounds) +
                  "\n" + body + "\nnext\ndefinereset\n");
    LabelCount = 0;
    RunFromStartEachRound(state, [] { DefineEnded = 0; });
    state.SetItemsProcessed(state.iterations() * (int64_t)rounds);
    FreeScript();
}

void BM_ScriptLoopLuaHook(benchmark::State& state) { ScriptLoop(state, "nop"); }
BENCHMARK(BM_ScriptLoopLuaHook)->Unit(benchmark::kMillisecond);

void BM_ScriptLoopBuiltin(benchmark::State& state) { ScriptLoop(state, "getversion %5"); }
BENCHMARK(BM_ScriptLoopBuiltin)->Unit(benchmark::kMillisecond);

// The hook call alone, as the dispatcher makes it.
void BM_CommandHookCall(benchmark::State& state) {
    Start();
    const char* function = FindLuaHook("nop");
    for (auto _ : state) benchmark::DoNotOptimize(CallLuaCommandHook(function));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommandHookCall);

// The baseline: a plain lua_pcall of an empty global function.
void BM_PlainPcall(benchmark::State& state) {
    Start();
    lua_State* L = OL_GetL();
    for (auto _ : state) {
        lua_getfield(L, LUA_GLOBALSINDEX, "nop");
        benchmark::DoNotOptimize(lua_pcall(L, 0, 0, 0));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlainPcall);

// A million OVGetIntValue + OVSetIntValue pairs from Lua; items are calls.
void LuaLoop(benchmark::State& state, const char* function) {
    Start();
    lua_State* L = OL_GetL();
    const int rounds = 1000000;
    for (auto _ : state) {
        lua_getfield(L, LUA_GLOBALSINDEX, function);
        lua_pushinteger(L, rounds);
        lua_pcall(L, 1, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * 2 * (int64_t)rounds);
}

void BM_LuaGetSetIntValue(benchmark::State& state) { LuaLoop(state, "engine_loop"); }
BENCHMARK(BM_LuaGetSetIntValue)->Unit(benchmark::kMillisecond);

void BM_LuaPlainFunctions(benchmark::State& state) { LuaLoop(state, "plain_loop"); }
BENCHMARK(BM_LuaPlainFunctions)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
