// mciwave.cpp - the wave device "orvawave" as a mixer stream at full level.
#include "sound/mciwave.h"

#include "archive/extract.h"
#include "core/error.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"
#include "ui/input_state.h"

MciWaveState MciWave;
std::string MciWaveName;
int32_t MciWaveLooping = 0;
int32_t MciVoicePlaying = 0;
TempFileRecord MciTempFile;

static int WaveStream = -1;

void CloseMciWave() {
    if (WaveStream < 0) return;
    SoundTrace("mci stop orvawave ; close orvawave");
    MixerCloseStream(WaveStream);
    WaveStream = -1;
}

static void StartMciWave(const char* path, int loop) {
    MciWave.loop = 0;
    CloseMciWave();
    MciWave.loop = loop;
    SoundTrace("mci open \"%s\" type waveaudio alias orvawave ; play orvawave", path);
    WaveStream = MixerOpenStream(PlatResolve(path).c_str());
    if (WaveStream < 0) return;  // a wave that cannot be opened is silent
    MixerSetStreamGain(WaveStream, 0);
    MixerPlayStream(WaveStream, false);
}

void StartMciWaveOnce(const char* path) { StartMciWave(path, 0); }
void StartMciWaveLoop(const char* path) { StartMciWave(path, 1); }

void StopMciWave() {
    MciWave.loop = 0;
    CloseMciWave();
    DropTempFile(&MciTempFile);
    MciWaveName.clear();
}

int IsMciWaveOncePlaying() {
    if (MciWave.loop) return 0;
    return IsMciWavePlaying();
}

int IsMciWavePlaying() {
    if (WaveStream < 0) return 0;
    return MixerStreamEnded(WaveStream) ? 0 : 1;
}

int PlayMciWave(const char* name, int loop) {
    StopMciWave();
    if (!*name || !SoundOn || (SkipMode && !WaveDemoMode)) return 0;
    std::string path = name;
    if (!PlatExists(path.c_str())) {
        if (!ExtractToTemp(&path)) {
            if (NoLoadError) return 0;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
        }
        MciTempFile.set = true;
        MciTempFile.path = path;
    }
    if (LowerExtension(path) != "wav") {
        int status = 0;
        std::string made = ExpandWithPlugin(path, &status);
        if (made.empty()) {
            DropTempFile(&MciTempFile);
            if (status == 0 || NoLoadError) return 0;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
        }
        DropTempFile(&MciTempFile);
        MciTempFile.set = true;
        MciTempFile.path = made;
        path = made;
    }
    MciWave.path = path;
    MciWaveLooping = loop;
    MciWaveName = name;
    if (loop)
        StartMciWaveLoop(path.c_str());
    else
        StartMciWaveOnce(path.c_str());
    return 1;
}

void ReplayLoopingMciWave() {
    if (!MciWave.loop || WaveStream < 0 || IsMciWavePlaying()) return;
    SoundTrace("mci play orvawave from 0");
    MixerRewindStream(WaveStream);
    MixerPlayStream(WaveStream, false);
}

void StopMciVoiceAtClick() {
    if (!MciVoicePlaying) return;
    StopMciWave();
    MciVoicePlaying = 0;
}
