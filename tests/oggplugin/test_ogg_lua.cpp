// The OVOgg* functions: their Lua errors in-process (no plug-in, channel
// numbers, missing files, bad arguments), and a Lua game that ships
// "ovogg2.dll" playing Ogg files from the folder and from archives, checked
// through the variables it sets and the sound trace of the headless runner.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>
#include <vector>

#include "ext/luabridge.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "sound/ogg_channels.h"
#include "tests/archive/arcpack.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

class OggLua : public testing::Test {
protected:
    std::string dir_;
    void SetUp() override {
        StartHeadlessForTests();
        dir_ = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir_.c_str()));
        LuaBridgeFinalize();
        LuaBridgeLoaded = true;
        LuaBridgeInitialize();
        RegisterLuaFunctions();
        OggPlugin2Active = true;
    }
    void TearDown() override {
        OggPlugin2Active = false;
        OggCloseAll();
        LuaBridgeFinalize();
        LuaBridgeLoaded = false;
    }
    // The message of the Lua error `lua` raises (UTF-8, without Lua's
    // position), "<ok>" without one.
    std::string ErrorOf(const std::string& lua) {
        std::string chunk =
            "local ok, e = pcall(function() " + lua + " end) _E = ok and '<ok>' or tostring(e)";
        EXPECT_TRUE(OL_dostring(Cp932(chunk).c_str())) << lua;
        lua_State* L = OL_GetL();
        OL_getglobal(L, "_E");
        std::string e = Utf8(OL_tostring(L, -1));
        OL_pop(L, 1);
        return e.rfind("chunk:1: ", 0) == 0 ? e.substr(9) : e;
    }
};

TEST_F(OggLua, Errors) {
    WriteGameFile(dir_, "a.ogg", ToneOgg(0.5, 440, 44100, 1, 0.5));
    WriteGameFile(dir_, "text.ogg", "not an Ogg file");
    struct Case {
        bool plugin;
        const char* call;
        const char* message;
    } cases[] = {
        {false, "OVOggClose(1)", "ovogg2.dllがロードされていません。"},
        {false, "OVOggPlay2(1, 0.5)", "ovogg2.dllがロードされていません。"},
        {false, "OVOggVolume(1, 0)", "ovogg2.dllがロードされていません。"},
        {false, "OVOggFade(1, 0, 0, 0, true)", "ovogg2.dllがロードされていません。"},
        {false, "OVOggIsPlaying(1)", "ovogg2.dllがロードされていません。"},
        {true, "OVOggPlay(200, true)", "OVOggPlayのチャンネル番号が範囲外です。200"},
        {true, "OVOggLoad(-1, 'a.ogg')", "OVOggLoadのチャンネル番号が範囲外です。-1"},
        {true, "OVOggIsPlaying(1000)", "OVOggIsPlayingのチャンネル番号が範囲外です。1000"},
        {true, "OVOggLoad(1, 'gone.ogg')", "OVOggLoadのエラー：ファイル\"gone.ogg\"が見つかりません。"},
        {true, "OVOggPlay2(1, 'x')", "OVOggPlay2の引数が間違っています。OVOggPlay2(num,looppoint)"},
        {true, "OVOggVolume(1)", "OVOggVolumeの引数が間違っています。OVOggVolume(num,volume)"},
        {true, "OVOggLoad(1, 'text.ogg')", "<ok>"},  // no Ogg: the channel stays closed
        {true, "OVOggPlay(1, true) assert(not OVOggIsPlaying(1))", "<ok>"},
        {true, "OVOggLoad(199, 'A.OGG') OVOggPlay(199, true)", "<ok>"},
    };
    for (const Case& c : cases) {
        OggPlugin2Active = c.plugin;
        EXPECT_EQ(ErrorOf(c.call), c.message) << c.call;
    }
    EXPECT_TRUE(OggIsPlaying(199));
    EXPECT_EQ(OL_gettop(OL_GetL()), 0);
}

// ---- a game ----------------------------------------------------------------------------

struct Traced {
    RunResult run;
    std::vector<std::string> lines;  // the "ogg ..." lines without their stamps
    std::vector<int> ms;
};

Traced PlayTraced(const std::string& dir) {
    std::string trace = dir + ".trace";
    remove(trace.c_str());
    setenv("ORVA_SOUND_TRACE", trace.c_str(), 1);
    Traced t;
    t.run = RunGame(dir);
    unsetenv("ORVA_SOUND_TRACE");
    std::string text;
    ReadGameFileBytes(dir, "../" + dir.substr(dir.rfind('/') + 1) + ".trace", &text);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t blank = line.find(' ');
        if (blank == std::string::npos || line.compare(blank + 1, 4, "ogg ") != 0) continue;
        t.ms.push_back(atoi(line.c_str() + 2));
        t.lines.push_back(line.substr(blank + 1));
    }
    return t;
}

// Loads, plays once and looping, from a loop point, at a volume, fades (one
// closing the channel), closes, and leaves one channel to the exit; the
// script checks what OVOggIsPlaying said.
TEST(OggGames, PlayFadeAndClose) {
    std::string dir = MakeGameFolder();
    WriteScript(dir,
                "*define\nova\nluasub ogg\ngame\n*start\nogg\n"
                "if %1 != 0 fail_loaded_plays\nif %2 != 1 fail_play\nif %3 != 0 fail_no_end\n"
                "if %4 != 1 fail_loop_ended\nif %5 != 1 fail_fade_too_soon\n"
                "if %6 != 0 fail_fade_kept_it\nif %7 != 1 fail_play2_ended\n"
                "if %8 != 1 fail_ova\nif %9 != 0 fail_close\nend\n");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "ovogg2.dll", "");
    WriteGameFile(dir, "a.ogg", ToneOgg(1.0, 440, 44100, 2, 0.5));
    WriteGameFile(dir, "00.ov2", arcpack::PackOv2({{"b.ogg", ToneOgg(0.5, 330, 22050, 1, 0.5)}}));
    WriteGameFile(dir, "arc.ova",
                  arcpack::PackOva({{"c.ogg", arcpack::Lzss, ToneOgg(0.5, 550, 44100, 1, 0.5)}}));
    WriteGameFile(dir, "system.lua",
                  "local function b(v) return v and 1 or 0 end\n"
                  "function OVCOM_ogg()\n"
                  "  OVOggLoad(1, 'a.ogg') OVSetIntValue(1, b(OVOggIsPlaying(1)))\n"
                  "  OVOggPlay(1, false) OVSetIntValue(2, b(OVOggIsPlaying(1)))\n"
                  "  OVSleep(1200) OVSetIntValue(3, b(OVOggIsPlaying(1)))\n"
                  "  OVOggPlay(1, true) OVOggVolume(1, -1500)\n"
                  "  OVSleep(2500) OVSetIntValue(4, b(OVOggIsPlaying(1)))\n"
                  "  OVOggFade(1, -1500, -10000, 300, true)\n"
                  "  OVSleep(100) OVSetIntValue(5, b(OVOggIsPlaying(1)))\n"
                  "  OVSleep(300) OVSetIntValue(6, b(OVOggIsPlaying(1)))\n"
                  "  OVOggLoad(2, 'b.ogg') OVOggPlay2(2, 0.25)\n"
                  "  OVSleep(1300) OVSetIntValue(7, b(OVOggIsPlaying(2)))\n"
                  "  OVOggLoad(199, 'c.ogg') OVOggPlay(199, false) OVOggFade(199, -10000, 0, 200, false)\n"
                  "  OVSleep(100) OVSetIntValue(8, b(OVOggIsPlaying(199)))\n"
                  "  OVOggClose(2) OVOggClose(199)\n"
                  "  OVSetIntValue(9, b(OVOggIsPlaying(2)) + b(OVOggIsPlaying(199)))\n"
                  "  OVOggLoad(7, 'a.ogg') OVOggPlay(7, true)\n"
                  "end\n");
    Traced t = PlayTraced(dir);
    EXPECT_EQ(t.run.status, 0) << t.run.err;
    for (const std::string& box : t.run.boxes) ADD_FAILURE() << box;
    std::vector<std::string> want = {
        "ogg ch=1 open \"a.ogg\"",
        "ogg ch=1 play loop=0",
        "ogg ch=1 end",
        "ogg ch=1 play loop=1",
        "ogg ch=1 vol -1500",
        "ogg ch=1 fade -1500>-10000 300ms close=1",
        "ogg ch=1 close (fade)",
        "ogg ch=2 open \"b.ogg\"",
        "ogg ch=2 play2 loop point=0.250",
        "ogg ch=199 open \"c.ogg\"",
        "ogg ch=199 play loop=0",
        "ogg ch=199 fade -10000>0 200ms close=0",
        "ogg ch=2 close",
        "ogg ch=199 close",
        "ogg ch=7 open \"a.ogg\"",
        "ogg ch=7 play loop=1",
        "ogg ch=7 close",  // at the exit
    };
    ASSERT_EQ(t.lines, want);
    // The one-shot play ends after its second, the fade closes after 300 ms.
    EXPECT_NEAR(t.ms[2] - t.ms[1], 1000, 30);
    EXPECT_NEAR(t.ms[6] - t.ms[5], 300, 30);
}

}  // namespace
