// window_sound.cpp - the settings the window's menu switches and the steps
// of its 30 ms timer.  The music and wave replays live with the music
// (music.cpp) and the wave device (mciwave.cpp), the music lowered for a
// voice with the Ogg plug-in (ogg_plugin.cpp).
#include "sound/window_sound.h"

#include "sound/channels.h"
#include "sound/mciwave.h"
#include "sound/midi.h"
#include "sound/mixer.h"
#include "sound/music.h"
#include "sound/ogg_plugin.h"

int32_t SoundOn = 1;
int32_t CdOn = 1;
int32_t CdTrack = -1;
int32_t CdLooping = 0;
std::atomic<int32_t> MovieGraphActive{0};
int32_t MovieAsync = 0;

bool WindowTimerHasWork() {
    for (int ch = 0; ch <= 196; ch++)
        if (SoundChannels.ChannelPlaying[ch]) return true;
    return BgmDuckedForVoice || MixerHasSpent() || (CdLooping && CdTrack != -1) || MidiLooping || (BgmLooping && BgmGraphActive) ||
           MciWave.loop || (MovieGraphActive && MovieAsync);
}

void ReleaseStoppedChannels() {
    for (int ch = 0; ch <= 196; ch++)
        if (SoundChannels.ChannelPlaying[ch]) PollChannelPlaying(ch);
    MixerFreeSpent();
}

