// cd_commands.cpp - play, playonce, playstop, stop, cdfadeout, getcdvol,
// setcdvol, setcdrestorevol, resetcdrestorevol, restorecdvol.
#include "sound/cd_commands.h"

#include <cstdlib>

#include "core/command_messages.h"
#include "core/command_targets.h"
#include "core/readers.h"
#include "core/variables.h"
#include "sound/cd.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/music.h"

// "*N" plays CD track N (a decimal number after '*'); any other name is MIDI.
static void PlayNamed(int loop) {
    char name[StrValueSize];
    ReadStrExpr(name, sizeof name);
    if (name[0] == '*')
        PlayCdTrack((int32_t)strtol(name + 1, nullptr, 10), loop);
    else
        PlayMidi(name, loop);
}

void Cmd_play() { PlayNamed(1); }
void Cmd_playonce() { PlayNamed(0); }

void Cmd_playstop() {
    StopCdPlayback();
    StopMidi();
}

void Cmd_stop() {
    StopCdPlayback();
    StopMidi();
    StopMciWave();
    StopBgm();
}

void Cmd_cdfadeout() { CdFadeOutTime = ReadIntExpr(); }

void Cmd_getcdvol() {
    int n = ReadIntTarget("getcdvol", SufFirstInt);
    IntVariables[n] = GetCdMixerVolume();
    ClampIntVars();
}

void Cmd_setcdvol() { SetCdMixerVolume(ReadIntExpr()); }
void Cmd_setcdrestorevol() { CdRestoreVolume = ReadIntExpr(); }
void Cmd_resetcdrestorevol() { CdRestoreVolume = -1; }

void Cmd_restorecdvol() {
    if (CdRestoreVolume != -1) SetCdMixerVolume(CdRestoreVolume);
}
