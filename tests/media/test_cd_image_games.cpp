// CD audio from a disc image in whole games: a generated ".cue" with its
// ".bin" (a data track, then two audio tracks of tones) played through the
// mixer and checked in what it wrote (--audio-out) and in the sound trace:
// a track runs to the start of the next, data tracks and missing sectors are
// silent, loops restart, a fade lowers the sound, the setting kept in
// "envdata" names the disc, a reset closes the device, the order in which the
// disc is looked for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/media/media_run.h"
#include "tests/sound/voice_files.h"

namespace {

constexpr int SectorFrames = 588;
constexpr int DataSectors = 15, Track2Sectors = 30, Track3Sectors = 15;  // 0.4 s and 0.2 s
constexpr double Track2Hz = 441, Track3Hz = 882;  // 100 and 50 samples a cycle
constexpr int ToneLevel = 8000;

std::string Tone(double hz, int sectors) {
    std::string s;
    for (int i = 0; i < sectors * SectorFrames; i++) {
        int16_t v = (int16_t)std::lround(ToneLevel * std::sin(2 * M_PI * hz * i / 44100));
        for (int c = 0; c < 2; c++) s += {(char)(v & 0xFF), (char)((uint16_t)v >> 8)};
    }
    return s;
}

// "<name>.cue" and its ".bin" in the game folder (or a folder of it); a
// `keep_sectors` >= 0 cuts the ".bin" after that many sectors.
void WriteDiscImage(const std::string& dir, const std::string& name, int keep_sectors = -1) {
    std::string base = name.substr(name.rfind('/') + 1);
    std::string bin = std::string((size_t)DataSectors * 2352, '\0') + Tone(Track2Hz, Track2Sectors) +
                      Tone(Track3Hz, Track3Sectors);
    if (keep_sectors >= 0) bin.resize((size_t)keep_sectors * 2352);
    WriteGameFile(dir, name + ".bin", bin);
    WriteGameFile(dir, name + ".cue",
                  "FILE \"" + base + ".bin\" BINARY\n"
                  "  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
                  "  TRACK 02 AUDIO\n    INDEX 01 00:00:15\n"
                  "  TRACK 03 AUDIO\n    INDEX 01 00:00:45\n");
}

struct Heard {
    TracedRun t;
    std::vector<int16_t> samples;  // interleaved stereo
};

Heard PlayAndHear(const std::string& dir, const std::string& script) {
    Heard h;
    MediaRunOptions o;
    o.audio_out = dir + ".wav";
    h.t = PlayTracedGame(dir, script, o);
    std::ifstream f(o.audio_out, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (bytes.size() > 44) {
        h.samples.resize((bytes.size() - 44) / 2);
        memcpy(h.samples.data(), bytes.data() + 44, h.samples.size() * 2);
    }
    return h;
}

// A game folder with "disc.cue" (its ".bin" cut as WriteDiscImage says)
// plays the script.
Heard PlayDisc(const std::string& script, int keep_sectors = -1) {
    std::string dir = MakeGameFolder();
    WriteDiscImage(dir, "disc", keep_sectors);
    return PlayAndHear(dir, script);
}

// The stamps of the trace lines equal to `line`.
std::vector<int> TraceTimes(const TracedRun& t, const std::string& line) {
    std::vector<int> out;
    for (size_t i = 0; i < t.lines.size(); i++)
        if (t.lines[i] == line) out.push_back(t.ms[i]);
    return out;
}

size_t Frames(const Heard& h) { return h.samples.size() / 2; }

// The frame of the virtual ms `ms` of the run.
size_t FrameAt(int ms) { return (size_t)ms * 44100 / 1000; }

double Rms(const Heard& h, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to && i < Frames(h); i++) sum += (double)h.samples[2 * i] * h.samples[2 * i];
    return to > from ? std::sqrt(sum / (double)(to - from)) : 0;
}

// The tone's frequency over [from, to) from its rising zero crossings.
double Hz(const Heard& h, size_t from, size_t to) {
    int rising = 0;
    size_t first = 0, last = 0;
    for (size_t i = from + 1; i < to && i < Frames(h); i++)
        if (h.samples[2 * (i - 1)] <= 0 && h.samples[2 * i] > 0) {
            if (!rising++) first = i;
            last = i;
        }
    return rising > 1 ? (rising - 1) * 44100.0 / (double)(last - first) : 0;
}

// The first frame from `from` on that is not silent.
size_t SoundFrom(const Heard& h, size_t from) {
    for (size_t i = from; i < Frames(h); i++)
        if (h.samples[2 * i] || h.samples[2 * i + 1]) return i;
    return Frames(h);
}

const double ToneRms = ToneLevel / std::sqrt(2.0);

TEST(CdImageGames, TracksPlayFromTheirStartToTheNextTrack) {
    Heard h = PlayDisc("*define\ngame\n*start\n"
                       "getcdvol %1\nif %1 != 65535 fail_volume\n"
                       "playonce \"*2\"\nwait 600\n"
                       "playonce \"*1\"\nwait 300\n"    // the data track: nothing
                       "playonce \"*7\"\nwait 400\n"    // past the last: the last
                       "end\n");
    EXPECT_QUIET_END(h.t);
    ASSERT_EQ(TraceLines(h.t, "cd open").size(), 1u);
    EXPECT_EQ(TraceLines(h.t, "cd open")[0], "cd open image \"disc.cue\" tracks=3");
    std::vector<std::string> plays = TraceLines(h.t, "cd play");
    std::vector<std::string> expected = {"cd play track=2 loop=0 sectors=15-45", "cd play track=1 none",
                                         "cd play track=3 loop=0 sectors=45-60"};
    EXPECT_EQ(plays, expected);
    // Track 2 sounds its tone for exactly its 30 sectors, then nothing until track 3.
    size_t start = SoundFrom(h, 0);
    int started_ms = TraceTime(h.t, expected[0]);
    ASSERT_GE(started_ms, 0);
    EXPECT_LE(start - FrameAt(started_ms), 44u) << "sound within a ms of the play";
    size_t end2 = start + Track2Sectors * SectorFrames;
    EXPECT_NEAR(Hz(h, start, end2), Track2Hz, 1);
    EXPECT_NEAR(Rms(h, start, end2), ToneRms, ToneRms * 0.01);
    size_t start3 = SoundFrom(h, end2);
    EXPECT_GE(start3, FrameAt(TraceTime(h.t, expected[2])));
    EXPECT_NEAR(Hz(h, start3, start3 + Track3Sectors * SectorFrames), Track3Hz, 2);
    EXPECT_EQ(SoundFrom(h, start3 + Track3Sectors * SectorFrames), Frames(h)) << "silent after the last track";
    // Each one-shot track's end is noticed when its sectors have played.
    std::vector<int> ends = TraceTimes(h.t, "cd end");
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_NEAR(ends[0] - started_ms, 400, 1);
    EXPECT_NEAR(ends[1] - TraceTime(h.t, expected[2]), 200, 1);
}

// A looping track starts again at its end; a looping track that plays
// nothing (a data track) is tried again by the window timer every 11 ticks.
TEST(CdImageGames, LoopsRestart) {
    Heard h = PlayDisc("*define\ngame\n*start\n"
                       "play \"*2\"\nwait 1000\n"
                       "cdfadeout 0\nplay \"*1\"\nwait 1000\nend\n");
    EXPECT_QUIET_END(h.t);
    std::vector<std::string> plays = TraceLines(h.t, "cd play");
    ASSERT_GE(plays.size(), 6u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(plays[(size_t)i], "cd play track=2 loop=1 sectors=15-45");
    int first = TraceTime(h.t, plays[0], 0);
    EXPECT_NEAR(TraceTime(h.t, plays[0], 1) - first, 400, 2);
    EXPECT_NEAR(TraceTime(h.t, plays[0], 2) - first, 800, 4);
    // Each pass plays the whole tone (the third is cut by the next play).
    size_t start = SoundFrom(h, 0);
    for (int k = 0; k < 2; k++) {
        size_t from = SoundFrom(h, FrameAt(TraceTime(h.t, plays[0], k)));
        EXPECT_NEAR(Hz(h, from, from + Track2Sectors * SectorFrames), Track2Hz, 0.5) << k;
        EXPECT_NEAR(Rms(h, from, from + Track2Sectors * SectorFrames), ToneRms, ToneRms * 0.01) << k;
    }
    EXPECT_EQ(SoundFrom(h, start + FrameAt(1010)), Frames(h)) << "silent after the stop";
    // The data track, looping: tried again every 11 timer ticks.
    std::vector<int> data = TraceTimes(h.t, "cd play track=1 none");
    ASSERT_GE(data.size(), 3u);
    for (size_t i = 1; i < data.size(); i++) EXPECT_NEAR(data[i] - data[i - 1], 330, 30);
}

// The fade (99 steps of 3 ms, within the track's 400 ms) lowers the tone
// step by step, stops it and puts the volume back.
TEST(CdImageGames, TheFadeLowersTheSound) {
    Heard h = PlayDisc("*define\ngame\n*start\n"
                       "play \"*2\"\nwait 50\ncdfadeout 300\nplay \"*0\"\n"
                       "getcdvol %1\nif %1 != 65535 fail_restored\nend\n");
    EXPECT_QUIET_END(h.t);
    int fade = TraceTime(h.t, "cdmix set 64879");
    ASSERT_GE(fade, 0);
    double early = Rms(h, FrameAt(fade), FrameAt(fade + 30));
    double middle = Rms(h, FrameAt(fade + 140), FrameAt(fade + 160));
    double late = Rms(h, FrameAt(fade + 250), FrameAt(fade + 290));
    EXPECT_NEAR(early, ToneRms * 0.95, ToneRms * 0.05);
    EXPECT_NEAR(middle, ToneRms * 0.5, ToneRms * 0.05);
    EXPECT_LT(late, early * 0.2);
    EXPECT_GT(late, 0);
    EXPECT_EQ(SoundFrom(h, FrameAt(fade + 300)), Frames(h));
}

// A ".bin" cut in the middle of track 2: its missing sectors are silence and
// track 3 holds none; no box, and the game goes on.
TEST(CdImageGames, MissingSectorsAreSilence) {
    Heard h = PlayDisc("*define\ngame\n*start\n"
                       "playonce \"*2\"\nwait 600\nplayonce \"*3\"\nwait 100\nend\n",
                       DataSectors + 10);
    EXPECT_QUIET_END(h.t);
    std::vector<std::string> expected = {"cd play track=2 loop=0 sectors=15-45", "cd play track=3 none"};
    EXPECT_EQ(TraceLines(h.t, "cd play"), expected);
    size_t start = SoundFrom(h, 0);
    EXPECT_NEAR(Hz(h, start, start + 10 * SectorFrames), Track2Hz, 1);
    EXPECT_EQ(SoundFrom(h, start + 10 * SectorFrames), Frames(h));
    // The track still takes its whole length before its end is noticed.
    EXPECT_NEAR(TraceTime(h.t, "cd end") - TraceTime(h.t, expected[0]), 400, 1);
}

std::string Le(int32_t v) {
    uint32_t u = (uint32_t)v;
    return std::string{(char)(u & 0xFF), (char)(u >> 8 & 0xFF), (char)(u >> 16 & 0xFF), (char)(u >> 24)};
}

// "envdata" with its CD drive (field 7) set and the defaults elsewhere.
std::string EnvWithCdDrive(const std::string& drive) {
    return Le(0) + Le(1) + Le(1) + Le(0) + Cp932("ＭＳ ゴシック") + '\0' + Le(1) + drive + '\0' + Le(0) +
           Le(0) + Le(0) + Le(1) + Le(0) + '\0' + Le(1000);
}

// The drive setting kept in "envdata" names the disc: an image elsewhere
// than the game folder plays; a missing one, or a device that is no drive,
// is no CD (no volume control, nothing played, no box); the setting is
// written back as it was.
TEST(CdImageGames, TheSettingInEnvdataNamesTheDisc) {
    struct Case {
        const char* drive;
        bool plays;
    } cases[] = {{"music\\Disc.CUE", true}, {"music/gone.cue", false}, {"/dev/null", false}};
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        WriteDiscImage(dir, "music/disc");
        WriteGameFile(dir, "envdata", EnvWithCdDrive(c.drive));
        TracedRun t = PlayTracedGame(dir, std::string("*define\ngame\n*start\nplayonce \"*2\"\nwait 500\n") +
                                              "getcdvol %1\nif %1 != " + (c.plays ? "65535" : "0") +
                                              " fail_volume\nend\n");
        EXPECT_QUIET_END(t);
        if (c.plays) {
            EXPECT_EQ(TraceLines(t, "cd open"),
                      std::vector<std::string>{"cd open image \"music/disc.cue\" tracks=3"});
            EXPECT_EQ(TraceLines(t, "cd play"),
                      std::vector<std::string>{"cd play track=2 loop=0 sectors=15-45"});
        } else {
            EXPECT_EQ(TraceLines(t, "cd"), std::vector<std::string>(51, "cd open failed")) << c.drive;
        }
        std::string env;
        ASSERT_TRUE(ReadGameFileBytes(dir, "envdata", &env));
        EXPECT_EQ(env, EnvWithCdDrive(c.drive));
    }
}

// The CD drive dialog's choice is written to "envdata" and names the disc at
// the next start.
TEST(CdImageGames, TheDialogsChoiceIsKeptForTheNextStart) {
    std::string dir = MakeGameFolder();
    WriteDiscImage(dir, "music/disc");
    MediaRunOptions o;
    o.events = At(10, "menu 40020") + At(10, "list-text music\\disc.cue");
    const std::string script = "*define\ngame\n*start\nwait 100\nplayonce \"*2\"\nwait 500\nend\n";
    for (int run = 0; run < 2; run++) {
        TracedRun t = PlayTracedGame(dir, script, run == 0 ? o : MediaRunOptions());
        EXPECT_QUIET_END(t);
        EXPECT_EQ(TraceLines(t, "cd open"),
                  std::vector<std::string>{"cd open image \"music/disc.cue\" tracks=3"}) << run;
        std::string env;
        ASSERT_TRUE(ReadGameFileBytes(dir, "envdata", &env));
        EXPECT_EQ(env, EnvWithCdDrive("music\\disc.cue")) << run;
    }
}

// Without a setting the disc is the game folder's first ".cue" by name, else
// the "cd" folder; a drive root ("D:\") is the same as no setting; a folder
// named is used as it is.
TEST(CdImageGames, TheDiscIsLookedForInOrder) {
    struct Case {
        const char* env_drive;  // null: no "envdata"
        bool image;             // a ".cue" in the game folder
        const char* opened;     // the trace's "cd open" line without the folder
    } cases[] = {
        {nullptr, true, "image \"a.cue\" tracks=3"},
        {"D:\\", true, "image \"a.cue\" tracks=3"},
        {nullptr, false, "\"cd\" tracks=2"},
        {"CD", true, "\"cd\" tracks=2"},
    };
    for (const Case& c : cases) {
        std::string dir = MakeGameFolder();
        if (c.image) {
            WriteDiscImage(dir, "b");
            WriteDiscImage(dir, "a");
        }
        WriteGameFile(dir, "cd/track02.wav", ToneWav(0.1, 330, 22050, 1));
        if (c.env_drive) WriteGameFile(dir, "envdata", EnvWithCdDrive(c.env_drive));
        TracedRun t = PlayTracedGame(dir, "*define\ngame\n*start\nplayonce \"*2\"\nwait 500\nend\n");
        EXPECT_QUIET_END(t);
        EXPECT_EQ(TraceLines(t, "cd open"), std::vector<std::string>{std::string("cd open ") + c.opened})
            << (c.env_drive ? c.env_drive : "(none)");
    }
}

// A reset closes the CD device: the next play looks for the disc afresh.
TEST(CdImageGames, AResetClosesTheDevice) {
    std::string dir = MakeGameFolder();
    WriteDiscImage(dir, "disc");
    TracedRun t = PlayTracedGame(dir,
                                 "*define\ngame\n*start\nplay \"*2\"\nwait 100\n"
                                 "if %200 == 1 goto *done\nmov %200,1\nreset\n*done\nend\n");
    EXPECT_QUIET_END(t);
    std::vector<std::string> device;
    for (const std::string& l : t.lines)
        if (l.rfind("cd open", 0) == 0 || l == "cd close" || l.rfind("cd play", 0) == 0)
            device.push_back(l.substr(0, 7));
    // (The window's end closes it once more.)
    EXPECT_EQ(device,
              (std::vector<std::string>{"cd open", "cd play", "cd clos", "cd open", "cd play", "cd clos"}));
}

}  // namespace
