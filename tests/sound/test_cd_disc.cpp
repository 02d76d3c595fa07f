// An audio disc image through libcdio in-process: its table of tracks, and
// the read-ahead buffer of a play, which must hand every sector to the mixer
// once and in order (across the buffer's wrap and a reading that lags
// behind, which plays silence instead), and end only after the last one,
// also with the reader on a thread of its own; and in a window (a child
// process on SDL's silent drivers) a slow disc does not hold up the
// hand-over of loop music.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "sound/cd_disc.h"
#include "sound/channels.h"
#include "sound/mixer.h"
#include "sound/sound_thread.h"
#include "tests/sound/in_a_window.h"
#include "tests/sound/sound_test_files.h"
#include "tests/support/game_folder.h"

namespace {

constexpr int SectorFrames = 588;

// Sector s of the image holds, in every frame i, left = s and right = i + 1.
std::string CountingSectors(int from, int count) {
    std::string b;
    for (int s = from; s < from + count; s++)
        for (int i = 0; i < SectorFrames; i++)
            for (int v : {s, i + 1}) b += {(char)(v & 0xFF), (char)(v >> 8)};
    return b;
}

// A data track of 10 sectors, then audio tracks of 200 and 5 sectors.
std::string WriteImage() {
    std::string dir = MakeGameFolder();
    WriteGameFile(dir, "d.bin", std::string(10 * 2352, '\0') + CountingSectors(10, 205));
    WriteGameFile(dir, "d.cue",
                  "FILE \"d.bin\" BINARY\n"
                  "  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
                  "  TRACK 02 AUDIO\n    INDEX 01 00:00:10\n"
                  "  TRACK 03 AUDIO\n    INDEX 01 00:02:60\n");  // 2 s 60 = sector 210
    WriteGameFile(dir, "notes.cue", "this is not a cue sheet\n");
    return dir;
}

TEST(CdDisc, TheTrackTable) {
    std::string dir = WriteImage();
    std::shared_ptr<CdDisc> d = CdDiscOpen(dir + "/d.cue", false);
    ASSERT_TRUE(d);
    EXPECT_EQ(CdDiscTrackCount(*d), 3);
    int32_t first = -1, end = -1;
    EXPECT_FALSE(CdDiscTrackSectors(*d, 1, &first, &end));  // data
    ASSERT_TRUE(CdDiscTrackSectors(*d, 2, &first, &end));
    EXPECT_EQ(first, 10);
    EXPECT_EQ(end, 210);
    ASSERT_TRUE(CdDiscTrackSectors(*d, 3, &first, &end));
    EXPECT_EQ(first, 210);
    EXPECT_EQ(end, 215);
    for (int n : {0, 4, -1}) EXPECT_FALSE(CdDiscTrackSectors(*d, n, &first, &end)) << n;
    for (const char* none : {"/gone.cue", "/notes.cue", "/d.bin/x"})
        EXPECT_FALSE(CdDiscOpen(dir + none, false)) << none;
}

TEST(CdDisc, EverySectorOnceAndInOrder) {
    std::string dir = WriteImage();
    std::shared_ptr<CdDisc> d = CdDiscOpen(dir + "/d.cue", false);
    ASSERT_TRUE(d);
    std::unique_ptr<MixerSource> src = CdDiscPlay(d, 10, 210);
    int expect_sector = 10, expect_frame = 0, silent = 0, passes = 0;
    std::vector<float> buf(2 * 1000);
    for (;;) {
        int n = src->Read(buf.data(), 1000);
        for (int i = 0; i < n; i++) {
            int left = (int)(buf[2 * i] * 32768), right = (int)(buf[2 * i + 1] * 32768);
            if (left == 0 && right == 0) {
                silent++;
                continue;
            }
            ASSERT_EQ(left, expect_sector) << "frame " << expect_frame;
            ASSERT_EQ(right, expect_frame + 1);
            if (++expect_frame == SectorFrames) expect_frame = 0, expect_sector++;
        }
        if (n < 1000) break;
        // A second's worth was read at once, the buffer is filled up to its
        // two seconds at the first pass; then one pass of the reader for
        // every fifty reads falls behind.
        if (passes == 0)
            while (CdDiscReadAhead()) {}
        else if (passes % 50 == 0)
            CdDiscReadAhead();
        ASSERT_LT(++passes, 10000);
    }
    EXPECT_EQ(expect_sector, 210);
    EXPECT_EQ(expect_frame, 0);
    EXPECT_GT(silent, 0) << "the lag played as silence";
    EXPECT_FALSE(CdDiscReadAhead());
    // Once its source is gone, a play is read no further.
    src = CdDiscPlay(d, 210, 215);
    src.reset();
    EXPECT_FALSE(CdDiscReadAhead());
}

// As in a window: the sound thread reads ahead while the mixer's thread
// plays, each at its own pace.
TEST(CdDisc, TheReaderOnAThreadOfItsOwn) {
    std::string dir = WriteImage();
    std::shared_ptr<CdDisc> d = CdDiscOpen(dir + "/d.cue", false);
    ASSERT_TRUE(d);
    std::unique_ptr<MixerSource> src = CdDiscPlay(d, 10, 210);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop) {
            CdDiscReadAhead();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    int expect_sector = 10, expect_frame = 0;
    std::vector<float> buf(2 * 512);
    for (int n = 512; n == 512;) {
        n = src->Read(buf.data(), 512);
        for (int i = 0; i < n; i++) {
            int left = (int)(buf[2 * i] * 32768), right = (int)(buf[2 * i + 1] * 32768);
            if (left == 0 && right == 0) continue;
            ASSERT_EQ(left, expect_sector);
            ASSERT_EQ(right, expect_frame + 1);
            if (++expect_frame == SectorFrames) expect_frame = 0, expect_sector++;
        }
    }
    stop = true;
    reader.join();
    EXPECT_EQ(expect_sector, 210);
}

// The first second of an image is read at once, also in a window, where a
// reader thread reads the rest: a play sounds from its first sector at the
// first render, not after a stretch of silence while the reader starts or
// wakes.
TEST(CdDisc, AnImagePlaySoundsFromTheFirstRender) {
    std::string dir = WriteImage();
    int status = InAWindow([&] {
        std::shared_ptr<CdDisc> d = CdDiscOpen(dir + "/d.cue", false);
        if (!d) return 1;
        CdDiscSlowReadsForTests(2);  // a reader that has not read by the first render
        for (int play = 0; play < 2; play++) {  // the reader thread started, then woken
            std::unique_ptr<MixerSource> src = CdDiscPlay(d, 10, 210);
            std::vector<float> buf(2 * 1024);
            if (src->Read(buf.data(), 1024) != 1024) return 2;
            if ((int)(buf[0] * 32768) != 10 || (int)(buf[1] * 32768) != 1) return 3 + play;
        }
        return 0;
    });
    EXPECT_EQ(status, 0) << "1: no disc, 2: a short read, 3/4: the first/second play began with silence";
}

// In a window the disc is read on a thread of its own: with every sector
// taking 300 ms (a scratched disc), the sound thread still hands the loop
// music over from its intro to its loop part the moment the intro ends.
TEST(CdDisc, ASlowDiscDoesNotHoldUpTheLoopMusic) {
    std::string dir = WriteImage();
    WriteGameFile(dir, "intro.wav", ToneWave(0.2, 440, 22050, 1, 0.5));
    WriteGameFile(dir, "loop.wav", ToneWave(0.5, 660, 22050, 1, 0.5));
    int status = InAWindow([&] {
        if (StartDirectSound() != 1) return 1;
        StartSoundThread();
        std::shared_ptr<CdDisc> d = CdDiscOpen(dir + "/d.cue", false);
        if (!d) return 2;
        int cd = MixerOpenSource(CdDiscPlay(d, 10, 210));
        CdDiscSlowReadsForTests(300);  // past the first second, read at once
        MixerPlayStream(cd, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reader in its first sectors
        PlayLoopBgm((dir + "/intro.wav").c_str(), (dir + "/loop.wav").c_str());
        auto start = std::chrono::steady_clock::now();  // the intro has started
        while (LoopBgmState != 2) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) return 3;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        // The intro's 200 ms, a buffer of the device and a pass of the thread.
        return ms.count() < 200 + 150 ? 0 : 10 + (int)std::min<int64_t>(ms.count() / 10, 200);
    });
    EXPECT_EQ(status, 0) << "1: no device, 2: no disc, 3: no hand-over, 10 + n: the hand-over "
                            "came n centiseconds after the intro's start, -1: a hang";
}

}  // namespace
