// sound_temp.h - temporary sound files: copies extracted from archives and
// the wave files sound-press plug-ins write, each a fresh file of its own in
// the engine's private temporary folder, deleted once loaded or stopped.
#pragma once
#include <string>

struct TempFileRecord {
    bool set = false;
    std::string path;  // CP932, as the loaders take it
};

// A new empty file "Orvatmp-XXXXXX.wav" in the private folder; its CP932 path,
// "" when none could be made.
std::string MakeSoundTempFile();
// Deletes a file extracted or made here (any other path is left alone).
void DeleteSoundTempFile(const std::string& path);
// Deletes the recorded file, if any, and clears the record.
void DropTempFile(TempFileRecord* record);
