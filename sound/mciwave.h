// mciwave.h - the one wave device of the `wave` commands and the "v" voices:
// a mixer stream at full level, outside the channel table and its volumes.
// A looping wave is replayed from its start by the window timer.
#pragma once
#include <cstdint>
#include <string>

#include "sound/sound_temp.h"

struct MciWaveState {
    int32_t loop = 0;   // the wave loops
    std::string path;   // the file playing (CP932)
};
extern MciWaveState MciWave;
extern std::string MciWaveName;   // the name the script gave (saved with the game)
extern int32_t MciWaveLooping;    // its loop flag (saved with the game)
extern int32_t MciVoicePlaying;   // a "v" voice plays; the next left click stops it
extern TempFileRecord MciTempFile;

// Stops the wave and plays `name` (CP932) once or looping; 1 started, 0 not.
int PlayMciWave(const char* name, int loop);
// Stops it, deletes its temporary file, clears its name and loop flag.
void StopMciWave();
void StartMciWaveOnce(const char* path);
void StartMciWaveLoop(const char* path);
void CloseMciWave();          // stop and close only
int IsMciWaveOncePlaying();   // 1 while a one-shot wave plays
int IsMciWavePlaying();       // 1 unless the device is stopped (or not open)
