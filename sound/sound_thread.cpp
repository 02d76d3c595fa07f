// sound_thread.cpp - the sound thread's pass (ducking the music under a
// voice on channel 0, the hand-over of loop music from channel 198 to 199)
// and intro-and-loop music.  In a window the pass runs on a thread of its
// own, which rests while there is nothing to do; headless it is a step of
// the virtual clock (with the read-ahead of a CD's sectors), so every step
// falls on the same virtual millisecond in every run.
#include "sound/sound_thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include "archive/extract.h"
#include "core/error.h"
#include "graphics/imagetag.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "sound/cd_disc.h"
#include "sound/channels.h"
#include "sound/loopbgm_messages.h"
#include "sound/mixer.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/input_state.h"

std::recursive_mutex SoundLock;
int SoundLockDepth = 0;
std::atomic<int32_t> SoundThreadStop{0};
uint8_t SoundThreadPending = 1;
uint32_t DuckLastStep = 0;
std::atomic<int32_t> LoopBgmState{0};
LoopBgmFileSet LoopBgmFiles;

// Channel 0 plays a one-shot voice that is watched: 1 still playing, 0 it
// ended (the end is consumed and the channel released), -1 not watched.
static int VoiceStillPlaying() {
    if (!SoundChannels.SoundStarted || !SoundChannels.ChannelPlaying[VoiceChannel] ||
        SoundChannels.ChannelLooping[VoiceChannel])
        return -1;
    if (!TakeChannelEnd(VoiceChannel)) return 1;
    StopChannel(VoiceChannel);
    return 0;
}

static void ApplyDuckStep(int32_t v, uint32_t now) {
    BgmVolume = v;
    DuckBgmVolume(v);
    DuckLastStep = now;
    SoundTrace("duck bgmvolume=%d", (int)v);
}

// The music lowered by 2 units per step while the voice plays, down to half
// the base loudness, and raised back in the same steps after it.  A step
// waits for no one: while the engine holds SoundLock (it is changing the
// music or a channel) the step is left to a later pass.  The engine sets the
// volumes without the lock: a step reads each once and works on that.
static void DuckingPass() {
    std::unique_lock<std::recursive_mutex> hold(SoundLock, std::try_to_lock);
    if (!hold.owns_lock()) return;
    uint32_t now = PlatTicks();
    if (BgmFadeRunning) return;
    int voice = VoiceStillPlaying();
    if (voice >= 0) {
        int32_t v = BgmVolume, base = BgmBaseVolume;
        int half = (100 - base) / 2;
        if (voice == 1 && 100 - v > half && (uint32_t)(now - 8) > DuckLastStep) {
            v += 2;
            if (100 - v < (100 - base) / 4) v = 100 - half;
            ApplyDuckStep(v, now);
            return;
        }
        if (BgmFadeRunning) return;
        if (VoiceStillPlaying() == 1) return;
    }
    int32_t v = BgmVolume, base = BgmBaseVolume;
    if (v != base && now - DuckLastStep > 8) {
        v -= 2;
        if (v < base) v = base;
        ApplyDuckStep(v, now);
    }
}

// The intro on 198 ended: the loop part starts looping on 199.  true while
// a hand-over is pending or was just made (the pass then sleeps 5 ms).
static bool HandOverPass() {
    if (LoopBgmState != 1) return false;
    // Headless the pass runs on the thread that may hold the lock (in a
    // fade that waits): as the thread would block, it waits for a later pass.
    if (PlatIsHeadless() && SoundLockDepth > 0) return true;
    SoundLockHold hold;
    if (LoopBgmState != 1) return true;
    if (SoundChannels.SoundStarted && SoundChannels.ChannelPlaying[BgmIntroChannel] &&
        !SoundChannels.ChannelLooping[BgmIntroChannel]) {
        if (!TakeChannelEnd(BgmIntroChannel)) return true;
        StopChannel(BgmIntroChannel);
    }
    PlayChannel(BgmLoopChannel, 1);
    LoopBgmState = 2;
    SoundTrace("loopbgm handover");
    return true;
}

// The ducking has something to do: a fade runs, the music is away from
// its base volume, or a one-shot voice plays on channel 0.
static bool DuckingToDo() {
    return BgmFadeRunning || BgmVolume != BgmBaseVolume ||
           (SoundChannels.SoundStarted && SoundChannels.ChannelPlaying[VoiceChannel] &&
            !SoundChannels.ChannelLooping[VoiceChannel]);
}

// The last pass found nothing that a later pass could do before someone
// changes something (and wakes the thread).
static bool PassLeftNothing = false;

// The hand-over is checked in every pass, also while ducking is on (with
// ducking on, a pass that only ducked would leave loop music silent after
// its intro).  A disc is read on a thread of its own: a pass never waits
// for it.
uint32_t SoundThreadPass() {
    PassLeftNothing = false;
    if (SoundThreadStop) return 50;
    bool pending = HandOverPass();
    if (BgmDownMode && !MovieGraphActive && !QuitRequested) {
        DuckingPass();
        PassLeftNothing = !pending && !DuckingToDo();
        return 5;
    }
    // A movie's end lets the ducking go on: the passes watch for it.
    PassLeftNothing = !pending && !(BgmDownMode && MovieGraphActive);
    return pending ? 5 : 50;
}

// Headless the virtual clock's sound step is the pass and the disc's
// reader together: a CD playing from a disc has its sectors read ahead in
// every step, and the steps come every 10 ms while it has room for more.
static uint32_t HeadlessSoundStep() {
    uint32_t wait = SoundThreadPass();
    if (CdDiscReadAhead() && wait > 10) wait = 10;
    return wait;
}

static std::atomic<bool> ThreadRunning{false};

// The thread's rest while there is nothing to do, ended by WakeSoundThread.
// Never destroyed: the thread may still rest while the process ends.
struct ThreadRest {
    std::mutex lock;
    std::condition_variable woken;
    bool called = false;
};
static ThreadRest& Rest() {
    static ThreadRest* rest = new ThreadRest;
    return *rest;
}

void WakeSoundThread() {
    ThreadRest& r = Rest();
    {
        std::lock_guard<std::mutex> hold(r.lock);
        r.called = true;
    }
    r.woken.notify_one();
}

static void SoundThreadMain() {
    ThreadRest& r = Rest();
    while (!SoundThreadStop) {
        {
            std::lock_guard<std::mutex> hold(r.lock);
            r.called = false;  // a wake from now on ends the rest below
        }
        uint32_t wait = SoundThreadPass();
        if (SoundThreadStop) break;
        if (PassLeftNothing) {
            // No wake-ups while the game idles: the thread rests until a
            // voice, loop music, a change of the music's volume or the stop
            // calls it (the ducking's other conditions change only while
            // the passes run: a fade, a movie).
            std::unique_lock<std::mutex> hold(r.lock);
            r.woken.wait(hold, [&] { return r.called; });
        } else {
            // A real sleep: the platform's sleep also presents the window,
            // which is the user-interface thread's business.
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
    }
    ThreadRunning = false;
}

void WaitSoundThreadEnd() {
    if (PlatIsHeadless()) return;
    for (int i = 0; i < 40 && ThreadRunning; i++) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void StartSoundThread() {
    if (PlatIsHeadless()) {
        SoundThreadPending = 0;
        HeadlessSetSoundStep(HeadlessSoundStep);
        return;
    }
    if (!SoundThreadPending) return;
    SoundThreadPending = 0;
    ThreadRunning = true;
    std::thread(SoundThreadMain).detach();
}

// ---- intro-and-loop music -------------------------------------------------------

// The file of a loop-music name: in the folder as it is, else extracted from
// the archives to a temporary file.  false when neither (an error unless
// noloaderror).
static bool LoopBgmPath(const std::string& name, std::string* path, bool* temp) {
    *temp = false;
    *path = name;
    if (name.empty() || PlatExists(name.c_str())) return true;  // "": nothing to load, silence
    if (ExtractToTemp(path) == 1) {
        *temp = true;
        return true;
    }
    if (NoLoadError) return false;
    ScriptErrorF(CapLoopBgmLoad, FmtLoopBgmCannotOpen, name.c_str());
}

static void DeleteLoopBgmTemps() {
    if (LoopBgmFiles.intro_temp) DeleteExtractedFile(LoopBgmFiles.intro_path);
    if (LoopBgmFiles.loop_temp) DeleteExtractedFile(LoopBgmFiles.loop_path);
    LoopBgmFiles.intro_temp = LoopBgmFiles.loop_temp = false;
    LoopBgmFiles.intro_path.clear();
    LoopBgmFiles.loop_path.clear();
}

// Loop music off: both channels released, temporary files gone, the intro
// name cleared (the loop name stays).
static void EndLoopBgm() {
    StopChannel(BgmLoopChannel);
    StopChannel(BgmIntroChannel);
    LoopBgmState = 0;
    DeleteLoopBgmTemps();
    LoopBgmFiles.intro.clear();
}

void PlayLoopBgm(const char* intro, const char* loop) {
    StopLoopBgm();
    SoundLockHold hold;
    if (!intro || !*intro) return;
    LoopBgmFiles.intro = intro;
    std::string ipath, lpath;
    bool itemp = false, ltemp = false;
    if (!LoopBgmPath(intro, &ipath, &itemp)) return;
    LoopBgmFiles.intro_temp = itemp;
    if (itemp) LoopBgmFiles.intro_path = ipath;
    LoopBgmFiles.loop = loop ? loop : "";
    if (!LoopBgmPath(LoopBgmFiles.loop, &lpath, &ltemp)) return;
    LoopBgmFiles.loop_temp = ltemp;
    if (ltemp) LoopBgmFiles.loop_path = lpath;
    SoundTrace("loopbgm \"%s\" \"%s\"", intro, LoopBgmFiles.loop.c_str());
    LoadChannelFile(ipath.c_str(), BgmIntroChannel);
    LoadChannelFile(lpath.c_str(), BgmLoopChannel);
    SetChannelVolume(BgmVolume, BgmIntroChannel);
    SetChannelVolume(BgmVolume, BgmLoopChannel);
    PlayChannel(BgmIntroChannel, 0);
    LoopBgmState = 1;
    WakeSoundThread();
}

void StopLoopBgm() {
    if (LoopBgmFiles.intro.empty()) return;
    SoundLockHold hold;
    if (BgmFadeOutTime) FadeOutLoopBgm();
    EndLoopBgm();
    SoundTrace("loopbgmstop");
}

void FadeOutLoopBgm() {
    int32_t start_volume = BgmVolume;
    int32_t f = BgmFadeOutTime;
    if (SkipMode || IsSkipKeyDown()) f /= 8;
    int32_t step = start_volume != 100 && f != 0 ? f / (100 - start_volume) : 10;
    int ch = LoopBgmState == 2 ? BgmLoopChannel : BgmIntroChannel;
    int32_t d = 1;
    for (int32_t v = start_volume; v < 100; v += d) {
        uint32_t begun = PlatTicks();
        SetChannelVolume(v, ch);
        PumpMessage();
        if (QuitRequested) return;
        int32_t rest = step + (int32_t)(begun - PlatTicks());
        if (rest <= 0) {
            rest = 1;
            d *= 2;
            step *= 2;
        }
        PlatSleep((uint32_t)(step < rest ? step : rest));
        if (QuitRequested) return;
    }
    SetChannelVolume(start_volume, ch);
    EndLoopBgm();
}
