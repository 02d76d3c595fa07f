// winexec_sound_stub.cpp - until the CD and the MCI wave are built there is
// nothing for winexec to stop (then the sound subsystem defines it and this
// file goes).
#include "core/system_commands.h"

void StopCdAndWaveForWinexec() {}
