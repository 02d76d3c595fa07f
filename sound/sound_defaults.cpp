// sound_defaults.cpp - the sound settings each pass and each script load
// start from.
#include "sound/cd.h"
#include "sound/music.h"
#include "sound/sound.h"
#include "sound/voices.h"
#include "sound/volumes.h"
#include "sound/window_sound.h"

void SetSoundPassDefaults() {
    SoundOn = 1;
    CdOn = 1;
    DropTempFile(&BgmTempFile);  // the flag cleared, and no copy left behind
    for (std::string* s : {&ClickVoice, &PageVoice, &SelectVoiceEnter, &SelectVoiceOver,
                           &SelectVoiceClick, &MenuVoiceEnter, &MenuVoiceCancel, &MenuVoiceOver,
                           &MenuVoiceClick, &MenuVoiceWarning, &LookbackVoice})
        s->clear();  // the yes and no sounds keep theirs
}

void SetSoundLoadDefaults() {
    CdFadeOutTime = 1000;
    BgmFadeInTime = 0;
}
