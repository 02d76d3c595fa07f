// voice_shortcuts_stub.cpp - silent until voices are built (then this file
// goes).
#include "sound/voice_shortcuts.h"

void PlayVoiceShortcutMci(const char*) {}
void PlayVoiceShortcutDwave(const char*) {}
void PlayVoiceShortcutMp3(const char*) {}
