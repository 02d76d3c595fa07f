// Extraction when the temporary folder fails it: a folder that has gone and
// a disk that fills up (a file-size limit stands for it) are fatal errors
// naming the file, and leave no half-written file behind.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "archive/extract.h"
#include "archive/ova.h"
#include "archive/archives.h"
#include "platform/platform.h"
#include "tests/archive/arcpack.h"
#include "tests/archive/archive_fixture.h"

namespace fs = std::filesystem;

namespace {

class ExtractFailure : public ArchiveTest {};

size_t FilesIn(const std::string& folder) {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(folder)) n += e.path().filename() != ".lock";
    return n;
}

TEST_F(ExtractFailure, MissingOrFullTemporaryFolderIsFatal) {
    std::string text(64 * 1024, 'z');
    Write("arc.ova", arcpack::PackOva({{"stored.txt", arcpack::Stored, text},
                                      {"packed.txt", arcpack::Lzss, text}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    const std::string temp = PlatTempDir();
    struct Case {
        const char* what;
        const char* name;
        bool folder_gone;  // else: writes past 100 bytes fail
    } cases[] = {
        {"folder gone, stored entry", "stored.txt", true},
        {"folder gone, packed entry", "packed.txt", true},
        {"disk full, stored entry", "stored.txt", false},
        {"disk full, packed entry", "packed.txt", false},
    };
    for (const Case& c : cases) {
        size_t before = FilesIn(temp);
        std::string box;
        if (c.folder_gone) {
            std::string moved = temp + ".away";
            ASSERT_EQ(rename(temp.c_str(), moved.c_str()), 0);
            box = FatalText([&] {
                std::string p = c.name;
                ExtractToTemp(&p);
            });
            ASSERT_EQ(rename(moved.c_str(), temp.c_str()), 0);
        } else {
            struct rlimit old, small = {100, 0};
            ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
            small.rlim_max = old.rlim_max;
            void (*was)(int) = signal(SIGXFSZ, SIG_IGN);
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            box = FatalText([&] {
                std::string p = c.name;
                ExtractToTemp(&p);
            });
            setrlimit(RLIMIT_FSIZE, &old);
            signal(SIGXFSZ, was);
        }
        EXPECT_NE(box.find(std::string(c.name) + "が開けませんでした。"), std::string::npos)
            << c.what << ": " << box;
        EXPECT_EQ(FilesIn(temp), before) << c.what;  // nothing half-written left
    }
    // With the folder back and room again, extraction works.
    std::string p = "stored.txt";
    ASSERT_TRUE(ExtractToTemp(&p));
    EXPECT_EQ(fs::file_size(Cp932ToUtf8(p)), text.size());
    DeleteExtractedFile(p);
}

}  // namespace
