// lua_functions.h - the script-side Lua functions, grouped by the
// subsystem they reach (lua_functions_*.cpp), and the argument checks they
// share.  Each is registered through LuaGuarded (luabridge.h): it may throw
// (LuaFail, the engine's fatal errors) but never calls lua_error itself.
#pragma once
#include <cstdint>

#include "ext/luabridge.h"

// Checks the arguments against `kinds`, one letter per argument: 'n' or
// 'x' a Lua number, 's' a Lua string, 'b' a Lua boolean, 't' a table.  A
// mismatch raises name + "の引数が間違っています。" + usage.
void LuaCheckArgs(lua_State* L, const char* kinds, const char* name, const char* usage);

// The splines of OVDefSpline / OVSpline.
enum { SplineSlots = 100, SplinePoints = 32 };
struct Spline {
    int32_t count = 0;
    double x[SplinePoints] = {}, y[SplinePoints] = {}, z[SplinePoints] = {};
};
extern Spline SplineTable[SplineSlots];

// lua_functions_core.cpp: files and chunks, operands, flow, variables,
// timing, interpolation.
int LuaGetWindowSize(lua_State* L);
int LuaSavePoint(lua_State* L);
int LuaDoFile(lua_State* L);
int LuaDoString(lua_State* L);
int LuaBind(lua_State* L);
int LuaExec(lua_State* L);
int LuaGetFileInfo(lua_State* L);
int LuaTimer(lua_State* L);
int LuaPopInt(lua_State* L);
int LuaPopIntRef(lua_State* L);
int LuaPopStr(lua_State* L);
int LuaPopStrRef(lua_State* L);
int LuaPopID(lua_State* L);
int LuaPopLabel(lua_State* L);
int LuaPopComma(lua_State* L);
int LuaCheckComma(lua_State* L);
int LuaGoto(lua_State* L);
int LuaGosub(lua_State* L);
int LuaReturn(lua_State* L);
int LuaSetIntValue(lua_State* L);
int LuaSetStrValue(lua_State* L);
int LuaGetIntValue(lua_State* L);
int LuaGetStrValue(lua_State* L);
int LuaAnimationIntervalFn(lua_State* L);
int LuaAnimationModeFn(lua_State* L);
int LuaGetSkip(lua_State* L);
int LuaLinear(lua_State* L);
int LuaDefSpline(lua_State* L);
int LuaSpline(lua_State* L);
int LuaRequire(lua_State* L);

// lua_functions_sprites.cpp: sprites, rotated sprites, the screen.
int LuaSpLoad(lua_State* L);
int LuaSpMove(lua_State* L);
int LuaSpClear(lua_State* L);
int LuaSpVisible(lua_State* L);
int LuaSp2Load(lua_State* L);
int LuaSp2Move(lua_State* L);
int LuaSp2Clear(lua_State* L);
int LuaSp2Visible(lua_State* L);
int LuaSpGetInfo(lua_State* L);
int LuaSp2GetInfo(lua_State* L);
int LuaSpGetPos(lua_State* L);
int LuaSp2GetPos(lua_State* L);
int LuaSpCell(lua_State* L);
int LuaExecAnimation(lua_State* L);
int LuaUpdate(lua_State* L);
int LuaInvalidate(lua_State* L);

// lua_functions_system.cpp: input, waits, dialogs, the window, sound and
// the texture interface.
int LuaGetMouse(lua_State* L);
int LuaGetClick(lua_State* L);
int LuaGetKey(lua_State* L);
int LuaDoEvents(lua_State* L);
int LuaSleep(lua_State* L);
int LuaSystemCall(lua_State* L);
int LuaOggLoad(lua_State* L);
int LuaOggPlay(lua_State* L);
int LuaOggPlay2(lua_State* L);
int LuaOggClose(lua_State* L);
int LuaOggVolume(lua_State* L);
int LuaOggFade(lua_State* L);
int LuaOggIsPlaying(lua_State* L);
int LuaOkBox(lua_State* L);
int LuaYesNoBox(lua_State* L);
int LuaEnd(lua_State* L);
int LuaClick(lua_State* L);
int LuaMouseMode(lua_State* L);

// lua_functions_textures.cpp: the texture interface (OVD*).
int LuaTexLoad(lua_State* L);
int LuaTexBlt(lua_State* L);
int LuaTexClear(lua_State* L);
int LuaTexFill(lua_State* L);
int LuaTexSp(lua_State* L);
int LuaTexSpAdd(lua_State* L);
int LuaTexSp2(lua_State* L);
int LuaTexSp2Add(lua_State* L);
int LuaTexSp3(lua_State* L);
int LuaTexSp3Add(lua_State* L);
int LuaTexPresent(lua_State* L);
int LuaTexPresentRect(lua_State* L);
int LuaTexCopyToBg(lua_State* L);
int LuaTexOffMode(lua_State* L);
int LuaTexTransition(lua_State* L);
int LuaTexTransitionF(lua_State* L);
int LuaTexDll(lua_State* L);
int LuaTexCall(lua_State* L);
int LuaTexSetSprite(lua_State* L);
int LuaTexDelete(lua_State* L);
int LuaTexGetSize(lua_State* L);
int LuaTexGetScreen(lua_State* L);
int LuaTexDirectX(lua_State* L);
// Forgets the OVDDLL registrations (when the bridge starts).
void ClearTextureFunctions();
