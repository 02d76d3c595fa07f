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
