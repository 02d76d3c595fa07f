// voice_shortcuts.h - the three voice shortcuts of the story: a statement
// that is no command but begins with 'v', "dv" or "mv" plays a voice file.
// path: "voice\%s.wav" or "voice\%s.mp3" (CP932).
#pragma once

// Sets MciVoicePlaying and plays path once through the MCI wave.
void PlayVoiceShortcutMci(const char* path);
// Plays path once on DirectSound channel 0.
void PlayVoiceShortcutDwave(const char* path);
// Sets Mp3VoiceMode, sets the music volume to the voice volume and plays path
// once through the music path.
void PlayVoiceShortcutMp3(const char* path);
