// cd.h - CD audio: the disc's tracks played on a mixer stream, with one
// virtual CD volume control (0..65535, linear) that the fades and the volume
// commands move.  The desktop's mixer is never touched.
//
// The disc is what CdDrive names (ui/dialogs.h): a drive (a device such as
// "/dev/sr0"), a disc image (any other file: ".cue", ".toc", ".nrg"), both
// read through libcdio (sound/cd_disc.h), or a folder of track files.  With
// CdDrive "" or a drive root ("D:\") it is, in this order, the first ".cue"
// of the game folder by name, a drive holding an audio disc, the game
// folder's "cd" folder.  In a folder, track n is the file "track" + n (two
// digits or more) + ".ogg", ".flac", ".opus", ".mp3" or ".wav" (any case);
// the disc has as many tracks as the highest number found, and numbers
// without a file are data tracks, which play nothing, as do a disc's data
// tracks.  Without a disc there is no volume control, as on a machine
// without a CD.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

// The virtual volume control: present when the disc named, an image in the
// game folder, a drive or the "cd" folder is there (found at start-up
// without loading libcdio), or once a disc was opened.
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

// "track07.ogg" -> 7; 0 for a name that is no track file.
int32_t CdTrackNumberOf(const char* name);
// The disc images in a folder (UTF-8): the names ending ".cue" (with
// cue_only), else also ".toc" and ".nrg", any case, sorted by their bytes.
std::vector<std::string> CdImageNames(const std::string& folder, bool cue_only);
