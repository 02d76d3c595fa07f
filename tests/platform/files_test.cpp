// Name resolution, file reads and the run's folders.
#include <string.h>
#include <sys/wait.h>

#include "plat_test.h"

static std::string Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// CP932 spellings used below.
#define HAIKEI "\x94\x77\x8c\x69"        // 背景
#define SOFUTO "\x83\x5c\x83\x74\x83\x67"  // ソフト (0x5C as its second byte)

TEST(Resolve, FindsNamesAsScriptsWriteThem) {
    ScratchDir dir;
    InGameDir in(dir.path);
    dir.Write("背景/Room.BMP", "room");
    dir.Write("Voice/Sub/A01.wav", "voice");
    dir.Write("ソフト/x.txt", "soft");
    dir.Write("0.txt", "zero");
    dir.Write("sub/exact.txt", "exact");
    struct Case {
        const char* name;
        const char* path;
    } cases[] = {
        {"0.txt", "0.txt"},                                  // exact, no scan
        {"0.TXT", "0.txt"},                                  // case of the last part
        {"voice\\sub\\a01.wav", "Voice/Sub/A01.wav"},        // every part, '\'
        {"VOICE/SUB/A01.WAV", "Voice/Sub/A01.wav"},          // '/' as well
        {"voice\\\\sub\\a01.wav", "Voice/Sub/A01.wav"},      // doubled separator
        {HAIKEI "\\room.bmp", "背景/Room.BMP"},              // CP932 folder
        {SOFUTO "\\X.TXT", "ソフト/x.txt"},                   // trail byte 0x5C kept
        {"./sub/EXACT.txt", "./sub/exact.txt"},
        {"missing\\Sub\\A.txt", "missing/Sub/A.txt"},        // not found: converted only
        {"voice\\NoSuch.wav", "Voice/NoSuch.wav"},           // found part kept
        {HAIKEI "\\", "背景/"},                               // trailing separator
    };
    for (const Case& c : cases) EXPECT_EQ(PlatResolve(c.name), c.path) << c.name;
    EXPECT_EQ(PlatResolve(""), "");
    EXPECT_EQ(PlatResolve(nullptr), "");
    // Absolute names are resolved from the root.
    std::string abs = dir.path + "/VOICE/sub/a01.WAV";
    EXPECT_EQ(PlatResolve(abs.c_str()), dir.path + "/Voice/Sub/A01.wav");
}

TEST(Resolve, ExactSpellingWinsAndTiesAreStable) {
    ScratchDir dir;
    InGameDir in(dir.path);
    dir.Write("a.txt", "lower");
    dir.Write("A.txt", "upper");
    dir.Write("B.txt", "b1");
    dir.Write("b.TXT", "b2");
    EXPECT_EQ(PlatResolve("a.txt"), "a.txt");
    EXPECT_EQ(PlatResolve("A.txt"), "A.txt");
    EXPECT_EQ(PlatResolve("b.txt"), "B.txt");  // first in byte order
}

TEST(Files, ExistsSizeOpenRead) {
    ScratchDir dir;
    InGameDir in(dir.path);
    dir.Write("Data/Some.DAT", std::string("ab\0cd", 5));
    EXPECT_TRUE(PlatExists("data\\some.dat"));
    EXPECT_TRUE(PlatExists("DATA"));  // folders count
    EXPECT_FALSE(PlatExists("data\\other.dat"));
    EXPECT_FALSE(PlatExists(""));
    EXPECT_EQ(PlatFileSize("data\\some.dat"), 5);
    EXPECT_EQ(PlatFileSize("data"), -1);
    EXPECT_EQ(PlatFileSize("nothing"), -1);

    std::vector<uint8_t> bytes = {9, 9};
    ASSERT_TRUE(PlatReadFile("DATA\\SOME.dat", false, &bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("ab\0cd", 5));
    EXPECT_FALSE(PlatReadFile("data\\none.dat", false, &bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(PlatReadFile("data", false, &bytes));  // a folder

    FILE* f = PlatOpen("data\\SOME.dat", "rb");
    ASSERT_NE(f, nullptr);
    char buf[8] = {};
    EXPECT_EQ(fread(buf, 1, 8, f), 5u);
    fclose(f);
    // Writing a new file keeps the found folder and the name as given; "wt"
    // is accepted.
    f = PlatOpen("DATA\\New.txt", "wt");
    ASSERT_NE(f, nullptr);
    fputs("x", f);
    fclose(f);
    EXPECT_EQ(Read(dir / "Data/New.txt"), "x");
    EXPECT_EQ(PlatOpen("nofolder\\x.txt", "rb"), nullptr);
}

TEST(Files, TextModeDropsOnlyTheCrOfCrLfAndEndsAtCtrlZ) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\rb", "a\rb"},          // lone CR kept
        {"a\r\r\nb", "a\r\nb"},    // only the CR right before LF goes
        {"\r", "\r"},              // CR at the end
        {"\n\r", "\n\r"},
        {"", ""},
        {"\r\n\r\n", "\n\n"},
        {"a\r\nb\r\n\x1a", "a\nb\n"},      // an old editor's end mark
        {"a\x1a\r\nb", "a"},                // nothing after it counts
        {"\x1a", ""},
        {"a\r\x1a\n", "a\r"},              // the CR no longer stands before LF
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b(c.in.begin(), c.in.end());
        PlatTextModeFilter(&b);
        EXPECT_EQ(std::string(b.begin(), b.end()), c.out);
    }
    ScratchDir dir;
    InGameDir in(dir.path);
    dir.Write("0.txt", "*define\r\ngame\r\n;\rend");
    std::vector<uint8_t> b;
    ASSERT_TRUE(PlatReadFile("0.txt", true, &b));
    EXPECT_EQ(std::string(b.begin(), b.end()), "*define\ngame\n;\rend");
    ASSERT_TRUE(PlatReadFile("0.txt", false, &b));
    EXPECT_EQ(b.size(), 20u);
    // PlatOpen's plain read mode reads the same way; "rb" reads the bytes.
    dir.Write("config.txt", "one\r\ntwo\r\n\x1a" "cdfadeoff\r\n");
    for (const char* mode : {"r", "rt"}) {
        FILE* f = PlatOpen("config.txt", mode);
        ASSERT_NE(f, nullptr) << mode;
        char all[64] = {};
        size_t n = fread(all, 1, sizeof all - 1, f);
        EXPECT_EQ(std::string(all, n), "one\ntwo\n") << mode;
        EXPECT_EQ(fseek(f, 4, SEEK_SET), 0);
        EXPECT_EQ(fgetc(f), 't');
        fclose(f);
    }
    FILE* f = PlatOpen("config.txt", "rb");
    ASSERT_NE(f, nullptr);
    fseek(f, 0, SEEK_END);
    EXPECT_EQ(ftell(f), 22);
    fclose(f);
    EXPECT_EQ(PlatOpen("missing.txt", "r"), nullptr);
    dir.Write("empty.txt", "");
    FILE* e = PlatOpen("empty.txt", "r");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(fgetc(e), EOF);
    fclose(e);
}

TEST(Folders, GameDirIsTheCurrentFolder) {
    ScratchDir dir;
    std::string old = PlatGameDir();
    ASSERT_TRUE(PlatSetGameDir(dir.path.c_str()));
    char buf[4096];
    ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
    EXPECT_EQ(PlatGameDir(), buf);
    EXPECT_FALSE(PlatSetGameDir((dir.path + "/none").c_str()));
    EXPECT_EQ(PlatGameDir(), buf);
    ASSERT_TRUE(PlatSetGameDir(old.c_str()));
}

TEST(Folders, TempDirIsPrivateAndStable) {
    const std::string& t = PlatTempDir();
    ASSERT_FALSE(t.empty());
    EXPECT_NE(t.back(), '/');
    struct stat st;
    ASSERT_EQ(stat(t.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_NE(t.find("/orva-"), std::string::npos);
    EXPECT_EQ(&PlatTempDir(), &t);
    EXPECT_EQ(PlatTempDir(), t);
}

// Run by the next test in a process of its own: makes the temporary folder,
// puts a file in it, says where it is and exits through PlatExit.
TEST(Folders, TempDirHelperProcess) {
    if (!getenv("PLAT_TEMP_HELPER")) GTEST_SKIP() << "run by TempDirIsRemovedAtExit";
    PlatSetExitHook(nullptr);
    const std::string& t = PlatTempDir();
    std::ofstream(t + "/Orvatmp.wav") << "x";
    printf("TEMPDIR=%s\n", t.c_str());
    PlatExit(3);
}

// The temporary folder goes when the process ends, with what is in it.
TEST(Folders, TempDirIsRemovedAtExit) {
    std::string cmd = "PLAT_TEMP_HELPER=1 /proc/" + std::to_string(getpid()) +
                      "/exe --gtest_filter=Folders.TempDirHelperProcess 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof buf, p)) out += buf;
    int status = pclose(p);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    size_t at = out.find("TEMPDIR=");
    ASSERT_NE(at, std::string::npos) << out;
    std::string t = out.substr(at + 8, out.find('\n', at) - at - 8);
    struct stat st;
    EXPECT_NE(stat(t.c_str(), &st), 0) << t;
}

// A forked child that exits leaves its parent's folder alone.
TEST(Folders, ForkedChildKeepsParentsTempDir) {
    std::string t = PlatTempDir();
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        PlatSetExitHook(nullptr);
        PlatExit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    struct stat st;
    EXPECT_EQ(stat(t.c_str(), &st), 0);
}
