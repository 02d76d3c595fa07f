// Whole games with a half-downloaded archive: the game runs, the entries
// that are whole are found, the cut one is not, and one warning line names
// the archive.
#include <gtest/gtest.h>

#include <string>

#include "tests/archive/arcpack.h"
#include "tests/support/game_folder.h"

namespace {

TEST(DamagedArchiveGames, RunWithWhatTheArchiveHolds) {
    std::string ova = arcpack::PackOva({{"a.txt", arcpack::Stored, "hello"}, {"b.txt", arcpack::Lzss, "world"}});
    std::string ov2 = arcpack::PackOv2({{"a.txt", "hello"}, {"b.txt", "world"}});
    struct Case {
        const char* file;
        std::string bytes;
        const char* define;
    } cases[] = {
        {"arc.ova", ova.substr(0, ova.size() - 2), "ova\n"},
        {"00.ov2", ov2.substr(0, ov2.size() - 2), ""},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, c.file, c.bytes);
        WriteScript(dir, std::string("*define\n") + c.define +
                             "game\n*start\nfileexist %1,\"A.TXT\"\nif %1 != 1 fail_whole_entry\n"
                             "fileexist %2,\"b.txt\"\nif %2 != 0 fail_cut_entry\nend\n");
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 0) << c.file << "\n" << r.err;
        for (const std::string& b : r.boxes) ADD_FAILURE() << c.file << ": " << b;
        EXPECT_EQ(r.err, std::string("orva: archive ") + c.file + " is damaged: 1 of its 2 entries cannot be read\n");
    }
}

}  // namespace
