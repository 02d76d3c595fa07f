// voice_commands.cpp - the dwave and wave commands, the engine's sound names
// and the sound-press plug-ins.
#include "sound/voice_commands.h"

#include <cctype>

#include "core/error.h"
#include "core/readers.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/music_messages.h"
#include "sound/voices.h"

static void ReadChannelAndName(int32_t* channel, char* name, int size) {
    *channel = ReadIntExpr();
    ExpectComma();
    ReadStrExpr(name, size);
}

static void ReadNames(std::string* const* targets, int count) {
    char text[StrValueSize];
    for (int i = 0; i < count; i++) {
        if (i) ExpectComma();
        ReadStrExpr(text, sizeof text);
        *targets[i] = text;
    }
}

static void Dwave(int loop) {
    int32_t channel;
    char name[StrValueSize];
    ReadChannelAndName(&channel, name, sizeof name);
    if (!*name) {
        StopDwave(channel);
        return;
    }
    SkipModeSound.file.clear();
    PlayDwave(channel, name, loop);
}

void Cmd_dwave() { Dwave(0); }

void Cmd_dwaveloop() {
    MciVoicePlaying = 0;
    Dwave(1);
}

void Cmd_dwave_dd() {
    int32_t channel;
    char name[StrValueSize], follow[StrValueSize];
    ReadChannelAndName(&channel, name, sizeof name);
    ExpectComma();
    int32_t follow_channel;
    ReadChannelAndName(&follow_channel, follow, sizeof follow);
    ExpectComma();
    int32_t v = ReadIntExpr();
    if (!*name) {
        StopDwave(channel);
        return;
    }
    SkipModeSound.channel = follow_channel;
    SkipModeSound.file = follow;
    SkipModeSound.volume = v == 0 ? -10000 : 25 * v - 2500;
    PlayDwave(channel, name, 0);
}

void Cmd_dwaveload() {
    int32_t channel;
    char name[StrValueSize];
    ReadChannelAndName(&channel, name, sizeof name);
    if (!*name)
        StopDwave(channel);
    else
        LoadDwave(channel, name);
}

void Cmd_dwaveplay() {
    int32_t channel = ReadIntExpr();
    SkipModeSound.file.clear();
    PlayLoadedDwave(channel, 0);
}

void Cmd_dwaveplayloop() {
    int32_t channel = ReadIntExpr();
    SkipModeSound.file.clear();
    PlayLoadedDwave(channel, 1);
}

void Cmd_dwavestop() {
    int32_t channel = ReadIntExpr();
    SkipModeSound.file.clear();
    StopDwave(channel);
}

void Cmd_wave() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    MciVoicePlaying = 0;
    if (!*name)
        StopMciWave();
    else
        PlayMciWave(name, 0);
}

void Cmd_waveloop() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    MciVoicePlaying = 0;
    PlayMciWave(name, 1);
}

void Cmd_wavestop() { StopMciWave(); }

void Cmd_soundpressplgin() {
    char text[StrValueSize];
    ReadStrExpr(text, sizeof text);
    if (SoundPressPluginCount >= SoundPressPluginMax) ScriptError(CapSoundError, MsgSoundPressFull);
    std::string entry = text;
    for (char& c : entry) c = (char)tolower((unsigned char)c);
    SoundPressPlugins[SoundPressPluginCount++] = entry;
}

void Cmd_clickvoice() {
    std::string* names[] = {&ClickVoice, &PageVoice};
    ReadNames(names, 2);
}

void Cmd_selectvoice() {
    std::string* names[] = {&SelectVoiceEnter, &SelectVoiceOver, &SelectVoiceClick};
    ReadNames(names, 3);
}

void Cmd_menuselectvoice() {
    std::string* names[] = {&MenuVoiceEnter, &MenuVoiceCancel, &MenuVoiceOver, &MenuVoiceClick,
                            &MenuVoiceWarning, &MenuVoiceYes, &MenuVoiceNo};
    ReadNames(names, 7);
}

void Cmd_lookbackvoice() {
    std::string* names[] = {&LookbackVoice};
    ReadNames(names, 1);
}

void Cmd_dsound() { StartDirectSound(); }
