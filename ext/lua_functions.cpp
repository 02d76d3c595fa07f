// lua_functions.cpp - RegisterLuaFunctions: the script-side functions in
// their fixed order (OVGetFileInfo twice), and the shared argument checks.
#include "ext/lua_functions.h"

#include <string>

#include "ext/lua_messages.h"
#include "ext/luahooks.h"

Spline SplineTable[SplineSlots];

void LuaCheckArgs(lua_State* L, const char* kinds, const char* name, const char* usage) {
    for (int i = 0; kinds[i]; i++) {
        int at = i + 1;
        bool ok;
        switch (kinds[i]) {
        case 'n':
        case 'x': ok = OL_isnumber(L, at); break;
        case 's': ok = OL_isstring(L, at); break;
        case 'b': ok = OL_isboolean(L, at); break;
        default: ok = OL_istable(L, at); break;
        }
        if (!ok) LuaFail("%s%s%s", name, MsgBadArguments, usage);
    }
}

#define F(name, fn) {name, &LuaGuarded<fn>}
static const struct {
    const char* name;
    LuaFunction fn;
} kLuaFunctions[] = {
    F("OVGetWindowSize", LuaGetWindowSize),
    F("OVSavePoint", LuaSavePoint),
    F("OL_dofile", LuaDoFile),
    F("OL_dostring", LuaDoString),
    F("OL_bind", LuaBind),
    F("OVExec", LuaExec),
    F("OVGetFileInfo", LuaGetFileInfo),
    F("OVTimer", LuaTimer),
    F("OVPopInt", LuaPopInt),
    F("OVPopIntRef", LuaPopIntRef),
    F("OVPopStr", LuaPopStr),
    F("OVPopStrRef", LuaPopStrRef),
    F("OVPopID", LuaPopID),
    F("OVPopLabel", LuaPopLabel),
    F("OVPopComma", LuaPopComma),
    F("OVCheckComma", LuaCheckComma),
    F("OVGoto", LuaGoto),
    F("OVGosub", LuaGosub),
    F("OVReturn", LuaReturn),
    F("OVSetIntValue", LuaSetIntValue),
    F("OVSetStrValue", LuaSetStrValue),
    F("OVGetIntValue", LuaGetIntValue),
    F("OVGetStrValue", LuaGetStrValue),
    F("OVGetFileInfo", LuaGetFileInfo),
    F("OVGetMouse", LuaGetMouse),
    F("OVGetClick", LuaGetClick),
    F("OVGetKey", LuaGetKey),
    F("OVDoEvents", LuaDoEvents),
    F("OVSleep", LuaSleep),
    F("OVSystemCall", LuaSystemCall),
    F("OVSpLoad", LuaSpLoad),
    F("OVSpMove", LuaSpMove),
    F("OVSpClear", LuaSpClear),
    F("OVSpVisible", LuaSpVisible),
    F("OVSp2Load", LuaSp2Load),
    F("OVSp2Move", LuaSp2Move),
    F("OVSp2Clear", LuaSp2Clear),
    F("OVSp2Visible", LuaSp2Visible),
    F("OVSpGetInfo", LuaSpGetInfo),
    F("OVSp2GetInfo", LuaSp2GetInfo),
    F("OVSpGetPos", LuaSpGetPos),
    F("OVSp2GetPos", LuaSp2GetPos),
    F("OVSpCell", LuaSpCell),
    F("OVOggLoad", LuaOggLoad),
    F("OVOggPlay", LuaOggPlay),
    F("OVOggPlay2", LuaOggPlay2),
    F("OVOggClose", LuaOggClose),
    F("OVOggVolume", LuaOggVolume),
    F("OVOggFade", LuaOggFade),
    F("OVOggIsPlaying", LuaOggIsPlaying),
    F("OVOkBox", LuaOkBox),
    F("OVYesNoBox", LuaYesNoBox),
    F("OVLuaAnimationInterval", LuaAnimationIntervalFn),
    F("OVLuaAnimationMode", LuaAnimationModeFn),
    F("OVExecAnimation", LuaExecAnimation),
    F("OVUpdate", LuaUpdate),
    F("OVGetSkip", LuaGetSkip),
    F("OVInvalidate", LuaInvalidate),
    F("OVLinear", LuaLinear),
    F("OVDefSpline", LuaDefSpline),
    F("OVSpline", LuaSpline),
    F("OL_require", LuaRequire),
    F("OVDLoad", LuaTexLoad),
    F("OVDBlt", LuaTexBlt),
    F("OVDClear", LuaTexClear),
    F("OVDFill", LuaTexFill),
    F("OVDSp", LuaTexSp),
    F("OVDSpAdd", LuaTexSpAdd),
    F("OVDSp2", LuaTexSp2),
    F("OVDSp2Add", LuaTexSp2Add),
    F("OVDSp3", LuaTexSp3),
    F("OVDSp3Add", LuaTexSp3Add),
    F("OVDPresent", LuaTexPresent),
    F("OVDPresentRect", LuaTexPresentRect),
    F("OVDCopyToBg", LuaTexCopyToBg),
    F("OVDOffMode", LuaTexOffMode),
    F("OVDTransition", LuaTexTransition),
    F("OVDTransitionF", LuaTexTransitionF),
    F("OVDDLL", LuaTexDll),
    F("OVDCall", LuaTexCall),
    F("OVDSetSprite", LuaTexSetSprite),
    F("OVEnd", LuaEnd),
    F("OVClick", LuaClick),
    F("OVMouseMode", LuaMouseMode),
    F("OVDDelete", LuaTexDelete),
    F("OVDGetSize", LuaTexGetSize),
    F("OVDGetScreen", LuaTexGetScreen),
    F("OVDDirectX", LuaTexDirectX),
};
#undef F
static_assert(sizeof kLuaFunctions / sizeof kLuaFunctions[0] == 88, "88 registrations");

void RegisterLuaFunctions() {
    for (const auto& f : kLuaFunctions) OL_register(f.name, f.fn);
    ClearTextureFunctions();
    LuaAnimationMode = 0;
    LuaAnimationInterval = 15;
    LuaAnimationLast = 0;
}
