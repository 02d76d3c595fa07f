// envdata.h - the player's settings file "envdata" (always in the game
// folder): 14 fields, int32 little-endian and NUL-ended texts, no header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct EnvData {
    int32_t full_screen = 0;       // 1
    int32_t sound_on = 1;          // 2
    int32_t text_speed = 1;        // 3: 0, 1 or 2
    int32_t page_at_a_time = 0;    // 4
    std::string font;              // 5
    int32_t cd_on = 1;             // 6
    std::string cd_drive;          // 7
    int32_t voice_volume = 0;      // 8: attenuations 0..100
    int32_t se_volume = 0;         // 9
    int32_t bgm_volume = 0;        // 10
    int32_t kidoku_mode = 1;       // 11
    int32_t bgm_down_mode = 0;     // 12
    std::string save_directory;    // 13
    int32_t auto_mode_wait = 0;    // 14: 0 is written as 99999
    bool has_auto_mode_wait = false;
    int fields = 14;               // read: the fields the file holds whole
};

enum { EnvFieldCount = 14, EnvAutoWaitZero = 99999, EnvTextMax = 255 };

// The file image of the settings.
std::string FormatEnvData(const EnvData& e);
// Reads a file image.  A file that ends early (an older or cut one) gives
// the fields before its end (e->fields; the others keep their defaults);
// field 14 is missing from older files (has_auto_mode_wait false).  false
// when it is damaged or foreign: a value out of its range, a text too long,
// bytes left over.
bool ParseEnvData(const uint8_t* data, size_t size, EnvData* e);
// The name of field n (1-14) in the warnings.
const char* EnvFieldName(int n);

// The settings in force, and writing them to "envdata".
EnvData CurrentEnvData();
bool WriteEnvData();
