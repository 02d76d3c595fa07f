// Games that ship "ovlua.dll" (an empty file switches the built-in bridge on)
// played by the headless runner: command hooks replacing commands, each
// event hook at its moment, Lua-only games, the function groups seen
// through variables, CSV files and pixels, and the process ends of failing
// Lua.  Scripts check their own results and name a failed check as a
// command that does not exist ("fail_...").
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/script.h"
#include "core/variables.h"
#include "save/gamestate.h"
#include "tests/archive/arcpack.h"
#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace {

typedef std::vector<std::pair<std::string, std::string>> Files;

// Plays `script` (UTF-8; none for a Lua-only game) with "system.lua" (UTF-8,
// stored as CP932) and the bridge switched on.
RunResult PlayLua(const std::string& script, const std::string& system_lua,
                  const std::string& events = "", std::string* dir_out = nullptr,
                  const Files& files = {}) {
    std::string dir = MakeGameFolder();
    if (!script.empty()) WriteScript(dir, script);
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "system.lua", Cp932(system_lua));
    for (const auto& f : files) WriteGameFile(dir, f.first, f.second);
    RunOptions opt;
    opt.events = events;
    if (dir_out) *dir_out = dir;
    return RunGame(dir, opt);
}

TEST(LuaGames, ControlChecksFail) {
    RunResult r = PlayLua("*define\ngame\n*start\nif 1 = 1 fail_control\nend\n", "");
    EXPECT_EQ(FirstBox(r), "構文エラー: 不正な命令\"fail_control\"です。");
}

TEST(LuaGames, CommandHooksReplaceCommands) {
    RunResult r = PlayLua(
        "*define\nluasub addto\nluasub mov\nluasub greet\ngame\n*start\n"
        "_mov %1,5\naddto %1,3\nif %1 != 8 fail_addto\n"
        "mov %2,4\nif %2 != 8 fail_hooked_mov\n"
        "greet $3,World\nif $3 != \"hi world\" fail_greet\n"
        "end\n",
        "function OVCOM_addto() local v = OVPopIntRef() OVPopComma() "
        "OVSetIntValue(v, OVGetIntValue(v) + OVPopInt()) end\n"
        "function OVCOM_mov() local v = OVPopIntRef() OVPopComma() OVSetIntValue(v, OVPopInt() * 2) end\n"
        "function OVCOM_greet() local v = OVPopStrRef() OVPopComma() "
        "OVSetStrValue(v, 'hi ' .. OVPopID()) end\n");
    ExpectQuiet(r);
}

TEST(LuaGames, FailingLuaEndsWithMinusOneAndNoBox) {
    struct Case {
        const char* what;
        std::string script, lua;
    } cases[] = {
        {"a failing command hook", "*define\nluasub boom\ngame\n*start\nboom\nend\n",
         "function OVCOM_boom() error('boom') end"},
        {"a command hook without its function", "*define\nluasub gone\ngame\n*start\ngone\nend\n", ""},
        {"a system.lua that fails", "*define\ngame\n*start\nend\n", "this is not lua"},
        {"a precompiled system.lua", "*define\ngame\n*start\nend\n", std::string("\x1bLuaQ\0", 6)},
    };
    for (const Case& c : cases) {
        RunResult r = PlayLua(c.script, c.lua);
        EXPECT_EQ(r.status, 255) << c.what << "\n" << r.err;
        EXPECT_TRUE(r.boxes.empty()) << c.what << "\n" << r.err;
    }
    RunResult r = PlayLua("*define\ngame\n*start\nend\n", std::string("\x1bLuaQ\0", 6));
    EXPECT_NE(r.err.find("binary Lua chunks are refused"), std::string::npos) << r.err;
}

TEST(LuaGames, EventHooksFireAtTheirMoments) {
    std::string dir;
    RunResult r = PlayLua(
        "*define\nluacall reset\nluacall end\nluacall close\nluacall animation\n"
        "luasub animon\nluasub ticks\ngame\n*start\n"
        "if %300 = 1 reset\nif %300 != 2 fail_reset_hook\n"
        "animon\nwait 200\nticks %5\nif %5 < 2 fail_animation_hook\n"
        "wait 1000\nfail_close_refused_twice\n",
        "closes, ticks = 0, 0\n"
        "function OVCALL_reset() OVSetIntValue(300, OVGetIntValue(300) + 1) end\n"
        "function OVCALL_close() closes = closes + 1 return closes >= 2 end\n"
        "function OVCALL_end() local f = io.open('end.txt', 'w') f:write(closes) f:close() end\n"
        "function OVCOM_animon() OVLuaAnimationMode(true) end\n"
        "function OVCALL_animation() ticks = ticks + 1 return false end\n"
        "function OVCOM_ticks() OVSetIntValue(OVPopIntRef(), ticks) end\n",
        "250 close\n300 close\n", &dir);
    ExpectQuiet(r);
    std::string ended;
    ASSERT_TRUE(ReadGameFileBytes(dir, "end.txt", &ended));
    EXPECT_EQ(ended, "2");  // the first close was refused, the second let through
}

// "system.lua" packed in an ova archive, a module in an ov2 archive: both
// come through the one lookup, the packed entry unpacked.
TEST(LuaGames, SourcesFromArchives) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nova\nluasub check\ngame\n*start\ncheck\n"
                     "if %1 != 1 fail_require_once\nif $2 != \"表\" fail_sjis\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    std::string system_lua = Cp932(
        "function OVCOM_check()\r\n"
        "  OL_require('Mod') OL_require('MOD') OL_require('mod.lua')\r\n"
        "  OVSetIntValue(1, loads) OVSetStrValue(2, \"表\")\r\n"
        "end\r\n");
    WriteGameFile(dir, "arc.ova", arcpack::PackOva({{"system.lua", arcpack::Lzss, system_lua}}));
    WriteGameFile(dir, "00.ov2", arcpack::PackOv2({{"mod.lua", "loads = (loads or 0) + 1\n"}}));
    ExpectQuiet(RunGame(dir));
}

// Lua sources are looked for in the folder, then the ova archives, then the
// ov2 archives: each file below is in every place after the first that
// holds it, and says where it was read from.
TEST(LuaGames, SourcesSearchFolderThenOvaThenOv2) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\nova\nluasub check\ngame\n*start\ncheck\n"
                     "if $1 != \"ova folder ova\" fail_order\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "a.lua", "a = 'folder'\n");
    std::string check =
        "function OVCOM_check() OL_dofile('a.lua') OL_require('b') "
        "OVSetStrValue(1, sys .. ' ' .. a .. ' ' .. b) end\n";
    WriteGameFile(dir, "arc.ova",
                  arcpack::PackOva({{"system.lua", arcpack::Stored, "sys = 'ova'\n" + check},
                                    {"a.lua", arcpack::Stored, "a = 'ova'\n"},
                                    {"b.lua", arcpack::Lzss, "b = 'ova'\n"}}));
    WriteGameFile(dir, "00.ov2", arcpack::PackOv2({{"system.lua", "sys = 'ov2'\n" + check},
                                                   {"a.lua", "a = 'ov2'\n"},
                                                   {"b.lua", "b = 'ov2'\n"}}));
    ExpectQuiet(RunGame(dir));
}

// "system.lua" runs at the first reset, after *define: a savepoint hook bound
// there is called from the story on, none being taken in the define block.
TEST(LuaGames, SavepointHookBoundInTheDefineBlock) {
    RunResult r = PlayLua(
        "*define\nluacall savepoint\nluasub count\ngame\n*start\n"
        "mov %1,1\ncount %2\nif %2 != 2 fail_savepoints\nend\n",
        "n = 0\nfunction OVCALL_savepoint() n = n + 1 end\n"
        "function OVCOM_count() OVSetIntValue(OVPopIntRef(), n) end\n");
    ExpectQuiet(r);
}

// A slot's game state applied to the variables, as a load reads them.
bool ApplySlot(const std::string& bytes) {
    VariableCount = 4096;
    GlobalBorder = 200;
    AllocateVariableTables(VariableCount);
    SaveStream st;
    OpenSaveReader(&st, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return ReadGameState(&st, true);
}

// A save made while the savepoint hook runs writes the last savepoint's
// image, taken after the hook's previous call: the hook counts its calls
// into %7, and on its 4th call saves (OVExec), or sets %7 to 99 and fails
// under errorsave (the error save 999).  The slot holds 3.
TEST(LuaGames, SaveInsideTheSavepointHookWritesTheLastSavepoint) {
    struct Case {
        const char* what;
        const char* define;
        const char* fourth;  // the hook's 4th call
        const char* slot;
    } cases[] = {
        {"savegame from the hook", "", "OVSetIntValue(7, n) OVExec('savegame 1')", "save1.dat"},
        {"the hook fails", "errorsave\n", "OVSetIntValue(7, 99) error('failed')", "save999.dat"},
    };
    for (const Case& c : cases) {
        std::string dir;
        RunResult r = PlayLua(std::string("*define\n") + c.define +
                                  "luacall savepoint\ngame\n*start\n"
                                  "mov %1,1\nmov %1,2\nmov %1,3\nmov %1,4\nmov %1,5\nend\n",
                              std::string("function OVCALL_savepoint()\n"
                                          "  local n = OVGetIntValue(7) + 1\n"
                                          "  if n == 4 then ") +
                                  c.fourth + " return end\n  OVSetIntValue(7, n)\nend\n",
                              "", &dir);
        std::string bytes;
        ASSERT_TRUE(ReadGameFileBytes(dir, c.slot, &bytes)) << c.what << "\n" << FirstBox(r);
        ASSERT_TRUE(ApplySlot(bytes)) << c.what;
        EXPECT_EQ(IntVariables[7], 3) << c.what;
        EXPECT_EQ(IntVariables[1], 2) << c.what;  // the 3rd mov runs after the savepoint
    }
}

// A close request handled during print's transition runs the close hook
// while print's savepoint image is still deferred: the hook changes %7 and
// saves, and the slot holds the savepoint's %7.
TEST(LuaGames, SaveFromAHookDuringPrintWritesItsSavepoint) {
    std::string dir;
    RunResult r = PlayLua("*define\nluacall close\ngame\n*start\nmov %7,5\nprint 10,2000\nend\n",
                          "function OVCALL_close() OVSetIntValue(7, 99) OVExec('savegame 1') return false end\n",
                          "700 close\n", &dir);
    ExpectQuiet(r);
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &bytes));
    ASSERT_TRUE(ApplySlot(bytes));
    EXPECT_EQ(IntVariables[7], 5);
}

// Lua that runs while the last savepoint's image is still deferred, outside
// the hooks that build it first: the end hook after an error in an
// image-free command (print) or a journaled one (goto), and a Lua function
// a plug-in's transition calls on the state it kept (OL_bind) during print.
// Lua changes %7 and saves; the slot holds the savepoint's %7.
TEST(LuaGames, LuaOutsideTheBuildingHooksSavesTheSavepoint) {
    std::string plugin;
    {
        std::ifstream in(TEST_LUA_PLUGIN_PATH, std::ios::binary);
        plugin.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_FALSE(plugin.empty());
    const char* kChange = "OVSetIntValue(7, 99) OVExec('savegame 1')";
    struct Case {
        const char* what;
        std::string define, start, lua;
        const char* box;
    } cases[] = {
        {"end hook after print fails", "luacall end\n", "print 50\n",
         std::string("function OVCALL_end() ") + kChange + " end\n", "エラー: 未定義のエフェクトを使いました"},
        {"end hook after goto fails", "luacall end\n", "goto *nowhere\n",
         std::string("function OVCALL_end() ") + kChange + " end\n",
         "ラベルエラー: ラベル*nowhereは存在しません"},
        {"plug-in calls Lua during print", "", "print 99,100,\"lua_plugin.dll/inprint\"\nend\n",
         std::string("OL_bind('lua_plugin.dll', 'LuaPluginKeep', 'keep') keep()\n"
                     "function inprint() ") + kChange + " end\n",
         "<no box>"},
    };
    for (const Case& c : cases) {
        std::string dir;
        RunResult r = PlayLua("*define\n" + c.define + "game\n*start\nmov %7,5\n" + c.start, c.lua, "",
                              &dir, {{"lua_plugin.so", plugin}});
        std::string bytes;
        ASSERT_TRUE(ReadGameFileBytes(dir, "save1.dat", &bytes)) << c.what << "\n" << FirstBox(r) << r.err;
        ASSERT_TRUE(ApplySlot(bytes)) << c.what;
        EXPECT_EQ(IntVariables[7], 5) << c.what;
        EXPECT_EQ(FirstBox(r), c.box) << c.what;
    }
}

// OVPopLabel gives the name without its '*', as OVGoto wants it added.
TEST(LuaGames, PoppedLabelGoesToOVGoto) {
    RunResult r = PlayLua("*define\nluasub jump\ngame\n*start\njump *There\nfail_jump\n*there\nend\n",
                          "function OVCOM_jump() OVGoto('*' .. OVPopLabel()) end\n");
    ExpectQuiet(r);
}

TEST(LuaGames, TextHooks) {
    struct Case {
        const char* kind;
        const char* line;
        const char* got;  // what the hook received
    } cases[] = {
        {"text0", "「あ%5」", "「あ%5」"},
        {"text", "「あ%5」", "「あ１２」"},
        {"tag", "[name]「あ」", "name"},
    };
    for (const Case& c : cases) {
        std::string k = c.kind;
        RunResult r = PlayLua(
            "*define\nluacall " + k + "\ngame\n*start\nmov %5,12\n" + c.line + "\nif $9 != \"" +
                c.got + "\" fail_" + k + "\nend\n",
            "function OVCALL_" + k + "(s) OVSetStrValue(9, s) end\n");
        ExpectQuiet(r);
    }
}

TEST(LuaGames, LuaOnlyGames) {
    RunResult r = PlayLua("", "function OVCOM_main() OVOkBox('started', 'lua') end\n");
    EXPECT_EQ(r.status, 255) << r.err;
    ASSERT_EQ(r.boxes.size(), 2u) << r.err;
    EXPECT_EQ(r.boxes[0], "lua: started");
    EXPECT_EQ(FirstBox(RunResult{0, "", "", {r.boxes[1]}}),
              "エラー: LuaのOVCOM_main関数が終了してしまいました。");
    r = PlayLua("", "function OVCOM_main() OVEnd() end\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << r.err;
}

// OVClick waits for a click like the text's click wait: a click at 3000 ms
// ends it, so the timer read after it has moved on by about that much.
TEST(LuaGames, ClickWaitsForTheClick) {
    RunResult r = PlayLua(
        "*define\nluasub wait\ngame\n*start\nresettimer\nwait\ngettimer %1\n"
        "if %1 < 2000 fail_early\nif %1 > 4000 fail_late\nend\n",
        "function OVCOM_wait() OVClick() end\n", "3000 click 10 10\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.boxes.empty()) << FirstBox(r);
}

TEST(LuaGames, FunctionResultsThroughCsv) {
    std::string dir;
    RunResult r = PlayLua(
        "*define\nluasub compute\ngame\n*start\ncompute\n"
        "csvopen \"out.csv\",\"w\"\ncsvwrite %1,%2,%3,%4,%5,$6,%7,%8\ncsvclose\nend\n",
        "function OVCOM_compute()\n"
        "  local w, h = OVGetWindowSize()\n"
        "  OVSetIntValue(1, w) OVSetIntValue(2, h)\n"
        "  OVSetIntValue(3, OVLinear(0, 0, 10, 100, 2.5))\n"
        "  OVDefSpline(3, {0, 1, 2}, {0, 1, 0})\n"
        "  OVSetIntValue(4, OVSpline(3, 0.5) * 10000)\n"
        "  OVSpLoad(2, 'a.bmp') local cw, ch, n = OVSpGetInfo(2)\n"
        "  OVSetIntValue(5, cw * 100 + ch)\n"
        "  local path, offset, size = OVGetFileInfo('A.BMP')\n"
        "  OVSetStrValue(6, path)\n"
        "  OVSetIntValue(7, OVGetSkip())\n"
        "  local t0 = OVTimer() OVSleep(40) OVSetIntValue(8, OVTimer() - t0)\n"
        "end\n",
        "", &dir, {{"a.bmp", SolidBmp(6, 4, kRed)}});
    ExpectQuiet(r);
    std::string csv;
    ASSERT_TRUE(ReadGameFileBytes(dir, "out.csv", &csv));
    EXPECT_EQ(csv.substr(0, csv.find_first_of("\r\n")), "640,480,25,6875,604,A.BMP,0,40");
}

TEST(LuaGames, InputAndDialogs) {
    RunResult r = PlayLua(
        "*define\nluasub probe\ngame\n*start\nwait 100\nprobe\n"
        "if %1 != 11 fail_keys\nif %2 != 0 fail_other_keys\n"
        "if %3 != 100 fail_mouse_x\nif %4 != 50 fail_mouse_y\n"
        "if %5 != 10 fail_boxes\nif %6 != 0 fail_doevents\nend\n",
        "local function b(v) return v and 1 or 0 end\n"
        "function OVCOM_probe()\n"
        "  OVSetIntValue(1, b(OVGetKey('A')) * 10 + b(OVGetKey('a')))\n"
        "  OVSetIntValue(2, b(OVGetKey('RETURN')) + b(OVGetKey('F13')) + b(OVGetKey('')))\n"
        "  local x, y = OVGetMouse() OVSetIntValue(3, x) OVSetIntValue(4, y)\n"
        "  OVSetIntValue(5, b(OVYesNoBox('first', 'q')) * 10 + b(OVYesNoBox('second', 'q')))\n"
        "  OVSetIntValue(6, b(OVDoEvents()))\n"
        "  OVMouseMode(false) OVMouseMode(true)\n"
        "end\n",
        "10 keydown a\n10 move 100 50\n20 answer yes\n20 answer no\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.boxes, (std::vector<std::string>{"q: first", "q: second"}));
}

TEST(LuaGames, SpritesShowAfterUpdate) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\nluasub show\ngame\n*start\nshow\nwait 10\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "a.bmp", SolidBmp(20, 10, kRed));
    WriteGameFile(dir, "system.lua",
                  "function OVCOM_show()\n"
                  "  OVSpLoad(1, ':c;a.bmp') OVSpLoad(3, ':c;a.bmp')\n"  // 3 stays off screen
                  "  OVSpMove(1, 100, 50, 255) OVUpdate()\n"
                  "end\n");
    RunOptions opt;
    opt.frame_out = dir + "/frame.bmp";
    RunResult r = RunGame(dir, opt);
    ExpectQuiet(r);
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "frame.bmp", &bytes));
    Frame f;
    memcpy(&f.w, &bytes[18], 4);
    memcpy(&f.h, &bytes[22], 4);
    f.bmp = bytes;
    EXPECT_EQ(f.At(105, 55), kRed);
    EXPECT_EQ(f.At(99, 55), kBlack);
    EXPECT_EQ(f.At(639, 5), kBlack);
}

TEST(LuaGames, FatalErrorsFromLua) {
    struct Case {
        const char* call;
        const char* box;
    } cases[] = {
        {"OVSetStrValue(5000, 'x')", "エラー: 文字列変数番号が範囲外です。"},
        {"OVReturn()", "スタックエラー: returnとgosub文が正しく対応していません。"},
        {"OVPopIntRef()", "エラー: 数値変数が来るべきところに数値変数が来ませんでした。"},
        {"OVSystemCall('nothing')", "エラー: システムコールの文字列が不正です。"},
    };
    for (const Case& c : cases) {
        RunResult r = PlayLua("*define\nluasub go\ngame\n*start\ngo 5\nend\n",
                              std::string("function OVCOM_go() ") + c.call + " end\n");
        EXPECT_EQ(r.status, 1) << c.call << "\n" << r.err;
        EXPECT_EQ(FirstBox(r), c.box) << c.call;
    }
    // A Lua error in a hook: the process ends with -1, the message on stderr.
    RunResult r = PlayLua("*define\nluasub go\ngame\n*start\ngo\nend\n",
                          "function OVCOM_go() OVGetIntValue(5000) end\n");
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.err.find("OVGetIntValueの変数番号が有効な領域を超えています。5000"), std::string::npos)
        << r.err;
}

TEST(LuaGames, CommandsWithoutTheBridge) {
    for (const char* command : {"luasub a", "luacall text", "luastr a"}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\n") + command + "\ngame\n*start\nend\n");
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(FirstBox(r), "エラー: ovlua.dllがありません。") << command;
    }
}

}  // namespace
