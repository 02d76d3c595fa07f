// sound.h - what the rest of the engine asks of the sound subsystem.
#pragma once

int StartDirectSound();             // opens the audio device once (sound/channels.h)
void StopAllSound(bool everything); // music, CD, MIDI, AVI; with everything, loops too
void ShutdownSound();               // at the main window's destruction
void RestoreCdVolumeAtExit();       // the CD mixer volume a script asked to restore
void SetTempDirectory();       // the folder for Orvatmp.wav and extracted files
void ClearDwaveSetting();      // the numeric setting kept by dwave_dd
void FindCdMixerControls();
void SetSoundPassDefaults();   // SoundOn, CdOn, the BGM temp-file flag, menu voices ""
void SetSoundLoadDefaults();   // CD fade-out time, BGM fade-in time
void ClearSoundPressPlugins(); // the 50 sound-press plug-in entries ""
