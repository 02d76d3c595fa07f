// Files the script commands create, write or delete stay inside the game
// folder.  A table of targets (a relative name climbing out with "..", an
// absolute name, a drive name, a name through a symlink inside the folder
// that points outside, a plain name, a name in a sub-folder) is given to
// each command that writes a file it names, and the files outside and
// inside are checked afterwards; the commands that write files of fixed
// names are given a symlink planted under those names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace fs = std::filesystem;

namespace {

struct Target {
    const char* what;
    std::string name;  // as the script writes it
    std::string real;  // where the file would be, "" for nowhere
    bool inside;
};

// A game folder beside a folder outside it, the game holding the symlink
// "out" to the outside folder and the sub-folder "sub".
class Confinement : public ::testing::Test {
protected:
    std::string base_, game_, outside_;
    int runs_ = 0;

    void SetUp() override {
        base_ = fs::canonical(MakeGameFolder()).string();
        outside_ = base_ + "/outside";
        fs::create_directories(outside_);
    }

    // A fresh game folder for each run.
    void NewGame() {
        game_ = base_ + "/game" + std::to_string(++runs_);
        fs::create_directories(game_ + "/sub");
        fs::create_symlink(outside_, game_ + "/out");
    }

    // The six targets, files t1.dat to t6.dat.
    std::vector<Target> Targets() const {
        return {
            {"climbing out", "..\\outside\\t1.dat", outside_ + "/t1.dat", false},
            {"absolute", outside_ + "/t2.dat", outside_ + "/t2.dat", false},
            {"drive", "C:\\t3.dat", "", false},
            {"through a symlink", "out\\t4.dat", outside_ + "/t4.dat", false},
            {"plain", "t5.dat", game_ + "/t5.dat", true},
            {"sub-folder", "SUB\\t6.dat", game_ + "/sub/t6.dat", true},
        };
    }

    RunResult Play(const std::string& script) {
        WriteScript(game_, script);
        RunOptions opt;
        opt.max_ms = 20000;
        return RunGame(game_, opt);
    }

    // Nothing but the targets inside was made, in the game folder or beside it.
    void ExpectOnlyInside(const std::vector<Target>& targets, bool made_inside, const char* command) {
        for (const Target& t : targets) {
            if (t.real.empty()) continue;
            EXPECT_EQ(fs::exists(t.real), t.inside && made_inside) << command << ", " << t.what;
        }
        EXPECT_FALSE(fs::exists(game_ + "/C:")) << command;
        EXPECT_FALSE(fs::exists(game_ + "/c:")) << command;
    }
};

void ExpectRefusalsNamed(const RunResult& r, const std::vector<Target>& targets, const char* command) {
    for (const Target& t : targets)
        if (!t.inside) {
            EXPECT_NE(r.err.find("refused to write outside the game folder: " + t.name), std::string::npos)
                << command << ", " << t.what << ":\n" << r.err;
        }
}

}  // namespace

// Commands whose refusal is a failure they pass over: every target in one game.
TEST_F(Confinement, FilesNamedByTheScript) {
    struct Command {
        const char* what;
        std::string (*statement)(const std::string& target);
    } commands[] = {
        {"filecreate", [](const std::string& t) { return "filecreate \"" + t + "\""; }},
        {"createdummy", [](const std::string& t) { return "createdummy \"" + t + "\""; }},
        {"savescreenshot2", [](const std::string& t) { return "savescreenshot2 \"" + t + "\""; }},
    };
    for (const Command& c : commands) {
        NewGame();
        std::vector<Target> targets = Targets();
        std::string what = c.what;
        std::string lines = what == "savescreenshot2" ? "getscreenshot 8,8\n" : "";
        for (const Target& t : targets) lines += c.statement(t.name) + "\n";
        // createdummy belongs to the *define block.
        RunResult r = what == "createdummy" ? Play("*define\n" + lines + "game\n*start\nend\n")
                                            : Play("*define\ngame\n*start\n" + lines + "end\n");
        EXPECT_EQ(r.status, 0) << c.what << "\n" << r.err;
        EXPECT_TRUE(r.boxes.empty()) << c.what;
        ExpectOnlyInside(targets, true, c.what);
        ExpectRefusalsNamed(r, targets, c.what);
    }
}

TEST_F(Confinement, FileremoveLeavesFilesOutside) {
    NewGame();
    std::vector<Target> targets = Targets();
    std::string story;
    for (const Target& t : targets) {
        if (!t.real.empty()) WriteGameFile(fs::path(t.real).parent_path().string(),
                                           fs::path(t.real).filename().string(), "x");
        story += "fileremove \"" + t.name + "\"\n";
    }
    RunResult r = Play("*define\ngame\n*start\n" + story + "end\n");
    EXPECT_EQ(r.status, 0) << r.err;
    for (const Target& t : targets)
        if (!t.real.empty()) {
            EXPECT_EQ(fs::exists(t.real), !t.inside) << t.what;
        }
    ExpectRefusalsNamed(r, targets, "fileremove");
}

// Commands whose refusal is their error for a file that cannot be opened:
// one game a target.
TEST_F(Confinement, CsvAndAviFilesOutsideAreTheOpenError) {
    struct Command {
        const char* what;
        const char* before;
        const char* after;
        const char* error;
    } commands[] = {
        {"csvopen", "csvopen \"", "\",\"w\"\ncsvwrite 1\ncsvclose\n", "csvファイルが開けません。"},
        {"aviwriteopen", "aviwriteopen \"", "\",10,1\naviwriteclose\n", nullptr},
    };
    for (const Command& c : commands) {
        for (size_t i = 0; i < 6; i++) {
            NewGame();
            std::vector<Target> targets = Targets();
            const Target& t = targets[i];
            RunResult r = Play("*define\ngame\n*start\n" + std::string(c.before) + t.name + c.after + "end\n");
            if (t.inside) {
                EXPECT_EQ(r.status, 0) << c.what << ", " << t.what << "\n" << r.err;
                EXPECT_TRUE(fs::exists(t.real)) << c.what << ", " << t.what;
                continue;
            }
            EXPECT_NE(r.status, 0) << c.what << ", " << t.what;
            ASSERT_EQ(r.boxes.size(), 1u) << c.what << ", " << t.what;
            if (c.error) {
                EXPECT_NE(r.boxes[0].find(c.error), std::string::npos) << r.boxes[0];
            }
            if (!t.real.empty()) {
                EXPECT_FALSE(fs::exists(t.real)) << c.what << ", " << t.what;
            }
            ExpectRefusalsNamed(r, {t}, c.what);
        }
    }
}

// savedir naming a folder outside: the slot and the persistent files of the
// save folder are not written there (the write fails as in a folder without
// permission), while a sub-folder inside holds them.
TEST_F(Confinement, SaveFolderOutsideIsNotWritten) {
    const std::string folders[] = {"..\\outside", outside_, "C:\\saves", "out", "sub"};
    for (const std::string& folder : folders) {
        NewGame();
        RunResult r = Play("*define\nsavedir \"" + folder + "\"\nglobalon\nlabellog\ngame\n*start\n"
                           "savegame 1\nmov %300,1\nend\n");
        EXPECT_EQ(r.status, 0) << folder << "\n" << r.err;
        bool inside = folder == "sub";
        for (const char* file : {"save1.dat", "gloval.sav", "kidoku.dat", "Orvallog.dat"}) {
            EXPECT_FALSE(fs::exists(outside_ + "/" + file)) << folder << ", " << file;
            if (std::string(file) != "kidoku.dat") {
                EXPECT_EQ(fs::exists(game_ + "/sub/" + file), inside) << folder << ", " << file;
            }
        }
        if (!inside) {
            EXPECT_FALSE(r.boxes.empty()) << folder;  // the slot could not be written
            EXPECT_NE(r.err.find("refused to write outside the game folder"), std::string::npos)
                << folder << "\n" << r.err;
        }
    }
}

// Files of fixed names ("out.txt", "out.bmp", "debuglog.txt", the folder
// "out") planted as symlinks to files outside are not written through.
TEST_F(Confinement, FixedNamesPlantedAsSymlinks) {
    NewGame();
    WriteGameFile(game_, "big.bmp", SolidBmp(640, 480, kGrey));
    WriteGameFile(game_, "a_b.bmp", SolidBmp(4, 4, kGrey));  // the same: an opaque mask
    WriteGameFile(game_, "a_w.bmp", SolidBmp(4, 4, kGrey));
    // chainbmp reads "out.bmp" before it writes it again: a picture.
    const std::string victims[] = {"keep", SolidBmp(2, 2, kRed), "keep"};
    const char* const victim_names[] = {"victim.txt", "victim.bmp", "victim.log"};
    for (int i = 0; i < 3; i++) WriteGameFile(outside_, victim_names[i], victims[i]);
    fs::create_symlink(outside_ + "/victim.txt", game_ + "/out.txt");
    fs::create_symlink(outside_ + "/victim.bmp", game_ + "/out.bmp");
    fs::create_symlink(outside_ + "/victim.log", game_ + "/debuglog.txt");
    RunResult r = Play("*define\ncreatedebugwindow\ngame\n*start\n"
                       "debuglog 1\nmov %1,1\ndebuglog 0\n"
                       "grptest \"big.bmp\"\nchainbmp \"big.bmp\"\nbw2a \"a\"\nend\n");
    EXPECT_EQ(r.status, 0) << r.err;
    for (int i = 0; i < 3; i++) {
        std::string kept;
        EXPECT_TRUE(ReadGameFileBytes(outside_, victim_names[i], &kept));
        EXPECT_TRUE(kept == victims[i]) << victim_names[i];
    }
    EXPECT_FALSE(fs::exists(outside_ + "/a.bmp"));  // bw2a writes "out\a.bmp"
    for (const char* name : {"out.txt", "out.bmp", "debuglog.txt", "out\\a.bmp"})
        EXPECT_NE(r.err.find(std::string("refused to write outside the game folder: ") + name),
                  std::string::npos)
            << name << "\n" << r.err;
}
