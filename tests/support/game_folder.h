// game_folder.h - tiny game folders for script-level tests, and the headless
// runner that plays them in a child process.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// CP932 bytes of a UTF-8 text (test sources are UTF-8).
std::string Cp932(const std::string& utf8);
std::string Utf8(const std::string& cp932);

// A fresh, empty folder for the current test (under the build tree).
std::string MakeGameFolder();
// Writes bytes to dir/rel_path (UTF-8 path; folders are created).
void WriteGameFile(const std::string& dir, const std::string& rel_path,
                   const std::string& bytes);
// Writes a script text given in UTF-8 as CP932 ("0.txt" by default).
void WriteScript(const std::string& dir, const std::string& utf8_text,
                 const std::string& name = "0.txt");
bool ReadGameFileBytes(const std::string& dir, const std::string& rel_path, std::string* out);

struct RunResult {
    int status = -1;                  // the exit status; -1 when killed
    std::string out, err;             // standard output and error (UTF-8)
    std::vector<std::string> boxes;   // "caption: text" lines of the message boxes
};
struct RunOptions {
    std::string events;               // events file text, "" for none
    bool click_waits = false;
    long long max_ms = 600000;        // virtual time; -1 for none
    std::string frame_out;            // path for --frame-out, "" for none
    int real_timeout_s = 60;          // the child is killed after this
};
// Runs `orva --headless ... dir` and collects what it did.
RunResult RunGame(const std::string& dir, const RunOptions& opt = RunOptions());
// Runs `orva ARGS...` as given, its output kept beside the folder `dir`.
RunResult RunOrva(std::vector<std::string> args, const std::string& dir,
                  int real_timeout_s = 60);
