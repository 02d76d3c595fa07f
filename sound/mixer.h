// mixer.h - the engine's own mixer.  200 buffer voices each hold a whole
// decoded sound (stereo float at MixerRate, converted once at load) and a
// few stream voices pull decoded audio as they play (background music, the
// MCI wave; later MIDI, movie audio and CD).  Gains are attenuations in
// hundredths of a dB (0 full, -10000 and below silent); voices are summed in
// float and clamped once to 16 bits.
//
// MixerRender is a plain function: the audio device's thread calls it in a
// window, the headless backend calls it as virtual time passes, so ends and
// positions fall on exact samples.  One short internal mutex guards the
// voice table; it is never held while a file is decoded.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

constexpr int MixerRate = 44100;        // frames per second, stereo
constexpr int MixerBufferVoices = 200;  // one per sound channel
constexpr int MixerStreamVoices = 8;    // streams open at once
constexpr int32_t MixerSilentMb = -10000;

// A whole sound ready to play: interleaved stereo float at MixerRate.
struct MixerSound {
    std::vector<float> samples;  // 2 * frames values
    int64_t frames = 0;
};

// Renders count interleaved 16-bit stereo frames (what the device asks for).
// When nothing plays any more the device is paused (PlatPauseAudio): its
// thread rests until a voice starts (MixerPlayBuffer, MixerPlayStream,
// MixerWake), which resumes it.
void MixerRender(int16_t* out, int count);
// Resumes a paused device: call after starting a source's own sound.
void MixerWake();
bool MixerDeviceResting();  // paused by a render that found nothing playing
// Frames rendered since the start (or MixerResetForTests).
int64_t MixerRenderedFrames();
// Everything stopped and released; streams closed.
void MixerResetForTests();

// Linear amplitude of a gain in hundredths of a dB.
float MixerGainOf(int32_t millibels);

// ---- buffer voices (0..MixerBufferVoices-1; other numbers are ignored) -----------------
// Installs a sound, stopped at position 0 (what the voice held goes).
void MixerLoadBuffer(int voice, std::shared_ptr<const MixerSound> sound);
void MixerReleaseBuffer(int voice);        // stop and drop; harmless when empty
bool MixerBufferLoaded(int voice);
// Plays from the current position (a playing voice goes on where it is);
// loop sets whether the end wraps to the start.  Empty voice: nothing.
void MixerPlayBuffer(int voice, bool loop);
void MixerStopBuffer(int voice);           // keeps the position
void MixerSetBufferGain(int voice, int32_t millibels);
bool MixerBufferPlaying(int voice);
int64_t MixerBufferPosition(int voice);    // frames
// The end flag: set at the sample where a one-shot play stops.  Take clears
// and returns it (one taker wins); Reset clears it.
bool MixerTakeBufferEnd(int voice);
void MixerResetBufferEnd(int voice);

// ---- stream voices ------------------------------------------------------------------------
// A source fills up to count stereo float frames at MixerRate and returns how
// many it wrote; fewer than count means its end.  rewind goes back to the
// start (false when it cannot).  Both are called on the rendering thread.
// A source that plays on without sound (its own voices all still) says so
// in Idle, on the rendering thread: the device may then rest; whoever
// starts its sound again calls MixerWake.
struct MixerSource {
    virtual ~MixerSource() {}
    virtual int Read(float* stereo, int count) = 0;
    virtual bool Rewind() = 0;
    virtual bool Idle() { return false; }
};

// Opens a decoder stream over a file (anything the decoders read: Ogg, MP3,
// WAV, ...); -1 when the file cannot be opened or decoded.  The voice starts
// stopped at gain 0 dB.
int MixerOpenStream(const char* path);
// Takes a ready source (MIDI synthesiser, movie audio, ...); -1 when all
// stream voices are in use.
int MixerOpenSource(std::unique_ptr<MixerSource> source);
// Harmless on a closed handle.  A stream a render is reading when it is
// closed is freed by a later MixerFreeSpent, not on the rendering thread.
void MixerCloseStream(int stream);
void MixerPlayStream(int stream, bool loop);
void MixerStopStream(int stream);          // pauses; position kept
bool MixerRewindStream(int stream);
void MixerSetStreamGain(int stream, int32_t millibels);
bool MixerStreamPlaying(int stream);
bool MixerStreamEnded(int stream);         // a one-shot play reached its end
int64_t MixerStreamPosition(int stream);   // frames played since the start
// Streams closed during a render wait to be freed (MixerHasSpent); the
// engine frees them (also at every open and close of a stream), unless a
// render is under way: then a later call does.
bool MixerHasSpent();
void MixerFreeSpent();

// ---- trace and output (headless tests) -------------------------------------------------------
// One line "t=MS WHAT ..." per sound state change when ORVA_SOUND_TRACE is
// set (=1: standard error; otherwise a file name).  ms is PlatTicks() less
// the run's start.
void SoundTrace(const char* fmt, ...);
bool SoundTraceOn();
