// The script's files as the loader meets them in the wild: a Ctrl-Z left by
// an old editor, files that cannot be read, scripts too large for 32-bit
// positions, and scripts saved as UTF-8 instead of Shift-JIS.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/game_folder.h"

namespace {

const char kGame[] = "*define\ngame\n*start\nend\n";

std::string Scrambled(std::string s, unsigned char key) {
    for (char& c : s) c = (char)(c ^ key);
    return s;
}

struct Outcome {
    int status;
    std::string box;  // the start of the only box, "" for none
};

void Expect(const RunResult& r, const Outcome& want, const std::string& what) {
    EXPECT_EQ(r.status, want.status) << what << "\n" << r.err;
    if (want.box.empty()) {
        EXPECT_TRUE(r.boxes.empty()) << what << "\n" << r.err;
    } else {
        ASSERT_EQ(r.boxes.size(), 1u) << what << "\n" << r.err;
        EXPECT_EQ(r.boxes[0].substr(0, want.box.size()), want.box) << what;
    }
}

TEST(ScriptFiles, TextModeReadsEndAtCtrlZ) {
    struct Case {
        const char* what;
        std::string zero, one;  // "0.txt" and "1.txt" ("" for none)
        Outcome want;
    } cases[] = {
        {"a Ctrl-Z at the end", std::string(kGame) + "\x1a", "", {0, ""}},
        {"CR LF lines and a Ctrl-Z", "*define\r\ngame\r\n*start\r\nend\r\n\x1a", "", {0, ""}},
        {"text behind the Ctrl-Z", "*define\ngame\n\x1a" "nosuch\n", "*start\nend\n", {0, ""}},
        // *define holds no text: without the rule the Ctrl-Z was a text line.
        {"a Ctrl-Z inside *define", "*define\nnumalias a,1\n\x1a", "game\n*start\nend\n", {0, ""}},
        {"the text before it still counts", "*define\n\x1a\ngame\n", "",
         {1, "スクリプトエラー: ファイルの終端に達しました。"}},
        {"a Ctrl-Z ends each file alone", "*define\ngame\n*start\n\x1a", "end\n", {0, ""}},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "0.txt", c.zero);
        if (!c.one.empty()) WriteGameFile(dir, "1.txt", c.one);
        Expect(RunGame(dir), c.want, c.what);
    }
}

TEST(ScriptFiles, UnreadableFilesAreNamed) {
    struct Case {
        const char* folder;      // a folder standing where a file is looked for
        const char* other;       // another script file, "" for none
        const char* named;
    } cases[] = {
        {"orvascript.zat", "", "orvascript.zat"},
        {"orvascript.dat", "", "orvascript.dat"},
        {"03.np", "orvascript.dat", "03.np"},
        {"0.txt", "", "0.txt"},
        {"05.txt", "0.txt", "05.txt"},
        {"12.txt", "0.txt", "12.txt"},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        ASSERT_EQ(mkdir((dir + "/" + c.folder).c_str(), 0755), 0);
        if (*c.other) WriteGameFile(dir, c.other, Scrambled(kGame, 0x5B));
        if (std::string(c.other) == "0.txt") WriteGameFile(dir, "0.txt", kGame);
        Expect(RunGame(dir), {1, "エラー: スクリプトファイル" + std::string(c.named) + "を読み込めません。"},
               c.folder);
    }
}

// Files that make the script 2 GiB or more are refused before anything is
// read or allocated (sparse files: they take no room on disk).
TEST(ScriptFiles, ScriptsPastTwoGibibytesAreRefused) {
    struct Case {
        const char* name;
        long long size;
        const char* named;
    } cases[] = {
        {"0.txt", 3LL << 30, "0.txt"},
        {"orvascript.dat", 2147483647LL, "orvascript.dat"},
        {"orvascript.zat", 4LL << 30, "orvascript.zat"},
        {"7.txt", (1LL << 31) - 1000, "7.txt"},  // with 0.txt over the limit together
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        if (std::string(c.name) == "7.txt") WriteGameFile(dir, "0.txt", std::string(kGame) + std::string(5000, ';'));
        std::string path = dir + "/" + c.name;
        WriteGameFile(dir, c.name, "");
        ASSERT_EQ(truncate(path.c_str(), c.size), 0);
        RunOptions opt;
        opt.real_timeout_s = 20;  // reading 2 GiB would take longer than the refusal
        Expect(RunGame(dir, opt),
               {1, "エラー: スクリプトが大きすぎます（" + std::string(c.named) + "で2GBを超えます）。"},
               c.name);
    }
}

TEST(ScriptFiles, Utf8ScriptsGetOneWarning) {
    const std::string sjis_text = Cp932(";あいう、カタカナ。漢字\n");
    struct Case {
        const char* what;
        const char* name;
        std::string bytes;  // the file's bytes ahead of the game
        bool warned;
    } cases[] = {
        {"UTF-8 Japanese", "0.txt", ";あいう、カタカナ。漢字\n", true},
        {"UTF-8 accents", "0.txt", ";café\n", true},
        {"Shift-JIS Japanese", "0.txt", sjis_text, false},
        {"half-width katakana", "0.txt", ";\xb1\xb2\xb3\n", false},
        {"ASCII only", "0.txt", ";plain\n", false},
        {"UTF-8 in a scrambled script", "orvascript.dat", ";ひらがな\n", true},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        std::string text = c.bytes + kGame;
        bool scrambled = std::string(c.name) == "orvascript.dat";
        WriteGameFile(dir, c.name, scrambled ? Scrambled(text, 0x5B) : text);
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 0) << c.what << "\n" << r.err;  // the script runs as written
        std::string line = std::string("orva: ") + c.name +
                           " looks like UTF-8 text; scripts are Shift-JIS (CP932)";
        size_t at = r.err.find(line);
        EXPECT_EQ(at != std::string::npos, c.warned) << c.what << "\n" << r.err;
        if (at != std::string::npos) {
            EXPECT_EQ(r.err.find(line, at + 1), std::string::npos) << c.what;
        }
    }
}

}  // namespace
