// voices.h - voices and sound effects on the numbered channels (the dwave
// family; through the Ogg plug-in when a game ships one), sound-press
// plug-ins that turn other formats into wave files, the engine's click,
// selection and menu sounds, and the sound played while skipping.  Channel
// numbers outside 0..199 are refused (nothing happens).
#pragma once
#include <cstdint>
#include <string>

enum { SoundPressPluginMax = 50 };
extern std::string SoundPressPlugins[SoundPressPluginMax];  // "lib.dll|ext", lower-cased
extern int SoundPressPluginCount;

struct SkipModeSoundSetting {
    int32_t channel = 0;
    std::string file;    // "" none
    int32_t volume = 0;  // hundredths of a dB
};
extern SkipModeSoundSetting SkipModeSound;

extern std::string ClickVoice, PageVoice;
extern std::string SelectVoiceEnter, SelectVoiceOver, SelectVoiceClick;
extern std::string MenuVoiceEnter, MenuVoiceCancel, MenuVoiceOver, MenuVoiceClick,
    MenuVoiceWarning, MenuVoiceYes, MenuVoiceNo;
extern std::string LookbackVoice;

// Stops the channel and plays `name` (CP932; "(t)file" plays file, looping
// back to t seconds through the Ogg plug-in) on it: 1 done or skipped, 0
// failed.
int PlayDwave(int channel, const char* name, int loop);
// Stops the channel and loads `name` without playing it.
int LoadDwave(int channel, const char* name);
void PlayLoadedDwave(int channel, int loop);
void StopDwave(int channel);
// An engine sound on the system channel, or on the wave device without one.
void PlayClickVoice(const char* name);

// The file a sound-press plug-in made of `path` (CP932): a fresh temporary
// wave file, or "" with *status 0 (no usable plug-in entry point, or the
// plug-in failed) or -1 (no plug-in registered for the extension).
std::string ExpandWithPlugin(const std::string& path, int* status);
// The extension after the last '.', lower-cased.
std::string LowerExtension(const std::string& path);
