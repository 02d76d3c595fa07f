// sound_thread.h - the sound thread and intro-and-loop music.  The thread
// lowers the music while a voice plays on channel 0 (bgmdownmode) and hands
// intro-and-loop music over from channel 198 to 199 the moment the intro
// ends.  In a window it is a thread; headless, SoundThreadPass runs as a
// step of the virtual clock, with the read-ahead of a CD's sectors.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

// Guards between the two threads the loads, plays and stops of channels
// (with the sound thread's take of an end and release of the channel),
// intro-and-loop music and LoopBgmState, the start of plug-in music, and
// the music stream and movie graph whose gain a ducking step sets;
// re-entrant for its holder.  A ducking step only tries it: it never waits.
// Take it with SoundLockHold; SoundLockDepth counts the holds (the headless
// pass, which runs on the holder's own thread, leaves the hand-over alone
// while it is held).
extern std::recursive_mutex SoundLock;
extern int SoundLockDepth;
struct SoundLockHold {
    SoundLockHold() {
        SoundLock.lock();
        SoundLockDepth++;
    }
    ~SoundLockHold() {
        SoundLockDepth--;
        SoundLock.unlock();
    }
    SoundLockHold(const SoundLockHold&) = delete;
    SoundLockHold& operator=(const SoundLockHold&) = delete;
};
// The flags both threads read and write.
extern std::atomic<int32_t> SoundThreadStop;
extern uint8_t SoundThreadPending;     // 1 until the thread was started
extern uint32_t DuckLastStep;          // ms of the last ducking step
extern std::atomic<int32_t> LoopBgmState;  // 0 off, 1 intro on 198, 2 loop on 199

struct LoopBgmFileSet {
    std::string intro;       // as the script gave it; "" = no loop music
    std::string loop;
    bool intro_temp = false; // extracted to a temporary file
    bool loop_temp = false;
    std::string intro_path;  // the temporary paths
    std::string loop_path;
};
extern LoopBgmFileSet LoopBgmFiles;

// Starts the thread once (SoundThreadPending), from the reset to *start.
// Headless the pass becomes a step of the virtual clock instead (set again
// at every call, since tests start the platform afresh).
void StartSoundThread();
// After SoundThreadStop: waits up to 200 ms for the thread to leave its
// pass, so that it is not in the middle of one while the process ends (it
// may be waiting for SoundLock, held by the caller: then it is left).
void WaitSoundThreadEnd();
// One pass of the thread; returns the ms it sleeps before the next one.
// In a window, a pass that leaves nothing to do lets the thread rest until
// WakeSoundThread.
uint32_t SoundThreadPass();
// Ends that rest: a voice starts on channel 0, loop music starts, the
// music's volume or bgmdownmode changes, the thread is to stop.
void WakeSoundThread();

void PlayLoopBgm(const char* intro, const char* loop);
void StopLoopBgm();       // fades when BgmFadeOutTime is set; nothing when no intro
void FadeOutLoopBgm();    // with SoundLock held
