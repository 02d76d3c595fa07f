// mixer.cpp - (being built) the mixer's voice table and rendering.
#include "sound/mixer.h"

#include <cmath>
#include <cstring>

void MixerRender(int16_t* out, int count) { memset(out, 0, (size_t)count * 4); }
int64_t MixerRenderedFrames() { return 0; }
void MixerResetForTests() {}
float MixerGainOf(int32_t mb) { return mb <= MixerSilentMb ? 0.0f : std::pow(10.0f, (float)mb / 2000.0f); }
void MixerLoadBuffer(int, std::shared_ptr<const MixerSound>) {}
void MixerReleaseBuffer(int) {}
bool MixerBufferLoaded(int) { return false; }
void MixerPlayBuffer(int, bool) {}
void MixerStopBuffer(int) {}
void MixerSetBufferGain(int, int32_t) {}
bool MixerBufferPlaying(int) { return false; }
int64_t MixerBufferPosition(int) { return 0; }
bool MixerTakeBufferEnd(int) { return false; }
void MixerResetBufferEnd(int) {}
int MixerOpenStream(const char*) { return -1; }
int MixerOpenSource(std::unique_ptr<MixerSource>) { return -1; }
void MixerCloseStream(int) {}
void MixerPlayStream(int, bool) {}
void MixerStopStream(int) {}
bool MixerRewindStream(int) { return false; }
void MixerSetStreamGain(int, int32_t) {}
bool MixerStreamPlaying(int) { return false; }
bool MixerStreamEnded(int) { return false; }
int64_t MixerStreamPosition(int) { return 0; }
void SoundTrace(const char*, ...) {}
bool SoundTraceOn() { return false; }
