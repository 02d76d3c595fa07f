// flow_fixture.h - whole scripts run in-process for the tests of the
// variable, array and control-flow commands: the *define block, a reset to
// *start and the story until definereset, with the state left for the test
// to read.
#pragma once
#include <string>

#include "core/aliases.h"
#include "core/callstack.h"
#include "core/dispatch.h"
#include "core/interp.h"
#include "core/labels.h"
#include "core/readers.h"
#include "core/reset.h"
#include "core/script.h"
#include "core/startup.h"
#include "core/variables.h"
#include "tests/core/script_fixture.h"

class FlowTest : public ScriptTest {
protected:
    // Runs a whole script (UTF-8): labels scanned, *define with the define
    // flag, then ResetToStart and the story.  "" when it ended quietly (at a
    // definereset), else the fatal error as "caption: message".
    // Arrays, aliases and user-defined commands start empty, as at every
    // load; variables and limits are kept.
    std::string Play(const std::string& utf8) {
        SetScriptUtf8(utf8);
        ArrayCount = 0;
        ClearAliasTables();
        ClearDefsubNames();
        ClearCapturedBoxes();
        int code = ExitCodeOf([] {
            ScanLabels();
            DefineRunning = 1;
            RunInterpreter(1);
            DefineRunning = 0;
            ResetToStart();
            RunInterpreter(0);
        });
        DefineRunning = 0;
        RestartRequested = 0;
        return code == -1000 ? "" : LastFatal();
    }
    // The story `body` after a *define block holding `define`; definereset
    // ends it.
    std::string Story(const std::string& body, const std::string& define = "") {
        return Play("*define\n" + define + "\ngame\n*start\n" + body + "\ndefinereset\n");
    }
    // One statement (UTF-8) run through the dispatcher in story mode, with
    // the script text being that statement alone.
    void Run(const std::string& utf8, int define = 0) {
        SetScriptUtf8(utf8);
        char word[WordBufferSize];
        ReadWord(word);
        ExecCommand(word, define);
    }
    std::string Fatal(const std::string& utf8, int define = 0) {
        return FatalOf([&] { Run(utf8, define); });
    }
    static std::string Str(int n) { return Utf8(StringText(StrVariables[n])); }
};
