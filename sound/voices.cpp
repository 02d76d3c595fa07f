// voices.cpp - the dwave family on the channels or through the Ogg plug-in,
// sound-press plug-ins, the engine's click, selection and menu sounds.
#include "sound/voices.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "archive/extract.h"
#include "core/error.h"
#include "ext/dllcache.h"
#include "ext/optional.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/click_voice.h"
#include "sound/mciwave.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/music_messages.h"
#include "sound/ogg_channels.h"
#include "sound/ogg_plugin.h"
#include "sound/sound.h"
#include "sound/sound_temp.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/input_state.h"

std::string SoundPressPlugins[SoundPressPluginMax];
int SoundPressPluginCount = 0;
SkipModeSoundSetting SkipModeSound;
std::string ClickVoice, PageVoice;
std::string SelectVoiceEnter, SelectVoiceOver, SelectVoiceClick;
std::string MenuVoiceEnter, MenuVoiceCancel, MenuVoiceOver, MenuVoiceClick, MenuVoiceWarning,
    MenuVoiceYes, MenuVoiceNo;
std::string LookbackVoice;

// A plug-in's entry point: expand(source, target), both real file paths
// (UTF-8); non-zero when it wrote the target.
typedef int (*SoundPressExpand)(const char* source, const char* target);

std::string LowerExtension(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos) return "";
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = (char)tolower((unsigned char)c);
    return ext;
}

std::string ExpandWithPlugin(const std::string& path, int* status) {
    *status = -1;
    std::string ext = LowerExtension(path);
    for (int i = 0; i < SoundPressPluginCount; i++) {
        const std::string& entry = SoundPressPlugins[i];
        size_t bar = entry.find('|');
        if (bar == std::string::npos || entry.compare(bar + 1, std::string::npos, ext) != 0) continue;
        *status = 0;
        auto expand = (SoundPressExpand)GetDllProc(entry.substr(0, bar).c_str(), "expand");
        if (!expand) return "";
        std::string target = MakeSoundTempFile();
        if (target.empty()) return "";
        if (!expand(PlatResolve(path.c_str()).c_str(), Cp932ToUtf8(target).c_str())) {
            DeleteSoundTempFile(target);
            return "";
        }
        return target;
    }
    return "";
}

// The channel table is stopped too: a sound the plug-in refused plays there.
void StopDwave(int channel) {
    if (!ChannelInRange(channel)) return;
    if (OggPlugin2Active || OggChannels[channel]) {
        OggClose(channel);
        OggChannels[channel] = 0;
    }
    StopChannel(channel);
}

// Opens `file` in the plug-in when one is in use: 1 opened (marked in
// OggChannels), 0 not (the channel table is tried then).
static int OpenInPlugin(int channel, const std::string& file) {
    if (!OggLibraryActive()) return 0;
    if (OggOpenFile(channel, file.c_str()) == 1) {
        OggChannels[channel] = 1;
        return 1;
    }
    OggChannels[channel] = 0;
    return 0;
}

// The plug-in's volume of a voice or effect channel as the engine sets it.
static int32_t PluginChannelMillibels(int channel) {
    return AttenuationMillibels(channel == VoiceChannel ? VoiceVolume : SeVolume);
}

// The file to load for `name`: the folder's, or a copy from an archive, or a
// wave file a plug-in made; *temp is what to delete after loading.
// silent: a missing file or extension is no error.  1 found (path set),
// 0 a plug-in without "expand" or that failed, -1 skipped silently.
static int FindDwaveFile(const char* shown, const std::string& file, bool silent,
                         std::string* path, std::string* temp) {
    *path = file;
    temp->clear();
    if (!PlatExists(path->c_str())) {
        if (!ExtractToTemp(path)) {
            if (silent) return -1;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, file.c_str());
        }
        *temp = *path;
    }
    std::string ext = LowerExtension(*path);
    if (ext == "wav" || ext == "ogg") return 1;
    int status = 0;
    std::string made = ExpandWithPlugin(*path, &status);
    DeleteSoundTempFile(*temp);
    temp->clear();
    if (made.empty()) {
        if (status == 0) return 0;
        if (silent) return -1;
        ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, shown);
    }
    *path = made;
    *temp = made;
    return 1;
}

static bool SoundsGated(const char* name) {
    return !*name || !SoundOn || (SkipMode && !WaveDemoMode);
}

int PlayDwave(int channel, const char* name, int loop) {
    if (!ChannelInRange(channel)) return 0;
    StopDwave(channel);
    if (SoundsGated(name)) return 1;
    std::string file = name;
    bool loop_point_set = false;
    double loop_point = 0;
    if (name[0] == '(') {
        const char* close = strchr(name, ')');
        if (!close) return 0;
        file = close + 1;
        loop_point_set = true;
        loop_point = atof(std::string(name + 1, close).c_str());
    }
    if (OpenInPlugin(channel, file)) {
        // A voice with bgmdownmode lowers the plug-in's music at once; the
        // window timer brings it back after the voice.
        if (channel == VoiceChannel && BgmDownMode) DuckBgmForVoice();
        OggVolume(channel, PluginChannelMillibels(channel));
        if (loop_point_set)
            OggPlay2(channel, loop_point);
        else
            OggPlay(channel, loop != 0);
        SoundChannels.ChannelLooping[channel] = loop;
        return 1;
    }
    // Through the channel table the loop point is not used.
    std::string path, temp;
    int found = FindDwaveFile(name, file, NoLoadError || NoDwaveError, &path, &temp);
    if (found <= 0) return found < 0 ? 1 : 0;
    int loaded = LoadChannelFile(path.c_str(), channel);
    DeleteSoundTempFile(temp);
    if (!loaded) return 0;
    PlayChannel(channel, loop);
    return 1;
}

int LoadDwave(int channel, const char* name) {
    if (!ChannelInRange(channel)) return 0;
    StopDwave(channel);
    if (SoundsGated(name)) return 1;
    if (OpenInPlugin(channel, name)) return 1;
    std::string path, temp;
    int found = FindDwaveFile(name, name, NoLoadError, &path, &temp);
    if (found <= 0) return found < 0 ? 1 : 0;
    int loaded = LoadChannelFile(path.c_str(), channel);
    DeleteSoundTempFile(temp);
    return loaded;
}

void PlayLoadedDwave(int channel, int loop) {
    if (!ChannelInRange(channel)) return;
    if (!OggCarries(channel)) {
        PlayChannel(channel, loop);
        return;
    }
    OggVolume(channel, PluginChannelMillibels(channel));
    OggPlay(channel, loop != 0);
    SoundChannels.ChannelLooping[channel] = loop;
}

void PlayClickVoice(const char* name) {
    if (SoundChannels.SoundStarted)
        PlayDwave(SystemSoundChannel, name, 0);
    else
        PlayMciWave(name, 0);
}

// ---- what the waits ask (sound/click_voice.h) -------------------------------------

void PlayClickVoice(bool page) {
    const std::string& voice = page ? PageVoice : ClickVoice;
    if (!voice.empty()) PlayClickVoice(voice.c_str());
}

// Voices on the music path ("mv") end when the music stream completes; the
// music is then stopped.  With the plug-in, its channel 0 is asked (and the
// channel table, where a voice the plug-in refused plays).
bool VoiceStillPlaying() {
    if (Mp3VoiceMode) {
        if (BgmGraphActive && BgmStream >= 0 && !MixerStreamEnded(BgmStream)) return true;
        StopBgm();
        return false;
    }
    if (IsMciWaveOncePlaying()) return true;
    if ((OggPlugin2Active || (OggPluginActive && OggChannels[VoiceChannel])) &&
        OggIsPlaying(VoiceChannel))
        return true;
    return PollChannelPlaying(VoiceChannel) != 0;
}

// ---- defaults ------------------------------------------------------------------------------

void ClearDwaveSetting() { SkipModeSound.file.clear(); }

void ClearSoundPressPlugins() {
    for (auto& s : SoundPressPlugins) s.clear();
    SoundPressPluginCount = 0;
}
