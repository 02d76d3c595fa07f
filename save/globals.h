// globals.h - "gloval.sav": the global variables, numbers GlobalBorder to
// VariableCount - 1, each as its int32 and its text (NUL-ended), no header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { GlobalImageLimit = 204800 };

struct GlobalValues {
    std::vector<int32_t> ints;
    std::vector<std::string> texts;
};

// The file image of the global variables; false when it would reach
// GlobalImageLimit bytes.
bool FormatGlobalImage(std::string* out);
// Reads an image for `count` variables into *v (missing ones 0 and "");
// whole records beyond them are passed over.  false when it is damaged or
// foreign: cut inside a record.
bool ParseGlobalImage(const uint8_t* data, size_t size, int count, GlobalValues* v);
// Writes "gloval.sav" (a too large image is a fatal error); false when the
// write failed.
bool WriteGlobalVariables();
