// readinto.h - files read straight into a caller's buffer (the script
// loader's one buffer), and the resolver's kept folder listings.
#pragma once
#include <cstddef>
#include <cstdint>

// Appends the whole file (a CP932 name) at (*buf)[*len], text mode filtered
// as PlatReadFile does, and adds its length to *len.  The buffer (new[], *cap
// bytes) is replaced by a larger one when the file and `spare` bytes behind
// it do not fit.  false when it cannot be opened or read whole (*len stays).
bool PlatAppendFile(const char* cp932, bool text_mode, char** buf, size_t* cap, size_t* len, size_t spare);
// Text-mode filter over n bytes in place: the new length.
size_t PlatTextModeFilterInPlace(uint8_t* b, size_t n);

// Drops every kept folder listing (after something else changed folders).
void PlatForgetListings();
// Folder listings read so far (for tests).
long long PlatListingScans();
