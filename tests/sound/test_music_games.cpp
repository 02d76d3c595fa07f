// Music, volume, voice and sound-effect commands in whole games through the
// headless runner: the volume round trips, the fatal texts, the missing-file
// errors with and without noloaderror and nodv, and the operand forms every
// command accepts.  A game that checks itself names a failed check as a
// command that does not exist ("fail_..."), so a quiet end means it held.
#include <gtest/gtest.h>

#include <string>

#include "tests/sound/voice_files.h"
#include "tests/support/game_folder.h"

namespace {

RunResult Play(const std::string& script, const std::string& dir = MakeGameFolder()) {
    WriteScript(dir, script);
    return RunGame(dir);
}

void ExpectQuietEnd(const std::string& script, const std::string& dir = MakeGameFolder()) {
    RunResult r = Play(script, dir);
    EXPECT_EQ(r.status, 0) << script << "\n" << r.err;
    for (const std::string& b : r.boxes) ADD_FAILURE() << script << "\n" << b;
}

// The box's caption and message, without the script lines behind them.
std::string FirstBox(const RunResult& r) {
    if (r.boxes.empty()) return "";
    return r.boxes[0].substr(0, r.boxes[0].find("\\n\\n"));
}

// The control: a failed check in these games must show.
TEST(MusicGames, FailedCheckShows) {
    RunResult r = Play("*define\ngame\n*start\nbgmvol 30\ngetbgmvol %1\nif %1 = 30 fail_seen\nend\n");
    EXPECT_EQ(FirstBox(r), "構文エラー: 不正な命令\"fail_seen\"です。");
}

TEST(MusicGames, VolumesRoundTrip) {
    ExpectQuietEnd(
        "*define\ndefvoicevol 80\ndefsevol 70\ndefbgmvol 60\ngame\n*start\n"
        "getvoicevol %1\nif %1 != 80 fail_defvoicevol\n"
        "getsevol %1\nif %1 != 70 fail_defsevol\n"
        "getbgmvol %1\nif %1 != 60 fail_defbgmvol\n"
        "bgmvol 100\ngetbgmvol %1\nif %1 != 100 fail_bgmvol_100\n"
        "mp3vol 0\ngetmp3vol %1\nif %1 != 0 fail_mp3vol_0\n"
        "bgmvol 35\ngetmp3vol %1\nif %1 != 35 fail_bgmvol_35\n"
        "voicevol 0\ngetvoicevol %1\nif %1 != 0 fail_voicevol_0\n"
        "sevol 100\ngetsevol %1\nif %1 != 100 fail_sevol_100\n"
        // chvol sets one channel only: the effect volume stays
        "chvol 5,30\ngetsevol %1\nif %1 != 100 fail_chvol_changed_sevol\n"
        "chvol 5,250\nchvol 5,-1\nchvol 500,20\nchvol -3,20\n"
        "getsevol %1\nif %1 != 100 fail_chvol_out_of_range\n"
        "voltest\nswf\n"
        "end\n");
}

TEST(MusicGames, VolumeAndQueryErrors) {
    struct Case {
        const char* define;
        const char* story;
        const char* box;
    } cases[] = {
        {"", "bgmvol 101", "エラー: ボリュームは０～１００です。"},
        {"", "mp3vol -1", "エラー: ボリュームは０～１００です。"},
        {"", "voicevol 200", "エラー: ボリュームは０～１００です。"},
        {"", "sevol -5", "エラー: ボリュームは０～１００です。"},
        {"defsevol 101\n", "", "エラー: ボリュームは０～１００です。"},
        {"defbgmvol -1\n", "", "エラー: ボリュームは０～１００です。"},
        {"", "getbgmvol $1", "構文エラー: getbgmvolの第一引数は数字変数です。"},
        {"", "getmp3vol 3", "構文エラー: getbgmvolの第一引数は数字変数です。"},
        {"", "getvoicevol $1", "構文エラー: getvoicevolの第一引数は数字変数です。"},
        {"", "getsevol $1", "構文エラー: getsevolの第一引数は数字変数です。"},
        {"", "getsevol %5000", "エラー: 変数番号が範囲外をさしています。"},
    };
    for (const Case& c : cases) {
        RunResult r = Play(std::string("*define\n") + c.define + "game\n*start\n" + c.story + "\nend\n");
        EXPECT_EQ(r.status, 1) << c.define << c.story;
        EXPECT_EQ(FirstBox(r), c.box) << c.define << c.story;
    }
}

// Which switch silences a missing sound: noloaderror silences all, nodv
// only the dwave forms that play.
TEST(MusicGames, MissingFiles) {
    const std::string no_wav = "ロードエラー: ファイルnone.wavを開けません。";
    struct Case {
        const char* define;
        const char* story;
        std::string box;  // "" for a quiet end
    } cases[] = {
        {"", "dwave 1,\"none.wav\"", no_wav},
        {"nodv\n", "dwave 1,\"none.wav\"", ""},
        {"noloaderror\n", "dwave 1,\"none.wav\"", ""},
        {"nodv\n", "dwaveloop 2,\"none.wav\"", ""},
        {"nodv\n", "dwave_dd 0,\"none.wav\",3,\"b.wav\",50", ""},
        {"", "dwave_dd 0,\"none.wav\",3,\"b.wav\",50", no_wav},
        {"nodv\n", "dwaveload 1,\"none.wav\"", no_wav},
        {"noloaderror\n", "dwaveload 1,\"none.wav\"", ""},
        {"nodv\n", "wave \"none.wav\"", no_wav},
        {"noloaderror\n", "waveloop \"none.wav\"", ""},
        {"", "bgm \"none.ogg\"", "ロードエラー: ファイルnone.oggを開けません。"},
        {"", "mp3 \"none.mp3\"", "ロードエラー: ファイルnone.mp3を開けません。"},
        {"noloaderror\n", "bgmsave \"none.ogg\"", ""},
        {"", "dvnone", "ロードエラー: ファイルvoice\\none.wavを開けません。"},
        {"nodv\n", "dvnone", ""},
        {"", "vnone", "ロードエラー: ファイルvoice\\none.wavを開けません。"},
        {"nodv\n", "vnone", "ロードエラー: ファイルvoice\\none.wavを開けません。"},
        {"noloaderror\n", "mvnone", ""},
        // a loop point before the name: the file after ')' is looked for
        {"", "dwave 1,\"(3.5)none.wav\"", no_wav},
        // '(' without ')': nothing plays and nothing is looked for
        {"", "dwave 1,\"(3.5none.wav\"", ""},
        {"", "mp3loop \"(12.5none.ogg\"", ""},
        // an extension no plug-in decodes
        {"", "dwave 1,\"here.xyz\"", "ロードエラー: ファイルhere.xyzを開けません。"},
        {"noloaderror\n", "dwave 1,\"here.xyz\"", ""},
        // channel numbers outside 0..199 are refused, not looked up
        {"", "dwave 200,\"none.wav\"", ""},
        {"", "dwave -1,\"none.wav\"", ""},
        // empty names stop
        {"", "dwave 1,\"\"\nwave \"\"\nbgm \"\"\nmp3 \"\"\ndwaveload 4,\"\"", ""},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteGameFile(dir, "here.xyz", "not a sound");
        RunResult r = Play(std::string("*define\n") + c.define + "game\n*start\n" + c.story + "\nend\n", dir);
        EXPECT_EQ(r.status, c.box.empty() ? 0 : 1) << c.define << c.story << "\n" << r.err;
        EXPECT_EQ(FirstBox(r), c.box) << c.define << c.story;
    }
}

TEST(MusicGames, EveryCommandReadsItsOperands) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "se/a.wav", ToneWav(0.05, 440, 22050, 1));
    ExpectQuietEnd(
        "*define\n"
        "clickvoice \"se/a.wav\",\"se/a.wav\"\n"
        "selectvoice \"se/a.wav\",\"\",\"se/a.wav\"\n"
        "menuselectvoice \"1\",\"2\",\"3\",\"4\",\"5\",\"6\",\"7\"\n"
        "lookbackvoice \"se/a.wav\"\n"
        "soundpressplgin \"Press.DLL|XyZ\"\n"
        "mode_wave_demo\nnodv\ndelbgmvol\ndsound\n"
        "bgmdownmode 1\nbgmfadein 0\nmp3fadein 0\nbgmfadeout 0\nmp3fadeout 0\n"
        "game\n*start\n"
        "dwave 1,\"se/a.wav\"\ndwaveloop 2,\"SE\\A.WAV\"\ndwavestop 2\n"
        "dwaveload 3,\"se/a.wav\"\ndwaveplay 3\ndwaveplayloop 3\ndwavestop 3\n"
        "dwave_dd 4,\"se/a.wav\",5,\"se/a.wav\",0\n"
        "wave \"se/a.wav\"\nwavestop\nwaveloop \"se/a.wav\"\nwavestop\n"
        "bgm \"se/a.wav\"\nbgmstop\nmp3loop \"(1.5)se/a.wav\"\nmp3stop\n"
        "bgmonce \"se/a.wav\"\nmp3save \"se/a.wav\"\nmp3 \"\"\n"
        "bgmfadeout 100\nbgmdownmode 0\n"
        "end\n",
        dir);
}

// A "dv" voice with bgmdownmode lowers the music to half its loudness while
// it plays (getbgmvol shows the volume in force) and the music comes back.
TEST(MusicGames, DvVoiceDucksTheMusic) {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "m.wav", ToneWav(3.0, 220, 22050, 2));
    WriteGameFile(dir, "voice/a01.wav", ToneWav(0.8, 440, 22050, 1));
    ExpectQuietEnd(
        "*define\nbgmdownmode 1\ngame\n*start\n"
        "bgmvol 80\nbgm \"m.wav\"\ndva01\nwait 400\ngetbgmvol %1\n"
        "wait 1500\ngetbgmvol %2\n"
        "if %1 != 40 fail_ducked\nif %2 != 80 fail_restored\nend\n",
        dir);
}

TEST(MusicGames, SoundPressPluginLimit) {
    const char* loop = "for %1 = 1 to %2\nsoundpressplgin \"p.dll|xyz\"\nnext\n";
    ExpectQuietEnd(std::string("*define\nmov %2,50\n") + loop + "game\n*start\nend\n");
    RunResult r = Play(std::string("*define\nmov %2,51\n") + loop + "game\n*start\nend\n");
    EXPECT_EQ(FirstBox(r), "エラー: Sound press plug-in設定が多すぎます。");
}

}  // namespace
