// movie.h - movies: a file demuxed and decoded by FFmpeg, its pictures
// scaled into a rectangle of the window at their own timestamps (late ones
// are decoded and skipped), its sound on a mixer stream that follows the
// BGM volume.  Time is PlatTicks, so headless runs play movies in virtual
// time.  While a movie owns the window the engine does not paint it
// (PaintSuspended); the movie presents the last shown screen with its
// picture in the rectangle.
//
// Two players exist: the movie graph (mpegplay, mpegplay2, movie; one at a
// time, possibly playing on while the script goes on) and the AVI device
// (avi; modal).
#pragma once
#include <cstdint>
#include <memory>

#include "sound/sound_temp.h"

extern int32_t MovieLoop;        // the current movie starts again at its end
extern int32_t MovieRect[4];     // x, y, width, height in the window
extern TempFileRecord MovieTempFile;

// One open movie.  Open gives null when the file has no picture stream or
// cannot be opened or decoded.
struct MoviePlayer;
struct MovieCloser {
    void operator()(MoviePlayer* m) const;  // releases what the movie holds
};
typedef std::unique_ptr<MoviePlayer, MovieCloser> MoviePtr;
MoviePtr OpenMovie(const char* utf8_path, int x, int y, int w, int h, bool with_sound);
void CloseMovie(MoviePtr* m);
// Shows the pictures due by now (the newest of them; the others are only
// decoded); true once every picture was shown and the sound has ended.
bool AdvanceMovie(MoviePlayer* m);
// Every picture was shown and the sound has ended (nothing is shown).
bool MovieFinished(const MoviePlayer* m);
// Ms until AdvanceMovie has a picture to show or the pictures' end comes;
// while only the sound plays on, a short time to look again.
uint32_t MovieDueIn(const MoviePlayer* m);
void RewindMovie(MoviePlayer* m);     // back to the start, the clock restarted
void SetMovieGain(MoviePlayer* m, int32_t millibels);
int MovieFramesShown(const MoviePlayer* m);
// Decodes and scales the next picture into the player's screen copy without
// presenting it; false at the end (benchmarks).
bool DecodeNextMovieFrame(MoviePlayer* m, bool present);

// The script-level players: 1 when the movie played, 0 when it could not be
// found or opened.
int PlayMpeg(const char* name, int click);
void PlayMovie();  // the whole movie command, operands included
int PlayAvi(const char* name, int click);
// StopAllSound: the AVI device stops and closes.
void StopAviPlayback();
// The movie graph's volume follows SetBgmVolume.
void SetMovieVolume(int32_t attenuation);
