// midi.cpp - the MIDI device: FluidSynth's file player driven by the
// samples the mixer asks for, so it keeps time with virtual time too.
#include "sound/midi.h"

#include <fluidsynth.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "archive/extract.h"
#include "core/error.h"
#include "graphics/imagetag.h"
#include "platform/platform.h"
#include "sound/channels.h"
#include "sound/mixer.h"
#include "sound/music_messages.h"
#include "sound/voices.h"
#include "sound/window_sound.h"

std::string MidiName;
int32_t MidiLooping = 0;
TempFileRecord MidiTempFile;

namespace {

// One synthesiser for the process; every call into it holds SynthMutex (the
// mixer renders on its own thread).
std::mutex SynthMutex;
fluid_settings_t* Settings;
fluid_synth_t* Synth;
bool SynthTried;
int Stream = -1;

const char* const SoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

// Loads the synthesiser and its SoundFont at the first use; false when either fails.
bool EnsureSynth() {
    if (SynthTried) return Synth != nullptr;
    SynthTried = true;
    std::string font = MidiSoundFontPath();
    if (font.empty()) return false;
    std::lock_guard<std::mutex> hold(SynthMutex);
    Settings = new_fluid_settings();
    if (!Settings) return false;
    fluid_settings_setnum(Settings, "synth.sample-rate", MixerRate);
    fluid_settings_setint(Settings, "synth.lock-memory", 0);
    // Samples are read when a piece first selects their instrument: loading
    // the whole 140 MB SoundFont up front would cost seconds.
    fluid_settings_setint(Settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(Settings, "synth.reverb.active", 1);
    fluid_settings_setint(Settings, "synth.chorus.active", 1);
    fluid_settings_setstr(Settings, "player.timing-source", "sample");
    Synth = new_fluid_synth(Settings);
    if (!Synth || fluid_synth_sfload(Synth, font.c_str(), 1) == FLUID_FAILED) {
        if (Synth) delete_fluid_synth(Synth);
        Synth = nullptr;
        delete_fluid_settings(Settings);
        Settings = nullptr;
        return false;
    }
    return true;
}

// A file player over the synthesiser; ends when the player is done.
struct MidiSource : MixerSource {
    std::string path;  // UTF-8
    fluid_player_t* player = nullptr;
    int64_t rendered = 0;  // frames since the start

    bool Start() {
        std::lock_guard<std::mutex> hold(SynthMutex);
        return StartLocked();
    }
    bool StartLocked() {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        fluid_synth_system_reset(Synth);
        rendered = 0;
        player = new_fluid_player(Synth);
        if (!player) return false;
        if (fluid_player_add(player, path.c_str()) != FLUID_OK || fluid_player_play(player) != FLUID_OK) {
            delete_fluid_player(player);
            player = nullptr;
            return false;
        }
        return true;
    }
    ~MidiSource() override {
        std::lock_guard<std::mutex> hold(SynthMutex);
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        fluid_synth_all_sounds_off(Synth, -1);
    }
    // The player's status stays "playing" past the last event: the end is
    // its position reaching the file's last tick.
    // The file is read at the first slice, so its length is known from then
    // on; one that has none after a second of playing has ended too.
    bool Ended() const {
        if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING) return true;
        int total = fluid_player_get_total_ticks(player);
        if (total <= 0) return rendered >= MixerRate;
        return fluid_player_get_current_tick(player) >= total;
    }
    int Read(float* stereo, int count) override {
        std::lock_guard<std::mutex> hold(SynthMutex);
        if (!player) return 0;
        // The player moves on as samples are made: render in short slices so
        // its end is found within one of them.
        int done = 0;
        while (done < count) {
            if (Ended()) break;
            int n = count - done < 64 ? count - done : 64;
            if (fluid_synth_write_float(Synth, n, stereo + 2 * done, 0, 2, stereo + 2 * done, 1, 2) !=
                FLUID_OK)
                break;
            done += n;
            rendered += n;
        }
        return done;
    }
    bool Rewind() override {
        std::lock_guard<std::mutex> hold(SynthMutex);
        return StartLocked();
    }
};

void CloseDevice() {
    if (Stream < 0) return;
    SoundTrace("midi stop ; close");
    MixerCloseStream(Stream);
    Stream = -1;
}

}  // namespace

std::string MidiSoundFontPath() {
    for (const char* f : SoundFonts)
        if (access(f, R_OK) == 0) return f;
    return "";
}

int StopMidi() {
    CloseDevice();
    DropTempFile(&MidiTempFile);
    MidiName.clear();
    return 1;
}

int RestartMidi() {
    if (Stream < 0) return 0;
    SoundTrace("midi play from 0");
    if (!MixerRewindStream(Stream)) return 0;
    MixerPlayStream(Stream, false);
    return 1;
}

bool MidiStopped() { return Stream < 0 || MixerStreamEnded(Stream); }

int PlayMidi(const char* given, int loop) {
    std::string kept = given;  // may be MidiName itself, which StopMidi clears
    const char* name = kept.c_str();
    StopMidi();
    MidiLooping = 0;
    if (!*name) return 0;
    MidiName = name;
    std::string path = name;
    if (!PlatExists(path.c_str())) {
        if (!ExtractToTemp(&path)) {
            if (NoLoadError) return 0;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
        }
        MidiTempFile.set = true;
        MidiTempFile.path = path;
    }
    const char* dot = strrchr(path.c_str(), '.');
    if (!dot || strcmp(dot + 1, "mid") != 0) {
        // Not exactly "mid": a sound-press plug-in must make the MIDI file.
        int status = 0;
        std::string made = ExpandWithPlugin(path, &status);
        DropTempFile(&MidiTempFile);
        if (made.empty()) {
            if (status == 0 || NoLoadError) return 0;
            ScriptErrorF(CapSoundLoad, FmtSoundCannotOpen, name);
        }
        MidiTempFile.set = true;
        MidiTempFile.path = made;
        path = made;
    }
    std::string real = PlatResolve(path.c_str());
    if (!SoundChannels.SoundStarted) StartDirectSound();
    if (!EnsureSynth() || !fluid_is_midifile(real.c_str())) {
        SoundTrace("midi open \"%s\" failed", name);
        return 0;  // the device refused it: silence
    }
    auto src = std::make_unique<MidiSource>();
    src->path = real;
    if (!src->Start()) {
        SoundTrace("midi open \"%s\" failed", name);
        return 0;
    }
    Stream = MixerOpenSource(std::move(src));
    if (Stream < 0) return 0;
    SoundTrace("midi play \"%s\" loop=%d", name, loop);
    MixerSetStreamGain(Stream, 0);
    MixerPlayStream(Stream, false);
    MidiLooping = loop;
    return 1;
}

void RestartLoopingMidi() {
    if (MidiLooping && Stream >= 0 && MidiStopped()) RestartMidi();
}
