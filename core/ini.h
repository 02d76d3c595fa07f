// ini.h - reading one entry of an INI file the way the Windows profile
// reader does: "[section]" lines and "key=value" lines, section and key
// names compared ignoring ASCII case, blanks around names and values
// dropped, a value in matching quotes unquoted, the first section of the
// name the only one searched.
#pragma once
#include <cstddef>
#include <string>

enum { IniValueMax = 255 };

// The value of key in section of the INI text (CP932 bytes); "" when absent.
// At most IniValueMax bytes, cut between characters.
std::string IniLookup(const char* text, size_t len, const char* section, const char* key);
// The same for the file `name` (CP932, resolved like every file name: a name
// without a folder is looked for in the game folder); "" when it cannot be read.
std::string ReadIniValue(const char* name, const char* section, const char* key);
