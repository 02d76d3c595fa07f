// music.cpp - background music on a mixer stream, its fades, SetBgmVolume,
// StopAllSound and the window timer's replay of looping music.
#include "sound/music.h"

#include <cstdio>

#include "archive/extract.h"
#include "core/error.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/movie.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/sound.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "text/input_state.h"

std::string BgmName;
int32_t BgmLooping = 0;
int32_t BgmLoopPointSet = 0;
std::string BgmLoopPointText;
int32_t BgmGraphActive = 0;
int32_t Mp3VoiceMode = 0;
int32_t OggBgmPlaying = 0;
int32_t OggBgmChannel = BgmLoopChannel;
int BgmStream = -1;
TempFileRecord BgmTempFile;

int32_t FadeTimeNow(int32_t ms) { return (SkipMode || IsSkipKeyDown()) ? ms / 8 : ms; }

void SetBgmVolume(int32_t a) {
    if (!Mp3VoiceMode) BgmVolume = a;
    SetChannelVolume(a, BgmIntroChannel);
    SetChannelVolume(a, BgmLoopChannel);
    int stream = BgmStream;
    if (BgmGraphActive && stream >= 0) {
        MixerSetStreamGain(stream, GraphMillibels(a));
        SoundTrace("bgm vol %d", GraphMillibels(a));
    }
    SetMovieVolume(a);
}

// The stream goes, and with it the temporary copy.
static void ReleaseBgmStream() {
    if (BgmStream >= 0) {
        MixerCloseStream(BgmStream);
        SoundTrace("bgm stop");
    }
    BgmStream = -1;
    DropTempFile(&BgmTempFile);
}

void PlayBgm(const char* name, int loop, int loop_point_set, double loop_point) {
    (void)loop_point_set;
    (void)loop_point;  // loop points need the Ogg plug-in: the music loops from its start
    StopBgm();
    BgmLooping = 0;
    if (!*name) return;
    BgmName = name;
    std::string path = name;
    if (!PlatExists(path.c_str())) {
        if (!ExtractToTemp(&path)) {
            if (NoLoadError) return;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
        }
        BgmTempFile.set = true;
        BgmTempFile.path = path;
    }
    // A stream that cannot be opened leaves the music silent and inactive, so
    // the timer does not rebuild it every 30 ms.
    BgmStream = MixerOpenStream(PlatResolve(path.c_str()).c_str());
    if (BgmStream < 0) {
        SoundTrace("bgm open \"%s\" failed", name);
        DropTempFile(&BgmTempFile);
        BgmGraphActive = 0;
        return;
    }
    BgmGraphActive = 1;
    SoundTrace("bgm open \"%s\" loop=%d", name, loop);
    if (BgmFadeInTime) {
        int32_t target = BgmVolume;
        SetBgmVolume(100);  // silent from the first sample, not full for a moment
        MixerPlayStream(BgmStream, false);
        FadeInBgm(target);
    } else {
        SetBgmVolume(Mp3VoiceMode ? VoiceVolume : BgmVolume);
        MixerPlayStream(BgmStream, false);
    }
    BgmLooping = loop;
}

static void StopBgmNow() {
    BgmLooping = 0;
    BgmGraphActive = 0;
    ReleaseBgmStream();
    BgmName.clear();
}

void StopBgm() {
    BgmLoopPointSet = 0;
    if (BgmName.empty() || !BgmGraphActive) return;
    if (BgmFadeOutTime == 0 || Mp3VoiceMode)
        StopBgmNow();
    else
        FadeOutBgm();
}

// One step of a ramp: the rest of the step's time, doubling d and the step
// time when the step ran late.  false when the window is closing.
static bool RampStep(int32_t v, uint32_t* step, int32_t* d) {
    uint32_t start = PlatTicks();
    SetBgmVolume(v);
    PumpMessage();
    if (QuitRequested) return false;
    int32_t rest = (int32_t)(*step + start - PlatTicks());
    if (rest <= 0) {
        rest = 1;
        *d *= 2;
        *step *= 2;
    }
    PlatSleep(*step < (uint32_t)rest ? *step : (uint32_t)rest);
    return !QuitRequested;
}

void FadeOutBgm() {
    int32_t f = FadeTimeNow(BgmFadeOutTime);
    int32_t s = BgmVolume;
    uint32_t step = (s != 100 && f != 0) ? (uint32_t)(f / (100 - s)) : 10;
    int32_t d = 1;
    BgmFadeRunning = 1;
    for (int32_t v = s; v < 100; v += d)
        if (!RampStep(v, &step, &d)) return;
    // The stream goes before the volume comes back, so the end of the fade
    // is never heard at the old volume.
    BgmLooping = 0;
    BgmFadeRunning = 0;
    BgmGraphActive = 0;
    ReleaseBgmStream();
    SetBgmVolume(s);
    BgmName.clear();
}

void FadeInBgm(int32_t target) {
    int32_t f = FadeTimeNow(BgmFadeInTime);
    uint32_t step = (target != 100 && f != 0) ? (uint32_t)(f / (100 - target)) : 10;
    int32_t d = 1;
    for (int32_t v = 100; v > target; v -= d)
        if (!RampStep(v, &step, &d)) return;
    SetBgmVolume(target);
}

void StopAllSound(bool everything) {
    StopLoopBgm();
    CdLooping = 0;
    MidiLooping = 0;
    MciWaveLooping = 0;
    BgmLooping = 0;
    StopCdPlayback();
    StopMidi();
    if (everything) {
        if (MciWave.loop) StopMciWave();
        for (int ch = 0; ch < ChannelCount; ch++)
            if (SoundChannels.ChannelLooping[ch] == 1) StopChannel(ch);
    }
    StopBgm();
    StopAviPlayback();
}

void ReplayLoopingBgm() {
    // Not while a fade runs: the fade would then stop the new stream.
    if (!BgmLooping || BgmFadeRunning || !BgmGraphActive || BgmStream < 0) return;
    if (!MixerStreamEnded(BgmStream)) return;
    std::string name = BgmName;
    int32_t fade = BgmFadeOutTime;
    BgmFadeOutTime = 0;
    PlayBgm(name.c_str(), 1, 0, 0);
    BgmFadeOutTime = fade;
}
