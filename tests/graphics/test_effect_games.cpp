// Transitions in whole games through the headless runner: the effect
// commands and how long transitions last (read back with gettimer), a frame
// caught in the middle of a transition with --max-ms, and the fatal errors
// of the effect commands and operands.
#include <gtest/gtest.h>

#include <string>

#include "tests/graphics/compose_fixture.h"
#include "tests/support/game_folder.h"

namespace {

// The game names a failed check as a command that does not exist, so a
// quiet end means every check held.
void ExpectQuietEnd(const std::string& script) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, script);
    RunResult r = RunGame(dir);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << b;
}

TEST(EffectGames, CommandsAndDurations) {
    ExpectQuietEnd(
        "*define\n"
        "effect 2,2,800\n"
        "effect 3,10,1000\neffect 3,1\n"  // kind 1: instant
        "effect 4,4,480\n"
        "effectblank 20\n"
        "game\n*start\n"
        "resettimer\nbg \"white\",2\ngettimer %0\nif %0 != 820 fail_blinds\n"
        "resettimer\nbg \"black\",3\ngettimer %0\nif %0 > 1 fail_instant\n"
        "resettimer\nbg \"white\",4,160\ngettimer %0\nif %0 != 180 fail_in_place\n"
        "seteffectspeed 1\n"
        "resettimer\nbg \"black\",2\ngettimer %0\nif %0 != 420 fail_half\n"
        "seteffectspeed 2\n"
        "resettimer\nbg \"white\",2\ngettimer %0\nif %0 > 1 fail_speed2\n"
        "resettimer\nbg \"black\",15,100\ngettimer %0\nif %0 > 1 fail_speed2_rule\n"
        "seteffectspeed 7\ngeteffectspeed %1\nif %1 != 7 fail_getspeed\n"
        "seteffectspeed 0\n"
        "resettimer\nbg \"white\",0\ngettimer %0\nif %0 > 1 fail_none\n"
        "end\n");
}

// While the skip key is held, effectskip on divides durations by 8,
// effectcut makes transitions instant, and effectskip 0 leaves them whole.
TEST(EffectGames, SkipRules) {
    struct Case {
        const char* define;
        const char* story;
    } cases[] = {
        {"", "if %0 != 192 fail_eighth\n"},
        {"effectcut\n", "if %0 > 1 fail_cut\n"},
        {"", "effectskip 0\nresettimer\nbg \"black\",2,160\ngettimer %0\nif %0 != 160 fail_whole\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.define);
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\neffectblank 0\n") + c.define +
                             "game\n*start\nwait 10\n"
                             "resettimer\nbg \"white\",2,1600\ngettimer %0\n" +
                             c.story + "end\n");
        RunOptions opt;
        opt.events = "0 keydown ctrl\n";
        RunResult r = RunGame(dir, opt);
        EXPECT_EQ(r.status, 0) << r.err;
        for (const std::string& b : r.boxes) ADD_FAILURE() << b;
    }
}

// A blinds transition of 16 s (one step a second) stopped after 8.5 s of
// the game: the columns s, s + 16, ... of the steps drawn so far show the
// new picture.
TEST(EffectGames, FrameInTheMiddleOfATransition) {
    std::string dir = MakeGameFolder();
    WriteScript(dir, "*define\ngame\n*start\nbg \"white\",2,16000\nend\n");
    RunOptions opt;
    opt.max_ms = 8500;
    opt.frame_out = dir + "/frame.bmp";
    RunResult r = RunGame(dir, opt);
    EXPECT_EQ(r.status, 124) << r.err;
    std::string bytes;
    ASSERT_TRUE(ReadGameFileBytes(dir, "frame.bmp", &bytes));
    Frame f;
    memcpy(&f.w, &bytes[18], 4);
    memcpy(&f.h, &bytes[22], 4);
    f.bmp = bytes;
    ASSERT_EQ(f.w, 640);
    int steps = 0;
    while (steps < 16 && f.At(steps, 100) == kWhite) steps++;
    EXPECT_GE(steps, 7);
    EXPECT_LE(steps, 9);
    for (int x = 0; x < 640; x++)
        for (int y : {0, 100, 479})
            ASSERT_EQ(f.At(x, y), x % 16 < steps ? kWhite : kBlack) << x << "," << y;
}

// Blinds, curtains and scrolls draw over what the window shows: after
// drawing by hand without `draw`, the picture not yet replaced stays the red
// one shown, never the blue one drawn.
TEST(EffectGames, LinesNotYetReplacedKeepTheShownPicture) {
    for (int kind : {2, 5, 6, 9, 11, 14}) {
        std::string dir = MakeGameFolder();
        WriteScript(dir, "*define\ngame\n*start\nbg \"#ff0000\",1\ndrawfill 0,0,255\nbg \"white\"," +
                             std::to_string(kind) + ",16000\nend\n");
        RunOptions opt;
        opt.max_ms = 8500;
        FramedRun r = RunFramed(dir, opt);
        EXPECT_EQ(r.run.status, 124) << kind << r.run.err;
        ASSERT_EQ(r.frame.w, 640) << kind;
        int red = 0, white = 0, other = 0;
        for (int y = 0; y < 480; y += 7)
            for (int x = 0; x < 640; x += 3) {
                Bgr p = r.frame.At(x, y);
                if (p == kRed) red++;
                else if (p == kWhite) white++;
                else other++;
            }
        EXPECT_GT(red, 0) << kind;
        EXPECT_GT(white, 0) << kind;
        EXPECT_EQ(other, 0) << kind;
    }
}

TEST(EffectGames, FatalErrors) {
    struct Case {
        const char* define;
        const char* story;
        const char* box;
    } cases[] = {
        {"effect 1,2,100\n", "", "パラメータエラー: effect命令の第一パラメータは2～255です。"},
        {"effect 256,2,100\n", "", "パラメータエラー: effect命令の第一パラメータは2～255です。"},
        {"", "geteffectspeed 5\n", "構文エラー: geteffectspeedの第一引数は数字変数です。"},
        {"", "geteffectspeed %999999\n", "エラー: 変数番号が範囲外をさしています。"},
        {"", "bg \"white\",7\n", "エラー: 未定義のエフェクトを使いました"},
        {"", "bg \"white\",300\n", "エラー: 未定義のエフェクトを使いました"},
        {"", "bg \"white\",-3\n", "エラー: 未定義のエフェクトを使いました"},
        {"", "bg \"white\",50,100\n", "エラー: 不正なエフェクト番号です。EFFECT命令をチェックしてください。"},
        {"", "bg \"white\",18,100\n", "エラー: エフェクトの三番目の画像指定がありません。"},
        {"effect 9,15,100,\"\"\n", "bg \"white\",9\n", "エラー: エフェクトの三番目の画像指定がありません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.define) + c.story);
        std::string dir = MakeGameFolder();
        WriteScript(dir, std::string("*define\n") + c.define + "game\n*start\n" + c.story + "end\n");
        RunResult r = RunGame(dir);
        EXPECT_EQ(r.status, 1) << r.err;
        ASSERT_EQ(r.boxes.size(), 1u) << r.err;
        EXPECT_EQ(r.boxes[0].substr(0, r.boxes[0].find("\\n")), c.box);
    }
}

}  // namespace
