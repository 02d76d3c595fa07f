// The engine's music, voices and effects through the built-in Ogg plug-in in
// whole games that ship "ovogg2.dll" or "ovogg.dll" (and Ogg on the engine's
// channels with the decoder library or with none), checked through the
// sound trace and the mixer's output of the headless runner: loop points,
// fades in the background on the other music channel (the older library's
// ramped step by step), a volume change that keeps a closing fade's close,
// chvol on the music,
// the slot's music coming back on channel 199, the music lowered 10 dB under
// a voice, the plug-in's voice seen by Lua, the click and button waits
// watching the plug-in's voice, what a reset closes, the volume dialog (and
// its channel 99 with the music while a slider moves), MP3
// music left to the stream, and no fade left to stall a load or the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/media/media_run.h"
#include "tests/sound/audio_out.h"
#include "tests/sound/sound_test_files.h"

namespace {

std::string GameShipping(const std::string& library) {
    std::string dir = MakeGameFolder();
    if (!library.empty()) WriteGameFile(dir, library, "");
    return dir;
}

size_t Frames(int ms) { return (size_t)ms * 44100 / 1000; }

// The stamp of the first line equal to `line` after the stamp `from`; -1 when
// there is none.
int TraceTimeAfter(const TracedRun& t, const std::string& line, int from) {
    for (size_t i = 0; i < t.lines.size(); i++)
        if (t.ms[i] >= from && t.lines[i] == line) return t.ms[i];
    return -1;
}

// Half a second of silence, then a tone to 1.5 s, played with the loop point
// 0.5: looping back to the point keeps the tone going after the first pass;
// without a plug-in the music loops from its start and the silence comes back.
TEST(OggEngine, MusicLoopsBackToItsLoopPoint) {
    struct {
        const char* library;
        bool tone_goes_on;
    } cases[] = {{"ovogg2.dll", true}, {"ovogg.dll", true}, {"", false}};
    for (const auto& c : cases) {
        std::string dir = GameShipping(c.library);
        WriteGameFile(dir, "theme.ogg", ToneOgg(1.5, 440, 44100, 2, 0.5, 0.5));
        MediaRunOptions o;
        o.audio_out = dir + ".wav";
        TracedRun t = PlayTracedGame(dir, "*define\ngame\n*start\nbgm \"(0.5)theme.ogg\"\nwait 3000\nend\n", o);
        EXPECT_QUIET_END(t);
        if (*c.library) {
            EXPECT_GE(TraceTime(t, "ogg ch=199 play2 loop point=0.500"), 0) << c.library;
        }
        std::vector<int16_t> s = ReadAudioOut(o.audio_out);
        size_t tone = FirstSound(s);  // half a second into the piece
        ASSERT_LT(tone + Frames(2000), s.size() / 2) << c.library;
        double level = Rms(s, tone + Frames(100), tone + Frames(900), 0);
        EXPECT_GT(level, 5000) << c.library;
        // The first pass ends one second after the tone began.
        double after = Rms(s, tone + Frames(1100), tone + Frames(1400), 0);
        if (c.tone_goes_on)
            EXPECT_NEAR(after, level, level * 0.05) << c.library;
        else
            EXPECT_LT(after, 50) << c.library;
    }
}

// With the newer plug-in a change of music fades the old piece in the
// background (the script goes on) while the new one starts on the other
// channel; chvol 199 reaches the music; a slot saved with plug-in music
// brings it back on channel 199 when loaded.
TEST(OggEngine, FadesInTheBackgroundAndSlotsBringTheMusicBack) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "a.ogg", ToneOgg(3.0, 440, 44100, 1, 0.5));
    WriteGameFile(dir, "b.ogg", ToneOgg(3.0, 660, 44100, 1, 0.5));
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\n"
                                 "bgmfadeout 1000\nbgm \"a.ogg\"\nchvol 199,50\nwait 200\n"
                                 "bgm \"b.ogg\"\nwait 1500\n"
                                 "savegame 1\nif %300 = 1 goto *loaded\nmov %300,1\n"
                                 "bgm \"a.ogg\"\nwait 100\nloadgame 1\n"
                                 "*loaded\nwait 100\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> want = {
        "ogg ch=199 open \"a.ogg\"",
        "ogg ch=199 vol 0",
        "ogg ch=199 play loop=1",
        "ogg ch=199 vol -1250",  // chvol 199,50
        "ogg ch=199 fade 0>-10000 1000ms close=1",
        "ogg ch=198 open \"b.ogg\"",
        "ogg ch=198 vol 0",
        "ogg ch=198 play loop=1",
        "ogg ch=199 close (fade)",
        "ogg ch=198 fade 0>-10000 1000ms close=1",
        "ogg ch=199 open \"a.ogg\"",
        "ogg ch=199 vol 0",
        "ogg ch=199 play loop=1",
        "ogg ch=199 close",  // the load: no fade, every channel closed
        "ogg ch=198 close",
        "ogg ch=199 open \"b.ogg\"",  // the slot's music on 199 again
        "ogg ch=199 vol 0",
        "ogg ch=199 play loop=1",
        "ogg ch=199 close",  // the end
    };
    EXPECT_EQ(TraceLines(t, "ogg "), want);
    int fade = TraceTime(t, "ogg ch=199 fade 0>-10000 1000ms close=1");
    EXPECT_EQ(TraceTime(t, "ogg ch=198 open \"b.ogg\""), fade) << "the next piece starts at once";
    EXPECT_NEAR(TraceTime(t, "ogg ch=199 close (fade)") - fade, 1000, 30);
    EXPECT_EQ(TraceTime(t, "ogg ch=199 open \"b.ogg\"") - TraceTime(t, "ogg ch=198 close"), 0);
}

// A volume change on a channel that a closing fade is taking out (chvol on
// the old piece's channel after a change of music; Lua's OVOggVolume
// during OVOggFade with close) moves the level the fade runs from, and the
// channel still closes when the fade ends: the old piece is not heard on
// under the new one, nor louder again for the rest of its fade.
TEST(OggEngine, AVolumeChangeKeepsAClosingFadesClose) {
    struct {
        const char* what;
        int channel;
        const char* script;
    } cases[] = {
        {"chvol", 199,
         "*define\ngame\n*start\nbgmfadeout 1000\nbgm \"a.ogg\"\nwait 500\nbgm \"b.ogg\"\nwait 300\n"
         "chvol 199,50\nwait 3000\nend\n"},
        {"OVOggVolume", 5,
         "*define\nluasub start\nluasub lower\nluasub probe\ngame\n*start\nstart\nwait 300\nlower\n"
         "wait 3000\nprobe\nif %1 != 0 fail_still_playing\nend\n"},
    };
    for (const auto& c : cases) {
        std::string dir = GameShipping("ovogg2.dll");
        WriteGameFile(dir, "ovlua.dll", "");
        WriteGameFile(dir, "system.lua",
                      "function OVCOM_start() OVOggLoad(5, 'a.ogg') OVOggPlay(5, true)\n"
                      "  OVOggLoad(6, 'b.ogg') OVOggPlay(6, true) OVOggFade(5, 0, -10000, 1000, true) end\n"
                      "function OVCOM_lower() OVOggVolume(5, -1250) end\n"
                      "function OVCOM_probe() OVSetIntValue(1, OVOggIsPlaying(5) and 1 or 0) end\n");
        WriteGameFile(dir, "a.ogg", ToneOgg(6.0, 440, 44100, 1, 0.5));
        WriteGameFile(dir, "b.ogg", ToneOgg(6.0, 660, 44100, 1, 0.5));
        MediaRunOptions o;
        o.audio_out = dir + ".wav";
        TracedRun t = PlayTracedGame(dir, c.script, o);
        EXPECT_QUIET_END(t);
        std::string ch = "ogg ch=" + std::to_string(c.channel);
        int fade = TraceTime(t, ch + " fade 0>-10000 1000ms close=1");
        ASSERT_GE(fade, 0) << c.what;
        int lowered = TraceTime(t, ch + " fade from -1250");
        EXPECT_GT(lowered, fade) << c.what;
        int closed = TraceTime(t, ch + " close (fade)");
        EXPECT_NEAR(closed - fade, 1000, 5) << c.what << ": the channel closes at the fade's end";
        std::vector<int16_t> s = ReadAudioOut(o.audio_out);
        ASSERT_LT(Frames(closed + 2000), s.size() / 2) << c.what;
        size_t from = Frames(closed + 100), to = Frames(closed + 2000);
        EXPECT_LT(ToneAmplitude(s, from, to, 0, 440), 30) << c.what << ": the old piece is gone";
        EXPECT_GT(ToneAmplitude(s, from, to, 0, 660), 10000) << c.what << ": the new one plays";
        // From the louder level the fade goes on where it stood: the old
        // piece does not swell back up while the new one starts.
        double before = ToneAmplitude(s, Frames(lowered - 100), Frames(lowered), 0, 440);
        double after = ToneAmplitude(s, Frames(lowered), Frames(lowered + 100), 0, 440);
        EXPECT_LT(after, before) << c.what << ": the old piece swelled back up";
    }
}

// An Ogg sound loaded into a channel needs an Ogg library in the game: with
// none it is the fatal error; the decoder library plays it on the engine's
// channel; either plug-in opens it itself, and with "ovogg2.dll" the
// intro-and-loop music, which goes to the engine's channels, plays too.
TEST(OggEngine, OggOnTheChannelsNeedsAnOggLibrary) {
    struct {
        const char* library;
        const char* command;
        const char* line;  // what the trace shows; "" for the error
    } cases[] = {
        {"", "dwave 1,\"a.ogg\"", ""},
        {"", "loopbgm \"a.ogg\",\"a.ogg\"", ""},
        {"", "dwaveload 2,\"a.ogg\"", ""},
        {"oggdec.dll", "dwave 1,\"a.ogg\"", "ch=1 play loop=0"},
        {"oggdec.dll", "loopbgm \"a.ogg\",\"a.ogg\"", "ch=198 play loop=0"},
        {"ovogg.dll", "dwave 1,\"a.ogg\"", "ogg ch=1 play loop=0"},
        {"ovogg2.dll", "dwave 1,\"a.ogg\"", "ogg ch=1 play loop=0"},
        {"ovogg2.dll", "loopbgm \"a.ogg\",\"a.ogg\"", "ch=198 play loop=0"},
    };
    for (const auto& c : cases) {
        std::string dir = GameShipping(c.library);
        WriteGameFile(dir, "a.ogg", ToneOgg(0.5, 440, 44100, 1, 0.5));
        TracedRun t = PlayTracedGame(dir, std::string("*define\ngame\n*start\n") + c.command + "\nwait 100\nend\n");
        std::string what = std::string(c.library) + " " + c.command;
        if (*c.line) {
            EXPECT_QUIET_END(t);
            EXPECT_GE(TraceTime(t, c.line), 0) << what;
        } else {
            ASSERT_EQ(t.run.boxes.size(), 1u) << what;
            EXPECT_EQ(t.run.boxes[0].substr(0, t.run.boxes[0].find("\\n")),
                      "エラー: oggdec.dllがありません。")
                << what;
        }
    }
}

// The older plug-in's music is faded here, the script waiting: one unit of
// attenuation a step, at least 10 ms each, then channel 199 closes.
TEST(OggEngine, OlderLibraryFadesTheMusicStepByStep) {
    std::string dir = GameShipping("ovogg.dll");
    WriteGameFile(dir, "a.ogg", ToneOgg(3.0, 440, 44100, 1, 0.5));
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbgm \"a.ogg\"\nwait 100\n"
                                 "bgmfadeout 200\nbgmstop\ndwave 1,\"a.ogg\"\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> want = {"ogg ch=199 open \"a.ogg\"", "ogg ch=199 vol 0", "ogg ch=199 play loop=1"};
    for (int v = 0; v < 100; v++) want.push_back("ogg ch=199 vol " + std::to_string(-25 * v));
    want.push_back("ogg ch=199 close");
    want.push_back("ogg ch=1 open \"a.ogg\"");
    std::vector<std::string> got = TraceLines(t, "ogg ");
    ASSERT_GE(got.size(), want.size());
    got.resize(want.size());
    EXPECT_EQ(got, want);
    int start = TraceTime(t, "ogg ch=199 vol -25") - 10;
    EXPECT_EQ(TraceTime(t, "ogg ch=199 close") - start, 1000);
}

// bgmdownmode with the plug-in: a voice lowers the music 10 dB at once, and
// the window timer brings it back when the voice has ended.
TEST(OggEngine, VoiceLowersTheMusicTenDecibels) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "m.ogg", ToneOgg(4.0, 440, 44100, 2, 0.5));
    WriteGameFile(dir, "v.ogg", ToneOgg(1.0, 440, 44100, 1, 0.0));
    MediaRunOptions o;
    o.audio_out = dir + ".wav";
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbgmdownmode 1\nbgmvol 80\n"
                                 "bgm \"m.ogg\"\nwait 500\ndwave 0,\"v.ogg\"\nwait 1500\nend\n",
                                 o);
    EXPECT_QUIET_END(t);
    int voice = TraceTime(t, "ogg ch=0 play loop=0");
    ASSERT_GE(voice, 0);
    EXPECT_EQ(TraceTimeAfter(t, "ogg ch=199 vol -1500", voice - 1), voice) << "-500 less 10 dB";
    int end = TraceTime(t, "ogg ch=0 end");
    EXPECT_NEAR(end - voice, 1000, 2);
    int back = TraceTimeAfter(t, "ogg ch=199 vol -500", end);
    EXPECT_GE(back, end);
    EXPECT_LE(back - end, 30) << "within one tick of the window timer";

    std::vector<int16_t> s = ReadAudioOut(o.audio_out);
    size_t music = FirstSound(s);
    ASSERT_LT(music + Frames(1900), s.size() / 2);
    double before = Rms(s, music + Frames(100), music + Frames(450), 0);
    double during = Rms(s, music + Frames(600), music + Frames(1400), 0);
    double after = Rms(s, music + Frames(1600), music + Frames(1900), 0);
    EXPECT_NEAR(during / before, 0.3162, 0.01);
    EXPECT_NEAR(after / before, 1.0, 0.01);
}

// The ducking under a voice on the engine's channel 0 (a wave the plug-in
// refuses) leaves the newer plug-in's fade-in running: the piece started
// while the music is being lowered is at -25 dB before it plays and rises
// from there to the lowered volume.
TEST(OggEngine, DuckingLeavesTheFadeInRunning) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "b.ogg", ToneOgg(3.0, 660, 44100, 1, 0.5));
    WriteGameFile(dir, "v.wav", ToneWave(0.8, 440, 22050, 1, 0.0));
    MediaRunOptions o;
    o.audio_out = dir + ".wav";
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbgmdownmode 1\nbgmfadein 1000\n"
                                 "dwave 0,\"v.wav\"\nwait 50\nbgm \"b.ogg\"\nwait 1500\nend\n",
                                 o);
    EXPECT_QUIET_END(t);
    std::vector<std::string> lines = TraceLines(t, "ogg ch=199 ");
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3].rfind("ogg ch=199 fade -2500>", 0), 0u) << lines[3];
    lines.resize(3);
    std::vector<std::string> want = {"ogg ch=199 open \"b.ogg\"",
                                     "ogg ch=199 vol -2500",  // before the play, not the full level
                                     "ogg ch=199 play loop=1"};
    EXPECT_EQ(lines, want);
    int start = TraceTime(t, "ogg ch=199 play loop=1");
    ASSERT_GE(start, 0);
    std::vector<std::string> steps = TraceLines(t, "ogg ch=199 fade to ");
    EXPECT_FALSE(steps.empty()) << "the ducking went on during the fade";
    std::vector<int16_t> s = ReadAudioOut(o.audio_out);
    size_t from = Frames(start);
    ASSERT_LT(from + Frames(1400), s.size() / 2);
    double early = Rms(s, from + Frames(20), from + Frames(120), 0);
    double late = Rms(s, from + Frames(1200), from + Frames(1400), 0);
    EXPECT_GT(late, 1000);
    EXPECT_LT(early, late * 0.15) << "the fade-in was cut short";
}

// Lua's OVOgg functions and the engine share the plug-in's 200 channels: Lua
// sees the engine's voice on channel 0 and closes the engine's music on 199.
TEST(OggEngine, LuaSharesTheEnginesChannels) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "ovlua.dll", "");
    WriteGameFile(dir, "m.ogg", ToneOgg(3.0, 440, 44100, 1, 0.5));
    WriteGameFile(dir, "v.ogg", ToneOgg(1.0, 660, 44100, 1, 0.5));
    WriteGameFile(dir, "system.lua",
                  "n = 0\n"
                  "function OVCOM_probe() n = n + 1 OVSetIntValue(n, OVOggIsPlaying(0) and 1 or 0) end\n"
                  "function OVCOM_nomusic() OVOggClose(199) end\n");
    TracedRun t = PlayTracedGame(dir,
                                 "*define\nluasub probe\nluasub nomusic\ngame\n*start\n"
                                 "bgm \"m.ogg\"\ndwave 0,\"v.ogg\"\nprobe\nwait 1200\nprobe\n"
                                 "nomusic\nwait 300\n"
                                 "if %1 != 1 fail_voice_not_seen\nif %2 != 0 fail_voice_not_ended\nend\n");
    EXPECT_QUIET_END(t);
    int play = TraceTime(t, "ogg ch=0 play loop=0");
    EXPECT_EQ(TraceTime(t, "ogg ch=199 close"), play + 1200) << "closed by Lua, not at the end";
}

// The waits ask the plug-in about the voice: auto mode's page wait ends when
// the voice ends; the button wait starts the dwave_dd follow-up sound when
// the voice ends (time-out or not), and btntime2 waits for the voice.
TEST(OggEngine, WaitsWatchThePluginsVoice) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "v.ogg", ToneOgg(1.0, 440, 44100, 1, 0.5));
    WriteGameFile(dir, "bell.ogg", ToneOgg(0.5, 880, 44100, 1, 0.5));
    WriteGameFile(dir, "se.ogg", ToneOgg(0.2, 660, 44100, 1, 0.5));
    MediaRunOptions o;
    o.events = At(50, "menu 40019");  // auto mode
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nautomode_time 0\nwait 100\n"
                                 "dwave 0,\"v.ogg\"\nあ\\\n"
                                 "dwave 1,\"se.ogg\"\n"
                                 "btndef \"\"\ndwave_dd 0,\"v.ogg\",2,\"bell.ogg\",60\n"
                                 "btntime 3000\nbtnwait %1\n"
                                 "dwave 0,\"v.ogg\"\nbtntime2 300\nbtnwait %2\n"
                                 "dwave 3,\"se.ogg\"\n"
                                 "if %1 != -2 fail_timeout\nif %2 != -2 fail_timeout2\nend\n",
                                 o);
    EXPECT_QUIET_END(t);
    std::vector<int> ends;
    for (size_t i = 0; i < t.lines.size(); i++)
        if (t.lines[i] == "ogg ch=0 end") ends.push_back(t.ms[i]);
    ASSERT_EQ(ends.size(), 3u);
    int page_end = TraceTime(t, "ogg ch=1 open \"se.ogg\"");
    EXPECT_GE(page_end, ends[0]);
    EXPECT_LE(page_end - ends[0], 10) << "the page wait ends with the voice";
    int bell = TraceTime(t, "ogg ch=2 open \"bell.ogg\"");
    EXPECT_GE(bell, ends[1]);
    EXPECT_LE(bell - ends[1], 10) << "the follow-up starts when the voice ends";
    EXPECT_GE(TraceTime(t, "ogg ch=2 vol -1000"), bell);
    int wait2 = TraceTime(t, "ogg ch=0 play loop=0", 2);
    EXPECT_GE(wait2 - bell, 1990) << "the first wait ran to its time-out";
    int after = TraceTime(t, "ogg ch=3 open \"se.ogg\"");
    EXPECT_GE(after, ends[2]);
    EXPECT_LE(after - ends[2], 10) << "btntime2 waits for the voice";
}

// A reset stops every plug-in channel with the newer library, one-shot voices
// included; with the older one only looping channels, the voice plays on.
TEST(OggEngine, ResetClosesWhatItsLibraryStops) {
    struct {
        const char* library;
        bool voice_closed_at_reset;
    } cases[] = {{"ovogg2.dll", true}, {"ovogg.dll", false}};
    for (const auto& c : cases) {
        std::string dir = GameShipping(c.library);
        WriteGameFile(dir, "v.ogg", ToneOgg(3.0, 440, 44100, 1, 0.5));
        WriteGameFile(dir, "rain.ogg", ToneOgg(0.5, 660, 44100, 1, 0.5));
        TracedRun t = PlayTracedGame(dir,
                                     "*define\ngame\n*start\nif %300 = 1 goto *after\nmov %300,1\n"
                                     "dwave 0,\"v.ogg\"\ndwaveloop 1,\"(0.2)rain.ogg\"\nwait 100\nreset\n"
                                     "*after\nwait 100\nend\n");
        EXPECT_QUIET_END(t);
        int play = TraceTime(t, "ogg ch=0 play loop=0");
        ASSERT_GE(play, 0) << c.library;
        EXPECT_GE(TraceTime(t, "ogg ch=1 play2 loop point=0.200"), 0) << c.library;
        EXPECT_EQ(TraceTime(t, "ogg ch=1 close"), play + 100) << c.library;
        EXPECT_EQ(TraceTime(t, "ogg ch=0 close"), play + (c.voice_closed_at_reset ? 100 : 200)) << c.library;
    }
}

// After a reset the newer plug-in's music starts on channel 199 again.
TEST(OggEngine, ResetBringsTheMusicBackTo199) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "a.ogg", ToneOgg(1.0, 440, 44100, 1, 0.5));
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nif %300 = 1 goto *after\nmov %300,1\n"
                                 "bgm \"a.ogg\"\nwait 100\nreset\n"
                                 "*after\nbgm \"a.ogg\"\nwait 100\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> opens = TraceLines(t, "ogg ch=19");
    opens.erase(std::remove_if(opens.begin(), opens.end(),
                               [](const std::string& l) { return l.find(" open ") == std::string::npos; }),
                opens.end());
    std::vector<std::string> want = {"ogg ch=199 open \"a.ogg\"", "ogg ch=199 open \"a.ogg\""};
    EXPECT_EQ(opens, want);
}

// The volume dialog sets the plug-in's channels and music.
TEST(OggEngine, VolumeDialogReachesThePlugin) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "m.ogg", ToneOgg(1.0, 440, 44100, 1, 0.5));
    MediaRunOptions o;
    o.events = At(50, "slider 20 30 40") + At(60, "menu 40024");
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nbgm \"m.ogg\"\ndwaveloop 0,\"m.ogg\"\n"
                                 "dwaveloop 5,\"m.ogg\"\nwait 200\nend\n",
                                 o);
    EXPECT_QUIET_END(t);
    int open = TraceTime(t, "ogg ch=5 play loop=1");
    for (const char* line : {"ogg ch=0 vol -500", "ogg ch=5 vol -750", "ogg ch=199 vol -1000"})
        EXPECT_GT(TraceTimeAfter(t, line, open + 1), 0) << line;
}

// While a slider of the volume dialog moves, a channel 99 that the plug-in
// carries takes the music's volume; closing the dialog gives it the
// effects' volume, as it does to a channel 99 of the engine's own.
TEST(OggEngine, VolumeDialogMovesThePluginsChannel99WithTheMusic) {
    struct {
        const char* library;
        const char* sound;
        std::vector<std::string> volumes;  // at the play, the slider's move, the close
    } cases[] = {
        {"ovogg2.dll", "m.ogg", {"ogg ch=99 vol 0", "ogg ch=99 vol -1000", "ogg ch=99 vol -750"}},
        {"ovogg.dll", "m.ogg", {"ogg ch=99 vol 0", "ogg ch=99 vol -1000", "ogg ch=99 vol -750"}},
        {"ovogg2.dll", "m.wav", {"ch=99 vol 0", "ch=99 vol -750", "ch=99 vol -750"}},  // refused by the plug-in
        {"", "m.wav", {"ch=99 vol 0", "ch=99 vol -750", "ch=99 vol -750"}},
    };
    for (const auto& c : cases) {
        std::string dir = GameShipping(c.library);
        WriteGameFile(dir, "m.ogg", ToneOgg(1.0, 440, 44100, 1, 0.5));
        WriteGameFile(dir, "m.wav", ToneWave(1.0, 440, 22050, 1, 0.5));
        MediaRunOptions o;
        o.events = At(50, "slider 20 30 40") + At(60, "menu 40024");
        TracedRun t = PlayTracedGame(
            dir, std::string("*define\ngame\n*start\ndwaveloop 99,\"") + c.sound + "\"\nwait 200\nend\n", o);
        EXPECT_QUIET_END(t);
        std::string prefix = c.volumes[0].substr(0, c.volumes[0].find(" vol ") + 5);
        EXPECT_EQ(TraceLines(t, prefix), c.volumes) << c.library << " " << c.sound;
    }
}

// With the newer plug-in a name with ".mp3" goes to the music stream, which
// the window timer replays from its start when it loops.
TEST(OggEngine, Mp3MusicGoesToTheStream) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "m.MP3", ToneWave(0.3, 440, 22050, 1, 0.5));  // what the stream decodes
    TracedRun t = PlayTracedGame(dir, "*define\ngame\n*start\nbgm \"m.MP3\"\nwait 1000\nend\n");
    EXPECT_QUIET_END(t);
    EXPECT_TRUE(TraceLines(t, "ogg ").empty());
    EXPECT_GE(TraceLines(t, "bgm open \"m.MP3\" loop=1").size(), 3u);
}

// A wave file the plug-in cannot open plays on the engine's own channel of
// that number, and chvol, dwavestop and the voice waits follow it there.
TEST(OggEngine, RefusedSoundsPlayOnTheEnginesChannels) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "se.wav", ToneWave(0.5, 440, 22050, 1, 0.5));
    WriteGameFile(dir, "v.wav", ToneWave(0.8, 440, 22050, 1, 0.5));
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\ndwaveloop 3,\"se.wav\"\nchvol 3,50\nwait 100\n"
                                 "dwavestop 3\ndwave 0,\"v.wav\"\nbtndef \"\"\nbtntime2 100\nbtnwait %1\n"
                                 "dwave 1,\"se.wav\"\nend\n");
    EXPECT_QUIET_END(t);
    EXPECT_GE(TraceTime(t, "ogg ch=3 open \"se.wav\" failed"), 0);
    int play = TraceTime(t, "ch=3 play loop=1");
    ASSERT_GE(play, 0);
    EXPECT_EQ(TraceTime(t, "ch=3 vol -1250"), play);
    EXPECT_EQ(TraceTime(t, "ch=3 release"), play + 100);
    int voice = TraceTime(t, "ch=0 play loop=0");
    EXPECT_NEAR(TraceTime(t, "ch=1 play loop=0") - voice, 800, 30) << "btntime2 waited for the voice";
}

// chvol on a plug-in channel: a quarter dB a unit below 100, silent at 0;
// values past either end are held there.
TEST(OggEngine, ChvolHoldsTheValueToItsRange) {
    std::string dir = GameShipping("ovogg2.dll");
    WriteGameFile(dir, "m.ogg", ToneOgg(0.5, 440, 44100, 1, 0.5));
    struct {
        const char* value;
        const char* line;
    } cases[] = {{"50", "ogg ch=5 vol -1250"},         {"0", "ogg ch=5 vol -10000"},
                 {"100", "ogg ch=5 vol 0"},            {"2147483647", "ogg ch=5 vol 0"},
                 {"-2147483647", "ogg ch=5 vol -10000"}, {"-20", "ogg ch=5 vol -10000"}};
    std::string script = "*define\ngame\n*start\ndwaveloop 5,\"m.ogg\"\n";
    std::vector<std::string> want = {"ogg ch=5 vol 0"};  // the play at the effects' volume
    for (const auto& c : cases) {
        script += std::string("chvol 5,") + c.value + "\n";
        want.push_back(c.line);
    }
    TracedRun t = PlayTracedGame(dir, script + "end\n");
    EXPECT_QUIET_END(t);
    EXPECT_EQ(TraceLines(t, "ogg ch=5 vol "), want);
}

// The end and a load stop the music at once, whatever bgmfadeout says.
TEST(OggEngine, NoFadeStallsALoadOrTheEnd) {
    for (const char* library : {"", "ovogg.dll", "ovogg2.dll"}) {
        std::string dir = GameShipping(library);
        WriteGameFile(dir, "m.ogg", ToneOgg(3.0, 440, 44100, 1, 0.5));
        TracedRun t = PlayTracedGame(dir,
                                     "*define\ngame\n*start\nbgmfadeout 5000\nbgm \"m.ogg\"\n"
                                     "savegame 1\nif %300 = 1 goto *loaded\nmov %300,1\n"
                                     "wait 100\nloadgame 1\n*loaded\nwait 100\nend\n");
        EXPECT_QUIET_END(t);
        ASSERT_FALSE(t.ms.empty());
        int first = *library ? TraceTime(t, "ogg ch=199 play loop=1") : TraceTime(t, "bgm open \"m.ogg\" loop=1");
        ASSERT_GE(first, 0) << library;
        EXPECT_LT(t.ms.back() - first, 300) << library;
    }
}

}  // namespace
