// click_voice.h - what the click wait asks of the sound subsystem: the click
// or page voice played when a wait ends, and whether the voice on channel 0
// is still playing (the auto mode waits for it).
#pragma once

// Plays the click voice (page false) or the page voice (page true), when
// one is set.
void PlayClickVoice(bool page);
// True while the voice channel (0, or the one-shot wave) still plays.
bool VoiceStillPlaying();
