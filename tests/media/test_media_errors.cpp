// Every fatal text of the CD, movie and AVI capture commands, run in-process
// on one statement each: operand kinds and ranges, the movie command's
// options and stop word, the capture file that cannot be opened or written,
// and missing movie and MIDI files.
#include <gtest/gtest.h>

#include <string>

#include "core/script.h"
#include "core/variables.h"
#include "graphics/imagetag.h"
#include "graphics/surface.h"
#include "platform/platform.h"
#include "sound/aviwrite.h"
#include "sound/aviwrite_commands.h"
#include "sound/cd_commands.h"
#include "sound/movie.h"
#include "sound/movie_commands.h"
#include "sound/window_sound.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/game_folder.h"

namespace {

class MediaErrors : public ::testing::Test {
protected:
    void SetUp() override {
        StartHeadlessForTests();
        saved_dir_ = PlatGameDir();
        saved_count_ = VariableCount;
        VariableCount = 100;
        AllocateVariableTables(VariableCount);
        dir_ = MakeGameFolder();
        PlatSetGameDir(dir_.c_str());
    }
    void TearDown() override {
        ForgetScriptText();
        FreeVariableTables();
        VariableCount = saved_count_;
        PlatSetGameDir(saved_dir_.c_str());
        NoLoadError = 0;
    }
    // The fatal box of `cmd` run on the operands `operands` (UTF-8).
    std::string Fatal(void (*cmd)(), const std::string& operands) {
        UseScriptText(&script_, Cp932(operands));
        return FatalBoxOf(cmd, true);
    }
    // Runs `cmd` on `operands`; false when it ended in a fatal error.
    bool Runs(void (*cmd)(), const std::string& operands) {
        UseScriptText(&script_, Cp932(operands));
        return ExitCodeOf(cmd) == -1000;
    }
    std::string script_, saved_dir_, dir_;
    int saved_count_ = 0;
};

TEST_F(MediaErrors, OperandKindsAndRanges) {
    struct Case {
        void (*cmd)();
        const char* operands;
        const char* box;
    } cases[] = {
        {Cmd_getcdvol, "$1", "構文エラー: getcdvolの第一引数は数字変数です。"},
        {Cmd_getcdvol, "%100", "エラー: 変数番号が範囲外をさしています。"},
        {Cmd_mpegplay2, "5,\"a.mpg\",1", "構文エラー: mpegplay2の第一引数は数字変数です。"},
        {Cmd_mpegplay2, "%-1,\"a.mpg\",1", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (const Case& c : cases) EXPECT_EQ(Fatal(c.cmd, c.operands), c.box) << c.operands;
}

TEST_F(MediaErrors, MovieOptionsAndStopWord) {
    WriteGameFile(dir_, "a.mpg", "whatever: options are read before the file is opened");
    EXPECT_EQ(Fatal(Cmd_movie, "\"a.mpg\",pos,0,0,10,10,fast"),
              "エラー: movie命令に与えるパラメータが間違っています。");
    // Without a movie the word after 's' is taken with the command, whatever it is.
    EXPECT_TRUE(Runs(Cmd_movie, "stop"));
    EXPECT_EQ(ReadPosition, 4);
    EXPECT_TRUE(Runs(Cmd_movie, "sound"));
    MovieGraphActive = 1;
    EXPECT_EQ(Fatal(Cmd_movie, "stopp"), "エラー: movie命令への指定が間違っています。");
    MovieGraphActive = 0;
}

TEST_F(MediaErrors, MissingFiles) {
    EXPECT_EQ(Fatal(Cmd_mpegplay, "\"none.mpg\",1"), "ロードエラー: ファイルnone.mpgを開けません。");
    EXPECT_EQ(Fatal(Cmd_movie, "\"none.mpg\",click"), "ロードエラー: ファイルnone.mpgを開けません。");
    EXPECT_EQ(Fatal(Cmd_avi, "\"none.avi\",1"), "ロードエラー: ファイルnone.aviを開けません。");
    EXPECT_EQ(Fatal(Cmd_play, "\"none.mid\""), "ロードエラー: ファイルnone.midを開けません。");
    // Under noloaderror nothing happens, and every option is read.
    NoLoadError = 1;
    EXPECT_TRUE(Runs(Cmd_movie, "\"none.mpg\",pos,1,2,3,4,click,loop,async"));
    EXPECT_EQ(ReadPosition, (int)std::string("\"none.mpg\",pos,1,2,3,4,click,loop,async").size());
    // No movie: the loop and async flags are clear, painting is the engine's.
    EXPECT_EQ(MovieAsync, 0);
    EXPECT_EQ(MovieLoop, 0);
    IntVariables[3] = 7;
    EXPECT_TRUE(Runs(Cmd_mpegplay2, "%3,\"none.mpg\",1"));
    EXPECT_EQ(IntVariables[3], 0);
}

TEST_F(MediaErrors, CaptureFileErrors) {
    EXPECT_EQ(Fatal(Cmd_aviwrite, "0"), "エラー: AVIファイルへの書き込みに失敗しました。");
    EXPECT_TRUE(Runs(Cmd_aviwriteclose, ""));  // nothing open: nothing to do
    EXPECT_EQ(Fatal(Cmd_aviwriteopen, "\"no/such/folder.avi\",30,10"),
              "エラー: 書き込み先AVIファイルを開けませんでした。");
    EXPECT_FALSE(AviWriterOpen());
}

// The writer refuses frames that do not fit the file: another picture size
// (the screen changed after the open), a negative index, no open file.
TEST_F(MediaErrors, CaptureRefusesFramesThatDoNotFit) {
    BmpInfoHeader info{};
    info.size = 40, info.width = 5, info.height = 2, info.planes = 1, info.bitCount = 24;
    std::string path = Cp932(dir_ + "/small.avi");
    ASSERT_EQ(OpenAviWriter(2, info, path.c_str(), 10), 1);
    uint8_t bits[16 * 3] = {};
    EXPECT_EQ(WriteAviFrame(bits, 5, 2, 0), 1);  // 16 bytes: rows of 15 padded to 16
    EXPECT_EQ(WriteAviFrame(bits, 4, 2, 1), 0);
    EXPECT_EQ(WriteAviFrame(bits, 5, 2, -1), 0);
    CloseAviWriter();
    EXPECT_EQ(WriteAviFrame(bits, 5, 2, 1), 0);
    EXPECT_EQ(PlatFileSize(path.c_str()), 242 + 8 + 32 + 8 + 16);
    info.bitCount = 8;
    EXPECT_EQ(OpenAviWriter(2, info, path.c_str(), 10), 0);  // only 24-bit screens
}

}  // namespace
