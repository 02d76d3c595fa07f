// Libraries by name: the cache and the optional libraries' presence.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ext/dllcache.h"
#include "ext/optional.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace fs = std::filesystem;
typedef int (*IntFn)();

class DllCacheTest : public testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        StartHeadlessForTests();
        FreeDllCache();
        dir = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
    }
    void TearDown() override { FreeDllCache(); }
    void CopyPlugin(const std::string& name) {
        fs::copy_file(TEST_PLUGIN_PATH, fs::path(dir) / name,
                      fs::copy_options::overwrite_existing);
    }
};

TEST_F(DllCacheTest, DllNameFindsTheSharedObjectAndIsLoadedOnce) {
    CopyPlugin("plug.so");
    IntFn f = (IntFn)GetDllProc("plug.dll", "PlugValue");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f(), 42);
    fs::remove(fs::path(dir) / "plug.so");  // the cached handle still serves
    IntFn g = (IntFn)GetDllProc("plug.dll", "PlugOther");
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g(), 7);
    EXPECT_EQ(GetDllProc("plug.dll", "NoSuchEntry"), nullptr);
}

TEST_F(DllCacheTest, AFailedNameIsNotTriedAgain) {
    EXPECT_EQ(GetDllProc("late.dll", "PlugValue"), nullptr);
    CopyPlugin("late.so");
    EXPECT_EQ(GetDllProc("late.dll", "PlugValue"), nullptr);
    FreeDllCache();  // freed slots are looked up afresh
    EXPECT_NE(GetDllProc("late.dll", "PlugValue"), nullptr);
}

TEST_F(DllCacheTest, NamesAreCaseSensitiveSlotsButFilesAreNot) {
    CopyPlugin("Plug.so");
    EXPECT_NE(GetDllProc("plug.dll", "PlugValue"), nullptr);
    EXPECT_NE(GetDllProc("PLUG.DLL", "PlugValue"), nullptr);  // a second slot, same file
}

TEST_F(DllCacheTest, TwoHundredFiftySixSlots) {
    CopyPlugin("last.so");
    for (int i = 0; i < DllCacheSlots; i++) {
        std::string name = "missing" + std::to_string(i) + ".dll";
        EXPECT_EQ(GetDllProc(name.c_str(), "x"), nullptr);
    }
    EXPECT_EQ(GetDllProc("last.dll", "PlugValue"), nullptr);  // no slot left
    EXPECT_EQ(GetDllProc("missing0.dll", "x"), nullptr);      // still answered
}

TEST_F(DllCacheTest, OptionalLibrariesCountWhenTheGameShipsThem) {
    struct Case {
        std::vector<std::string> files;
        bool lua, ogg2, ogg, oggdec, png;
    } cases[] = {
        {{}, false, false, false, false, false},
        {{"ovlua.dll"}, true, false, false, false, false},
        {{"dll/ovlua.so"}, true, false, false, false, false},
        {{"DLL/OVOGG2.DLL", "ovogg.dll"}, false, true, false, false, false},
        {{"ovogg.so", "oggdec.dll"}, false, false, true, false, false},
        {{"oggdec.dll"}, false, false, false, true, false},
        {{"dll/ovpng.dll"}, false, false, false, false, true},
        {{"ovpng.so"}, false, false, false, false, true},
    };
    for (const Case& c : cases) {
        std::string d = MakeGameFolder();
        for (const auto& f : c.files) WriteGameFile(d, f, "");
        ASSERT_TRUE(PlatSetGameDir(d.c_str()));
        LuaBridgeLoaded = OggPlugin2Active = OggPluginActive = OggDecoderLoaded =
            PngLibraryLoaded = false;
        BindOptionalLibraries();
        std::string what = c.files.empty() ? "none" : c.files[0];
        EXPECT_EQ(LuaBridgeLoaded, c.lua) << what;
        EXPECT_EQ(OggPlugin2Active, c.ogg2) << what;
        EXPECT_EQ(OggPluginActive, c.ogg) << what;
        EXPECT_EQ(OggDecoderLoaded, c.oggdec) << what;
        EXPECT_EQ(PngLibraryLoaded, c.png) << what;
    }
}
