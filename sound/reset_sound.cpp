// reset_sound.cpp - the sound state of a new game, and the stop of the sound
// before a saved game loads.
#include "sound/reset_sound.h"

#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/music.h"
#include "sound/ogg_plugin.h"
#include "sound/sound.h"
#include "sound/sound_thread.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"

void ResetSoundState() {
    EndBgmDuckForReset();
    BgmLoopPointSet = 0;
    BgmSaved = 0;
    int32_t fade = BgmFadeOutTime;
    BgmFadeOutTime = 0;
    int32_t cd_fade = CdFadeOutTime;
    CdFadeOutTime = 0;
    StopAllSound(true);
    // After the stop, which moves the plug-in's music to the other channel.
    OggBgmChannel = BgmLoopChannel;
    BgmFadeOutTime = fade;
    CdFadeOutTime = cd_fade;
    StartSoundThread();
    CloseCdAudio();  // the disc is looked for afresh at the next play
    CdTrack = -1;
    BgmName.clear();
    MciWaveName.clear();
    SkipModeSound.file.clear();
}

void StopSoundForLoad() {
    int32_t fade = BgmFadeOutTime;
    int32_t cd_fade = CdFadeOutTime;
    BgmFadeOutTime = 0;
    CdFadeOutTime = 0;
    StopAllSound(false);
    CloseCdAudio();
    StopMciWave();
    StopLoopingChannels();
    if (OggLibraryActive()) CloseOggChannels();
    BgmFadeOutTime = fade;
    CdFadeOutTime = cd_fade;
    OggBgmChannel = BgmLoopChannel;
}
