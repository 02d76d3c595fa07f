// game_folder.cpp - tiny game folders and the headless runner for tests.
#include "tests/support/game_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace fs = std::filesystem;
extern char** environ;

std::string Cp932(const std::string& utf8) { return Utf8ToCp932(utf8); }
std::string Utf8(const std::string& cp932) { return Cp932ToUtf8(cp932); }

std::string MakeGameFolder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name()
                            : "game";
    for (char& c : name)
        if (c == '/') c = '_';
    fs::path dir = fs::path(ORVA_TEST_BINARY_DIR) / "games" /
                   (name + "." + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

void WriteGameFile(const std::string& dir, const std::string& rel_path,
                   const std::string& bytes) {
    fs::path p = fs::path(dir) / rel_path;
    fs::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary);
    f.write(bytes.data(), (std::streamsize)bytes.size());
}

void WriteScript(const std::string& dir, const std::string& utf8_text,
                 const std::string& name) {
    WriteGameFile(dir, name, Cp932(utf8_text));
}

bool ReadGameFileBytes(const std::string& dir, const std::string& rel_path, std::string* out) {
    std::ifstream f(fs::path(dir) / rel_path, std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    *out = s.str();
    return true;
}

static std::string Slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The folder beside a game folder that holds a run's files.
static fs::path RunFolder(const std::string& dir) {
    fs::path work = fs::path(dir).parent_path() / (fs::path(dir).filename().string() + ".run");
    fs::create_directories(work);
    return work;
}

RunResult RunGame(const std::string& dir, const RunOptions& opt) {
    fs::path work = RunFolder(dir);
    std::vector<std::string> args = {"--headless"};
    if (!opt.events.empty()) {
        std::ofstream(work / "events.txt") << opt.events;
        args.push_back("--events");
        args.push_back((work / "events.txt").string());
    }
    if (opt.click_waits) args.push_back("--click-waits");
    if (opt.max_ms >= 0) {
        args.push_back("--max-ms");
        args.push_back(std::to_string(opt.max_ms));
    }
    if (!opt.frame_out.empty()) {
        args.push_back("--frame-out");
        args.push_back(opt.frame_out);
    }
    args.push_back(dir);
    return RunOrva(args, dir, opt.real_timeout_s);
}

RunResult RunOrva(std::vector<std::string> args, const std::string& dir, int real_timeout_s) {
    fs::path work = RunFolder(dir);
    args.insert(args.begin(), ORVA_EXE);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::string out_path = (work / "stdout").string(), err_path = (work / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    RunResult r;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        r.err = "spawn failed";
        return r;
    }
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(real_timeout_s);
    for (;;) {
        pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (status != -1 && WIFEXITED(status)) r.status = WEXITSTATUS(status);
    r.out = Slurp(out_path);
    r.err = Slurp(err_path);
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);)
        if (line.find(": ") != std::string::npos && line.rfind("orva:", 0) != 0)
            r.boxes.push_back(line);
    return r;
}
