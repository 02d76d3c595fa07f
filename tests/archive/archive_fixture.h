// archive_fixture.h - a fresh game folder per test, the archive state reset,
// and helpers to write archives and catch fatal errors.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "archive/archives.h"
#include "platform/platform.h"
#include "tests/archive/arcpack.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

class ArchiveTest : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        StartHeadlessForTests();
        dir = MakeGameFolder();
        ASSERT_TRUE(PlatSetGameDir(dir.c_str()));
        ForgetArchiveState();
        ClearCapturedBoxes();
    }
    void TearDown() override { ForgetArchiveState(); }

    void Write(const std::string& rel, const std::string& bytes) { WriteGameFile(dir, rel, bytes); }

    // Runs fn, which must end in a fatal error; the error box's text (UTF-8).
    template <class F>
    std::string FatalText(F fn) {
        return FatalBoxOf(fn, false);
    }
    // Runs fn, which must not end in a fatal error; what it wrote to
    // standard error.
    template <class F>
    std::string StderrOf(F fn) {
        ::testing::internal::CaptureStderr();
        int code = ExitCodeOf(fn);
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, -1000) << "a fatal error: " << LastBoxCut(false);
        return err;
    }
};

inline std::string Bytes(const std::vector<uint8_t>& v) {
    return std::string(v.begin(), v.end());
}
