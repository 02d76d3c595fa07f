// music.cpp - background music through the Ogg plug-in or on a mixer
// stream, its fades, SetBgmVolume, StopAllSound and the window timer's replay
// of looping music.
#include "sound/music.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "archive/extract.h"
#include "core/error.h"
#include "ext/optional.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/movie.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/ogg_channels.h"
#include "sound/ogg_plugin.h"
#include "sound/sound.h"
#include "sound/sound_thread.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/input_state.h"

std::string BgmName;
int32_t BgmLooping = 0;
int32_t BgmLoopPointSet = 0;
std::string BgmLoopPointText;
std::atomic<int32_t> BgmGraphActive{0};
std::atomic<int32_t> Mp3VoiceMode{0};
std::atomic<int32_t> OggBgmPlaying{0};
std::atomic<int32_t> OggBgmChannel{BgmLoopChannel};
std::atomic<int> BgmStream{-1};
TempFileRecord BgmTempFile;

int32_t FadeTimeNow(int32_t ms) { return (SkipMode || IsSkipKeyDown()) ? ms / 8 : ms; }

void SetBgmVolume(int32_t a) {
    WakeSoundThread();  // the ducking may have to bring it to its base
    if (OggBgmPlaying && OggLibraryActive()) {
        BgmVolume = a;
        OggVolume(OggBgmChannel, AttenuationMillibels(a));
        return;
    }
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

void DuckBgmVolume(int32_t a) {
    if (OggBgmPlaying && OggLibraryActive()) {
        BgmVolume = a;
        OggDuckVolume(OggBgmChannel, AttenuationMillibels(a));
        return;
    }
    SetBgmVolume(a);
}

// The stream goes, and with it the temporary copy.  The handle is let go
// under SoundLock: a ducking step under way ends first, a later one finds
// none.
static void ReleaseBgmStream() {
    int stream;
    {
        SoundLockHold hold;
        stream = BgmStream.exchange(-1);
    }
    if (stream >= 0) {
        MixerCloseStream(stream);
        SoundTrace("bgm stop");
    }
    DropTempFile(&BgmTempFile);
}

// The newer plug-in leaves names whose first '.' is followed by "mp3" (in
// any case) to the stream.
static bool Mp3Named(const char* name) {
    const char* dot = strchr(name, '.');
    if (!dot) return false;
    const char* want = "mp3";
    for (int i = 0; i < 3; i++)
        if (tolower((unsigned char)dot[1 + i]) != want[i]) return false;
    return true;
}

// The music through the plug-in on `ch`; false when the plug-in does not
// open the file (the stream tries it then).  The newer plug-in fades in by
// itself from -25 dB; the older one is ramped here.
static bool PlayPluginBgm(int ch, const char* name, int loop, int loop_point_set,
                          double loop_point) {
    if (OggOpenFile(ch, name) != 1) {
        OggBgmPlaying = 0;
        return false;
    }
    int32_t fade = FadeTimeNow(BgmFadeInTime);
    int32_t target = BgmVolume;
    {
        // The ducking step sees the piece only once its start and fade are set.
        SoundLockHold hold;
        OggBgmPlaying = 1;
        // The volume is set before the start, so no sample plays at full
        // level; the newer plug-in's fade-in starts from -25 dB.
        if (fade && OggPlugin2Active)
            OggVolume(ch, -2500);
        else
            SetBgmVolume(fade ? 100 : target);
        if (loop_point_set)
            OggPlay2(ch, loop_point);
        else
            OggPlay(ch, loop != 0);
        if (fade && OggPlugin2Active) OggFade(ch, -2500, AttenuationMillibels(target), fade, false);
    }
    if (fade && !OggPlugin2Active) {
        FadeInBgm(target);
        SetBgmVolume(BgmVolume);
    }
    BgmLooping = loop;
    return true;
}

void PlayBgm(const char* name, int loop, int loop_point_set, double loop_point) {
    StopBgm();
    BgmLooping = 0;
    if (!*name) return;
    BgmName = name;
    if (OggPlugin2Active && !Mp3Named(name) &&
        PlayPluginBgm(OggBgmChannel, name, loop, loop_point_set, loop_point))
        return;
    if (OggPluginActive && PlayPluginBgm(BgmLoopChannel, name, loop, loop_point_set, loop_point))
        return;
    // The stream: a piece loops from its start (the loop point needs the
    // plug-in).
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
        SetBgmVolume(Mp3VoiceMode ? VoiceVolume : BgmVolume.load());
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
    if (OggBgmPlaying && OggPlugin2Active) {
        if (!BgmName.empty()) FadeOutBgm();
        return;
    }
    if (OggBgmPlaying && OggPluginActive) {
        FadeOutBgm();
        return;
    }
    if (BgmName.empty() || !BgmGraphActive) return;
    if (BgmFadeOutTime == 0 || Mp3VoiceMode)
        StopBgmNow();
    else
        FadeOutBgm();
}

// One step of a ramp: the rest of the step's time, doubling d and the step
// time when the step ran late (the rest below `late`: it becomes `late`).
// false when the window is closing.
static bool RampStep(int32_t v, uint32_t* step, int32_t* d, int32_t late = 1) {
    uint32_t start = PlatTicks();
    SetBgmVolume(v);
    PumpMessage();
    if (QuitRequested) return false;
    int32_t rest = (int32_t)(*step + start - PlatTicks());
    if (rest < late) {
        rest = late;
        *d *= 2;
        *step *= 2;
    }
    PlatSleep(*step < (uint32_t)rest ? *step : (uint32_t)rest);
    return !QuitRequested;
}

// The newer plug-in fades and closes the channel by itself; the next piece
// starts on the other music channel (199 <-> 198) while the old one fades.
static void FadeOutPluginBgm2(int32_t f, int32_t s) {
    SoundLockHold hold;  // the ducking step sees the old channel or the new one
    if (f > 0) {
        OggFade(OggBgmChannel, AttenuationMillibels(s), -10000, f, true);
    } else {
        BgmGraphActive = 0;
        BgmLooping = 0;
        OggClose(OggBgmChannel);
        BgmVolume = s;
    }
    BgmName.clear();
    OggBgmPlaying = 0;
    OggBgmChannel = OggBgmChannel == BgmLoopChannel ? BgmIntroChannel : BgmLoopChannel;
}

// The older plug-in's music is ramped here on channel 199, at least 10 ms
// a step, a late step's rest made 5 ms.
static void FadeOutPluginBgm(int32_t f, int32_t s) {
    if (f > 0) {
        uint32_t step = s != 100 ? (uint32_t)(f / (100 - s)) : 10;
        if (step < 10) step = 10;
        int32_t d = 1;
        BgmFadeRunning = 1;
        for (int32_t v = s; v < 100; v += d)
            if (!RampStep(v, &step, &d, 5)) return;
    }
    BgmFadeRunning = 0;
    BgmGraphActive = 0;
    BgmLooping = 0;
    OggClose(BgmLoopChannel);
    BgmName.clear();
    OggBgmPlaying = 0;
    BgmVolume = s;
}

void FadeOutBgm() {
    int32_t f = FadeTimeNow(BgmFadeOutTime);
    int32_t s = BgmVolume;
    if (OggBgmPlaying && OggPlugin2Active) return FadeOutPluginBgm2(f, s);
    if (OggBgmPlaying && OggPluginActive) return FadeOutPluginBgm(f, s);
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
    if (OggBgmPlaying && OggPlugin2Active) return;  // its own fade does the work
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
        // With the newer plug-in every channel stops, one-shot voices too.
        for (int ch = 0; ch < ChannelCount; ch++) {
            bool looping = SoundChannels.ChannelLooping[ch] == 1;
            if (OggPlugin2Active || (looping && OggChannels[ch])) {
                OggClose(ch);
                OggChannels[ch] = 0;
            }
            if (looping || OggPlugin2Active) StopChannel(ch);
        }
    }
    StopBgm();
    StopAviPlayback();
}

void ReplayLoopingBgm() {
    // The plug-in loops its music itself; music on the stream (an MP3 with
    // the newer plug-in too) is replayed here.
    if (OggBgmPlaying) return;
    // Not while a fade runs: the fade would then stop the new stream.
    if (!BgmLooping || BgmFadeRunning || !BgmGraphActive || BgmStream < 0) return;
    if (!MixerStreamEnded(BgmStream)) return;
    std::string name = BgmName;
    int32_t fade = BgmFadeOutTime;
    BgmFadeOutTime = 0;
    PlayBgm(name.c_str(), 1, 0, 0);
    BgmFadeOutTime = fade;
}
