// media_files.h - generated media for the CD, MIDI and movie tests: a tiny
// MIDI file and movies encoded here with FFmpeg's built-in encoders.
#pragma once
#include <cstdint>
#include <string>

// A format-0 Standard MIDI File: `notes` piano notes of `note_ms` each at
// 120 beats a minute.
std::string TinyMidi(int notes, int note_ms);

struct MovieParams {
    const char* muxer = "mpeg";   // "mpeg" (MPEG-1 system) or "avi"
    bool mpeg4 = false;           // mpeg4 pictures instead of MPEG-1
    int width = 64, height = 48;
    int frames = 10;
    int fps = 25;
    bool sound = false;           // an MP2 tone as long as the pictures
};
// Writes the movie to `path`; frame i is a flat grey of level MovieGrey(i).
// false when an encoder is missing.
bool WriteMovie(const std::string& path, const MovieParams& params);
inline int MovieGrey(int frame) { return 20 + 20 * frame; }
