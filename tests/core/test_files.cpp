// filecreate, fileremove and readfile: files named in CP932 with '\' and any
// case, the 8191-byte limit of readfile, bytes kept as they are, a file read
// from an archive, and the error texts.
#include <string>

#include "archive/archives.h"
#include "archive/ova.h"
#include "core/file_commands.h"
#include "platform/platform.h"
#include "tests/archive/arcpack.h"
#include "tests/core/command_fixture.h"

namespace {

class Files : public CommandTest {
protected:
    std::string dir;
    void SetUp() override {
        CommandTest::SetUp();
        dir = EnterGameFolder();
        ForgetArchiveState();
    }
    void TearDown() override {
        ForgetArchiveState();
        CommandTest::TearDown();
    }
    bool Has(const std::string& rel, std::string* bytes = nullptr) {
        std::string s;
        bool ok = ReadGameFileBytes(dir, rel, &s);
        if (bytes) *bytes = s;
        return ok;
    }
};

TEST_F(Files, CreateEmptiesAndRemoveDeletes) {
    WriteGameFile(dir, "Save/Flag.txt", "old text");
    Run("filecreate \"save\\flag.TXT\"");  // the existing file, in any case
    std::string bytes = "x";
    ASSERT_TRUE(Has("Save/Flag.txt", &bytes));
    EXPECT_EQ(bytes, "");
    Run("filecreate \"新規.txt\"");
    EXPECT_TRUE(Has("新規.txt"));
    Run("fileremove \"SAVE\\FLAG.txt\"");
    EXPECT_FALSE(Has("Save/Flag.txt"));
    // Failures pass silently.
    Run("fileremove \"nothing.txt\"");
    Run("fileremove \"save\"");
    Run("filecreate \"no\\such\\folder.txt\"");
    EXPECT_EQ(FileSizeOf("nothing.txt"), 0);
    EXPECT_EQ(FileSizeOf("新規.txt"), 0);
}

TEST_F(Files, ReadfileKeepsTheBytes) {
    WriteGameFile(dir, "a.txt", "line1\r\nline2\n" + Cp932("日本語"));
    Run("readfile $0,\"A.TXT\"");
    EXPECT_EQ(Bytes(0), "line1\r\nline2\n" + Cp932("日本語"));
    EXPECT_EQ(FileSizeOf("a.txt"), 19);
    WriteGameFile(dir, "nul.bin", std::string("ab\0cd", 5));
    Run("readfile $1,\"nul.bin\"");
    EXPECT_EQ(Bytes(1), "ab");
    WriteGameFile(dir, "empty.txt", "");
    AssignString(&StrVariables[2], "old");
    Run("readfile $2,\"empty.txt\"");
    EXPECT_EQ(Bytes(2), "");
    // Neither in the folder nor in an archive: unchanged.
    AssignString(&StrVariables[3], "old");
    Run("readfile $3,\"missing.txt\"");
    EXPECT_EQ(Bytes(3), "old");
}

TEST_F(Files, ReadfileSizeLimit) {
    WriteGameFile(dir, "ok.txt", std::string(8191, 'k'));
    WriteGameFile(dir, "big.txt", std::string(8192, 'b'));
    Run("readfile $0,\"ok.txt\"");
    EXPECT_EQ(Bytes(0).size(), 8191u);
    AssignString(&StrVariables[0], "old");
    EXPECT_EQ(Fatal("readfile $0,\"big.txt\""), "エラー: 読み込もうとしているファイルが大きすぎます。");
    EXPECT_EQ(Bytes(0), "old");
}

TEST_F(Files, ReadfileFromAnArchive) {
    WriteGameFile(dir, "arc.ova", arcpack::PackOva({{"text\\note.txt", arcpack::Lzss, "from the archive"},
                                                    {"text\\big.txt", arcpack::Stored, std::string(9000, 'x')}}));
    OvaMode = 1;
    LoadArchiveIndexes();
    Run("readfile $0,\"Text/Note.txt\"");
    EXPECT_EQ(Str(0), "from the archive");
    EXPECT_EQ(Fatal("readfile $0,\"text\\big.txt\""), "エラー: 読み込もうとしているファイルが大きすぎます。");
    // The folder wins over the archive.
    WriteGameFile(dir, "text/note.txt", "from the folder");
    Run("readfile $0,\"text\\note.txt\"");
    EXPECT_EQ(Str(0), "from the folder");
}

TEST_F(Files, WrongOperands) {
    const char* cases[][2] = {
        {"readfile %0,\"a\"", "構文エラー: readfileの第一引数は文字変数です。"},
        {"readfile $100,\"a\"", "エラー: 文字列変数番号が範囲外です。"},
        {"readfile $0 \"a\"", "構文エラー: コンマが必要なところにコンマが有りません。"},
        {"filecreate 5", "構文エラー: 文字列が来るべきところに文字列がありません。"},
    };
    for (auto& c : cases) EXPECT_EQ(Fatal(c[0]), c[1]) << c[0];
}

}  // namespace
