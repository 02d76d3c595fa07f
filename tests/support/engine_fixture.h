// engine_fixture.h - running engine code inside a test program: the headless
// backend, fatal exits turned into exceptions, and the captured message boxes.
#pragma once
#include <string>
#include <vector>

struct TestExit {
    int code;
};

// Starts the headless backend once per test program and makes PlatExit throw
// TestExit instead of ending the process.
void StartHeadlessForTests();
// The message boxes shown since the last clear, as "caption: text" in UTF-8.
std::vector<std::string> CapturedBoxes();
void ClearCapturedBoxes();

// Puts a CP932 text into ScriptBuffer, kept in *storage (2048 spare bytes and
// a NUL behind it), with the read position at its start; ForgetScriptText
// leaves ScriptBuffer null again before the storage goes.
void UseScriptText(std::string* storage, const std::string& cp932);
void ForgetScriptText();

// Runs fn and returns the exit code it ended with, or -1000 when it returned.
template <class F>
int ExitCodeOf(F fn) {
    try {
        fn();
    } catch (const TestExit& e) {
        return e.code;
    }
    return -1000;
}

// Runs fn, which must end in a fatal error: the last box as "caption: text"
// (UTF-8), cut before the script position lines when cut_position is set.
std::string LastBoxCut(bool cut_position);
template <class F>
std::string FatalBoxOf(F fn, bool cut_position) {
    ClearCapturedBoxes();
    if (ExitCodeOf(fn) == -1000) return "<no fatal error>";
    return LastBoxCut(cut_position);
}
