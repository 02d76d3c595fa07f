// gamefile.h - the one lookup for every file the engine opens by name
// (scripts aside): the folder first, then the ov2 archives, then the ova
// archives, then the archive plug-ins.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads the whole file `name` (CP932, '\' or '/') into out; false when it is
// found nowhere or cannot be read.
bool ReadGameFile(const char* name, std::vector<uint8_t>* out);
// True when `name` is in the folder or in any archive.
bool GameFileExists(const char* name);

// Where ReadGameFileRaw found a file.
enum GameFileSource : uint8_t {
    GameFileNowhere = 0,
    GameFileInFolder,
    GameFileInOv2,
    GameFileInOva,         // ovaType tells how the entry is stored
    GameFileInArcArchive,  // an archive registered by `arc`
};
struct GameFileInfo {
    uint8_t source = GameFileNowhere;
    uint8_t ovaType = 0;   // 0 stored, 1 SPB picture, 2 LZSS (archive/arcindex.h)
};
// ReadGameFile with the file's bytes as stored: an SPB-packed ova entry
// comes back as its SPB stream (ReadGameFile gives it as a BMP image);
// LZSS entries come back unpacked.
bool ReadGameFileRaw(const char* name, std::vector<uint8_t>* out, GameFileInfo* info);
