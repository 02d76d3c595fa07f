// ogg_plugin.cpp - the routing of channel commands to the Ogg plug-in and
// the music lowered under a voice through it.
#include "sound/ogg_plugin.h"

#include <cstring>

#include "ext/optional.h"
#include "sound/channels.h"
#include "sound/music.h"
#include "sound/ogg_channels.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"

uint8_t OggChannels[200];
int32_t BgmDuckedForVoice = 0;
int32_t BgmVolumeBeforeDuck = 0;

static_assert(sizeof OggChannels == ChannelCount, "one mark per channel");

bool OggLibraryActive() { return OggPlugin2Active || OggPluginActive; }

bool OggCarries(int ch) {
    if (!ChannelInRange(ch) || SoundChannels.ChannelBufferReady[ch]) return false;
    return OggPlugin2Active || (OggPluginActive && OggChannels[ch]);
}

void ApplyChannelVolume(int32_t attenuation, int ch) {
    if (OggCarries(ch))
        OggVolume(ch, AttenuationMillibels(attenuation));
    else
        SetChannelVolume(attenuation, ch);
}

void BindOggPlugin() {
    OggBgmChannel = BgmLoopChannel;
    memset(OggChannels, 0, sizeof OggChannels);
    OggBgmPlaying = 0;
}

void CloseOggChannels() {
    OggCloseAll();
    memset(OggChannels, 0, sizeof OggChannels);
}

void DuckBgmForVoice() {
    BgmDuckedForVoice = 1;
    BgmVolumeBeforeDuck = BgmVolume;
    int32_t mb = BgmVolume == 100 ? -10000 : -25 * BgmVolume - 1000;
    OggVolume(OggBgmChannel, mb < -10000 ? -10000 : mb);
}

void RestoreDuckedBgm() {
    if (!BgmDuckedForVoice || !OggLibraryActive() || OggIsPlaying(VoiceChannel)) return;
    BgmDuckedForVoice = 0;
    SetBgmVolume(BgmVolume);
}

void EndBgmDuckForReset() {
    if (!BgmDuckedForVoice) return;
    SetBgmVolume(BgmVolumeBeforeDuck);
    BgmDuckedForVoice = 0;
}
