// plat_test.h - helpers of the platform tests: a fresh headless platform,
// an exit hook that throws, and scratch folders that clean up after
// themselves.
#pragma once
#include <ftw.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/support/engine_fixture.h"  // TestExit

inline void ThrowingExit(int code) { throw TestExit{code}; }

// A headless platform started afresh with these options.
inline void FreshPlatform(PlatOptions opt = PlatOptions()) {
    PlatSetExitHook(ThrowingExit);
    PlatResetForTests();
    opt.headless = true;
    ASSERT_TRUE(PlatInit(opt));
    HeadlessEchoBoxes(false);
}

// A new empty folder (under the test build folder when known); removed with
// everything in it when the object goes.
struct ScratchDir {
    std::string path;
    ScratchDir() {
#ifdef ORVA_TEST_BINARY_DIR
        std::string base = ORVA_TEST_BINARY_DIR;
#else
        std::string base = "/tmp";
#endif
        std::string t = base + "/plat-XXXXXX";
        if (!mkdtemp(&t[0])) t = "";
        path = t;
    }
    ~ScratchDir() {
        if (path.empty()) return;
        nftw(path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); },
             16, FTW_DEPTH | FTW_PHYS);
    }
    std::string operator/(const std::string& rel) const { return path + "/" + rel; }
    // Writes a file (folders on the way are made), relative to the folder.
    void Write(const std::string& rel, const std::string& bytes) const {
        std::string full = path + "/" + rel;
        for (size_t i = path.size() + 1; i < full.size(); i++)
            if (full[i] == '/') mkdir(full.substr(0, i).c_str(), 0755);
        std::ofstream(full, std::ios::binary) << bytes;
    }
};

// Runs in a scratch folder as the game folder; goes back afterwards.
struct InGameDir {
    std::string old;
    explicit InGameDir(const std::string& dir) {
        old = PlatGameDir();
        EXPECT_TRUE(PlatSetGameDir(dir.c_str()));
    }
    ~InGameDir() { PlatSetGameDir(old.c_str()); }
};
