// music_commands.cpp - the music and volume commands: every set stores 100
// minus the script's value (an attenuation), every get returns 100 minus it.
#include "sound/music_commands.h"

#include <cstdlib>
#include <cstring>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/error.h"
#include "core/readers.h"
#include "core/variables.h"
#include "sound/channels.h"
#include "sound/music.h"
#include "sound/sound_thread.h"
#include "sound/music_messages.h"
#include "sound/ogg_channels.h"
#include "sound/ogg_plugin.h"
#include "sound/voices.h"
#include "sound/volumes.h"

static int32_t ReadVolumeOperand() {
    int32_t n = ReadIntExpr();
    if (n < 0 || n > 100) ScriptError(CapSoundError, MsgVolumeRange);
    return 100 - n;
}

void Cmd_mp3fadeout() { BgmFadeOutTime = ReadIntExpr(); }
void Cmd_bgmfadeout() { Cmd_mp3fadeout(); }
void Cmd_mp3fadein() { BgmFadeInTime = ReadIntExpr(); }
void Cmd_bgmfadein() { Cmd_mp3fadein(); }
void Cmd_bgmdownmode() {
    BgmDownMode = ReadIntExpr();
    WakeSoundThread();
}

static void PlayBgmCommand(int saved) {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    if (!*name) {
        StopBgm();
        return;
    }
    PlayBgm(name, 0, 0, 0);
    BgmSaved = saved;
}

void Cmd_mp3() { PlayBgmCommand(0); }
void Cmd_bgmonce() { PlayBgmCommand(0); }
void Cmd_mp3save() { PlayBgmCommand(1); }
void Cmd_bgmsave() { PlayBgmCommand(1); }

void Cmd_mp3loop() {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    if (!*name) {
        StopBgm();
        return;
    }
    if (name[0] == '(') {
        const char* close = strchr(name, ')');
        BgmLoopPointText.assign(name + 1, close ? close - (name + 1) : strlen(name + 1));
        if (!close) return;  // no ')': nothing starts and nothing stops
        PlayBgm(close + 1, 1, 1, atof(BgmLoopPointText.c_str()));
        BgmLoopPointSet = 1;
    } else {
        PlayBgm(name, 1, 0, 0);
    }
    BgmSaved = 1;
}
void Cmd_bgm() { Cmd_mp3loop(); }
void Cmd_mp3stop() { StopBgm(); }
void Cmd_bgmstop() { StopBgm(); }

void Cmd_voicevol() {
    VoiceVolume = ReadVolumeOperand();
    ApplyChannelVolume(VoiceVolume, VoiceChannel);
}

void Cmd_sevol() {
    SeVolume = ReadVolumeOperand();
    for (int ch = 1; ch <= 197; ch++) ApplyChannelVolume(SeVolume, ch);
}

// The value read is the base: a ducking step between the two stores moves
// BgmVolume, not what it comes back to.
void Cmd_mp3vol() {
    int32_t v = ReadVolumeOperand();
    BgmVolume = v;
    SetBgmVolume(v);
    BgmBaseVolume = v;
}
void Cmd_bgmvol() { Cmd_mp3vol(); }
void Cmd_defvoicevol() { Cmd_voicevol(); }
void Cmd_defsevol() { Cmd_sevol(); }
void Cmd_defmp3vol() { Cmd_mp3vol(); }
void Cmd_defbgmvol() { Cmd_mp3vol(); }

void Cmd_chvol() {
    int32_t channel = ReadIntExpr();
    ExpectComma();
    int32_t v = ReadIntExpr();
    if (!ChannelInRange(channel)) return;
    if (v == -1) {
        SkipModeSound.file.clear();
        StopDwave(channel);
        return;
    }
    // No range check: the voice and effect volumes stay, and the channel's
    // gain is never above full (both paths clamp it).  With a plug-in the
    // value goes to it, the music's channels 198 and 199 included; a sound
    // it refused gets the value in the channel table.  The plug-in's level
    // is the value held to 0..100 (silent at 0), so no value overflows it.
    if (OggLibraryActive()) {
        OggVolume(channel, AttenuationMillibels(100 - (v < 0 ? 0 : v > 100 ? 100 : v)));
        if (!SoundChannels.ChannelBufferReady[channel]) return;
    }
    SetChannelVolume(100 - v, channel);
}

static void GetVolume(const char* name, int32_t attenuation) {
    int n = ReadIntTarget(name, SufFirstInt);
    IntVariables[n] = 100 - attenuation;
    ClampIntVars();
}

void Cmd_getvoicevol() { GetVolume("getvoicevol", VoiceVolume); }
void Cmd_getsevol() { GetVolume("getsevol", SeVolume); }
void Cmd_getbgmvol() { GetVolume("getbgmvol", BgmVolume); }
void Cmd_getmp3vol() { GetVolume("getbgmvol", BgmVolume); }

void Cmd_voltest() {}
void Cmd_swf() {}
void Cmd_mode_wave_demo() { WaveDemoMode = 1; }
void Cmd_nodv() { NoDwaveError = 1; }
void Cmd_delbgmvol() { DelBgmVolume = 1; }
