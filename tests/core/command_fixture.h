// command_fixture.h - running single command statements in-process for the
// tests of the arithmetic, string, file, CSV and system commands.
#pragma once
#include <string>

#include "core/dispatch.h"
#include "core/readers.h"
#include "core/script.h"
#include "core/variables.h"
#include "tests/core/script_fixture.h"

class CommandTest : public ScriptTest {
protected:
    // Runs one statement "name operands" (UTF-8) through the dispatcher.
    void Run(const std::string& utf8) { RunCp932(Cp932(utf8)); }
    void RunCp932(const std::string& cp932) {
        SetScript(cp932);
        char word[WordBufferSize];
        ReadWord(word);
        ExecCommand(word, 0);
    }
    // The fatal error of a statement as "caption: message" (UTF-8).
    std::string Fatal(const std::string& utf8) {
        return FatalOf([&] { Run(utf8); });
    }
    // $n in UTF-8 and as bytes.
    static std::string Str(int n) { return Utf8(StringText(StrVariables[n])); }
    static std::string Bytes(int n) { return StringText(StrVariables[n]); }
};
