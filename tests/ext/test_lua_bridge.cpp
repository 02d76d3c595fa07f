// The Lua bridge in-process: the source fix-ups, the argument checks and
// error texts of the script-side functions, interpolation, the operand
// readers, the stack top around hooks (also nested inside Lua calls), fatal
// errors unwinding out of Lua, refused precompiled chunks, OL_require, and
// the commands luasub, luacall and luastr.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "core/callstack.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "graphics/sprite.h"
#include "ext/lua_commands.h"
#include "ext/luaanim.h"
#include "ext/luabridge.h"
#include "ext/luahooks.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"
#include "ui/input_state.h"
#include "text/textline.h"
#include "ui/window_links.h"

namespace {

class LuaBridge : public testing::Test {
protected:
    std::string script_;
    std::string dir_;
    void SetUp() override {
        StartHeadlessForTests();
        ClearCapturedBoxes();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
        CallStackDepth = 0;
        LuaBridgeFinalize();
        LuaBridgeLoaded = true;
        LuaBridgeInitialize();
        RegisterLuaFunctions();
        LuaHooks.clear();
        LuaRequired.clear();
        TagModeOn = LuaTextHooksOn = 0;
        Script("");
    }
    void TearDown() override {
        LuaBridgeFinalize();
        LuaBridgeLoaded = false;
        LuaHooks.clear();
        ForgetScriptText();
    }
    // The script text the operand readers see, with room for command texts.
    void Script(const std::string& cp932) {
        UseScriptText(&script_, cp932);
        ExecAreaOffset = ScriptLength + 512;
        ExecAreaSavedPosition = 0;
    }
    void Reopen() {
        LuaBridgeInitialize();
        RegisterLuaFunctions();
    }
    void Run(const std::string& lua) { ASSERT_TRUE(OL_dostring(Cp932(lua).c_str())) << lua; }
    // The message of the Lua error `lua` raises (UTF-8, without the
    // position Lua puts in front), "<ok>" without one.
    std::string ErrorOf(const std::string& lua) {
        Run("local ok, e = pcall(function() " + lua + " end) _E = ok and '<ok>' or tostring(e)");
        std::string e = Utf8(Global("_E"));
        return e.rfind("chunk:1: ", 0) == 0 ? e.substr(9) : e;
    }
    std::string Global(const char* name) {
        lua_State* L = OL_GetL();
        OL_getglobal(L, name);
        const char* s = OL_tostring(L, -1);
        std::string v = s ? s : "<nil>";
        OL_pop(L, 1);
        return v;
    }
    double Number(const std::string& expr) {
        Run("_N = " + expr);
        return std::stod(Global("_N"));
    }
};

// ---- sources --------------------------------------------------------------------------

TEST_F(LuaBridge, SourceFixUps) {
    struct Case {
        const char* what;
        std::string in, out;
    } cases[] = {
        {"CR dropped", "a\r\nb\r", "a\nb"},
        {"trail '\\' doubled in quotes", "x=\"\x95\\\"", "x=\"\x95\\\\\""},
        {"left alone outside quotes", "-- \x95\\\n", "-- \x95\\\n"},
        {"escaped quote keeps the string open", "\"a\\\"\x95\\\"", "\"a\\\"\x95\\\\\""},
        {"escaped backslash ends the escape", "\"a\\\\\" \x95\\", "\"a\\\\\" \x95\\"},
        {"newline ends the quotes", "\"a\n\x95\\", "\"a\n\x95\\"},
        {"lead byte across a CR", "\"\x95\r\\\"", "\"\x95\\\\\""},
        {"lead byte at the end", "\"\x95", "\"\x95"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        std::vector<char> out(2 * c.in.size() + 1, 'Z');
        int r = ReadLuaSource(out.data(), (const uint8_t*)c.in.data(), (int)c.in.size());
        EXPECT_EQ(std::string(out.data()), c.out) << c.what;
        EXPECT_EQ(r, (int)c.out.size() + 1) << c.what;
    }
}

TEST_F(LuaBridge, ShiftJisBackslashReachesLuaWhole) {
    // 表 is 0x95 0x5C: without the fix-up Lua would read "\"" as an escape.
    WriteGameFile(dir_, "t.lua", Cp932("s = \"表\"\r\n"));
    RunLuaFile("t.lua");
    EXPECT_EQ(Utf8(Global("s")), "表");
}

TEST_F(LuaBridge, BinaryChunksAreRefused) {
    EXPECT_EQ(OL_dostring("\x1bLuaQ"), 0);
    Run("f, e = loadstring(string.dump(function() return 1 end))");
    EXPECT_EQ(Global("f"), "<nil>");
    EXPECT_NE(Global("e").find("binary"), std::string::npos);
    Run("g = load(string.dump(function() return 1 end))");
    EXPECT_EQ(Global("g"), "<nil>");
    Run("ok = loadstring('return 5')() == 5");
    EXPECT_EQ(Global("ok"), "<nil>");  // a boolean has no string form here
    EXPECT_EQ(Number("loadstring('return 5')()"), 5);
    // Lua's own file loaders and require refuse it as well.
    WriteGameFile(dir_, "dumped.lua", "");
    Run("local h = io.open('dumped.lua', 'wb') h:write(string.dump(function() return 1 end)) h:close()");
    Run("lf = loadfile('dumped.lua')");
    EXPECT_EQ(Global("lf"), "<nil>");
    Run("package.path = './?.lua' ok, e = pcall(require, 'dumped')");
    EXPECT_NE(Global("e").find("binary"), std::string::npos) << Global("e");
    EXPECT_EQ(ErrorOf("dofile('dumped.lua')").find("binary") != std::string::npos, true);
    WriteGameFile(dir_, "plain.lua", "return 'plain module'");
    Run("m = require('plain')");
    EXPECT_EQ(Global("m"), "plain module");
    // A binary file is never run: the source fails, which ends the process.
    WriteGameFile(dir_, "bin.lua", std::string("\x1bLuaQ\0\x01\x04", 8));
    EXPECT_EQ(ExitCodeOf([] { RunLuaFile("bin.lua"); }), -1);
}

TEST_F(LuaBridge, EmptyAndMissingFilesAreHarmless) {
    WriteGameFile(dir_, "empty.lua", "");
    EXPECT_EQ(ExitCodeOf([] { RunLuaFile("empty.lua"); }), -1000);
    EXPECT_EQ(ExitCodeOf([] { RunLuaFile("missing.lua"); }), -1000);
    WriteGameFile(dir_, "bad.lua", "this is not lua");
    EXPECT_EQ(ExitCodeOf([] { RunLuaFile("bad.lua"); }), -1);
    WriteGameFile(dir_, "eof.lua", "n = 1\n\x1a garbage");  // a text-mode read ends at Ctrl-Z
    RunLuaFile("eof.lua");
    EXPECT_EQ(Number("n"), 1);
}

TEST_F(LuaBridge, RequireLoadsEachModuleOnce) {
    WriteGameFile(dir_, "mod.lua", "loads = (loads or 0) + 1\n");
    Run("OL_require('mod') OL_require('Mod.lua') OL_require('MOD')");
    EXPECT_EQ(Number("loads"), 1);
    Run("OL_dofile('mod.lua')");
    EXPECT_EQ(Number("loads"), 2);
    Run("OL_dostring('loads = loads + 10')");
    EXPECT_EQ(Number("loads"), 12);
}

// ---- argument checks and error texts --------------------------------------------

TEST_F(LuaBridge, ArgumentAndRangeErrors) {
    Run("OVDefSpline(1, {0, 2, 1, 3}, {0, 1, 2, 3}) OVDefSpline(2, {0, 1}, {0, 1})");
    struct Case {
        const char* call;
        const char* message;
    } cases[] = {
        {"OVSpLoad('x', 'y')", "OVSpLoadの引数が間違っています。OVSpLoad(num,filename)"},
        {"OVGetIntValue('5')", "OVGetIntValueの引数が間違っています。OVGetIntValue(valuenum)"},
        {"OVSetStrValue(1, 2)", "OVSetStrValueの引数が間違っています。OVSetStrValue(valuenum,str)"},
        {"OVSpVisible(1, 1)", "OVSpVisibleの引数が間違っています。OVSpVisible(num,isvisible)"},
        {"OVSp2Move(1, 2, 3)",
         "OVSp2Moveの引数が間違っています。OVSp2Move(num,cx,cy,xs,ys,rot,alpha,ope)\nope:0普通1加算2減算"},
        {"OVExec(1)", "OVExecの引数が間違っています。OVExec(script) scriptには一命令だけ与えてください。"},
        {"OVLinear(1, 2, 3, 4)", "OVLinearの引数が間違っています。y=L1(x0,y0,x1,y1,x)"},
        {"OVDefSpline(0, {}, 1)", "OVDefSplineの引数が間違っています。OVDefSpline(num,xarray,yarray)"},
        {"OVMouseMode(1)", "OVMouseModeの引数が間違っています。OVMouseMode(boolswitch)"},
        {"OL_bind('a', 'b')", "OL_bindの引数が間違っています。OL_bind(dllname,dllfuncname,luafuncname)"},
        {"OVSetIntValue(100, 1)", "OVSetIntValueの変数番号が有効な領域を超えています。100"},
        {"OVGetIntValue(-1)", "OVGetIntValueの変数番号が有効な領域を超えています。-1"},
        {"OVSpLoad(1000, 'a')", "OVSpLoadのスプライト番号が範囲外です。1000"},
        {"OVSpCell(-1, 0)", "OVSpCellのスプライト番号が範囲外です。-1"},
        {"OVSp2Move(256, 0, 0, 0, 0, 0, 0, 0)", "OVSp2Moveのスプライト番号が範囲外です。256"},
        {"OVSpGetInfo(3)", "OVSpGetInfoがロードされていないスプライトの情報を得ようとしました。"},
        {"OVSp2GetInfo(3)", "OVSp2GetInfoがロードされていないスプライトの情報を得ようとしました。"},
        {"OVSpGetPos(3)", "OVSpGetPosがロードされていないスプライトの情報を得ようとしました。"},
        {"OVSp2GetPos(3)", "OVSp2GetPosがロードされていないスプライトの情報を得ようとしました。"},
        {"OVExec(string.rep('a', 1501))", "OVExecに与える文字列が長すぎます。"},
        {"OL_bind('nolib.dll', 'f', 'g')", "DLL関数のバインドに失敗しました。g <- nolib.dll::f"},
        {"OVLinear(1, 2, 1, 3, 0)", "線形補間に失敗しました。不正な値を指定しています。"},
        {"OVDefSpline(100, {0, 1}, {0, 1})", "OVDefSplineのスプライン番号が範囲外です。100"},
        {"OVDefSpline(0, {1}, {1})", "OVDefSpline:スプライン補間には２点以上の点を与えてください。"},
        {"OVDefSpline(0, {1, 1}, {2, 3})",
         "OVDefSpline:xarrayは同じ値を含まない、小さい順にソートされた配列でなければなりません。"},
        {"OVSpline(-1, 0)", "OVSplineのスプライン番号が範囲外です。-1"},
        {"OVSpline(2, 1.5)", "OVSpline：求めたいxが範囲外です。"},
        {"OVSpline(2, -0.5)", "OVSpline：求めたいxが範囲外です。"},
        {"OVSpline(7, 0)", "OVSpline：求めたいxが範囲外です。"},
        {"OVSpline(1, 1.5)",
         "OVSpline:xarrayは同じ値を含まない、小さい順にソートされた配列でなければなりません。"},
        {"OVOggPlay(1, true)", "ovogg2.dllがロードされていません。"},
        {"OVOggLoad(1, 'a.ogg')", "ovogg2.dllがロードされていません。"},
        {"OVOggFade(1, 0, 0, 0, 1)",
         "OVOggFadeの引数が間違っています。OVOggFade(num,startvol,endvol,time,closeflag)"},
        {"OVDLoad(64, '*4,4')", "OVD系命令のテクスチャ番号64が範囲外です(0～63)"},
        {"OVDGetSize(5)", "OVDGetSize:存在しないテクスチャ5の幅と高さを得ようとしました。"},
        {"OVGetWindowSize()", "<ok>"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.call), c.message) << c.call;
    EXPECT_EQ(OL_gettop(OL_GetL()), 0);
}

// A library function bound by OL_bind runs on the engine's Lua state: the
// process holds one Lua.
TEST_F(LuaBridge, BoundLibraryFunctionsShareTheState) {
    std::filesystem::copy_file(TEST_LUA_PLUGIN_PATH, std::filesystem::path(dir_) / "twice.so");
    Run("OL_bind('twice.dll', 'LuaPluginTwice', 'Twice')");
    EXPECT_EQ(Number("Twice(21)"), 42);
    EXPECT_EQ(ErrorOf("OL_bind('twice.dll', 'Missing', 'M')"),
              "DLL関数のバインドに失敗しました。M <- twice.dll::Missing");
}

TEST_F(LuaBridge, OggNeedsItsFileOnceThePluginIsThere) {
    OggPlugin2Active = true;
    EXPECT_EQ(ErrorOf("OVOggLoad(1, 'a.ogg')"), "OVOggLoadのエラー：ファイル\"a.ogg\"が見つかりません。");
    WriteGameFile(dir_, "a.ogg", "x");
    EXPECT_EQ(ErrorOf("OVOggLoad(1, 'a.ogg')"), "<ok>");  // found; no Ogg, so nothing opens
    OggPlugin2Active = false;
}

TEST_F(LuaBridge, FatalErrorsLeaveLuaWhole) {
    struct Case {
        const char* call;
        const char* box;
        int depth;  // the call stack before
    } cases[] = {
        {"OVSetStrValue(100, 'a')", "エラー: 文字列変数番号が範囲外です。", 0},
        {"OVGetStrValue(-1)", "エラー: 文字列変数番号が範囲外です。", 0},
        {"OVReturn()", "スタックエラー: returnとgosub文が正しく対応していません。", 0},
        {"OVGosub('*a')", "スタックエラー: OVGosubのせいでスタックが溢れました。", CallStackSize},
        {"OVReturn()",
         "スタックエラー: おそらくfor文中からreturnしています。for文中からreturnでループの外に出ないようにしてください。",
         -1},
        {"OVSystemCall('bogus')", "エラー: システムコールの文字列が不正です。", 0},
    };
    for (const Case& c : cases) {
        CallStackDepth = c.depth < 0 ? 4 : c.depth;
        if (c.depth < 0) CallStack[3] = -5;
        if (!OL_GetL()) Reopen();
        // Even a Lua pcall around the function does not stop the engine's
        // end; the window's end closes Lua once the call has unwound.
        std::string lua = std::string("pcall(function() ") + c.call + " end)";
        EXPECT_EQ(FatalBoxOf([&] { OL_dostring(lua.c_str()); }, true), c.box) << c.call;
        EXPECT_EQ(OL_GetL(), nullptr) << c.call;
    }
    CallStackDepth = 0;
}

// ---- values -------------------------------------------------------------------------

TEST_F(LuaBridge, Interpolation) {
    EXPECT_EQ(Number("OVLinear(0, 5, 0, 5, 3)"), 5);  // equal y wins over equal x
    EXPECT_DOUBLE_EQ(Number("OVLinear(0, 0, 10, 100, 2.5)"), 25);
    EXPECT_DOUBLE_EQ(Number("OVLinear(10, 100, 0, 0, 12)"), 120);
    Run("OVDefSpline(0, {0, 1, 2}, {0, 1, 0})");
    EXPECT_DOUBLE_EQ(Number("OVSpline(0, 0.5)"), 0.6875);  // -x^3/2 + 3x/2
    EXPECT_DOUBLE_EQ(Number("OVSpline(0, 1)"), 1);         // a stored point as stored
    EXPECT_DOUBLE_EQ(Number("OVSpline(0, 0)"), 0);
    EXPECT_DOUBLE_EQ(Number("OVSpline(0, 1.5)"), 0.6875);
    Run("OVDefSpline(5, {0, 1, 2, 3}, {0, 1, 0, 1})");
    EXPECT_NEAR(Number("OVSpline(5, 1.5)"), 0.5, 1e-12);
    // z1 = -2/3, z2 = 2/3: on [0,1] the curve is -2x^3/3 + 5x/3.
    EXPECT_NEAR(Number("OVSpline(5, 0.5)"), 0.75, 1e-12);
    Run("OVDefSpline(6, {0, 1, 2, 3, 4}, {0, 2, 4, 6, 8})");  // a line stays a line
    EXPECT_NEAR(Number("OVSpline(6, 2.25)"), 4.5, 1e-12);
    // A failed definition leaves the slot as it was.
    ErrorOf("OVDefSpline(5, {0, 0}, {1, 2})");
    EXPECT_NEAR(Number("OVSpline(5, 1.5)"), 0.5, 1e-12);
    // Pairs are read while both are numbers, at most 32.
    Run("xs, ys = {}, {} for i = 1, 40 do xs[i] = i; ys[i] = i end OVDefSpline(7, xs, ys)");
    EXPECT_EQ(ErrorOf("OVSpline(7, 33)"), "OVSpline：求めたいxが範囲外です。");
    EXPECT_NEAR(Number("OVSpline(7, 31.5)"), 31.5, 1e-9);
}

TEST_F(LuaBridge, VariablesAndState) {
    IntLimitMax[4] = -1;
    SetIntLimit(4, 0, 10);
    Run("OVSetIntValue(3, 77) OVSetIntValue(4, 50) OVSetStrValue(5, 'abc')");
    EXPECT_EQ(IntVariables[3], 77);
    EXPECT_EQ(IntVariables[4], 10);  // the limits apply
    EXPECT_EQ(Number("OVGetIntValue(3)"), 77);
    EXPECT_EQ(Global("_N"), "77");
    Run("s = OVGetStrValue(5)");
    EXPECT_EQ(Global("s"), "abc");
    Run("OVSetIntValue(3, 2.9) OVSetIntValue(6, -2.9) OVSetIntValue(7, 1e12)");
    EXPECT_EQ(IntVariables[3], 2);
    EXPECT_EQ(IntVariables[6], -2);
    EXPECT_EQ(IntVariables[7], INT32_MAX);
    Run("w, h = OVGetWindowSize()");
    EXPECT_EQ(Global("w"), std::to_string(ScreenWidth));
    Run("OVLuaAnimationInterval(40) OVLuaAnimationMode(true)");
    EXPECT_EQ(LuaAnimationInterval, 40);
    EXPECT_EQ(LuaAnimationMode, 1);
    RegisterLuaFunctions();
    EXPECT_EQ(LuaAnimationInterval, 15);
    EXPECT_EQ(LuaAnimationMode, 0);
}

// A 24-bit picture of w x h pixels, all one colour.
std::string Bmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    int stride = (w * 3 + 3) / 4 * 4;
    std::string f(54 + stride * h, '\0');
    auto put = [&](int at, uint32_t v, int n) {
        for (int i = 0; i < n; i++) f[at + i] = (char)(v >> (8 * i));
    };
    f[0] = 'B', f[1] = 'M';
    put(2, (uint32_t)f.size(), 4), put(10, 54, 4), put(14, 40, 4), put(18, w, 4), put(22, h, 4);
    put(26, 1, 2), put(28, 24, 2);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int at = 54 + y * stride + x * 3;
            f[at] = (char)b, f[at + 1] = (char)g, f[at + 2] = (char)r;
        }
    return f;
}

TEST_F(LuaBridge, SpriteSettings) {
    WriteGameFile(dir_, "a.bmp", Bmp(8, 3, 255, 0, 0));
    Run("w, h, n = OVSpLoad(4, ':a/2;a.bmp') w, h, n = OVSpGetInfo(4)");
    EXPECT_EQ(Global("w") + "," + Global("h") + "," + Global("n"), "2,3,2");
    Run("OVSpCell(4, 9) OVSpCell(6, 1)");  // a free sprite's cell is left alone
    EXPECT_EQ(Sprites[4].surface.cell, 1);
    Run("OVSp2Load(4, 'a.bmp') w, h = OVSp2GetInfo(4)");
    EXPECT_EQ(Global("w") + "," + Global("h"), "8,3");
    Run("OVSpLoad(5, 'a.bmp') x, y, a = OVSpGetPos(5)");
    EXPECT_EQ(Global("x"), std::to_string(ScreenWidth + 1));
    EXPECT_EQ(Global("y"), "0");
    EXPECT_EQ(Global("a"), "255");
    Run("OVSpMove(5, 10, 20, 128) x, y, a = OVSpGetPos(5)");
    EXPECT_EQ(Global("x") + "," + Global("y") + "," + Global("a"), "10,20,128");
    Run("OVSp2Load(7, 'a.bmp') r = {OVSp2GetPos(7)}");
    Run("r = table.concat(r, ',')");
    EXPECT_EQ(Global("r"), std::to_string(ScreenWidth) + ",0,0,0,0,255,0");
    struct {
        int given, stored;
    } rotations[] = {{-90, 270}, {725, 5}, {360, 0}, {-720, 0}, {359, 359}};
    for (auto r : rotations) {
        Run("OVSp2Move(7, 1, 2, 50, 60, " + std::to_string(r.given) + ", 200, 1) r = {OVSp2GetPos(7)}");
        Run("r = table.concat(r, ',')");
        EXPECT_EQ(Global("r"), "1,2,50,60," + std::to_string(r.stored) + ",200,1") << r.given;
    }
    Run("OVSpClear(5) OVSp2Clear(7)");
    EXPECT_EQ(ErrorOf("OVSpGetPos(5)"), "OVSpGetPosがロードされていないスプライトの情報を得ようとしました。");
    EXPECT_EQ(ErrorOf("OVSp2GetPos(7)"), "OVSp2GetPosがロードされていないスプライトの情報を得ようとしました。");
}

TEST_F(LuaBridge, ClicksAreTakenOnce) {
    Clicked = 1;
    WheelDelta = -120;
    Run("l, r, w = OVGetClick() a = tostring(l) .. tostring(r) .. w");
    EXPECT_EQ(Global("a"), "truefalse-120");
    Run("l, r, w, lp, rp = OVGetClick() b = tostring(l) .. tostring(r) .. w .. tostring(lp) .. tostring(rp)");
    EXPECT_EQ(Global("b"), "falsefalse0falsefalse");
}

// ---- operands at the live read position ----------------------------------------

TEST_F(LuaBridge, PopsReadTheScriptText) {
    IntVariables[2] = 40;
    AssignString(&StrVariables[1], "cd");
    Script("%2+2, \"ab\"+$1, Word ,*Lab %7 , $8 tail");
    Run("a = OVPopInt() OVPopComma() b = OVPopStr() c1 = OVCheckComma() OVPopComma() "
        "d = OVPopID() OVPopComma() e = OVPopLabel() f = OVPopIntRef() c2 = OVCheckComma() "
        "OVPopComma() g = OVPopStrRef() c3 = OVCheckComma()");
    EXPECT_EQ(Global("a"), "42");
    EXPECT_EQ(Global("b"), "abcd");
    EXPECT_EQ(Global("d"), "word");
    EXPECT_EQ(Global("e"), "lab");
    EXPECT_EQ(Global("f"), "7");
    EXPECT_EQ(Global("g"), "8");
    Run("cs = tostring(c1) .. tostring(c2) .. tostring(c3)");
    EXPECT_EQ(Global("cs"), "truetruefalse");
    EXPECT_EQ(std::string(ScriptBuffer + ReadPosition), "tail");
    Script("5");
    EXPECT_EQ(FatalBoxOf([] { OL_call("OVPopIntRef", 0); }, true),
              "エラー: 数値変数が来るべきところに数値変数が来ませんでした。");
    Reopen();  // the fatal error's end closed Lua
    Script("%5");
    EXPECT_EQ(FatalBoxOf([] { OL_call("OVPopStrRef", 0); }, true),
              "エラー: 文字列変数が来るべきところに文字列変数が来ませんでした。");
}

// ---- hooks and the stack top ------------------------------------------------------

TEST_F(LuaBridge, HooksKeepTheStackTop) {
    lua_State* L = OL_GetL();
    Run("function yes() return true end function no() return 1 end function bad() error('x') end "
        "function text(s) got = s end");
    for (int i = 0; i < 3; i++) OL_pushinteger(L, 9);  // a caller's values
    EXPECT_EQ(CallLuaBoolHook("yes"), 1);
    EXPECT_EQ(CallLuaBoolHook("no"), 0);  // only the boolean true counts
    EXPECT_EQ(CallLuaBoolHook("bad"), -1);
    bool redraw = false;
    EXPECT_TRUE(CallLuaAnimationHook("yes", &redraw));
    EXPECT_TRUE(redraw);
    EXPECT_FALSE(CallLuaAnimationHook("bad", &redraw));
    EXPECT_TRUE(CallLuaTextHook("text", "abc"));
    EXPECT_EQ(Global("got"), "abc");
    EXPECT_TRUE(CallLuaIntHook("text", 7));
    EXPECT_TRUE(CallLuaCommandHook("yes"));
    EXPECT_FALSE(CallLuaCommandHook("missing"));
    EXPECT_EQ(OL_gettop(L), 3);
    OL_settop(L, 0);
}

// A close answered from inside a Lua call: the hook's result is read above
// the values the running function holds, not at the stack's bottom.
int AskClose(lua_State* L) {
    OL_pushinteger(L, CallLuaBoolHook("OVCALL_close"));
    return 1;
}

TEST_F(LuaBridge, NestedHooksWorkRelativeToTheTop) {
    OL_register("AskClose", &LuaGuarded<AskClose>);
    Run("function OVCALL_close() return true end "
        "function probe(a, b, c) return AskClose() end r = probe(false, 2, 3)");
    EXPECT_EQ(Global("r"), "1");
    // A command hook run by OVExec inside a Lua function.
    LuaHooks["inner"] = "OVCOM_inner";
    Script("outer\n");
    ReadPosition = 5;
    Run("function OVCOM_inner() OVSetIntValue(1, OVPopInt()) end "
        "function outer() local a, b = 1, 2 OVExec('inner 42') OVSetIntValue(2, a + b) end");
    EXPECT_TRUE(CallLuaCommandHook("outer"));
    EXPECT_EQ(IntVariables[1], 42);
    EXPECT_EQ(IntVariables[2], 3);
    EXPECT_EQ(ReadPosition, 5);  // back behind the statement
    EXPECT_EQ(ExecAreaSavedPosition, 0);
    // A fatal error two calls deep comes out whole; Lua still works.
    Run("function OVCOM_inner() OVSetStrValue(1000, 'x') end");
    ClearCapturedBoxes();
    EXPECT_NE(ExitCodeOf([] { CallLuaCommandHook("outer"); }), -1000);
    EXPECT_EQ(LastBoxCut(true), "エラー: 文字列変数番号が範囲外です。");
    EXPECT_EQ(OL_GetL(), nullptr);
}

TEST_F(LuaBridge, GotoGosubAndReturnMoveTheScript) {
    LabelMax = 100;
    AllocateLabelTable(LabelMax);
    Script("*a\nx\n*b\ny\n");
    ScanLabels();
    Run("OVGoto('*b')");
    EXPECT_EQ(std::string(ScriptBuffer + ReadPosition), "y\n");
    ReadPosition = 2;
    Run("OVGosub('*B')");
    EXPECT_EQ(CallStackDepth, 1);
    EXPECT_EQ(CallStack[0], 2);
    EXPECT_EQ(std::string(ScriptBuffer + ReadPosition), "y\n");
    Run("OVReturn()");
    EXPECT_EQ(ReadPosition, 2);
    EXPECT_EQ(CallStackDepth, 0);
    // A command given as text: a jump keeps its new position, anything
    // else comes back; only the first command runs.
    Run("OVExec('mov %1,7:mov %2,8')");
    EXPECT_EQ(ReadPosition, 2);
    EXPECT_EQ(IntVariables[1], 7);
    EXPECT_EQ(IntVariables[2], 0);
    Run("OVExec('goto *b')");
    EXPECT_EQ(std::string(ScriptBuffer + ReadPosition), "y\n");
    // Its errors name the text of the command.
    std::string box = FatalBoxOf([] { OL_dostring("OVExec('goto *nowhere')"); }, false);
    EXPECT_NE(box.find("OVExec呼び出し:goto *nowhere"), std::string::npos) << box;
    EXPECT_EQ(ExecAreaSavedPosition, 0);
}

// ---- commands ------------------------------------------------------------------------

TEST_F(LuaBridge, LuaCommands) {
    Script("Main");
    Cmd_luasub();
    EXPECT_EQ(std::string(FindLuaHook("main")), "OVCOM_main");
    Script("tag");
    Cmd_luacall();
    EXPECT_EQ(TagModeOn, 1);
    EXPECT_EQ(LuaTextHooksOn, 1);
    TagModeOn = LuaTextHooksOn = 0;
    Script("text0");
    Cmd_luacall();
    EXPECT_EQ(TagModeOn, 0);
    EXPECT_EQ(LuaTextHooksOn, 1);
    EXPECT_EQ(std::string(FindLuaHook(":text0")), "OVCALL_text0");
    Script("transition");
    Cmd_luacall();
    Script("return");
    Cmd_luastr();
    struct Case {
        const char* text;
        void (*command)();
        const char* box;
    } cases[] = {
        {"_x", Cmd_luasub, "エラー: luasubサブルーチンの一文字目に_は使えません。"},
        {"main", Cmd_luasub, "エラー: luasubの二重登録です。main"},
        {"bogus", Cmd_luacall, "エラー: 定義されていないコールバック関数を登録しようとしました。"},
        {"text0", Cmd_luacall, "エラー: luacallの二重登録です。:text0"},
        {"nothing", Cmd_luastr, "エラー: luastrが呼び出したLuaスクリプト内でエラーが発生しました。"},
    };
    for (const Case& c : cases) {
        Script(c.text);
        EXPECT_EQ(FatalBoxOf(c.command, true), c.box) << c.text;
    }
    LuaBridgeLoaded = false;
    EXPECT_EQ(FindLuaHook("main"), nullptr);
    for (void (*command)() : {Cmd_luasub, Cmd_luacall, Cmd_luastr}) {
        Script("x");
        EXPECT_EQ(FatalBoxOf(command, true), "エラー: ovlua.dllがありません。");
    }
}

}  // namespace
