// voice_shortcuts.cpp - the statement forms "v", "dv" and "mv" of a voice.
#include "sound/voice_shortcuts.h"

#include "sound/mciwave.h"
#include "sound/music.h"
#include "sound/voices.h"
#include "sound/volumes.h"

void PlayVoiceShortcutMci(const char* path) {
    MciVoicePlaying = 1;
    PlayMciWave(path, 0);
}

void PlayVoiceShortcutDwave(const char* path) { PlayDwave(0, path, 0); }

void PlayVoiceShortcutMp3(const char* path) {
    Mp3VoiceMode = 1;
    SetBgmVolume(VoiceVolume);
    PlayBgm(path, 0, 0, 0);
}
