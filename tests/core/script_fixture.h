// script_fixture.h - engine state for the interpreter core's unit tests: a
// script text in ScriptBuffer, fresh variable and label tables, the headless
// backend with fatal exits turned into exceptions, and the captured boxes.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts a CP932 text into ScriptBuffer (2048 spare bytes, NUL behind it),
    // ReadPosition 0, one script file covering it all.
    void SetScript(const std::string& cp932);
    void SetScriptUtf8(const std::string& utf8) { SetScript(Cp932(utf8)); }
    // The text from ReadPosition on (CP932) and in UTF-8.
    std::string Rest() const;
    std::string RestUtf8() const { return Utf8(Rest()); }
    // Makes a fresh folder the current (game) folder.
    std::string EnterGameFolder();

    // Runs fn, which must end in a fatal error; returns "caption: message" in
    // UTF-8, the message being the box text before its first "\n\n".
    template <class F>
    std::string FatalOf(F fn) {
        return FatalBoxOf(fn, true);
    }
    // The last box as "caption: message" (UTF-8), message cut at "\n\n".
    std::string LastFatal() const;
    // The full text of the last box, UTF-8.
    std::string LastBoxText() const;

private:
    int saved_variable_count_ = 0, saved_global_border_ = 0, saved_label_max_ = 0;
    std::string saved_dir_;
};
