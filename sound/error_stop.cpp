// error_stop.cpp - silencing everything on a fatal script error.
#include "sound/error_stop.h"

#include "sound/cd.h"
#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/sound.h"
#include "sound/voices.h"
#include "sound/volumes.h"

void StopSoundForError() {
    BgmFadeOutTime = 0;
    CdFadeOutTime = 0;
    StopAllSound(true);
    StopMciWave();
    for (int ch = 0; ch < ChannelCount; ch++) StopDwave(ch);
}
