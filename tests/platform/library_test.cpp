// Libraries by the names scripts give them.
#include <sys/stat.h>

#include "plat_test.h"

#ifndef PLATPLUG_PATH
#error "extra.cmake passes the test library's path"
#endif

static void Copy(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

TEST(Library, DllNamesFindSharedObjects) {
    ScratchDir dir;
    InGameDir in(dir.path);
    mkdir((dir / "DLL").c_str(), 0755);
    Copy(PLATPLUG_PATH, dir / "Plug.so");
    Copy(PLATPLUG_PATH, dir / "DLL/OvLua.so");
    Copy(PLATPLUG_PATH, dir / "asis.plg");
    dir.Write("fake.dll", "MZ not a library");

    typedef int (*AddFn)(int, int);
    struct Case {
        const char* name;
        bool loads;
    } cases[] = {
        {"plug.dll", true},         // x.dll -> x.so, any case
        {"PLUG.DLL", true},
        {"Plug.so", true},          // as written
        {"dll\\ovlua.dll", true},   // in a folder
        {"asis.plg", true},         // other names as written
        {"fake.dll", false},        // there, but no library
        {"none.dll", false},
        {"libc.so.6", false},       // never the system's search
        {"", false},
    };
    for (const Case& c : cases) {
        void* lib = PlatLoadLibrary(c.name);
        EXPECT_EQ(lib != nullptr, c.loads) << c.name;
        if (!lib) continue;
        AddFn add = (AddFn)PlatGetProc(lib, "PlugAdd");
        ASSERT_NE(add, nullptr) << c.name;
        EXPECT_EQ(add(2, 40), 42);
        EXPECT_EQ(PlatGetProc(lib, "NoSuchEntry"), nullptr);
        PlatFreeLibrary(lib);
    }
    EXPECT_EQ(PlatLoadLibrary(nullptr), nullptr);
    EXPECT_EQ(PlatGetProc(nullptr, "PlugAdd"), nullptr);
    PlatFreeLibrary(nullptr);
    // An absolute path works too.
    void* lib = PlatLoadLibrary((dir / "plug.dll").c_str());
    EXPECT_NE(lib, nullptr);
    PlatFreeLibrary(lib);
}
