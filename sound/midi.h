// midi.h - MIDI music: a Standard MIDI File played by FluidSynth with the
// General MIDI SoundFont into a mixer stream at full level.  The synthesiser
// and its SoundFont are loaded once, at the first MIDI played.  A looping
// piece is restarted from its start by the window timer.
#pragma once
#include <cstdint>
#include <string>

#include "sound/sound_temp.h"

extern std::string MidiName;      // the name the script gave (saved with the game)
extern int32_t MidiLooping;       // restarted at its end (saved with the game)
extern TempFileRecord MidiTempFile;

// Stops the MIDI piece and plays `name` (CP932); 1 started, 0 not (a file
// that cannot be opened or played is silence, never an error).  A missing
// file is the load error unless noloaderror.
int PlayMidi(const char* name, int loop);
// Stops and closes it, deletes its temporary file, clears its name; 1.
int StopMidi();
// Plays it again from its start; 1 when it could.
int RestartMidi();
// The device's mode is "stopped" (or nothing is open).
bool MidiStopped();
// The SoundFont file used; "" when none is installed.
std::string MidiSoundFontPath();
