// cd.h - CD audio as a virtual disc: a folder of track files played on a
// mixer stream, with one virtual CD volume control (0..65535, linear) that
// the fades and the volume commands move.  The desktop's mixer is never
// touched.
//
// The disc is the folder CdDrive names (text/dialogs.h), or the game's "cd"
// folder when CdDrive is "" or a drive root ("D:\").  Track n is the file
// "track" + n (two digits or more) + ".ogg", ".flac", ".opus", ".mp3" or
// ".wav" (any case); the disc has as many tracks as the highest number found,
// and numbers without a file are data tracks, which play nothing.  Without the
// folder there is no disc and no volume control, as on a machine without a CD.
#pragma once
#include <cstdint>
#include <string>

struct CdStateRecord {
    int32_t open = 0;         // the disc's folder was found
    int32_t playing = 0;      // a play was started and not stopped
    int32_t open_failed = 0;  // the last open found no disc
    int32_t track_count = 0;
};
extern CdStateRecord CdState;
extern int32_t CdFadeOutTime;    // ms, cdfadeout
extern int32_t CdRestoreVolume;  // restored by restorecdvol and at exit; -1 none
extern int32_t CdReplayCount;    // timer ticks a looping track was found stopped

// The virtual volume control: present while the disc's folder exists.
void FindCdMixerControls();
int32_t GetCdMixerVolume();      // 0 without a control
void SetCdMixerVolume(int32_t v);

void OpenCdAudio();
void CloseCdAudio();
void StartCdTrack(int32_t track);
void StopCdAudio();
int IsCdPlaying();

void PlayCdTrack(int32_t track, int loop);
void StopCdPlayback();
void FadeOutCd();

// The device's completion notice (the window's MM_MCINOTIFY): a looping
// track starts again at once.  `serial` tells a stale notice from the
// current play's.
void CdPlayNotice(uintptr_t code, intptr_t serial);

// The folder of the disc (UTF-8), "" when there is none; for tests.
std::string CdRootFolder();
