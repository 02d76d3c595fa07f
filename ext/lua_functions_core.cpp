// lua_functions_core.cpp - the script-side functions of files and chunks,
// operands (read at the live ReadPosition), flow, variables, timing and
// interpolation.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "archive/ov2.h"
#include "archive/ova.h"
#include "core/callstack.h"
#include "core/core_messages.h"
#include "core/error.h"
#include "core/flow_messages.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "ext/dllcache.h"
#include "ext/lua_functions.h"
#include "ext/lua_messages.h"
#include "ext/luahooks.h"
#include "ext/orva_exec.h"
#include "platform/platform.h"
#include "save/savepoint.h"
#include "ui/input_state.h"

int LuaGetWindowSize(lua_State* L) {
    OL_settop(L, 0);
    OL_pushinteger(L, ScreenWidth);
    OL_pushinteger(L, ScreenHeight);
    return 2;
}

int LuaSavePoint(lua_State* L) {
    OL_settop(L, 0);
    TakeSavepoint();
    return 0;
}

int LuaDoFile(lua_State* L) {
    LuaCheckArgs(L, "s", "OL_dofile", "OL_dofile(luafilename)");
    std::string name = OL_tostring(L, 1);
    OL_settop(L, 0);
    RunLuaFile(name.c_str());
    return 0;
}

int LuaDoString(lua_State* L) {
    LuaCheckArgs(L, "s", "OL_dostring", "OL_dostring(str)");
    const char* text = OL_tostring(L, 1);
    int n = (int)strlen(text);
    std::vector<char> converted(2 * (size_t)n + 1);
    ReadLuaSource(converted.data(), (const uint8_t*)text, n);
    OL_settop(L, 0);
    OL_dostring(converted.data());  // its result is not looked at
    return 0;
}

int LuaBind(lua_State* L) {
    LuaCheckArgs(L, "sss", "OL_bind", "OL_bind(dllname,dllfuncname,luafuncname)");
    std::string dll = OL_tostring(L, 1), function = OL_tostring(L, 2), name = OL_tostring(L, 3);
    OL_settop(L, 0);
    void* address = GetDllProc(dll.c_str(), function.c_str());
    if (!address) LuaFail(FmtBindFailed, name.c_str(), dll.c_str(), function.c_str());
    OL_register(name.c_str(), (LuaFunction)address);
    return 0;
}

int LuaExec(lua_State* L) {
    enum { ExecTextLimit = 1500 };
    LuaCheckArgs(L, "s", "OVExec", UsageExec);
    std::string command = OL_tostring(L, 1);
    OL_settop(L, 0);
    if (command.size() > ExecTextLimit) LuaFail("%s", MsgExecTooLong);
    OrvaExecWord(command.c_str());
    return 0;
}

int LuaGetFileInfo(lua_State* L) {
    LuaCheckArgs(L, "s", "OVGetFileInfo", "OVGetFileInfo(filename)");
    std::string name = OL_tostring(L, 1);
    OL_settop(L, 0);
    Ov2Lookup ov2;
    OvaLookup ova;
    if (PlatExists(name.c_str())) {
        OL_pushstring(L, name.c_str());
        OL_pushinteger(L, 0);
        OL_pushinteger(L, 0);
    } else if (FindOv2Entry(name.c_str(), &ov2) == 1) {
        OL_pushstring(L, ov2.archive.c_str());
        OL_pushinteger(L, (int32_t)ov2.offset);
        OL_pushinteger(L, (int32_t)ov2.size);
    } else if (OvaMode && FindOvaEntry(name.c_str(), &ova) >= 0) {
        OL_pushstring(L, ova.archive.c_str());
        OL_pushinteger(L, (int32_t)(ova.offset + OvaPrefixBytes()));
        OL_pushinteger(L, (int32_t)ova.stored);
    } else {
        return 0;
    }
    return 3;
}

int LuaTimer(lua_State* L) {
    OL_settop(L, 0);
    OL_pushnumber(L, (double)PlatTicks());
    return 1;
}

// ---- operands at ReadPosition ------------------------------------------------

int LuaPopInt(lua_State* L) {
    OL_settop(L, 0);
    OL_pushinteger(L, ReadIntExpr());
    return 1;
}

static int PopVariableNumber(lua_State* L, char sigil, const char* message) {
    OL_settop(L, 0);
    if (SkipBlanks() != sigil) ScriptError(CapError, message);
    ReadPosition++;
    OL_pushinteger(L, ReadIntExpr());
    return 1;
}

int LuaPopIntRef(lua_State* L) { return PopVariableNumber(L, '%', MsgIntRefExpected); }
int LuaPopStrRef(lua_State* L) { return PopVariableNumber(L, '$', MsgStrRefExpected); }

int LuaPopStr(lua_State* L) {
    OL_settop(L, 0);
    std::vector<char> value(StrValueSize);
    ReadStrExpr(value.data(), StrValueSize);
    OL_pushstring(L, value.data());
    return 1;
}

int LuaPopID(lua_State* L) {
    OL_settop(L, 0);
    char word[WordBufferSize];
    ReadWord(word);
    OL_pushstring(L, word);
    return 1;
}

// Given back without its '*', as the label operand reader gives it.
int LuaPopLabel(lua_State* L) {
    OL_settop(L, 0);
    char label[WordBufferSize];
    ReadLabelOperand(label);
    OL_pushstring(L, label);
    return 1;
}

int LuaPopComma(lua_State* L) {
    OL_settop(L, 0);
    ExpectComma();
    return 0;
}

int LuaCheckComma(lua_State* L) {
    OL_settop(L, 0);
    OL_pushboolean(L, SkipBlanks() == ',');
    return 1;
}

// ---- flow ---------------------------------------------------------------------

// The label is given with its '*' (the first character is skipped).
static std::string LabelArgument(lua_State* L, const char* name, const char* usage) {
    LuaCheckArgs(L, "s", name, usage);
    const char* text = OL_tostring(L, 1);
    std::string label = text[0] ? text + 1 : text;
    OL_settop(L, 0);
    return label;
}

int LuaGoto(lua_State* L) {
    std::string label = LabelArgument(L, "OVGoto", "OVGoto(labelstr)");
    JumpToLabel(label.c_str());
    return 0;
}

int LuaGosub(lua_State* L) {
    std::string label = LabelArgument(L, "OVGosub", "OVGosub(labelstr)");
    if (CallStackDepth >= CallStackSize) ScriptError(CapStack, MsgOvGosubStackFull);
    CallStack[CallStackDepth++] = ReadPosition;
    JumpToLabel(label.c_str());
    return 0;
}

int LuaReturn(lua_State* L) {
    OL_settop(L, 0);
    if (CallStackDepth <= 0) ScriptError(CapStack, MsgReturnUnmatched);
    if (CallStackDepth > CallStackSize) StackBroken();
    int32_t p = CallStack[--CallStackDepth];
    if (p < 0) ScriptError(CapStack, MsgReturnInFor);
    if (!IsScriptPosition(p)) StackBroken();
    ReadPosition = p;
    return 0;
}

// ---- variables ------------------------------------------------------------------

int LuaSetIntValue(lua_State* L) {
    LuaCheckArgs(L, "nn", "OVSetIntValue", "OVSetIntValue(valuenum,value)");
    int32_t n = OL_tointeger(L, 1), value = OL_tointeger(L, 2);
    OL_settop(L, 0);
    if (n < 0 || n >= VariableCount) LuaFail(FmtVarOutOfRange, "OVSetIntValue", n);
    IntVariables[n] = value;
    ClampIntVars();
    return 0;
}

int LuaGetIntValue(lua_State* L) {
    LuaCheckArgs(L, "n", "OVGetIntValue", "OVGetIntValue(valuenum)");
    int32_t n = OL_tointeger(L, 1);
    OL_settop(L, 0);
    if (n < 0 || n >= VariableCount) LuaFail(FmtVarOutOfRange, "OVGetIntValue", n);
    OL_pushinteger(L, IntVariables[n]);
    return 1;
}

int LuaSetStrValue(lua_State* L) {
    LuaCheckArgs(L, "ns", "OVSetStrValue", "OVSetStrValue(valuenum,str)");
    int32_t n = OL_tointeger(L, 1);
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgStrVarOutOfRange);
    AssignString(&StrVariables[n], OL_tostring(L, 2));
    OL_settop(L, 0);
    return 0;
}

int LuaGetStrValue(lua_State* L) {
    LuaCheckArgs(L, "n", "OVGetStrValue", "OVGetStrValue(valuenum)");
    int32_t n = OL_tointeger(L, 1);
    OL_settop(L, 0);
    if (n < 0 || n >= VariableCount) ScriptError(CapError, MsgStrVarOutOfRange);
    OL_pushstring(L, StringText(StrVariables[n]));
    return 1;
}

// ---- settings and state -----------------------------------------------------------

int LuaAnimationIntervalFn(lua_State* L) {
    LuaCheckArgs(L, "n", "OVLuaAnimationInterval", "OVLuaAnimationInterval(intervalms)");
    LuaAnimationInterval = OL_tointeger(L, 1);
    OL_settop(L, 0);
    return 0;
}

int LuaAnimationModeFn(lua_State* L) {
    LuaCheckArgs(L, "b", "OVLuaAnimationMode", "OVLuaAnimationMode(boolswitch)");
    LuaAnimationMode = OL_toboolean(L, 1) ? 1 : 0;
    LuaAnimationLast = 0;
    OL_settop(L, 0);
    return 0;
}

int LuaGetSkip(lua_State* L) {
    OL_settop(L, 0);
    OL_pushinteger(L, SkipMode ? 1 : AutoMode ? 2 : 0);
    return 1;
}

int LuaRequire(lua_State* L) {
    LuaCheckArgs(L, "s", "OL_require", "OL_require(str)");
    std::string name = OL_tostring(L, 1);
    OL_settop(L, 0);
    for (char& c : name) c = (c >= 'A' && c <= 'Z') ? (char)(c + 32) : c;
    if (name.find('.') == std::string::npos) name += ".lua";
    if (!LuaRequired.insert(name).second) return 0;
    RunLuaFile(name.c_str());
    return 0;
}

// ---- interpolation --------------------------------------------------------------

int LuaLinear(lua_State* L) {
    LuaCheckArgs(L, "xxxxx", "OVLinear", "y=L1(x0,y0,x1,y1,x)");
    double x0 = OL_tonumber(L, 1), y0 = OL_tonumber(L, 2), x1 = OL_tonumber(L, 3),
           y1 = OL_tonumber(L, 4), x = OL_tonumber(L, 5);
    OL_settop(L, 0);
    double y;
    if (y0 == y1)
        y = y0;
    else if (x0 == x1)
        LuaFail("%s", MsgLinearFailed);
    else
        y = y1 * (x - x0) / (x1 - x0) + y0 * (x - x1) / (x0 - x1);
    OL_pushnumber(L, y);
    return 1;
}

// z (a sixth of the second derivative) of the natural spline through the
// points: 0 at both ends, the inner ones from the tridiagonal system by
// forward elimination and back substitution.  The x values differ pairwise
// (checked by the caller).
static void SolveSpline(Spline* s) {
    int n = s->count;
    double diag[SplinePoints], rhs[SplinePoints];
    s->z[0] = s->z[n - 1] = 0;
    for (int i = 1; i < n - 1; i++) {
        double h0 = s->x[i] - s->x[i - 1], h1 = s->x[i + 1] - s->x[i];
        diag[i] = 2 * (h0 + h1);
        rhs[i] = (s->y[i + 1] - s->y[i]) / h1 - (s->y[i] - s->y[i - 1]) / h0;
        if (i > 1) {  // eliminate h0 * z(i-1) with row i-1, whose upper entry is h0
            double m = h0 / diag[i - 1];
            diag[i] -= m * h0;
            rhs[i] -= m * rhs[i - 1];
        }
    }
    for (int i = n - 2; i >= 1; i--) {
        double upper = i + 1 < n - 1 ? (s->x[i + 1] - s->x[i]) * s->z[i + 1] : 0;
        s->z[i] = (rhs[i] - upper) / diag[i];
    }
}

int LuaDefSpline(lua_State* L) {
    LuaCheckArgs(L, "ntt", "OVDefSpline", "OVDefSpline(num,xarray,yarray)");
    int32_t slot = OL_tointeger(L, 1);
    if (slot < 0 || slot >= SplineSlots) LuaFail(FmtSplineOutOfRange, "OVDefSpline", slot);
    Spline s;
    while (s.count < SplinePoints) {
        OL_pushinteger(L, s.count + 1);
        OL_gettable(L, 2);
        OL_pushinteger(L, s.count + 1);
        OL_gettable(L, 3);
        bool pair = OL_isnumber(L, -2) && OL_isnumber(L, -1);
        if (pair) {
            s.x[s.count] = OL_tonumber(L, -2);
            s.y[s.count] = OL_tonumber(L, -1);
        }
        OL_pop(L, 2);
        if (!pair) break;
        s.count++;
    }
    OL_settop(L, 0);
    if (s.count < 2) LuaFail("%s", MsgSplineTooFew);
    // Two neighbours with one x would divide by zero below.
    for (int i = 0; i + 1 < s.count; i++)
        if (s.x[i] == s.x[i + 1]) LuaFail("%s", MsgDefSplineUnsorted);
    SolveSpline(&s);
    SplineTable[slot] = s;
    return 0;
}

int LuaSpline(lua_State* L) {
    LuaCheckArgs(L, "nx", "OVSpline", "y=OVSpline(num,x)");
    int32_t slot = OL_tointeger(L, 1);
    double x = OL_tonumber(L, 2);
    OL_settop(L, 0);
    if (slot < 0 || slot >= SplineSlots) LuaFail(FmtSplineOutOfRange, "OVSpline", slot);
    const Spline& s = SplineTable[slot];
    int n = s.count;
    if (n < 2 || x < s.x[0] || x > s.x[n - 1]) LuaFail("%s", MsgSplineXOutside);
    for (int i = 0; i < n; i++) {
        if (x == s.x[i]) {
            OL_pushnumber(L, s.y[i]);
            return 1;
        }
        if (i + 1 < n && s.x[i] >= s.x[i + 1]) LuaFail("%s", MsgSplineUnsorted);
    }
    int lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        int mid = (lo + hi) / 2;
        if (s.x[mid] < x)
            lo = mid;
        else
            hi = mid;
    }
    double d = x - s.x[lo], h = s.x[lo + 1] - s.x[lo];
    double y = s.y[lo] + d * ((s.y[lo + 1] - s.y[lo]) / h - h * (2 * s.z[lo] + s.z[lo + 1]) +
                              d * (d * (s.z[lo + 1] - s.z[lo]) / h + 3 * s.z[lo]));
    OL_pushnumber(L, y);
    return 1;
}
