// window_sound.h - what the main window asks of sound, CD, MIDI and movies:
// the settings its menu commands switch, the steps of its 30 ms timer, and
// the stops of a click and of the window's end.
#pragma once
#include <atomic>
#include <cstdint>

extern int32_t SoundOn;          // menu 40017 / 40018
extern int32_t CdOn;             // menu 40021 / 40022
extern int32_t CdTrack;          // the CD track playing, -1 when none
extern int32_t CdLooping;
// A movie plays through the movie graph (the sound thread's ducking
// waits while it does).
extern std::atomic<int32_t> MovieGraphActive;
extern int32_t MovieAsync;       // it plays without a wait

// Some step of the timer may have something to do: a channel plays, the
// music is lowered for a voice, a closed stream waits to be freed, a CD
// track, MIDI piece, music or wave loops, or a movie plays without a wait.
// Without any of them a waiting loop need not wake for the timer.
bool WindowTimerHasWork();
// The timer's steps, in the order it runs them; each is one status query.
void RestoreDuckedBgm();         // the BGM lowered for a voice comes back
void ReleaseStoppedChannels();   // channels 0..196 that ended; closed streams freed
void ReplayLoopingCd();          // after more than 10 stopped ticks
void RestartLoopingMidi();
void ReplayLoopingBgm();
void ReplayLoopingMciWave();
void RewindLoopingMovie();        // an async looping movie that ended

// The movies draw themselves, as a player of their own would: a window
// timer of their own, set while a movie plays for the moment its next
// picture is due, brings each picture to the window from whatever loop
// pumps the messages (a wait, a dialog, a message box), also while a box
// has stopped the 30 ms window timer.  Its WM_TIMER shows the pictures due.
enum { MovieTimerId = 2 };
void ShowDueMoviePictures();

// MM_MCINOTIFY: the CD track's end; a looping track starts again at once.
void CdPlayNotice(uintptr_t code, intptr_t serial);
// Menu 40021: CdOn was 0 and CdTrack > 0: play CdTrack looping as set.
void PlayCdTrackFromMenu();
// Menu 40022: stop and close the CD audio device.
void CloseCdAudio();
// A left click stops an MCI-wave voice marked to stop at the next click.
void StopMciVoiceAtClick();
// WM_CLOSE: a movie's graph and files go.
void ReleaseMovieForClose();
// WM_DESTROY: a modal movie stops and leaves the window.
void StopModalMovieForDestroy();
// A switch between window and full screen: a movie of the movie graph is
// paused and leaves the window, then shows its picture again and runs on
// (its clock does not count the pause).
void PauseMovieForSwitch();
void ResumeMovieAfterSwitch();
